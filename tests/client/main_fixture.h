// The end-to-end fixture: the real main window, in-process, against the fake
// service on loopback.  Each test gets its own program folder (the program
// path is a link there, so the settings file lands next to it), its own temp
// directory (the remembered password), drive C:, runtime directory and
// current directory (the marker files).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "client/main.h"
#include "client/zelservice.h"
#include "controls/K_Edit.h"
#include "controls/Klabel.h"
#include "controls/kCtrls.h"
#include "foundation/kcsvFile.h"
#include "platform/gui/buttons.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/jpeg.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/gui/timer.h"
#include "platform/os/windows.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/fake_service/fake_service.h"
#include "tests/support/fake_service/soap_request.h"
#include "tests/support/gui_input.h"
#include "tests/support/held_time.h"
#include "tests/support/msgbox_recorder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/tempdir.h"

namespace zeltest {

// ---------------------------------------------------------------- the wire

// One SOAP call as the fake service received it, with its SOAPAction header.
// A parameter that was not sent reads as "<missing NAME>".
struct SoapCall : SoapRequest {
  std::string Action;

  std::string Param(const std::string& Name) const {
    const std::string* Value = Find(Name);
    return Value ? *Value : "<missing " + Name + ">";
  }
};

inline SoapCall ParseSoapCall(const RecordedRequest& R) {
  SoapCall Call;
  static_cast<SoapRequest&>(Call) = ParseSoapRequest(R.Body);
  Call.Action = R.Header("SOAPAction");
  return Call;
}

// ---------------------------------------------------------------- a service that can be told what to do

// Stands between the window and the real client: every call goes over the
// wire to the fake service unless a rule for it says otherwise.  A rule can
// raise an error instead of calling, or change the answer that came back.
class ScriptedService : public zelserviceSoap {
public:
  explicit ScriptedService(std::shared_ptr<zelserviceSoap> Inner) : FInner(std::move(Inner)) {}

  // The call of that operation (and for SearchART that her, 0 = any) raises.
  void FailCall(const std::string& Operation, Integer Her = 0) { FFail.emplace_back(Operation, Her); }
  // The format-0 GetPRICAT answer for this id gets this Buf (Status 0).
  void SetArticleText(Integer Eid, const AnsiString& Kcsv) { FArticleText[Eid] = Kcsv; }
  // The picture answer claims this many extra bytes beyond those it holds.
  void SetPictureLengthSurplus(Integer Extra) { FPictureSurplus = Extra; }

  std::unique_ptr<zelPicture> GetPic(const WideString& user, const WideString& pass, Integer zelID) override {
    Check("GetPic", 0);
    auto R = FInner->GetPic(user, pass, zelID);
    if (FPictureSurplus) R->SetDataLength(R->DataLength() + FPictureSurplus);
    return R;
  }
  Integer PicExist(Integer eid) override {
    Check("PicExist", 0);
    return FInner->PicExist(eid);
  }
  std::unique_ptr<zelTextData> SearchART(Integer format, const WideString& user, const WideString& pass, Integer her,
                                         const WideString& fab) override {
    Check("SearchART", her);
    return FInner->SearchART(format, user, pass, her, fab);
  }
  std::unique_ptr<zelTextData> SearchART2(Integer format, const WideString& user, const WideString& pass, Integer her,
                                          const WideString& fab, Integer sai) override {
    Check("SearchART2", her);
    return FInner->SearchART2(format, user, pass, her, fab, sai);
  }
  std::unique_ptr<zelTextData> PicInfo(Integer format, Integer eid) override {
    Check("PicInfo", 0);
    return FInner->PicInfo(format, eid);
  }
  std::unique_ptr<zelTextData> GetEAN(Integer format, const WideString& user, const WideString& pass,
                                      Integer eid) override {
    Check("GetEAN", 0);
    return FInner->GetEAN(format, user, pass, eid);
  }
  std::unique_ptr<zelTextData> GetPRICAT(Integer format, const WideString& user, const WideString& pass, Integer eid,
                                         const WideString& land) override {
    Check("GetPRICAT", 0);
    auto R = FInner->GetPRICAT(format, user, pass, eid, land);
    auto It = FArticleText.find(eid);
    if (format == 0 && It != FArticleText.end()) {
      R->SetStatus(0);
      R->SetBuf(platform::AnsiToWide(It->second));
    }
    return R;
  }

private:
  void Check(const std::string& Operation, Integer Her) const {
    for (const auto& F : FFail)
      if (F.first == Operation && (F.second == 0 || F.second == Her))
        throw Exception(AnsiString("Verbindung unterbrochen (" + Operation + ")"));
  }

