// The shared main of every test program: one Qt application, always on the
// offscreen platform and with the Fusion style, so that rendered pixels
// repeat from machine to machine (made by platform/gui, so no Qt header is
// needed here).
#include <gtest/gtest.h>

#include "platform/gui/testing.h"
#include "platform/os/windows.h"

int main(int argc, char** argv) {
  platform::InitTestApplication(argc, argv);
  platform::InstallOsLayer();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
