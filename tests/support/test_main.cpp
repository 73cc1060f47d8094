// The shared main of every test program: one QApplication, always on the
// offscreen platform and with the Fusion style, so that rendered pixels
// repeat from machine to machine.
#include <QApplication>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/os/windows.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication app(argc, argv);
  platform::InstallOsLayer();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