  std::shared_ptr<zelserviceSoap> FInner;
  std::vector<std::pair<std::string, Integer>> FFail;
  std::map<Integer, AnsiString> FArticleText;
  Integer FPictureSurplus = 0;
};

// ---------------------------------------------------------------- a PNG of rendered pixels (for a look)

inline std::uint32_t Crc32(const std::string& Bytes) {
  std::uint32_t C = 0xFFFFFFFFu;
  for (unsigned char B : Bytes) {
    C ^= B;
    for (int k = 0; k < 8; ++k) C = (C >> 1) ^ (0xEDB88320u & (0u - (C & 1u)));
  }
  return C ^ 0xFFFFFFFFu;
}
inline void PutBE(std::string& S, std::uint32_t V) {
  for (int Shift = 24; Shift >= 0; Shift -= 8) S += static_cast<char>((V >> Shift) & 0xFF);
}
inline void Chunk(std::string& Png, const char* Type, const std::string& Data) {
  PutBE(Png, static_cast<std::uint32_t>(Data.size()));
  const std::string Body = std::string(Type, 4) + Data;
  Png += Body;
  PutBE(Png, Crc32(Body));
}
// An RGB PNG with stored (uncompressed) deflate blocks: enough for a look.
inline void WritePng(const platform::PixelImage& Image, const std::string& Path) {
  std::string Raw;
  for (int y = 0; y < Image.Height; ++y) {
    Raw += '\0';
    for (int x = 0; x < Image.Width; ++x) {
      const TColor C = Image.At(x, y);
      Raw += static_cast<char>(C & 0xFF);
      Raw += static_cast<char>((C >> 8) & 0xFF);
      Raw += static_cast<char>((C >> 16) & 0xFF);
    }
  }
  std::string Z = "\x78\x01";
  for (std::size_t Pos = 0; Pos < Raw.size() || Pos == 0;) {
    const std::size_t N = std::min<std::size_t>(65535, Raw.size() - Pos);
    Z += static_cast<char>(Pos + N >= Raw.size() ? 1 : 0);
    Z += static_cast<char>(N & 0xFF);
    Z += static_cast<char>(N >> 8);
    Z += static_cast<char>(~N & 0xFF);
    Z += static_cast<char>((~N >> 8) & 0xFF);
    Z += Raw.substr(Pos, N);
    Pos += N;
    if (N == 0) break;
  }
  std::uint32_t A = 1, B = 0;
  for (unsigned char c : Raw) {
    A = (A + c) % 65521;
    B = (B + A) % 65521;
  }
  PutBE(Z, (B << 16) | A);
  std::string Png = "\x89PNG\r\n\x1a\n";
  std::string Header;
  PutBE(Header, static_cast<std::uint32_t>(Image.Width));
  PutBE(Header, static_cast<std::uint32_t>(Image.Height));
  Header += std::string("\x08\x02\x00\x00\x00", 5);
  Chunk(Png, "IHDR", Header);
  Chunk(Png, "IDAT", Z);
  Chunk(Png, "IEND", "");
  std::ofstream(Path, std::ios::binary) << Png;
}

// ---------------------------------------------------------------- the fixture

class MainE2E : public ::testing::Test {
protected:
  void SetUp() override {
    char Cwd[4096] = {};
    ASSERT_NE(::getcwd(Cwd, sizeof Cwd), nullptr);
    FOldCwd = Cwd;
    for (const char* Sub : {"app", "tmp", "drive_c", "run", "cwd"}) ASSERT_EQ(::mkdir(Root.file(Sub).c_str(), 0700), 0);
    SetEnv("TMPDIR", Root.file("tmp").c_str());
    SetEnv("ZEL_DRIVE_C", Root.file("drive_c").c_str());
    SetEnv("ZEL_RUNTIME_DIR", Root.file("run").c_str());
    SetEnv("http_proxy", nullptr);
    SetEnv("HTTP_PROXY", nullptr);
    ASSERT_EQ(::chdir(Root.file("cwd").c_str()), 0);
    // The program path is a link to the built program (it carries the
    // version record), so the settings file is this test's own.
    ASSERT_EQ(::symlink(ZEL_PROGRAM_PATH, AppFile("zel_web_pricat").c_str()), 0);
    platform::SetModuleFileNameOverride(platform::ToWindowsPath(AppFile("zel_web_pricat")));
    Service = std::make_unique<FakeZelService>();
  }

