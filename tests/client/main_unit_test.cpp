// Unit tests of the main window's own logic: the remembered-password line
// and file, the season names, the settings read at creation and written at
// destruction.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/main.h"
#include "controls/K_Edit.h"
#include "controls/kCtrls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "platform/os/windows.h"
#include "platform/rtl/inifiles.h"
#include "tests/support/tempdir.h"

namespace {

// ---------------------------------------------------------------- password line

struct EncodeCase {
  const char* Password;
  const char* Line;
};

TEST(MainPasswordLine, EncodesReversedTwoDigitUpperHex) {
  const std::vector<EncodeCase> Cases = {
      {"", "{}"},
      {"A", "{41}"},
      {"abc", "{636261}"},
      {"\x05x", "{7805}"},          // leading zero kept
      {"\xE4\xDF", "{DFE4}"},       // 8-bit characters as their code
      {"geheim", "{6D6965686567}"},
  };
  for (const auto& C : Cases) EXPECT_EQ(TfrmMAIN::EncodePasswordLine(C.Password), C.Line) << C.Password;
}

struct DecodeCase {
  const char* Line;
  const char* Password;
};

TEST(MainPasswordLine, DecodesPairsFromTheEnd) {
  const std::vector<DecodeCase> Cases = {
      {"{636261}", "abc"},
      {"{7805}", "\x05x"},
      {"x4142y", "BA"},      // first and last character skipped, whatever they are
      {"{41424}", "$\x14"},  // odd length 7: pairs at 5 and 3; positions 1, 2 and 7 ignored
      {"{4}", ""},           // length 3 or less gives nothing
      {"{}", ""},
      {"", ""},
      {"{6a}", "j"},        // lower-case digits
      {"{G741}", "A "},     // a pair that is no hex number gives a blank
      {"{4G}", " "},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(TfrmMAIN::DecodePasswordLine(C.Line), std::string(C.Password)) << C.Line;
}

TEST(MainPasswordLine, EveryByteRoundTrips) {
  std::string All;
  for (int c = 0; c < 256; ++c) All += static_cast<char>(c);
  const AnsiString Line = TfrmMAIN::EncodePasswordLine(All);
  EXPECT_EQ(Line.size(), 2 * All.size() + 2);
  EXPECT_EQ(TfrmMAIN::DecodePasswordLine(Line), All);
}

TEST(MainPasswordLine, FileNameIsARegistryFormGuid) {
  const std::string Name = TfrmMAIN::PasswordFileName;
  ASSERT_EQ(Name.size(), 38u);
  for (std::size_t i = 0; i < Name.size(); ++i) {
    const char c = Name[i];
    if (i == 0) EXPECT_EQ(c, '{');
    else if (i == 37) EXPECT_EQ(c, '}');
    else if (i == 9 || i == 14 || i == 19 || i == 24) EXPECT_EQ(c, '-');
    else EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << i;
  }
}

// ---------------------------------------------------------------- season names

TEST(MainSeasonName, StandardBelowTenThenHalfYears) {
  const std::vector<std::pair<Integer, const char*>> Cases = {
      {9, "9 - Standard"},      {0, "0 - Standard"},     {-3, "-3 - Standard"},
      {10, "10 - FS 1998"},     {11, "11 - HW 1998"},    {12, "12 - FS 1999"},
      {25, "25 - HW 2005"},     {26, "26 - FS 2006"},    {27, "27 - HW 2006"},
  };
  for (const auto& [Code, Text] : Cases) EXPECT_EQ(TfrmMAIN::SeasonName(Code), Text) << Code;
}

// ---------------------------------------------------------------- the window

std::string WindowsPath(const std::string& HostPath) {
  std::string W = "Z:" + HostPath;
  for (char& c : W)
    if (c == '/') c = '\\';
  return W;
}

// A window in a directory of its own: the program (and so its settings
// file) in app/, the temp directory in tmp/, the current directory in cwd/
// (where the debug marker files would be); message boxes are recorded.
class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(::mkdir(Dir.file("app").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Dir.file("tmp").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Dir.file("cwd").c_str(), 0700), 0);
    const char* OldTmp = std::getenv("TMPDIR");
    FOldTmp = OldTmp ? OldTmp : "";
    FHadTmp = OldTmp != nullptr;
    ::setenv("TMPDIR", Dir.file("tmp").c_str(), 1);
    char Cwd[4096];
    ASSERT_NE(::getcwd(Cwd, sizeof Cwd), nullptr);
    FOldCwd = Cwd;
    ASSERT_EQ(::chdir(Dir.file("cwd").c_str()), 0);
    platform::SetModuleFileNameOverride(WindowsPath(Dir.file("app/zel_web_pricat.exe")));
    FOldPresenter = platform::SetMessageBoxPresenter(
        [this](HWND, const AnsiString& Text, const AnsiString&, UINT) {
          Boxes.push_back(Text);
          return IDOK;
        });
  }
  void TearDown() override {
    Form.reset();
    platform::SetMessageBoxPresenter(FOldPresenter);
    platform::SetModuleFileNameOverride("");
    if (FHadTmp) ::setenv("TMPDIR", FOldTmp.c_str(), 1);
    else ::unsetenv("TMPDIR");
    EXPECT_EQ(::chdir(FOldCwd.c_str()), 0);
  }

