// User and workstation store: kreg.cfg in c:\kuvo on a temporary drive C:.
#include "foundation/wuReg.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/os/windows.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/user_workstation.h"

using zeltest::ScopedEnv;

namespace {

// User 'user1' on workstation 'PC01'; the clock stands at 8 December 2026,
// 14:03:09.
class WuRegTest : public zeltest::UserWorkstationTest {
protected:
  void SetUp() override {
    wuReg_finalization();
    platform::SetModuleFileNameOverride("C:\\PROGS\\zel_web_pricat.exe");
    platform::SetNowFunction([] { return EncodeDate(2026, 12, 8) + EncodeTime(14, 3, 9, 0); });
    FOldTimeSeparator = TimeSeparator;
    TimeSeparator = ':';
  }
  void TearDown() override {
    wuReg_finalization();
    platform::SetModuleFileNameOverride("");
    platform::SetNowFunction(nullptr);
    TimeSeparator = FOldTimeSeparator;
  }

  std::string File() { return drive.read("kuvo/kreg.cfg"); }
  // Whether the file system keeps hidden and system (else they are dropped).
  bool KeepsAttributes() {
    drive.write("probe", "");
    SetFileAttributesA("C:\\probe", FILE_ATTRIBUTE_HIDDEN);
    return (GetFileAttributesA("C:\\probe") & FILE_ATTRIBUTE_HIDDEN) != 0;
  }
  void ExpectHiddenSystemArchive() {
    const DWORD attributes = GetFileAttributesA("C:\\KUVO\\KREG.CFG");
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    if (KeepsAttributes()) {
      EXPECT_EQ(attributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    }
  }
  bool Contains(const std::string& text) { return File().find(text) != std::string::npos; }

  char FOldTimeSeparator = ':';
};

TEST_F(WuRegTest, FirstUseCreatesTheFileWithItsCreatedSection) {
  auto reg = std::make_unique<TwuReg>(HKEY_CURRENT_USER);
  EXPECT_EQ(RegFileName, "c:\\kuvo\\kreg.cfg");
  EXPECT_EQ(RegUserName, "user1");
  EXPECT_EQ(RegWorkstation, "PC01");
  TIniFile ini(RegFileName);
  EXPECT_EQ(ini.ReadString("CREATED", "DAT", ""), "2026.08.12 14:03:09");
  EXPECT_EQ(ini.ReadString("CREATED", "APP", ""), "zel_web_pricat");
  EXPECT_EQ(ini.ReadString("CREATED", "USR", ""), "user1");
  EXPECT_EQ(ini.ReadString("CREATED", "WRK", ""), "PC01");
  // The values of "CREATED" stand without quotes, in this order.
  const std::string text = File();
  const auto dat = text.find("DAT=2026.08.12 14:03:09");
  const auto app = text.find("APP=zel_web_pricat");
  const auto usr = text.find("USR=user1");
  const auto wrk = text.find("WRK=PC01");
  ASSERT_NE(dat, std::string::npos);
  EXPECT_LT(dat, app);
  EXPECT_LT(app, usr);
  EXPECT_LT(usr, wrk);
  ExpectHiddenSystemArchive();
}

TEST_F(WuRegTest, UserKeysAndQuotedValues) {
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.KeyRoot(), "USERS\\user1\\");
  EXPECT_TRUE(reg.OpenKey("Software\\KUVO\\SELVARO"));
  reg.WriteInteger("Form1", "Left", 100);
  reg.WriteInteger("Form1", "Top", -5);
  reg.WriteString("Form1", "Name", "a b");
  EXPECT_TRUE(Contains("[USERS\\user1\\Form1]"));
  EXPECT_TRUE(Contains("Left=\"100\""));
  EXPECT_TRUE(Contains("Top=\"-5\""));
  EXPECT_TRUE(Contains("Name=\"a b\""));
  EXPECT_EQ(reg.ReadInteger("Form1", "Left", 0), 100);
  EXPECT_EQ(reg.ReadInteger("\\Form1", "Top", 0), -5);
  EXPECT_EQ(reg.ReadString("Form1", "Name", ""), "a b");
  EXPECT_EQ(reg.ReadString("Form1", "Missing", "dflt"), "dflt");
  EXPECT_EQ(reg.ReadString("Form2", "Left", "dflt"), "dflt");
  // Another instance reads what the first wrote: nothing is kept inside.
  TwuReg other(HKEY_CURRENT_USER);
  EXPECT_EQ(other.ReadInteger("Form1", "Left", 0), 100);
}

TEST_F(WuRegTest, RootsAndSections) {
  TwuReg plain;
  EXPECT_EQ(plain.KeyRoot(), "LOCAL_MACHINE\\PC01");
  EXPECT_EQ(plain.SectionOf("Form1"), "LOCAL_MACHINE\\PC01Form1");
  TwuReg machine(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(machine.KeyRoot(), "LOCAL_MACHINE\\PC01\\");
  TwuReg user(HKEY_CURRENT_USER);
  struct Case {
    const char* key;
    const char* section;
  } cases[] = {
      {"Form1", "USERS\\user1\\Form1"},
      {"\\Form1", "USERS\\user1\\Form1"},
      {"a\\\\b", "USERS\\user1\\a\\b"},
      {"a\\\\\\b", "USERS\\user1\\a\\\\b"},
      {"a\\\\\\\\b", "USERS\\user1\\a\\\\b"},
      {"Soft\\Ware", "USERS\\user1\\Soft\\Ware"},
  };
  for (const Case& c : cases) EXPECT_EQ(user.SectionOf(c.key), c.section) << c.key;
  plain.WriteInteger("Form1", "Left", 1);
  EXPECT_TRUE(Contains("[LOCAL_MACHINE\\PC01Form1]"));
}

TEST_F(WuRegTest, WorkstationAndUserFromTheEnvironment) {
  struct Case {
    const char* clientName;
    const char* computerName;
    const char* workstation;
  } cases[] = {
      {"", "PC01", "PC01"},
      {"TS07", "PC01", "TS07"},
      {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    wuReg_finalization();
    ScopedEnv cn("CLIENTNAME", c.clientName);
    ScopedEnv pc("COMPUTERNAME", c.computerName);
    InitRegFile();
    EXPECT_EQ(RegWorkstation, c.workstation);
  }
  // The names are compared in upper case; without one the user is empty.
  wuReg_finalization();
  {
    ScopedEnv none("USERNAME", nullptr);
    ScopedEnv mixed("UserName", " u2 ");
    InitRegFile();
    EXPECT_EQ(RegUserName, " u2 ");
  }
  wuReg_finalization();
  {
    ScopedEnv none("USERNAME", nullptr);
    TwuReg reg(HKEY_CURRENT_USER);
    EXPECT_EQ(reg.KeyRoot(), "USERS\\");
  }
  // Once prepared, the unit keeps user and workstation.
  ScopedEnv later("USERNAME", "someone-else");
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.KeyRoot(), "USERS\\");
}

TEST_F(WuRegTest, ReadIntegerAndReadValue) {
  TwuReg reg(HKEY_CURRENT_USER);
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0x1F", 31},  {"0X1f", 31}, {"0x", 77},  {"abc", 77}, {"", 77},
      {"-$10", -16}, {"42", 42},   {" 7", 7},   {"$FFFFFFFF", -1}, {"2147483648", 77},
  };
  for (const Case& c : cases) {
    reg.WriteString("Values", "V", c.text);
    EXPECT_EQ(reg.ReadInteger("Values", "V", 77), c.value) << c.text;
  }
  reg.WriteString("Values", "V", "0x1F");
  EXPECT_EQ(reg.ReadValue("Values", "V"), "$1F");
  reg.WriteString("Values", "V", "0x");
  EXPECT_EQ(reg.ReadValue("Values", "V"), "0x");
  EXPECT_EQ(reg.ReadInteger("Values", "Missing", 5), 5);
}

TEST_F(WuRegTest, LongValuesComeBackCut) {
  TwuReg reg(HKEY_CURRENT_USER);
  reg.WriteString("Long", "V", std::string(3000, 'v'));
  EXPECT_EQ(reg.ReadString("Long", "V", ""), std::string(2047, 'v'));
}

TEST_F(WuRegTest, AnExistingFileGetsNoCreatedSection) {
  std::filesystem::create_directories(drive.file("kuvo"));
  const std::string text = "[USERS\\user1\\Form1]\r\nLeft=\"12\"\r\n";
  drive.write("kuvo/kreg.cfg", text);
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(File(), text);
  ExpectHiddenSystemArchive();
  EXPECT_EQ(reg.ReadInteger("Form1", "Left", 0), 12);
}

TEST_F(WuRegTest, AStoreThatCannotBeWritten) {
  // "c:\kuvo" is a file, so the directory cannot be made.
  drive.write("kuvo", "in the way");
  try {
    TwuReg reg(HKEY_CURRENT_USER);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "In c:\\kuvo\\kreg.cfg kann nicht geschrieben werden");
  }
  EXPECT_EQ(RegFileName, "c:\\kuvo\\kreg.cfg");
  // Later instances are created; reads give defaults, writes raise.
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.ReadInteger("Form1", "Left", 3), 3);
  EXPECT_EQ(reg.ReadString("Form1", "Name", "d"), "d");
  EXPECT_THROW(reg.WriteInteger("Form1", "Left", 1), EIniFileException);
}

