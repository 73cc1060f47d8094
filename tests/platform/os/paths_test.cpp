// Windows paths to host paths, drives and the program's own path.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/os/fileutil.h"
#include "platform/os/oscore_internal.h"
#include "platform/os/windows.h"
#include "platform/rtl/system.h"
#include "tests/platform/os/os_test_util.h"

namespace {

std::string ToBackslashes(std::string s) {
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Restores the current directory at the end of a test.
class ScopedCwd {
public:
  explicit ScopedCwd(const std::string& dir) {
    char buf[4096];
    FOld = ::getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(0, ::chdir(dir.c_str()));
  }
  ~ScopedCwd() { [[maybe_unused]] int rc = ::chdir(FOld.c_str()); }

private:
  std::string FOld;
};

class PathMapping : public zeltest::DriveCTest {
protected:
  void SetUp() override {
    ::mkdir(C("Kuvo").c_str(), 0777);
    ::mkdir(C("Data").c_str(), 0777);
    ::mkdir(C("Data/Sub").c_str(), 0777);
    FTemp.write("drive_c/Kuvo/Kreg.cfg", "x");
  }
};

TEST_F(PathMapping, DriveCComponentsIgnoreCaseAndDoubleBackslashes) {
  struct Case {
    const char* windows;
    const char* hostBelowC;
  } cases[] = {
      {"C:\\kuvo\\kreg.cfg", "Kuvo/Kreg.cfg"},
      {"c:\\KUVO\\KREG.CFG", "Kuvo/Kreg.cfg"},
      {"C:\\Kuvo\\Kreg.cfg", "Kuvo/Kreg.cfg"},
      {"C:\\\\kuvo\\\\kreg.cfg", "Kuvo/Kreg.cfg"},
      {"C:\\kuvo\\\\\\\\kreg.cfg", "Kuvo/Kreg.cfg"},
      {"C:kuvo\\kreg.cfg", "Kuvo/Kreg.cfg"},
      {"C:/kuvo/kreg.cfg", "Kuvo/Kreg.cfg"},
      {"C:\\kuvo\\", "Kuvo"},
      {"C:\\data\\SUB", "Data/Sub"},
      {"C:\\kuvo\\..\\data\\.\\sub", "Data/Sub"},
      {"C:\\..\\kuvo", "Kuvo"},  // not above the drive's root
      {"C:\\kuvo\\New\\File.TXT", "Kuvo/New/File.TXT"},  // missing parts stay as written
      {"C:\\KUVO\\neu\\..\\KREG.CFG", "Kuvo/Kreg.cfg"},
  };
  for (const auto& c : cases) EXPECT_EQ(C(c.hostBelowC), platform::MapToHostPath(c.windows)) << c.windows;
  EXPECT_EQ(C(), platform::MapToHostPath("C:\\"));
  EXPECT_EQ(C(), platform::MapToHostPath("c:"));
}

TEST_F(PathMapping, DriveZIsTheHostRootFoundWithoutCase) {
  const std::string host = C("Kuvo/Kreg.cfg");
  EXPECT_EQ(host, platform::MapToHostPath("Z:" + ToBackslashes(host)));
  EXPECT_EQ(host, platform::MapToHostPath(UpperAscii("z:" + ToBackslashes(host))));
  EXPECT_EQ("/", platform::MapToHostPath("Z:\\"));
  EXPECT_EQ("/", platform::MapToHostPath("Z:\\\\"));
}

// Siblings that differ only in case: the exact name wins, else the smallest.
TEST_F(PathMapping, ExactNameWinsOverSiblingsOfOtherCase) {
  ::mkdir(C("Dup").c_str(), 0777);
  FTemp.write("drive_c/Dup/Kuvo.ini", "a");
  FTemp.write("drive_c/Dup/KUVO.INI", "b");
  ::mkdir(C("DUP").c_str(), 0777);
  struct Case {
    const char* windows;
    const char* hostBelowC;
  } cases[] = {
      {"C:\\Dup\\Kuvo.ini", "Dup/Kuvo.ini"},
      {"C:\\Dup\\KUVO.INI", "Dup/KUVO.INI"},
      {"C:\\Dup\\kuvo.ini", "Dup/KUVO.INI"},
      {"C:\\dup\\Kuvo.ini", "DUP/Kuvo.ini"},  // "DUP" is the smaller name, and has no such file
      {"C:\\DUP\\x.txt", "DUP/x.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(C(c.hostBelowC), platform::MapToHostPath(c.windows)) << c.windows;
}

// The mapping keeps the names of settled directories; a change to such a
// directory must show at the next lookup.
class RememberedDirectories : public PathMapping {
protected:
  void SetUp() override {
    PathMapping::SetUp();
    platform::SetDirectoryCacheClockAheadForTesting(3600);
  }
  void TearDown() override { platform::SetDirectoryCacheClockAheadForTesting(0); }

  // Waits until the file system's clock has moved past the last change of
  // dir, so that a change made now gets another time stamp.
  void PassChangeTimeOf(const std::string& dir) {
    struct stat before{};
    ASSERT_EQ(0, ::stat(dir.c_str(), &before));
    const std::string probe = FTemp.path() + "/clock_probe";
    for (int i = 0; i < 100000; ++i) {
      FTemp.write("clock_probe", "x");
      struct stat now{};
      ASSERT_EQ(0, ::stat(probe.c_str(), &now));
      if (now.st_ctim.tv_sec != before.st_ctim.tv_sec || now.st_ctim.tv_nsec != before.st_ctim.tv_nsec) return;
    }
    FAIL() << "file system clock does not move";
  }
};

TEST_F(RememberedDirectories, ChangesShowAtTheNextLookup) {
  const std::string dir = C("Kuvo");
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath("C:\\KUVO\\KREG.CFG"));
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath("C:\\KUVO\\KREG.CFG"));  // from the kept names

  // A smaller name of the same text appears.
  PassChangeTimeOf(dir);
  FTemp.write("drive_c/Kuvo/KReg.cfg", "y");
  EXPECT_EQ(C("Kuvo/KReg.cfg"), platform::MapToHostPath("C:\\KUVO\\KREG.CFG"));

  // Both go; a new name of the same text comes.
  PassChangeTimeOf(dir);
  ASSERT_EQ(0, ::unlink(C("Kuvo/KReg.cfg").c_str()));
  ASSERT_EQ(0, ::rename(C("Kuvo/Kreg.cfg").c_str(), C("Kuvo/kreg.CFG").c_str()));
  EXPECT_EQ(C("Kuvo/kreg.CFG"), platform::MapToHostPath("C:\\KUVO\\KREG.CFG"));

  // The directory itself is replaced by one of another case.
  PassChangeTimeOf(C());
  ASSERT_EQ(0, ::unlink(C("Kuvo/kreg.CFG").c_str()));
  ASSERT_EQ(0, ::rmdir(dir.c_str()));
  ::mkdir(C("kuvo").c_str(), 0777);
  FTemp.write("drive_c/kuvo/KREG.cfg", "z");
  EXPECT_EQ(C("kuvo/KREG.cfg"), platform::MapToHostPath("C:\\KUVO\\KREG.CFG"));
  EXPECT_EQ(C("kuvo/KREG.cfg"), platform::MapToHostPath("C:\\Kuvo\\kreg.CFG"));
}

TEST_F(PathMapping, OtherDrivesDoNotExist) {
  for (const char* p : {"D:\\x.txt", "a:\\", "Y:\\KUVO"}) EXPECT_EQ("", platform::MapToHostPath(p)) << p;
  EXPECT_EQ("", platform::MapToHostPath(""));
  EXPECT_FALSE(FileExists("D:\\kuvo\\kreg.cfg"));
}

TEST_F(PathMapping, HostPathsStandAsTheyAre) {
  EXPECT_EQ("/tmp/some/Where.txt", platform::MapToHostPath("/tmp/some/Where.txt"));
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath(C("Kuvo/Kreg.cfg")));
}

TEST_F(PathMapping, PathsWithoutDriveFollowTheCurrentDirectory) {
  ScopedCwd cwd(C());
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath("kuvo\\KREG.cfg"));
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::MapToHostPath(".\\kuvo\\.\\kreg.cfg"));
  EXPECT_EQ(C("Data/Sub"), platform::MapToHostPath("kuvo\\..\\DATA\\sub"));
  // A leading backslash is the root of the current drive, which is Z:.
  EXPECT_EQ(C("Kuvo"), platform::MapToHostPath(ToBackslashes(C("kuvo"))));
  EXPECT_TRUE(FileExists("KUVO\\kreg.CFG"));
}