  std::string IniPath() const { return Dir.file("app/zel_web_pricat.ini"); }
  std::string PasswordPath() const { return Dir.file("tmp/") + TfrmMAIN::PasswordFileName; }
  void WriteSettings(const std::string& Text) { Dir.write("app/zel_web_pricat.ini", Text); }
  AnsiString Setting(const char* Key) {
    TIniFile Ini(IniPath());
    return Ini.ReadString("CFG", Key, "<none>");
  }
  void Create() { Form.reset(new TfrmMAIN(nullptr)); }

  platform::test::TempDir Dir;
  std::unique_ptr<TfrmMAIN> Form;
  std::vector<AnsiString> Boxes;

private:
  std::string FOldTmp;
  bool FHadTmp = false;
  std::string FOldCwd;
  platform::MessageBoxPresenter FOldPresenter;
};

TEST_F(MainWindowTest, CreationShowsVersionStatusesAndLogo) {
  Create();
  EXPECT_EQ(Form->Caption(), AnsiString("ZEL-Pricat-Viewer: Version: ") + ZEL_VERSION_TEXT);
  EXPECT_EQ(Form->lbStmStatus->Caption(), "Artikelstatus:");
  EXPECT_EQ(Form->lbPicStatus->Caption(), "Bildstatus:");
  EXPECT_EQ(Form->FShownEid, -1);
  EXPECT_EQ(Form->FEndpoint, TfrmMAIN::DefaultEndpoint);
  EXPECT_EQ(Form->lbSoapAdr->Caption(), TfrmMAIN::DefaultEndpoint);
  EXPECT_EQ(Form->FLnd, "de");
  EXPECT_EQ(Form->Image1->Picture()->Width(), 265);
  EXPECT_EQ(Form->Image1->Picture()->Height(), 81);
  EXPECT_EQ(Form->Width(), 766);
  EXPECT_EQ(Form->Height(), 970);
  EXPECT_FALSE(Form->btKCSV->Visible());
  EXPECT_FALSE(Form->deb->Visible());
  EXPECT_EQ(Form->FTempDir, WindowsPath(Dir.file("tmp")));
  EXPECT_TRUE(Boxes.empty());
}

struct PlacementCase {
  const char* Top;
  const char* Left;
  const char* Height;
  int WantTop, WantLeft, WantHeight;  // -1: the description's value
};