// A kreg.cfg that is a FIFO reads as empty and keeps the start from
// blocking (in a child that a watchdog ends should it block again).
TEST_F(WuRegTest, AStoreThatIsAFifoReadsAsEmpty) {
  std::filesystem::create_directories(drive.file("kuvo"));
  ASSERT_EQ(::mkfifo(drive.file("kuvo/kreg.cfg").c_str(), 0644), 0);
  const auto result = zeltest::RunInChild(
      [] {
        TwuReg reg(HKEY_CURRENT_USER);
        return reg.ReadInteger("Form1", "Left", 3) == 3 && reg.ReadString("Form1", "Name", "d") == "d" ? 0 : 1;
      },
      std::chrono::seconds(60));
  ASSERT_TRUE(result.Finished) << "the read blocked";
  EXPECT_EQ(result.ExitCode, 0);
  struct stat st{};
  ASSERT_EQ(::lstat(drive.file("kuvo/kreg.cfg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// Programs that start together on a workstation without kreg.cfg make one
// complete "CREATED" section between them and lose none of their first
// entries (an inner window's placement: four writes).
TEST_F(WuRegTest, ProgramsStartingTogetherMakeOneCreatedSectionAndLoseNoEntry) {
  constexpr int Programs = 4;
  const char* const Placement[] = {"Top", "Left", "Height", "Width"};
  const auto results = zeltest::RunInChildren(
      Programs,
      [&](int p) {
        ::setenv("USERNAME", ("user" + std::to_string(p)).c_str(), 1);
        try {
          TwuReg reg(HKEY_CURRENT_USER);
          for (int i = 0; i < 4; ++i) reg.WriteInteger("frmArtikel", Placement[i], p * 10 + i);
        } catch (const EIniFileException&) {
          return 1;
        }
        return 0;
      },
      std::chrono::seconds(60));
  ASSERT_EQ(zeltest::EndedWithZero(results), Programs) << "a program hung or its write was refused";
  const std::string text = File();
  const auto count = [&](const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("[CREATED]"), 1);
  for (const char* entry : {"\nDAT=2026.08.12 14:03:09\r", "\nAPP=zel_web_pricat\r", "\nUSR=user", "\nWRK=PC01\r"})
    EXPECT_EQ(count(entry), 1) << entry;
  for (int p = 0; p < Programs; ++p) {
    const std::string section = "USERS\\user" + std::to_string(p) + "\\frmArtikel";
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(TIniFile("c:\\kuvo\\kreg.cfg").ReadString(section, Placement[i], ""), std::to_string(p * 10 + i))
          << section << " " << Placement[i];
  }
}

// A store of a few MiB (shared by many users and workstations) reads and
// writes like a small one.
TEST_F(WuRegTest, AStoreOfSeveralMiBReadsAndWritesLikeASmallOne) {
  std::string text = "[CREATED]\r\nDAT=2020.01.01 00:00:00\r\nAPP=x\r\nUSR=u\r\nWRK=w\r\n";
  for (int s = 0; text.size() < 3u * 1024 * 1024; ++s) {
    text += "[USERS\\user" + std::to_string(s) + "\\frmArtikel]\r\n";
    for (const char* k : {"Top", "Left", "Height", "Width"}) text += std::string(k) + "=\"" + std::to_string(s) + "\"\r\n";
  }
  text += "[USERS\\user1\\frmSuche]\r\nLeft=\"1\"\r\n";
  std::filesystem::create_directories(drive.file("kuvo"));
  drive.write("kuvo/kreg.cfg", text);
  TwuReg reg(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.ReadInteger("frmSuche", "Left", -1), 1);
  EXPECT_EQ(reg.ReadString("frmArtikel", "Width", ""), "1");
  reg.WriteInteger("frmSuche", "Left", 250);
  reg.WriteInteger("frmSuche", "Top", 40);
  EXPECT_EQ(reg.ReadInteger("frmSuche", "Left", -1), 250);
  const std::string last = "Left=\"1\"\r\n";
  const std::string expected = text.substr(0, text.size() - last.size()) + "Left=\"250\"\r\nTop=\"40\"\r\n";
  EXPECT_EQ(File(), expected);
}

}  // namespace