// The test program's start-up installed the layer, as the program's does.
TEST_F(PathMapping, RuntimeLibraryFilesGoThroughTheMapping) {
  EXPECT_EQ(C("Kuvo/Kreg.cfg"), platform::HostPath("c:\\KUVO\\KREG.CFG"));
}

TEST_F(PathMapping, DriveCDefaultsBelowTheUserDataDirectoryAndIsCreated) {
  zeltest::ScopedEnv noDrive("ZEL_DRIVE_C", std::nullopt);
  zeltest::ScopedEnv data("XDG_DATA_HOME", FTemp.path() + "/data");
  const std::string expected = FTemp.path() + "/data/zel_web_pricat/drive_c";
  EXPECT_EQ(expected, platform::DriveCRoot());
  EXPECT_TRUE(DirectoryExists("C:\\"));
  struct stat st{};
  EXPECT_EQ(0, ::stat(expected.c_str(), &st));
  EXPECT_EQ(expected + "/KUVO", platform::MapToHostPath("C:\\KUVO"));
}

TEST(PathText, WindowsFormOfHostPaths) {
  EXPECT_EQ("Z:\\tmp\\a b\\c.txt", platform::ToWindowsPath("/tmp/a b/c.txt"));
  EXPECT_EQ("Z:\\", platform::ToWindowsPath("/"));
  EXPECT_EQ("Z:\\usr\\lib", platform::ToWindowsPath("//usr//lib/"));
  EXPECT_EQ(GetCurrentDir() + "\\x\\y", platform::ToWindowsPath("x/y"));
}