TEST_F(MainWindowTest, PlacementAppliesOnlyUsableValues) {
  const std::vector<PlacementCase> Cases = {
      {"5", "8", "649", -1, -1, -1},
      {"11", "12", "650", 11, 12, 650},
      {"abc", "", "x", -1, -1, -1},
      {"300", "400", "800", 300, 400, 800},
  };
  Create();
  const int DescTop = Form->Top(), DescLeft = Form->Left(), DescHeight = Form->Height();
  Form.reset();
  for (const auto& C : Cases) {
    WriteSettings(std::string("[CFG]\nTop=") + C.Top + "\nLeft=" + C.Left + "\nHeight=" + C.Height + "\n");
    Create();
    EXPECT_EQ(Form->Top(), C.WantTop < 0 ? DescTop : C.WantTop) << C.Top;
    EXPECT_EQ(Form->Left(), C.WantLeft < 0 ? DescLeft : C.WantLeft) << C.Left;
    EXPECT_EQ(Form->Height(), C.WantHeight < 0 ? DescHeight : C.WantHeight) << C.Height;
    Form.reset();
  }
}

TEST_F(MainWindowTest, ReadsRememberedInputsAndAddress) {
  WriteSettings(
      "[CFG]\nUSER=kunde\nPASS=offen\nSAI=21\nFAB=AS-47\nHER=1203\nLND=AT\n"
      "htp_adr=http://example.invalid:81/services/zel.asmx\nTop=abc\n");
  Create();
  EXPECT_EQ(Form->edUser->Text(), "kunde");
  EXPECT_EQ(Form->edPass->Text(), "");  // never from the settings file
  EXPECT_EQ(Form->FSai, "21");
  EXPECT_EQ(Form->FFab, "AS-47");
  EXPECT_EQ(Form->FHer, "1203");
  EXPECT_EQ(Form->FLnd, "AT");
  EXPECT_EQ(Form->FTop, -1);
  EXPECT_EQ(Form->FEndpoint, "http://example.invalid:81/services/zel.asmx");
  EXPECT_EQ(Form->lbSoapAdr->Caption(), Form->FEndpoint);
}

TEST_F(MainWindowTest, DestructionWritesUserAndPlacementAndDropsPass) {
  WriteSettings("[CFG]\nUSER=alt\nPASS=geheim\nTop=120\n; note\n");
  Create();
  Form->edUser->SetText("neu");
  Form.reset();
  EXPECT_EQ(Setting("USER"), "neu");
  EXPECT_EQ(Setting("PASS"), "<none>");
  EXPECT_EQ(Setting("Top"), "120");  // as read: the window was not closed
  EXPECT_EQ(Setting("Left"), "-1");
  EXPECT_EQ(Setting("Height"), "-1");
  EXPECT_NE(Dir.read("app/zel_web_pricat.ini").find("; note"), std::string::npos);
}

TEST_F(MainWindowTest, CloseRemembersPlacementForDestruction) {
  Create();
  Form->SetBounds(150, 160, 766, 700);
  TCloseAction Action = caHide;
  Form->FormClose(Form.get(), Action);
  Form.reset();
  EXPECT_EQ(Setting("Top"), "160");
  EXPECT_EQ(Setting("Left"), "150");
  EXPECT_EQ(Setting("Height"), "700");
}

TEST_F(MainWindowTest, RefusedSettingsWriteAtExitIsShownAndExitGoesOn) {
  WriteSettings("[CFG]\nUSER=alt\n");
  ASSERT_EQ(::chmod(IniPath().c_str(), 0444), 0);
  Create();
  Form.reset();  // must not raise
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("kann nicht geschrieben werden"), std::string::npos) << Boxes[0];
  EXPECT_EQ(Setting("USER"), "alt");
}

TEST_F(MainWindowTest, DebugMarkersShowButtonsAndList) {
  Dir.write("cwd/zel_web_pricat.exe.debug.wu", "");
  Create();
  EXPECT_TRUE(Form->FDebugList);
  EXPECT_TRUE(Form->deb->Visible());
  EXPECT_EQ(Form->deb->Left(), Form->edMINQTY->Left());
  EXPECT_FALSE(Form->FDebugMode);
  EXPECT_FALSE(Form->btKCSV->Visible());
  EXPECT_FALSE(Form->btEDIpricat->Visible());
  Form.reset();
  Dir.write("cwd/zel_web_pricat.exe.debug", "");
  Create();
  EXPECT_TRUE(Form->FDebugMode);
  EXPECT_TRUE(Form->btKCSV->Visible());
  EXPECT_TRUE(Form->btEDIpricat->Visible());
}

