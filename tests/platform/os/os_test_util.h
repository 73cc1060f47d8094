// Helpers of the operating-system layer's tests.
#pragma once

#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

namespace zeltest {

// A test with drive C: in a fresh temporary directory.
class DriveCTest : public ::testing::Test {
protected:
  DriveCTest() : FDrive("ZEL_DRIVE_C", FTemp.path() + "/drive_c") { ::mkdir(C().c_str(), 0777); }
  // Host path of a name below drive C:'s directory ("" is the directory).
  std::string C(const std::string& rel = "") const {
    return rel.empty() ? FTemp.path() + "/drive_c" : FTemp.path() + "/drive_c/" + rel;
  }
  zeltest::TempDir FTemp;
  zeltest::ScopedEnv FDrive;
};

}  // namespace zeltest
