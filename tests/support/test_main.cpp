// The shared main of every test program: one Qt application, always on the
// offscreen platform and with the Fusion style, so that rendered pixels
// repeat from machine to machine, and the operating-system layer installed
// (both by platform/gui's test support, so no Qt header is needed here).
#include <gtest/gtest.h>

#include "platform/gui/testing.h"

int main(int argc, char** argv) {
  platform::InitTestApplication(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
