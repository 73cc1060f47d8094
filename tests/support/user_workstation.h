// A test as user 'user1' on workstation 'PC01' (no terminal-server client),
// with drive C: in a fresh temporary directory; the user store kreg.cfg
// goes to its kuvo folder.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

namespace zeltest {

class UserWorkstationTest : public ::testing::Test {
protected:
  UserWorkstationTest()
      : FDriveC("ZEL_DRIVE_C", drive.path().c_str()),
        FUser("USERNAME", "user1"),
        FClient("CLIENTNAME", nullptr),
        FComputer("COMPUTERNAME", "PC01") {}

  TempDir drive;

private:
  ScopedEnv FDriveC, FUser, FClient, FComputer;
};

}  // namespace zeltest