TEST(PathText, ExpandFileName) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\a\\..\\b", "C:\\b"},
      {"c:\\a\\.\\b\\", "C:\\a\\b\\"},
      {"C:\\KUVO\\\\KREG.CFG", "C:\\KUVO\\KREG.CFG"},
      {"C:\\..\\..\\x", "C:\\x"},
      {"C:\\", "C:\\"},
      {"Z:/usr/lib", "Z:\\usr\\lib"},
      {"\\x\\y", "Z:\\x\\y"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, ExpandFileName(c.in)) << c.in;
  EXPECT_EQ(GetCurrentDir() + "\\x\\y.ini", ExpandFileName("x\\y.ini"));
  EXPECT_EQ(GetCurrentDir() + "\\y.ini", ExpandFileName("x\\..\\y.ini"));
}

TEST(Module, FileNameIsTheProgramInZForm) {
  char exe[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::string expected = "Z:" + ToBackslashes(exe);
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_EQ(expected.size(), n);
  EXPECT_EQ(expected, buf);
  EXPECT_TRUE(FileExists(buf));
  EXPECT_EQ(exe, platform::MapToHostPath(buf));

  // A buffer that is too small gets the cut path and the buffer size back.
  char small[8];
  EXPECT_EQ(sizeof small, GetModuleFileNameA(nullptr, small, sizeof small));
  EXPECT_EQ(expected.substr(0, 7), small);
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST(Module, TestsCanPretendAnotherProgramPath) {
  platform::SetModuleFileNameOverride("D:\\APP\\EXTRAS\\X.EXE");
  char buf[MAX_PATH + 1] = {};
  EXPECT_EQ(19u, GetModuleFileNameA(nullptr, buf, sizeof buf));
  EXPECT_STREQ("D:\\APP\\EXTRAS\\X.EXE", buf);
  platform::SetModuleFileNameOverride("");
  GetModuleFileNameA(nullptr, buf, sizeof buf);
  EXPECT_EQ('Z', buf[0]);
}

TEST(Drives, LogicalDriveStringsListCAndZ) {
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  const DWORD n = GetLogicalDriveStringsA(sizeof buf, buf);
  ASSERT_EQ(8u, n);
  EXPECT_EQ(0, std::memcmp(buf, "C:\\\0Z:\\\0\0", 9));
  EXPECT_EQ(9u, GetLogicalDriveStringsA(8, buf));  // too small: the size needed
  EXPECT_EQ((1u << 2) | (1u << 25), GetLogicalDrives());

  // Walked as the application environment walks it: every listed drive is fixed.
  std::string fixed;
  for (const char* p = buf; *p; p += std::strlen(p) + 1)
    if (GetDriveTypeA(p) == DRIVE_FIXED) fixed += p;
  EXPECT_EQ("C:\\Z:\\", fixed);
}

TEST(Drives, DriveTypes) {
  struct Case {
    const char* root;
    UINT type;
  } cases[] = {{"C:\\", DRIVE_FIXED}, {"c:\\", DRIVE_FIXED}, {"Z:\\", DRIVE_FIXED}, {"C:", DRIVE_FIXED},
               {"D:\\", DRIVE_NO_ROOT_DIR}, {"A:\\", DRIVE_NO_ROOT_DIR}, {"C:\\KUVO\\", DRIVE_NO_ROOT_DIR},
               {"", DRIVE_NO_ROOT_DIR}};
  for (const auto& c : cases) EXPECT_EQ(c.type, GetDriveTypeA(c.root)) << c.root;
  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA(nullptr));
}

}  // namespace
