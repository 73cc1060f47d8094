// Unit tests of the main window's own logic: the remembered-password line
// and file, the season names, the settings read at creation and written at
// destruction.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/main.h"
#include "controls/K_Edit.h"
#include "controls/kCtrls.h"
#include "foundation/kcsvFile.h"
#include "platform/gui/buttons.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "platform/rtl/inifiles.h"
#include "platform/gui/timer.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/codepage.h"
#include "tests/support/held_time.h"
#include "tests/support/scoped_env.h"
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
  // The window's timer fires only when a test fires it.
  zeltest::HeldTime Time;
  void SetUp() override {
    ASSERT_EQ(::mkdir(Dir.file("app").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Dir.file("tmp").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Dir.file("cwd").c_str(), 0700), 0);
    FTmp.emplace("TMPDIR", Dir.file("tmp").c_str());
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
    FTmp.reset();
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

  zeltest::TempDir Dir;
  std::unique_ptr<TfrmMAIN> Form;
  std::vector<AnsiString> Boxes;

private:
  std::optional<zeltest::ScopedEnv> FTmp;
  std::string FOldCwd;
  platform::MessageBoxPresenter FOldPresenter;
};

TEST_F(MainWindowTest, CreationShowsVersionStatusesAndLogo) {
  // The caption shows the version of the program file itself.
  ASSERT_EQ(::symlink(ZEL_PROGRAM_PATH, Dir.file("app/zel_web_pricat.exe").c_str()), 0);
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

// ---------------------------------------------------------------- with a stub service
// The display and search logic against a service whose answers the test
// sets (the wire itself is covered by the end-to-end tests).

class StubService : public zelserviceSoap {
public:
  std::function<std::unique_ptr<zelTextData>(Integer Format, Integer Eid)> Pricat;
  std::function<std::unique_ptr<zelTextData>(Integer Her, Integer Sai)> Search;
  std::function<std::unique_ptr<zelPicture>(Integer Id)> Picture;
  std::vector<std::pair<Integer, Integer>> PricatCalls;  // format, eid

  std::unique_ptr<zelPicture> GetPic(const WideString&, const WideString&, Integer Id) override {
    return Picture(Id);
  }
  Integer PicExist(Integer) override { return 0; }
  std::unique_ptr<zelTextData> SearchART(Integer, const WideString&, const WideString&, Integer,
                                         const WideString&) override {
    throw Exception("not used");
  }
  std::unique_ptr<zelTextData> SearchART2(Integer, const WideString&, const WideString&, Integer Her,
                                          const WideString&, Integer Sai) override {
    return Search(Her, Sai);
  }
  std::unique_ptr<zelTextData> PicInfo(Integer, Integer) override { throw Exception("not used"); }
  std::unique_ptr<zelTextData> GetEAN(Integer, const WideString&, const WideString&, Integer) override {
    throw Exception("not used");
  }
  std::unique_ptr<zelTextData> GetPRICAT(Integer Format, const WideString&, const WideString&, Integer Eid,
                                         const WideString&) override {
    PricatCalls.emplace_back(Format, Eid);
    return Pricat(Format, Eid);
  }
};

std::unique_ptr<zelTextData> Answer(const AnsiString& Buf, Integer Status = 0) {
  auto R = std::make_unique<zelTextData>();
  R->SetStatus(Status);
  R->SetMsg(platform::AnsiToWide("OK"));
  R->SetBuf(platform::AnsiToWide(Buf));
  return R;
}

const char* const FullArticle =
    "@art,eid[INT],mf[INT],mf_name[STR],her[INT],hname[STR],fab[STR],hbrn[STR],sai[INT],nos[INT]\n"
    "4711^42^ Muster ^1203^Alpenstieg^AS-4711^ALPEN^26^1\n"
    "@srm,etk[STR],ean[STR],ekp[INT],uvp[INT],qaz[INT]\n"
    "38^4012345000017^123456^1999^1\n";

class MainDisplayTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Create();
    Stub = std::make_shared<StubService>();
    Stub->Pricat = [](Integer, Integer) { return Answer(FullArticle); };
    Form->FService = Stub;
    Form->FCsvFile = std::make_unique<TKcsvFile>();
  }
  void TearDown() override {
    DecimalSeparator = FDecimal;
    ThousandSeparator = FThousand;
    MainWindowTest::TearDown();
  }
  AnsiString SizeLine(int Index) { return Form->lbGrs->Items()->Strings(Index); }

  std::shared_ptr<StubService> Stub;

private:
  char FDecimal = DecimalSeparator;
  char FThousand = ThousandSeparator;
};

