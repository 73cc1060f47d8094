// The private-profile calls on a file of drive C:.
#include <cstring>
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/os/windows.h"
#include "tests/platform/os/os_test_util.h"

namespace {

constexpr const char* kIni = "C:\\KUVO\\KUVO.INI";

class PrivateProfile : public ostest::DriveCTest {
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

}  // namespace