  void TearDown() override {
    CloseWindow();
    Service.reset();
    platform::SetModuleFileNameOverride("");
    EXPECT_EQ(::chdir(FOldCwd.c_str()), 0);
    FEnv.clear();
  }

  // ------------------------------------------------------------ files

  std::string AppFile(const std::string& Name) const { return Root.file("app") + "/" + Name; }
  std::string SettingsPath() const { return AppFile("zel_web_pricat.ini"); }
  std::string PasswordPath() const { return Root.file("tmp") + "/" + TfrmMAIN::PasswordFileName; }
  std::string WorkFile(const std::string& Name) const { return Root.file("cwd") + "/" + Name; }

  static std::string ReadFile(const std::string& Path) {
    std::string S;
    if (FILE* F = std::fopen(Path.c_str(), "rb")) {
      char Buf[4096];
      std::size_t N;
      while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0) S.append(Buf, N);
      std::fclose(F);
    }
    return S;
  }
  static void WriteFile(const std::string& Path, const std::string& Bytes) {
    FILE* F = std::fopen(Path.c_str(), "wb");
    ASSERT_NE(F, nullptr) << Path;
    std::fwrite(Bytes.data(), 1, Bytes.size(), F);
    std::fclose(F);
  }
  static bool Exists(const std::string& Path) {
    struct stat St {};
    return ::lstat(Path.c_str(), &St) == 0;
  }