TEST_F(MainDisplayTest, PricesUseDotAndNeverGroupWithTheDecimalSeparator) {
  const std::vector<std::pair<char, char>> Settings = {{',', '.'}, {'.', ','}, {',', ' '}};
  for (const auto& [Decimal, Thousand] : Settings) {
    DecimalSeparator = Decimal;
    ThousandSeparator = Thousand;
    Form->FShownEid = -1;
    EXPECT_TRUE(Form->ShowArticle(4711));
    ASSERT_EQ(Form->lbGrs->Items()->Count(), 1);
    const std::string Grouped = Thousand == ' ' ? "1 234.56" : "1,234.56";
    EXPECT_NE(SizeLine(0).find("38;4012345000017;" + Grouped + ";19.99;1"), std::string::npos)
        << SizeLine(0);
    EXPECT_EQ(DecimalSeparator, Decimal);
    EXPECT_EQ(ThousandSeparator, Thousand);
  }
}

TEST_F(MainDisplayTest, SeparatorsComeBackWithoutSizeTable) {
  DecimalSeparator = ',';
  Stub->Pricat = [](Integer, Integer) {
    return Answer("@art,eid[INT],fab[STR]\n4711^X\n");
  };
  EXPECT_TRUE(Form->ShowArticle(4711));
  EXPECT_EQ(Form->lbGrs->Items()->Count(), 0);
  EXPECT_EQ(DecimalSeparator, ',');
}

TEST_F(MainDisplayTest, MissingColumnsLeaveTheirFieldsEmpty) {
  Stub->Pricat = [](Integer, Integer) {
    return Answer(
        "@art,eid[INT],mf[INT],her[INT],hname[STR],fab[STR],sai[INT]\n"
        "4711^42^1203^Alpenstieg^AS-4711^9\n"
        "@srm,etk[STR],ekp[INT],qaz[INT]\n"
        "38^1999^1\n");
  };
  EXPECT_TRUE(Form->ShowArticle(4711));
  EXPECT_EQ(Form->edHer->Text(), "");  // "mf_name" missing
  EXPECT_EQ(Form->edMarke->Text(), "");
  EXPECT_EQ(Form->edLFA->Text(), "");
  EXPECT_EQ(Form->edLief->Text(), "01203 Alpenstieg");
  EXPECT_EQ(Form->edHFab->Text(), "AS-4711");
  EXPECT_EQ(Form->edSai->Text(), "9 - Standard");
  EXPECT_FALSE(Form->chkNOS->Checked());
  ASSERT_EQ(Form->lbGrs->Items()->Count(), 1);
  EXPECT_NE(SizeLine(0).find("38;;19.99;;1"), std::string::npos) << SizeLine(0);
}

// The bytes of an article picture of the fake service.
std::string TestPicture() {
  std::string Bytes;
  FILE* F = std::fopen(ZEL_TEST_DATA_DIR "/fake_service/pictures/100101.jpg", "rb");
  if (!F) return Bytes;
  char Buf[4096];
  std::size_t N;
  while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0) Bytes.append(Buf, N);
  std::fclose(F);
  return Bytes;
}

TEST_F(MainDisplayTest, PictureReadsNoMoreBytesThanCame) {
  const std::string Jpeg = TestPicture();
  ASSERT_FALSE(Jpeg.empty());
  Stub->Picture = [&Jpeg](Integer) {
    auto P = std::make_unique<zelPicture>();
    P->SetDataLength(static_cast<Integer>(Jpeg.size()) + 100000);
    P->SetData(TByteDynArray(Jpeg.begin(), Jpeg.end()));
    return P;
  };
  Form->ShowPicture(4711);
  EXPECT_GT(Form->pic->Picture()->Width(), 0);
  EXPECT_EQ(Form->lbPicStatus->Caption(), "Bildstatus: (0) ");
}

// A picture whose data ends early (only the end marker missing, or the
// last third) is shown as far as it goes, without an error box.
TEST_F(MainDisplayTest, PictureCutShortIsShownWithoutError) {
  const std::string Jpeg = TestPicture();
  ASSERT_GT(Jpeg.size(), 2000u);  // the compressed data begins after about 600 bytes
  for (const std::size_t Size : {Jpeg.size() - 2, Jpeg.size() * 2 / 3}) {
    Stub->Picture = [&Jpeg, Size](Integer) {
      auto P = std::make_unique<zelPicture>();
      P->SetDataLength(static_cast<Integer>(Size));
      P->SetData(TByteDynArray(Jpeg.begin(), Jpeg.begin() + static_cast<long>(Size)));
      return P;
    };
    Form->pic->Picture()->Assign(nullptr);
    EXPECT_NO_THROW(Form->ShowPicture(4711)) << Size;
    EXPECT_GT(Form->pic->Picture()->Width(), 0) << Size;
    EXPECT_TRUE(Boxes.empty()) << Size;
  }
}