// ---------------------------------------------------------------- password file

TEST_F(MainWindowTest, SavedPasswordIsPrivateAndLoadsAtNextStart) {
  Create();
  Form->edPass->SetText("ge\xE4heim");
  Form->SavePassword();
  EXPECT_EQ(Dir.read(std::string("tmp/") + TfrmMAIN::PasswordFileName),
            TfrmMAIN::EncodePasswordLine("ge\xE4heim") + "\r\n");
  struct stat St {};
  ASSERT_EQ(::lstat(PasswordPath().c_str(), &St), 0);
  EXPECT_TRUE(S_ISREG(St.st_mode));
  EXPECT_EQ(St.st_mode & 0777, 0600u);
  Form.reset();
  Create();
  EXPECT_EQ(Form->edPass->Text(), "ge\xE4heim");
}

TEST_F(MainWindowTest, SameOrEmptyPasswordIsNotWritten) {
  Create();
  Form->edPass->SetText("");
  Form->SavePassword();
  EXPECT_NE(::access(PasswordPath().c_str(), F_OK), 0);
  // Lower-case digits: a rewrite would show as upper case.
  Dir.write(std::string("tmp/") + TfrmMAIN::PasswordFileName, "{6a}\r\n");
  Form->edPass->SetText("j");
  Form->SavePassword();
  EXPECT_EQ(Dir.read(std::string("tmp/") + TfrmMAIN::PasswordFileName), "{6a}\r\n");
  Form->edPass->SetText("k");
  Form->SavePassword();
  EXPECT_EQ(Dir.read(std::string("tmp/") + TfrmMAIN::PasswordFileName), "{6B}\r\n");
}

TEST_F(MainWindowTest, LinkAtThePasswordLocationIsNeitherReadNorFollowed) {
  const std::string Target = Dir.write("elsewhere", "{4142}\r\n");
  ASSERT_EQ(::symlink(Target.c_str(), PasswordPath().c_str()), 0);
  Create();
  EXPECT_EQ(Form->LoadPassword(), "");
  EXPECT_EQ(Form->edPass->Text(), "");
  Form->edPass->SetText("neu");
  Form->SavePassword();
  EXPECT_EQ(Dir.read("elsewhere"), "{4142}\r\n");
  struct stat St {};
  ASSERT_EQ(::lstat(PasswordPath().c_str(), &St), 0);
  EXPECT_TRUE(S_ISREG(St.st_mode));
  EXPECT_EQ(Form->LoadPassword(), "neu");
}

TEST_F(MainWindowTest, PasswordFileOfAnotherUserIsIgnored) {
  Dir.write(std::string("tmp/") + TfrmMAIN::PasswordFileName, "{4142}\r\n");
  if (::geteuid() != 0 || ::chown(PasswordPath().c_str(), 65534, 65534) != 0)
    GTEST_SKIP() << "needs the right to give a file to another user";
  Create();
  EXPECT_EQ(Form->LoadPassword(), "");
  EXPECT_EQ(Form->edPass->Text(), "");
}

TEST_F(MainWindowTest, UnreadableOrEmptyPasswordFileGivesNothing) {
  for (const char* Content : {"", "\r\n", "{}\r\n{4142}\r\n"}) {
    Dir.write(std::string("tmp/") + TfrmMAIN::PasswordFileName, Content);
    Create();
    EXPECT_EQ(Form->LoadPassword(), "") << Content;
    Form.reset();
  }
  Dir.write(std::string("tmp/") + TfrmMAIN::PasswordFileName, "{4142}");  // no line end
  Create();
  EXPECT_EQ(Form->LoadPassword(), "BA");
}

}  // namespace