  // The settings file with section CFG and these "key=value" lines; the
  // service address is the fake service's unless Lines name one.
  void WriteSettings(const std::vector<std::string>& Lines, bool WithAddress = true) {
    std::string Text = "[CFG]\r\n";
    if (WithAddress) Text += "htp_adr=" + Service->ServiceUrl() + "\r\n";
    for (const auto& L : Lines) Text += L + "\r\n";
    WriteFile(SettingsPath(), Text);
  }
  // Keys of section CFG of the settings file, in file order.
  std::vector<std::pair<std::string, std::string>> SettingsEntries() const {
    std::vector<std::pair<std::string, std::string>> Out;
    const std::string Text = ReadFile(SettingsPath());
    bool InCfg = false;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
      std::size_t End = Text.find('\n', Pos);
      if (End == std::string::npos) End = Text.size();
      std::string Line = Text.substr(Pos, End - Pos);
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      Pos = End + 1;
      if (!Line.empty() && Line[0] == '[') {
        InCfg = Line == "[CFG]";
        continue;
      }
      const std::size_t Eq = Line.find('=');
      if (InCfg && Eq != std::string::npos) Out.emplace_back(Line.substr(0, Eq), Line.substr(Eq + 1));
    }
    return Out;
  }
  bool HasSetting(const std::string& Key) const {
    for (const auto& E : SettingsEntries())
      if (E.first == Key) return true;
    return false;
  }
  std::string Setting(const std::string& Key) const {
    for (const auto& E : SettingsEntries())
      if (E.first == Key) return E.second;
    return "<missing " + Key + ">";
  }

  // ------------------------------------------------------------ the window

  // Creates the window as the program does (FormCreate runs) and shows it.
  void StartWindow(bool Show = true) {
    W = new TfrmMAIN(nullptr);
    if (Show) {
      ShowForm(W);
      // The pointer rests over the logo, not over a list: a list box that
      // takes the focus clicks where the pointer is.
      platform::SetMousePos(W->Image1, 2, 2);
    }
  }
  // Puts a scripted service between the window and the fake service (before
  // the window's first call).
  ScriptedService& Script() {
    if (!FScript || W->FService != FScript) {
      FScript = std::make_shared<ScriptedService>(GetZelService(Service->WsdlUrl()));
      W->FService = FScript;
      W->FCsvFile = std::make_unique<TKcsvFile>();
    }
    return *FScript;
  }
  // Closes the window (it remembers its placement) and frees it (it writes
  // the settings).
  void CloseWindow() {
    if (!W) return;
    if (W->Visible()) W->Close();
    RunPostedMessages();
    delete W;
    W = nullptr;
    FScript.reset();
  }

  static TWinControl* Focused() { return Screen->ActiveControl(); }
  // From now on, the names of the window's tab stops whose OnEnter runs go
  // to Entered, in order (each handler the window has still runs).
  void LogEnters() {
    Entered.clear();
    for (int i = 0; i < W->ComponentCount(); ++i)
      if (auto* C = dynamic_cast<TWinControl*>(W->Components(i)); C && C->TabStop()) {
        TNotifyEvent Old = C->OnEnter;
        C->OnEnter = [this, C, Old](TObject* Sender) {
          Entered.push_back(C->Name());
          if (Old) Old(Sender);
        };
      }
  }
  std::vector<std::string> Entered;
  static void FocusOn(TWinControl* Control) {
    Control->SetFocus();
    RunPostedMessages();
  }

  // Types the password into the focused password field and presses Enter.
  void LoginWithEnter(const AnsiString& User, const AnsiString& Pass) {
    W->edUser->SetText(User);
    FocusOn(W->edPass);
    W->edPass->SetText(Pass);
    PressKey(VK_RETURN);
  }
  // The article number, then Enter in its field.
  void SearchWithEnter(const AnsiString& Fab) {
    FocusOn(W->edFab);
    W->edFab->SetText(Fab);
    PressKey(VK_RETURN);
  }
  void LoginAndSearch(const AnsiString& Fab) {
    LoginWithEnter("demo", "demo");
    SearchWithEnter(Fab);
  }

public:
  // The caller's line of entry I of a multi-column box.
  template <class Box>
  static AnsiString LineOf(Box* B, int I) {
    return StripSortKey(B->Items()->Strings(I));
  }
  template <class Box>
  static std::vector<std::string> LinesOf(Box* B) {
    std::vector<std::string> Out;
    for (int i = 0; i < B->Items()->Count(); ++i) Out.push_back(LineOf(B, i));
    return Out;
  }

protected:
  // ------------------------------------------------------------ the wire

  std::vector<SoapCall> Calls(const std::string& Operation = "") const {
    std::vector<SoapCall> Out;
    for (const auto& R : Service->Requests()) {
      if (R.Method != "POST") continue;
      SoapCall C = ParseSoapCall(R);
      if (Operation.empty() || C.Operation == Operation) Out.push_back(std::move(C));
    }
    return Out;
  }
  std::vector<std::string> Operations() const {
    std::vector<std::string> Out;
    for (const auto& C : Calls()) Out.push_back(C.Operation + (C.Operation == "SearchART" ? "(" + C.Param("her") + ")" : ""));
    return Out;
  }

  // Lets the message loop run until Done holds or the time-out passed.
  static bool WaitUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout = std::chrono::seconds(10)) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Done()) {
      if (std::chrono::steady_clock::now() > Deadline) return false;
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  // The window's timer fires only when a test fires it; the tick count stands.
  zeltest::HeldTime Time;
  zeltest::TempDir Root;
  std::unique_ptr<FakeZelService> Service;
  MessageBoxRecorder Boxes;
  TfrmMAIN* W = nullptr;

private:
  // Sets (nullptr: removes) a variable until TearDown.
  void SetEnv(const char* Name, const char* Value) {
    FEnv.push_back(std::make_unique<zeltest::ScopedEnv>(Name, Value));
  }
  std::string FOldCwd;
  std::vector<std::unique_ptr<zeltest::ScopedEnv>> FEnv;
  std::shared_ptr<ScriptedService> FScript;
};

}  // namespace zeltest