TEST_F(MainDisplayTest, TextViewsFetchOnlyTheArticleShown) {
  Form->edZELID->SetEText("4711");  // not shown: FShownEid is -1
  Form->btKCSVClick(Form->btKCSV);
  EXPECT_TRUE(Stub->PricatCalls.empty());
  ASSERT_TRUE(Form->ShowArticle(4711));
  Form->btEDIpricatClick(Form->btEDIpricat);
  Form->btKCSVClick(Form->btKCSV);
  const std::vector<std::pair<Integer, Integer>> Want = {{0, 4711}, {2, 4711}, {0, 4711}};
  EXPECT_EQ(Stub->PricatCalls, Want);
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1], FullArticle);
}

TEST_F(MainDisplayTest, SearchButtonStaysOffAfterAFailedSearch) {
  Stub->Search = [](Integer, Integer) -> std::unique_ptr<zelTextData> { throw Exception("weg"); };
  Form->btSearchClick(Form->btSearch);
  EXPECT_FALSE(Form->btSearch->Enabled());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "error.. (-122)");
  // An error that leaves the search (a picture that is no JPEG) too, and the
  // hit list's handlers stay detached.
  Form->btSearch->SetEnabled(true);
  Stub->Search = [](Integer, Integer) { return Answer("@stm,eid[INT],fab[STR]\n4711^AS\n"); };
  Stub->Picture = [](Integer) {
    auto P = std::make_unique<zelPicture>();
    P->SetDataLength(4);
    P->SetData(TByteDynArray{'G', 'I', 'F', '8'});
    return P;
  };
  Form->chkPic->SetChecked(true);
  EXPECT_THROW(Form->btSearchClick(Form->btSearch), Exception);
  EXPECT_FALSE(Form->btSearch->Enabled());
  EXPECT_FALSE(Form->lbox->OnKeyUp);
  EXPECT_FALSE(Form->lbox->OnMouseDown);
  // A search that ends well brings the button back.
  Form->chkPic->SetChecked(false);
  Form->btSearchClick(Form->btSearch);
  EXPECT_TRUE(Form->btSearch->Enabled());
  EXPECT_TRUE(Form->lbox->OnMouseDown);
}

TEST_F(MainDisplayTest, MousePressOnAnEmptiedHitListShowsNothing) {
  Stub->Search = [](Integer Her, Integer Sai) {
    EXPECT_EQ(Her, -1);
    EXPECT_EQ(Sai, -1);
    return Answer("@stm,eid[INT],fab[STR]\n4711^AS-1  \n4712^AS-2\n");
  };
  Form->btSearchClick(Form->btSearch);
  ASSERT_EQ(Form->lbox->Items()->Count(), 2);
  EXPECT_EQ(Form->FShownEid, 4711);
  ASSERT_TRUE(Form->lbox->OnMouseDown);
  Form->edFabEnter(Form->edFab);  // empties the list, the handlers stay
  EXPECT_EQ(Form->lbox->Items()->Count(), 0);
  Form->lbox->OnMouseDown(Form->lbox, mbLeft, TShiftState(), 5, 5);
  EXPECT_TRUE(Form->timCheck->Enabled());
  EXPECT_TRUE(platform::FireTimerNow(Form->timCheck));
  EXPECT_FALSE(Form->timCheck->Enabled());
  EXPECT_EQ(Stub->PricatCalls.size(), 1u);
  Form->btKCSVClick(Form->btKCSV);
  Form->btEDIpricatClick(Form->btEDIpricat);
  EXPECT_EQ(Stub->PricatCalls.size(), 1u);
  EXPECT_EQ(Form->FShownEid, 4711);
}

// The search hands its hits to the native list in one pass: one insertion
// of all rows, not one per hit.
TEST_F(MainDisplayTest, SearchFillsTheNativeHitListInOnePass) {
  AnsiString Buf = "@stm,lfdnr[INT],eid[INT],fab[STR]\n";
  for (int I = 0; I < 30; ++I) Buf += IntToStr(I) + "^" + IntToStr(5000 + I) + "^ AS-" + IntToStr(I) + " \n";
  Stub->Search = [&](Integer, Integer) { return Answer(Buf); };
  const platform::NativeListWatch Native =
      platform::WatchNativeList(Form->lbox, [&] { Form->btSearchClick(Form->btSearch); });
  ASSERT_EQ(Form->lbox->Items()->Count(), 30);
  EXPECT_EQ(Native.Insertions, 1);
  ASSERT_EQ(Native.Rows.size(), 30u);
  for (int I = 0; I < 30; ++I) EXPECT_EQ(Native.Rows[I], Form->lbox->Items()->Strings(I)) << I;
  EXPECT_EQ(Form->lbox->Items()->Strings(29), "30;30;5029;AS-29;");  // with its sort key
  EXPECT_EQ(Native.CurrentRow, 0);
  EXPECT_EQ(Form->FShownEid, 5000);
}

}  // namespace
