// Helpers of the operating-system layer's tests.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/support/tempdir.h"

namespace ostest {

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnv {
public:
  ScopedEnv(std::string name, std::optional<std::string> value) : FName(std::move(name)) {
    if (const char* old = std::getenv(FName.c_str())) FOld = old;
    if (value)
      ::setenv(FName.c_str(), value->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  ~ScopedEnv() {
    if (FOld)
      ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  std::string FName;
  std::optional<std::string> FOld;
};

// A test with drive C: in a fresh temporary directory.
class DriveCTest : public ::testing::Test {
protected:
  DriveCTest() : FDrive("ZEL_DRIVE_C", FTemp.path() + "/drive_c") { ::mkdir(C().c_str(), 0777); }
  // Host path of a name below drive C:'s directory ("" is the directory).
  std::string C(const std::string& rel = "") const {
    return rel.empty() ? FTemp.path() + "/drive_c" : FTemp.path() + "/drive_c/" + rel;
  }
  platform::test::TempDir FTemp;
  ScopedEnv FDrive;
};

}  // namespace ostest
