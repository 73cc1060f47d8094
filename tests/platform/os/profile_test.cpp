// The private-profile calls on a file of drive C:.
#include <cstring>
#include <filesystem>
#include <string>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"
#include "tests/support/child_process.h"

namespace {

constexpr const char* kIni = "C:\\KUVO\\KUVO.INI";

class PrivateProfile : public zeltest::DriveCTest {
protected:
  void SetUp() override {
    ::mkdir(C("Kuvo").c_str(), 0777);
    FTemp.write("drive_c/Kuvo/kuvo.ini", "[CFG]\r\nDIAGNOSE=  3 \r\nCOLDG=\"255\"\r\n[Barcode]\r\nPREFIX=35\r\n");
  }
  std::string Get(const char* section, const char* key, const char* def, DWORD size = 256) {
    char buf[256];
    const DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, kIni);
    return std::string(buf, n);
  }
};

TEST_F(PrivateProfile, ReadsValuesWithoutRegardToCase) {
  EXPECT_EQ("3", Get("cfg", "diagnose", "0"));
  EXPECT_EQ("255", Get("CFG", "COLDG", ""));  // quotes removed
  EXPECT_EQ("35", Get("BARCODE", "prefix", ""));
  EXPECT_EQ("dflt", Get("CFG", "MISSING", "dflt  "));  // the default loses trailing blanks
  EXPECT_EQ("", Get("CFG", "MISSING", nullptr));
  EXPECT_EQ("25", Get("CFG", "COLDG", "", 3));  // cut to the buffer
  EXPECT_EQ(3u, GetPrivateProfileIntA("CFG", "DIAGNOSE", 7, kIni));
  EXPECT_EQ(7u, GetPrivateProfileIntA("CFG", "NONE", 7, kIni));
}

TEST_F(PrivateProfile, ListsSectionsAndKeys) {
  EXPECT_EQ(std::string("CFG\0Barcode\0", 12), Get(nullptr, nullptr, ""));
  EXPECT_EQ(std::string("DIAGNOSE\0COLDG\0", 15), Get("cfg", nullptr, ""));
}

TEST_F(PrivateProfile, WritesAndDeletes) {
  EXPECT_TRUE(WritePrivateProfileStringA("CFG", "FAR_0", "255", kIni));
  EXPECT_TRUE(WritePrivateProfileStringA("CFG", "COLDG", nullptr, kIni));
  EXPECT_EQ("255", Get("CFG", "FAR_0", ""));
  EXPECT_EQ("gone", Get("CFG", "COLDG", "gone"));
  EXPECT_TRUE(WritePrivateProfileStringA("BARCODE", nullptr, nullptr, kIni));
  EXPECT_EQ(std::string("CFG\0", 4), Get(nullptr, nullptr, ""));
  EXPECT_FALSE(WritePrivateProfileStringA("CFG", "X", "1", "D:\\KUVO.INI"));
}

// From the layer's start-up on, a write past the file-size limit (as a
// quota sets it) is a refused write (FALSE) that leaves the file as it was,
// not the end of the process by SIGXFSZ.
TEST_F(PrivateProfile, AWritePastTheFileSizeLimitIsRefusedFromTheStartOn) {
  const std::string before = FTemp.read("drive_c/Kuvo/kuvo.ini");
  const std::string value(5000, 'v');
  const auto result = zeltest::RunInChild(
      [&] {
        ::signal(SIGXFSZ, SIG_DFL);
        platform::InstallOsLayer();
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 9;
        return WritePrivateProfileStringA("CFG", "BIG", value.c_str(), kIni) == FALSE &&
                       GetLastError() == ERROR_ACCESS_DENIED
                   ? 0
                   : 1;
      },
      std::chrono::seconds(60));
  ASSERT_TRUE(result.Finished);
  EXPECT_EQ(result.ExitCode, 0) << "ended by a signal (-1) or not refused (1)";
  EXPECT_EQ(FTemp.read("drive_c/Kuvo/kuvo.ini"), before);
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(C("Kuvo"))) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);  // no temporary file left
}

}  // namespace
