// Application environment: InitApplikation with KUVO.INI on a temporary
// drive C:, its helpers, and the date-number texts.
#include "foundation/ktool.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <vector>
#include <string>

#include "foundation/kmsg.h"
#include "platform/os/windows.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

using zeltest::ScopedEnv;

namespace {

// Drive C: is a fresh temporary directory; the program is C:\APP\ZEL.EXE;
// no name resolves, so no lookup leaves the machine.
class KToolTest : public ::testing::Test {
protected:
  KToolTest()
      : driveC("ZEL_DRIVE_C", drive.path().c_str()),
        runtime("ZEL_RUNTIME_DIR", drive.path().c_str()),
        clientName("CLIENTNAME", "term-07") {}

  void SetUp() override {
    ktool_finalization();
    MkDir("APP");
    platform::SetModuleFileNameOverride("C:\\APP\\ZEL.EXE");
    platform::SetHostResolver([](const std::string&) { return std::string(); });
  }
  void TearDown() override {
    ktool_finalization();
    platform::SetModuleFileNameOverride("");
    platform::SetHostResolver(nullptr);
    platform::SetComputerNameSource(nullptr);
  }

  void MkDir(const std::string& name) { std::filesystem::create_directories(drive.file(name)); }
  std::string Write(const std::string& name, const std::string& text) {
    return drive.write(name, text);
  }
  std::string Read(const std::string& name) { return drive.read(name); }
  bool Exists(const std::string& name) { return std::filesystem::exists(drive.file(name)); }

  zeltest::TempDir drive;
  ScopedEnv driveC, runtime, clientName;
};

TEST_F(KToolTest, DirectoriesFromTheProgramPath) {
  struct Case {
    const char* program;
    const char* programDir;
    const char* baseDir;
    const char* helpFile;
  } cases[] = {
      {"C:\\app\\extras\\x.exe", "C:\\APP\\EXTRAS", "C:\\APP", "C:\\APP\\x.HLP"},
      {"C:\\APP\\EXTRAS\\TOOLS\\x.exe", "C:\\APP\\EXTRAS\\TOOLS", "C:\\APP", "C:\\APP\\x.HLP"},
      {"C:\\APP\\EXTRASX\\Prog.Exe", "C:\\APP\\EXTRASX", "C:\\APP", "C:\\APP\\Prog.HLP"},
      {"C:\\App\\zel.exe", "C:\\APP", "C:\\APP", "C:\\APP\\zel.HLP"},
      // Only the upper-cased text is searched, and only ASCII letters change.
      {"C:\\m\xFC" "ll\\extra\\z.exe", "C:\\M\xFC" "LL\\EXTRA", "C:\\M\xFC" "LL\\EXTRA",
       "C:\\M\xFC" "LL\\EXTRA\\z.HLP"},
  };
  for (const Case& c : cases) {
    ktool_finalization();
    platform::SetModuleFileNameOverride(c.program);
    InitApplikation("TEST");
    EXPECT_EQ(ProgramDir, c.programDir) << c.program;
    EXPECT_EQ(BaseDir, c.baseDir) << c.program;
    EXPECT_EQ(IniFileName, std::string(c.baseDir) + "\\KUVO.INI") << c.program;
    EXPECT_EQ(HelpPath, c.baseDir) << c.program;
    EXPECT_EQ(HelpFile, c.helpFile) << c.program;
    EXPECT_EQ(LogFileName, std::string(c.baseDir) + "\\KUVO.LOG") << c.program;
  }
}

TEST_F(KToolTest, SecondCallChangesNothing) {
  Write("APP/KUVO.INI", "[CFG]\r\nDIAGNOSE=3\r\n[BARCODE]\r\nPREFIX=35\r\n");
  InitApplikation("LANGUAGE");
  EXPECT_TRUE(AppInitDone);
  EXPECT_EQ(DiagnoseLevel, 3);
  EXPECT_EQ(BarcodePrefix, '#');
  EXPECT_EQ(ClientName, "TERM-07");

  // Everything the first call read changes, and the program moves.
  Write("APP/KUVO.INI", "[CFG]\r\nDIAGNOSE=9\r\nCOLDG=1\r\n[BARCODE]\r\nPREFIX=65\r\n");
  ScopedEnv otherClient("CLIENTNAME", "other");
  platform::SetModuleFileNameOverride("C:\\ELSE\\EXTRAS\\Y.EXE");
  DateSeparator = '/';

  InitApplikation("KTOOL");
  EXPECT_EQ(DiagnoseLevel, 3);
  EXPECT_EQ(BarcodePrefix, '#');
  EXPECT_EQ(ClientName, "TERM-07");
  EXPECT_EQ(BaseDir, "C:\\APP");
  EXPECT_EQ(DateSeparator, '/');
  // No migration ran either.
  EXPECT_EQ(Read("APP/KUVO.INI"), "[CFG]\r\nDIAGNOSE=9\r\nCOLDG=1\r\n[BARCODE]\r\nPREFIX=65\r\n");
}

TEST_F(KToolTest, BarcodePrefix) {
  struct Case {
    const char* ini;  // nullptr: no file
    char prefix;
  } cases[] = {
      {nullptr, '*'},
      {"[BARCODE]\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=abc\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=0\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=-5\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=35\r\n", '#'},
      {"[BARCODE]\r\nPREFIX=$41\r\n", 'A'},
      {"[BARCODE]\r\nPREFIX=0x41\r\n", 'A'},
      {"[BARCODE]\r\nPREFIX=298\r\n", '*'},
      {"[BARCODE]\r\nPREFIX=321\r\n", 'A'},
  };
  for (const Case& c : cases) {
    ktool_finalization();
    std::filesystem::remove(drive.file("APP/KUVO.INI"));
    if (c.ini) Write("APP/KUVO.INI", c.ini);
    InitApplikation("TEST");
    EXPECT_EQ(BarcodePrefix, c.prefix) << (c.ini ? c.ini : "(no file)");
  }
}

TEST_F(KToolTest, OldColourKeysMoveToNewKeys) {
  Write("APP/KUVO.INI",
        "[CFG]\r\nDIAGNOSE=2\r\nCOLDG=255\r\nCOLEI=\r\nCOLLI=$00FF00\r\n[OTHER]\r\nCOLDR=7\r\n");
  InitApplikation("TEST");
  EXPECT_EQ(DiagnoseLevel, 2);
  TIniFile ini("C:\\APP\\KUVO.INI");
  EXPECT_EQ(ini.ReadString("CFG", "FAR_0", "-"), "255");
  EXPECT_EQ(ini.ReadString("CFG", "FAR_10", "-"), "$00FF00");
  EXPECT_FALSE(ini.ValueExists("CFG", "COLDG"));
  EXPECT_FALSE(ini.ValueExists("CFG", "COLLI"));
  // An empty old key stays where it is and is not moved.
  EXPECT_TRUE(ini.ValueExists("CFG", "COLEI"));
  EXPECT_FALSE(ini.ValueExists("CFG", "FAR_2"));
  // Only "CFG" is looked at.
  EXPECT_EQ(ini.ReadString("OTHER", "COLDR", "-"), "7");
  EXPECT_FALSE(ini.ValueExists("CFG", "FAR_1"));

  // At the next start FAR_0 reads 255: no migration, a new old key stays.
  ini.WriteString("CFG", "COLDR", "9");
  ktool_finalization();
  InitApplikation("TEST");
  EXPECT_EQ(ini.ReadString("CFG", "COLDR", "-"), "9");
  EXPECT_FALSE(ini.ValueExists("CFG", "FAR_1"));
}

TEST_F(KToolTest, NoMigrationWhenFar0IsSetOrNothingToMove) {
  const char* files[] = {
      "[CFG]\r\nFAR_0=5\r\nCOLDG=255\r\n",
      "[CFG]\r\nDIAGNOSE=1\r\n; comment\r\n",
  };
  for (const char* text : files) {
    ktool_finalization();
    Write("APP/KUVO.INI", text);
    InitApplikation("TEST");
    EXPECT_EQ(Read("APP/KUVO.INI"), text);
  }
  // A missing file is no error and is not created.
  ktool_finalization();
  std::filesystem::remove(drive.file("APP/KUVO.INI"));
  InitApplikation("TEST");
  EXPECT_FALSE(Exists("APP/KUVO.INI"));
  EXPECT_EQ(DiagnoseLevel, 0);
}

TEST_F(KToolTest, ReplacementFileReplacesKuvoIni) {
  Write("APP/KUVO.INI", "[CFG]\r\nDIAGNOSE=1\r\nHELPPATH=C:\\OLD\r\nCOLDG=255\r\n");
  MkDir("KUVO");
  const std::string replacement = "[CFG]\r\nDIAGNOSE=2\r\nHELPPATH=C:\\NEW\\HELP\r\n";
  Write("KUVO/KUVOINI.ORG", replacement);
  InitApplikation("TEST");
  // Steps before the replacement read the old file, HELPPATH the new one.
  EXPECT_EQ(DiagnoseLevel, 1);
  EXPECT_EQ(HelpPath, "C:\\NEW\\HELP");
  EXPECT_EQ(HelpFile, "C:\\NEW\\HELP\\ZEL.HLP");
  EXPECT_FALSE(Exists("KUVO/KUVOINI.ORG"));
  EXPECT_EQ(Read("APP/KUVO.INI"), replacement);
}

// The program's folder on another file system than drive C: (the
// shared-memory tmpfs): the replacement file still replaces KUVO.INI.
TEST_F(KToolTest, ReplacementFileFromAnotherFileSystem) {
  std::optional<zeltest::TempDir> program;
  {
    ScopedEnv tmp("TMPDIR", "/dev/shm");
    if (::access("/dev/shm", W_OK) == 0) program.emplace();
  }
  struct stat here{}, there{};
  if (!program || ::stat(drive.path().c_str(), &here) != 0 || ::stat(program->path().c_str(), &there) != 0 ||
      here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system: /dev/shm is missing or on the same one as " << drive.path();
  program->write("KUVO.INI", "[CFG]\r\nHELPPATH=C:\\OLD\r\n");
  platform::SetModuleFileNameOverride(platform::ToWindowsPath(program->file("ZEL.EXE")));
  MkDir("KUVO");
  const std::string replacement = "[CFG]\r\nHELPPATH=C:\\NEW\r\n";
  Write("KUVO/KUVOINI.ORG", replacement);
  InitApplikation("TEST");
  EXPECT_EQ(HelpPath, "C:\\NEW");
  EXPECT_EQ(program->read("KUVO.INI"), replacement);
  EXPECT_FALSE(Exists("KUVO/KUVOINI.ORG"));
}

// A KUVO.INI that is a FIFO or a link to /dev/zero reads as a missing one:
// the start goes on with the defaults (run in a child that a watchdog ends
// should the read ever block or grow again).
TEST_F(KToolTest, KuvoIniThatIsNoFileReadsAsMissing) {
  ASSERT_EQ(::mkfifo(drive.file("APP/KUVO.INI").c_str(), 0644), 0);
  MkDir("ZERO");
  ASSERT_EQ(::symlink("/dev/zero", drive.file("ZERO/KUVO.INI").c_str()), 0);
  const auto result = zeltest::RunInChild(
      [] {
        for (const char* program : {"C:\\APP\\ZEL.EXE", "C:\\ZERO\\ZEL.EXE"}) {
          ktool_finalization();
          platform::SetModuleFileNameOverride(program);
          InitApplikation("TEST");
          if (DiagnoseLevel != 0 || BarcodePrefix != '*' || HelpPath != BaseDir) return 1;
          if (ReadIniString("CFG", "HELPPATH", "def", "") != "def") return 2;
        }
        return 0;
      },
      std::chrono::seconds(60), false, 512u * 1024 * 1024);
  ASSERT_TRUE(result.Finished) << "the start blocked";
  EXPECT_EQ(result.ExitCode, 0);
}

TEST_F(KToolTest, MoveFileReplaceKeepsTheTargetWhenTheMoveFails) {
  Write("APP/KUVO.INI", "old");
  EXPECT_FALSE(MoveFileReplace("C:\\APP\\MISSING.ORG", "C:\\APP\\KUVO.INI"));
  EXPECT_EQ(Read("APP/KUVO.INI"), "old");

  Write("APP/NEW.ORG", "new");
  SetFileAttributesA("C:\\APP\\KUVO.INI", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(MoveFileReplace("C:\\APP\\NEW.ORG", "C:\\APP\\KUVO.INI"));
  EXPECT_EQ(Read("APP/KUVO.INI"), "new");
  EXPECT_FALSE(Exists("APP/NEW.ORG"));
}

TEST_F(KToolTest, ForceDeleteFile) {
  Write("APP/RO.TXT", "x");
  SetFileAttributesA("C:\\APP\\RO.TXT", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(ForceDeleteFile("C:\\APP\\RO.TXT"));
  EXPECT_FALSE(Exists("APP/RO.TXT"));
  EXPECT_TRUE(ForceDeleteFile("C:\\APP\\NEVER.TXT"));
}

TEST_F(KToolTest, GermanDateFormatsAfterStartUp) {
  DateSeparator = '/';
  TimeSeparator = '-';
  ShortDateFormat = "M/d/yyyy";
  LongDateFormat = "x";
  ShortTimeFormat = "x";
  LongTimeFormat = "x";
  InitApplikation("TEST");
  EXPECT_EQ(DateSeparator, '.');
  EXPECT_EQ(TimeSeparator, ':');
  EXPECT_EQ(LongDateFormat, "dddd, d. MMMM yyyy");
  EXPECT_EQ(ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(LongTimeFormat, "hh:mm:ss");
  EXPECT_EQ(ShortTimeFormat, "hh:mm");
  const TDateTime t = EncodeDate(2024, 1, 5) + EncodeTime(14, 3, 9, 0);
  EXPECT_EQ(FormatDateTime(ShortDateFormat, t), "05.01.2024");
  EXPECT_EQ(FormatDateTime(LongTimeFormat, t), "14:03:09");
}

TEST_F(KToolTest, DebugMarker) {
  InitApplikation("TEST");
  EXPECT_FALSE(DebugMarker);
  ktool_finalization();
  Write("_kuvo.debug", "");
  InitApplikation("TEST");
  EXPECT_TRUE(DebugMarker);
  EXPECT_NE(GetFixedDrives().find("C:\\"), std::string::npos);
}

TEST_F(KToolTest, ClientNameAndLocalAddress) {
  EXPECT_EQ(GetClientName(), "TERM-07");
  {
    // A long CLIENTNAME is not cut.
    ScopedEnv longClient("CLIENTNAME", "terminal-server-session-0042");
    EXPECT_EQ(GetClientName(), "TERMINAL-SERVER-SESSION-0042");
  }
  {
    ScopedEnv noClient("CLIENTNAME", nullptr);
    platform::SetComputerNameSource([] { return std::string("workstation-with-long-name-07"); });
    EXPECT_EQ(GetClientName(), "WORKSTATION-WITH-LON");
  }
  platform::SetHostResolver(
      [](const std::string& host) { return host == "TERM-07" ? std::string("10.1.2.3") : std::string(); });
  InitApplikation("TEST");
  EXPECT_EQ(ClientName, "TERM-07");
  EXPECT_EQ(LocalIP, "10.1.2.3");
}

// The address is the first one of the client name's lookup, else the first
// one of the own host name's lookup, as given (loopback too); nothing found
// gives an empty text.
TEST_F(KToolTest, LocalAddressIsTheFirstOfTheNameLookups) {
  const std::string host = platform::LocalHostName();
  struct Case {
    const char* clientAnswer;
    const char* hostAnswer;
    const char* address;
  } cases[] = {
      {"", "", ""},
      {"10.1.2.3", "192.168.7.9", "10.1.2.3"},
      {"", "192.168.7.9", "192.168.7.9"},
      {"", "127.0.1.1", "127.0.1.1"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> asked;
    platform::SetHostResolver([&](const std::string& name) {
      asked.push_back(name);
      return std::string(name == "TERM-07" ? c.clientAnswer : name == host ? c.hostAnswer : "");
    });
    ktool_finalization();
    InitApplikation("TEST");
    EXPECT_EQ(LocalIP, c.address) << c.clientAnswer << "/" << c.hostAnswer;
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], "TERM-07");
    EXPECT_EQ(asked.size(), std::string(c.clientAnswer).empty() ? 2u : 1u);
    if (asked.size() > 1) {
      EXPECT_EQ(asked[1], host);
    }
  }
}

TEST_F(KToolTest, HelpMapIsSortedWithoutDuplicates) {
  Write("APP/KUVO.INI", "[CFG]\r\nHELPPATH=C:\\HELP\r\n");
  MkDir("HELP");
  Write("HELP/ZEL.MAP", "beta\r\nAlpha\nBETA\rgamma\r\n");
  InitApplikation("TEST");
  ASSERT_TRUE(HelpMap);
  ASSERT_EQ(HelpMap->Count(), 3);
  EXPECT_EQ(HelpMap->Strings(0), "Alpha");
  EXPECT_EQ(HelpMap->Strings(1), "beta");
  EXPECT_EQ(HelpMap->Strings(2), "gamma");
  ktool_finalization();
  EXPECT_FALSE(HelpMap);
}

// A help map that is a FIFO exists but cannot be opened: the file layer's
// open error ends the start, at once rather than after a writer came
// (started in a child under a watchdog).
TEST_F(KToolTest, HelpMapThatIsNoFileRaisesTheOpenError) {
  Write("APP/KUVO.INI", "[CFG]\r\nHELPPATH=C:\\HELP\r\n");
  MkDir("HELP");
  ASSERT_EQ(::mkfifo(drive.file("HELP/ZEL.MAP").c_str(), 0644), 0);
  const auto result = zeltest::RunInChild(
      [] {
        try {
          InitApplikation("TEST");
          return 1;
        } catch (const EFOpenError& e) {
          return e.Message() == "Datei C:\\HELP\\ZEL.MAP kann nicht ge\xF6" "ffnet werden. Zugriff verweigert." ? 0 : 2;
        }
      },
      std::chrono::seconds(20));
  ASSERT_TRUE(result.Finished) << "the start blocked";
  EXPECT_EQ(result.ExitCode, 0) << "1: no error, 2: another message";
}

TEST_F(KToolTest, ReadIniStringWithSuffix) {
  Write("APP/KUVO.INI", "[CFG_X]\r\nA=1\r\nE=\r\n[CFG]\r\nA=2\r\nB=3\r\nE=\r\n");
  InitApplikation("TEST");
  struct Case {
    const char* section;
    const char* ident;
    const char* suffix;
    const char* result;
  } cases[] = {
      {"CFG", "A", "X", "1"},   {"CFG", "B", "X", "3"}, {"CFG", "C", "X", "def"},
      {"CFG", "A", "", "2"},    {"CFG", "E", "X", "def"}, {"CFG", "A", "Y", "2"},
      {"", "A", "X", ""},       {"", "A", "", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadIniString(c.section, c.ident, "def", c.suffix), c.result)
        << c.section << "/" << c.ident << "/" << c.suffix;
  EXPECT_EQ(SectionWithSuffix("CFG", "X"), "CFG_X");
  EXPECT_EQ(SectionWithSuffix("CFG", ""), "CFG");
}

TEST(KToolSettingsInt, Conversion) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  } cases[] = {
      {"12", true, 12},          {"  12", true, 12},        {"+7", true, 7},
      {"-5", true, -5},          {"$FF", true, 255},        {"0x1F", true, 31},
      {"0X1f", true, 31},        {"x1F", true, 31},         {"X1f", true, 31},
      {"-$10", true, -16},       {"$FFFFFFFF", true, -1},   {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},  {"$100000000", false, 0},  {"0x", false, 0},
      {"$", false, 0},           {"", false, 0},            {"12a", false, 0},
      {"12 ", false, 0},         {"abc", false, 0},         {"- 5", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t v = 0;
    EXPECT_EQ(TryReadSettingsInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(DateNumbers, DateIntToStr) {
  struct Case {
    std::int32_t value;
    const char* text;
  } cases[] = {
      {0, ""},
      {20301231, ""},
      {19900101, ""},
      {19900102, "02.01.1990"},
      {20240105, "05.01.2024"},
      {-1, ""},
      {20231345, "45.13.2023"},
      {123456789, "89.67.12345"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateIntToStr(c.value), c.text) << c.value;
}

TEST(DateNumbers, FormatDateIntSwitches) {
  struct Case {
    std::int32_t value;
    bool checkMin, showSpecial, fourDigitYear;
    const char* text;
  } cases[] = {
      {0, true, true, true, "Ursprung"},
      {0, false, true, false, "Ursprung"},
      {20301231, true, true, true, "Immer"},
      {20301231, false, false, true, ""},
      {19891231, true, true, true, "Dat. Err"},
      {-20240105, true, true, true, "Dat. Err"},
      {19891231, true, false, true, ""},
      {19891231, false, false, true, "31.12.1989"},
      {20240105, true, false, false, "05.01.24"},
      {20000101, true, false, false, "01.01.00"},
      {19991231, true, true, false, "31.12.99"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateInt(c.value, c.checkMin, c.showSpecial, c.fourDigitYear), c.text)
        << c.value << " " << c.checkMin << c.showSpecial << c.fourDigitYear;
}

}  // namespace
