// The main window of the article data client.
#include "client/main.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <string>
#include <vector>

#include "controls/K_Edit.h"
#include "controls/Klabel.h"
#include "controls/kCtrls.h"
#include "foundation/getvers.h"
#include "foundation/kcsvFile.h"
#include "foundation/ktool.h"
#include "platform/gui/buttons.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/jpeg.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/streaming.h"
#include "platform/gui/timer.h"
#include "platform/os/fileutil.h"
#include "platform/os/windows.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/system.h"
#include "platform/rtl/sysutils.h"

TfrmMAIN* frmMAIN = nullptr;

const char* const TfrmMAIN::PasswordFileName = "{6C3E1A52-9B0D-4F27-A8E5-31D7C04B9F16}";
const char* const TfrmMAIN::DefaultEndpoint = "http://localhost:8080/services/zel.asmx";

namespace {

const char* const SettingsSection = "CFG";
const char* const DebugModeMarker = "zel_web_pricat.exe.debug";
const char* const DebugListMarker = "zel_web_pricat.exe.debug.wu";

WideString Wide(const AnsiString& S) { return platform::AnsiToWide(S); }
AnsiString Ansi(const WideString& S) { return platform::WideToAnsi(S); }

// Fields of the current row of an answer table.  A column the table does
// not have reads as nothing, so the field that shows it stays empty.
AnsiString StringOf(TKTable* T, const char* Name) {
  TKField* F = T->FieldByName(Name);
  return F ? F->AsString() : AnsiString();
}
AnsiString TextOf(TKTable* T, const char* Name) {
  TKField* F = T->FieldByName(Name);
  return F ? F->AsTrimmedString() : AnsiString();
}

// ------------------------------------------------ the remembered-password file
// The file lives in a directory that other users may share (the temp
// directory), so it is read only when it is a regular file of our own and
// written only through a new private file that replaces it by renaming (a
// link standing there is replaced, never followed).

constexpr std::size_t MaxPasswordFile = std::size_t{64} * 1024;

bool ReadOwnFile(const std::string& HostPath, std::string& Content) {
  const int fd = platform::OpenRegularFile(HostPath, O_RDONLY | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
  Content.clear();
  char buf[4096];
  while (ok && Content.size() < MaxPasswordFile) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else if (n == 0) {
      break;
    } else {
      Content.append(buf, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  return ok;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// Restores the process's number separators when the sizes are done.
class TSeparatorGuard {
public:
  TSeparatorGuard() : FDecimal(DecimalSeparator), FThousand(ThousandSeparator) {}
  ~TSeparatorGuard() {
    DecimalSeparator = FDecimal;
    ThousandSeparator = FThousand;
  }
  TSeparatorGuard(const TSeparatorGuard&) = delete;
  TSeparatorGuard& operator=(const TSeparatorGuard&) = delete;

private:
  char FDecimal;
  char FThousand;
};

// The settings file of one read or write pass; released when it ends.
class TIniPass {
public:
  explicit TIniPass(std::unique_ptr<TIniFile>& Slot) : FSlot(Slot) {
    FSlot = std::make_unique<TIniFile>(TfrmMAIN::SettingsFileName());
  }
  ~TIniPass() { FSlot.reset(); }
  TIniPass(const TIniPass&) = delete;
  TIniPass& operator=(const TIniPass&) = delete;
  TIniFile* operator->() const { return FSlot.get(); }

private:
  std::unique_ptr<TIniFile>& FSlot;
};

void Focus(TWinControl* Control) {
  if (Control->CanFocus()) Control->SetFocus();
}

}  // namespace

// ---------------------------------------------------------------- registration

static const bool registered = platform::RegisterClass<TfrmMAIN>("TfrmMAIN", "TForm")
                                   .NotCreatable()
                                   .Field("Panel1", &TfrmMAIN::Panel1)
                                   .Field("lbSoapAdr", &TfrmMAIN::lbSoapAdr)
                                   .Field("Label1", &TfrmMAIN::Label1)
                                   .Field("edUser", &TfrmMAIN::edUser)
                                   .Field("Label2", &TfrmMAIN::Label2)
                                   .Field("edPass", &TfrmMAIN::edPass)
                                   .Field("btLogin", &TfrmMAIN::btLogin)
                                   .Field("labHersteller", &TfrmMAIN::labHersteller)
                                   .Field("cbHer", &TfrmMAIN::cbHer)
                                   .Field("Label4", &TfrmMAIN::Label4)
                                   .Field("cbSai", &TfrmMAIN::cbSai)
                                   .Field("Label5", &TfrmMAIN::Label5)
                                   .Field("cbLnd", &TfrmMAIN::cbLnd)
                                   .Field("Label3", &TfrmMAIN::Label3)
                                   .Field("edFab", &TfrmMAIN::edFab)
                                   .Field("btSearch", &TfrmMAIN::btSearch)
                                   .Field("chkPic", &TfrmMAIN::chkPic)
                                   .Field("Image1", &TfrmMAIN::Image1)
                                   .Field("lbox", &TfrmMAIN::lbox)
                                   .Field("Panel2", &TfrmMAIN::Panel2)
                                   .Field("Panel3", &TfrmMAIN::Panel3)
                                   .Field("lbStmStatus", &TfrmMAIN::lbStmStatus)
                                   .Field("lbPicStatus", &TfrmMAIN::lbPicStatus)
                                   .Field("btEDIpricat", &TfrmMAIN::btEDIpricat)
                                   .Field("btKCSV", &TfrmMAIN::btKCSV)
                                   .Field("KALabel1", &TfrmMAIN::KALabel1)
                                   .Field("edZELID", &TfrmMAIN::edZELID)
                                   .Field("KALabel2", &TfrmMAIN::KALabel2)
                                   .Field("edHFab", &TfrmMAIN::edHFab)
                                   .Field("KALabel6", &TfrmMAIN::KALabel6)
                                   .Field("edHer", &TfrmMAIN::edHer)
                                   .Field("chkNOS", &TfrmMAIN::chkNOS)
                                   .Field("panPic", &TfrmMAIN::panPic)
                                   .Field("pic", &TfrmMAIN::pic)
                                   .Field("Panel4", &TfrmMAIN::Panel4)
                                   .Field("KALabel3", &TfrmMAIN::KALabel3)
                                   .Field("edLief", &TfrmMAIN::edLief)
                                   .Field("KALabel4", &TfrmMAIN::KALabel4)
                                   .Field("edMarke", &TfrmMAIN::edMarke)
                                   .Field("KALabel5", &TfrmMAIN::KALabel5)
                                   .Field("edSai", &TfrmMAIN::edSai)
                                   .Field("KALabel7", &TfrmMAIN::KALabel7)
                                   .Field("edEASWG", &TfrmMAIN::edEASWG)
                                   .Field("edeaswgbez", &TfrmMAIN::edeaswgbez)
                                   .Field("KALabel8", &TfrmMAIN::KALabel8)
                                   .Field("edEASFA", &TfrmMAIN::edEASFA)
                                   .Field("edeasfabez", &TfrmMAIN::edeasfabez)
                                   .Field("KALabel9", &TfrmMAIN::KALabel9)
                                   .Field("edHBez", &TfrmMAIN::edHBez)
                                   .Field("KALabel10", &TfrmMAIN::KALabel10)
                                   .Field("edHFar", &TfrmMAIN::edHFar)
                                   .Field("lbmat", &TfrmMAIN::lbmat)
                                   .Field("edHMat", &TfrmMAIN::edHMat)
                                   .Field("KALabel11", &TfrmMAIN::KALabel11)
                                   .Field("edLFA", &TfrmMAIN::edLFA)
                                   .Field("edLFB", &TfrmMAIN::edLFB)
                                   .Field("KALabel12", &TfrmMAIN::KALabel12)
                                   .Field("edMDL", &TfrmMAIN::edMDL)
                                   .Field("KALabel13", &TfrmMAIN::KALabel13)
                                   .Field("edHERFARBE", &TfrmMAIN::edHERFARBE)
                                   .Field("KALabel14", &TfrmMAIN::KALabel14)
                                   .Field("edWEI", &TfrmMAIN::edWEI)
                                   .Field("KALabel15", &TfrmMAIN::KALabel15)
                                   .Field("edBLE", &TfrmMAIN::edBLE)
                                   .Field("KALabel16", &TfrmMAIN::KALabel16)
                                   .Field("edERM", &TfrmMAIN::edERM)
                                   .Field("KALabel17", &TfrmMAIN::KALabel17)
                                   .Field("edDTB", &TfrmMAIN::edDTB)
                                   .Field("KALabel18", &TfrmMAIN::KALabel18)
                                   .Field("edFEDAS", &TfrmMAIN::edFEDAS)
                                   .Field("KALabel19", &TfrmMAIN::KALabel19)
                                   .Field("edEAS_MAT", &TfrmMAIN::edEAS_MAT)
                                   .Field("KALabel20", &TfrmMAIN::KALabel20)
                                   .Field("edVPE", &TfrmMAIN::edVPE)
                                   .Field("KALabel21", &TfrmMAIN::KALabel21)
                                   .Field("KALabel22", &TfrmMAIN::KALabel22)
                                   .Field("edMINQTY", &TfrmMAIN::edMINQTY)
                                   .Field("Klabel1", &TfrmMAIN::Klabel1)
                                   .Field("Klabel2", &TfrmMAIN::Klabel2)
                                   .Field("Klabel3", &TfrmMAIN::Klabel3)
                                   .Field("Klabel4", &TfrmMAIN::Klabel4)
                                   .Field("Klabel5", &TfrmMAIN::Klabel5)
                                   .Field("lbGrs", &TfrmMAIN::lbGrs)
                                   .Field("deb", &TfrmMAIN::deb)
                                   .Field("timCheck", &TfrmMAIN::timCheck)
                                   .Field("pu", &TfrmMAIN::pu)
                                   .Field("Lschen1", &TfrmMAIN::Lschen1)
                                   .Method("FormCreate", &TfrmMAIN::FormCreate)
                                   .Method("FormActivate", &TfrmMAIN::FormActivate)
                                   .Method("FormClose", &TfrmMAIN::FormClose)
                                   .Method("FormDestroy", &TfrmMAIN::FormDestroy)
                                   .Method("Lschen1Click", &TfrmMAIN::Lschen1Click)
                                   .Method("btLoginClick", &TfrmMAIN::btLoginClick)
                                   .Method("edPassKeyPress", &TfrmMAIN::edPassKeyPress)
                                   .Method("edPassEnter", &TfrmMAIN::edPassEnter)
                                   .Method("edUserEnter", &TfrmMAIN::edUserEnter)
                                   .Method("cbHerEnter", &TfrmMAIN::cbHerEnter)
                                   .Method("cbHerChange", &TfrmMAIN::cbHerChange)
                                   .Method("labHerstellerDblClick", &TfrmMAIN::labHerstellerDblClick)
                                   .Method("Label2DblClick", &TfrmMAIN::Label2DblClick)
                                   .Method("btSearchClick", &TfrmMAIN::btSearchClick)
                                   .Method("edFabKeyPress", &TfrmMAIN::edFabKeyPress)
                                   .Method("edFabEnter", &TfrmMAIN::edFabEnter)
                                   .Method("lboxKeyUp", &TfrmMAIN::lboxKeyUp)
                                   .Method("lboxMouseDown", &TfrmMAIN::lboxMouseDown)
                                   .Method("timCheckTimer", &TfrmMAIN::timCheckTimer)
                                   .Method("lboxKeyPress", &TfrmMAIN::lboxKeyPress)
                                   .Method("lboxEnter", &TfrmMAIN::lboxEnter)
                                   .Method("edZELIDExit", &TfrmMAIN::edZELIDExit)
                                   .Method("btEDIpricatClick", &TfrmMAIN::btEDIpricatClick)
                                   .Method("btKCSVClick", &TfrmMAIN::btKCSVClick)
                                   .Done();

// ---------------------------------------------------------------- lifecycle

TfrmMAIN::TfrmMAIN(TComponent* AOwner) : TForm(AOwner) {
  (void)registered;
  ReadDescription(MainWindowDescription);
}

TfrmMAIN::~TfrmMAIN() {
  // OnDestroy needs the members of this class, so it runs before they go.
  BeforeDestruction();
}

AnsiString TfrmMAIN::SettingsFileName() { return ChangeFileExt(Application->ExeName(), ".ini"); }

void TfrmMAIN::FormCreate(TObject* /*Sender*/) {
  SetCaption("ZEL-Pricat-Viewer: Version: " + GetFileVersionText(""));
  lbStmStatus->SetCaption("Artikelstatus:");
  lbPicStatus->SetCaption("Bildstatus:");
  FService.reset();
  FCsvFile.reset();
  FShownEid = -1;
  FSeasonMap = std::make_unique<TStringList>();
  InitTempDir();
  {
    TIniPass Ini(FIniFile);
    edUser->SetText(Ini->ReadString(SettingsSection, "USER", ""));
    edPass->SetText(LoadPassword());
    FSai = Ini->ReadString(SettingsSection, "SAI", "");
    FFab = Ini->ReadString(SettingsSection, "FAB", "");
    FHer = Ini->ReadString(SettingsSection, "HER", "");
    FLnd = Ini->ReadString(SettingsSection, "LND", "de");
    FEndpoint = Ini->ReadString(SettingsSection, "htp_adr", "");
    FTop = Ini->ReadInteger(SettingsSection, "Top", -1);
    FLeft = Ini->ReadInteger(SettingsSection, "Left", -1);
    FHeight = Ini->ReadInteger(SettingsSection, "Height", -1);
  }
  if (FEndpoint.empty()) FEndpoint = DefaultEndpoint;
  lbSoapAdr->SetCaption(FEndpoint);

  DetachHitListHandlers();
  lbox->Clear();
  ClearArticle();

  FDebugMode = FileExists(DebugModeMarker);
  btKCSV->SetVisible(FDebugMode);
  btEDIpricat->SetVisible(FDebugMode);
  FDebugList = FileExists(DebugListMarker);
  deb->SetVisible(FDebugList);
  deb->SetLeft(edMINQTY->Left());

  if (FTop > 10) SetTop(FTop);
  if (FLeft > 10) SetLeft(FLeft);
  if (Constraints()->MinHeight() <= FHeight) SetHeight(FHeight);
}

void TfrmMAIN::FormActivate(TObject* /*Sender*/) {
  const int W = Screen->Width();
  const int H = Screen->Height();
  if (W < Left() + 50 || H < Top() + 50) {
    SetLeft(W / 2);
    SetTop(H / 2);
  }
}

void TfrmMAIN::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
  FTop = Top();
  FLeft = Left();
  FHeight = Height();
}

void TfrmMAIN::FormDestroy(TObject* /*Sender*/) {
  // A refused write is shown, and the program still ends normally.
  try {
    TIniPass Ini(FIniFile);
    Ini->WriteString(SettingsSection, "USER", edUser->Text());
    Ini->DeleteKey(SettingsSection, "PASS");
    Ini->WriteInteger(SettingsSection, "Top", FTop);
    Ini->WriteInteger(SettingsSection, "Left", FLeft);
    Ini->WriteInteger(SettingsSection, "Height", FHeight);
  } catch (Exception& E) {
    Application->ShowException(&E);
  }
  FSeasonMap.reset();
  FCsvFile.reset();
}

void TfrmMAIN::InitTempDir() {
  std::vector<char> Buffer(256, '\0');
  DWORD Length = GetTempPathA(255, Buffer.data());
  if (Length > 255) {
    // The path did not fit: the platform told the size it needs.
    Buffer.assign(Length + 1, '\0');
    Length = GetTempPathA(Length + 1, Buffer.data());
    if (Length >= Buffer.size()) Length = 0;
  }
  if (Length > 0) {
    AnsiString Path(Buffer.data(), Length);
    if (Path.back() == '\\') Path.pop_back();
    FTempDir = Path;
  } else {
    FTempDir = "C:\\TEMP";
    ForceDirectories(FTempDir);
  }
}

void TfrmMAIN::ClearArticle() {
  for (TStrEdit* E : {edHer, edLief, edMarke, edHFab, edEASWG, edEASFA, edHBez, edHFar, edHMat, edSai})
    E->ClearValue();
  lbGrs->Clear();
  for (TStrEdit* E : {edZELID, edeaswgbez, edeasfabez, edLFA, edLFB, edBLE, edERM, edFEDAS, edDTB, edHERFARBE,
                      edEAS_MAT, edMDL, edMINQTY, edVPE, edWEI})
    E->ClearValue();
  lbStmStatus->SetCaption("Artikelstatus:");
  lbPicStatus->SetCaption("Bildstatus:");
  pic->Picture()->Assign(nullptr);
}

void TfrmMAIN::Lschen1Click(TObject* /*Sender*/) { deb->Clear(); }

void TfrmMAIN::DebugLine(const AnsiString& Line) {
  if (FDebugList) deb->Items()->Insert(0, Line);
}

void TfrmMAIN::EmptyHitList() { lbox->Clear(); }

// ---------------------------------------------------------------- remembered password

AnsiString TfrmMAIN::EncodePasswordLine(const AnsiString& Password) {
  AnsiString Line = "{";
  for (auto It = Password.rbegin(); It != Password.rend(); ++It)
    Line += IntToHex(static_cast<int>(static_cast<unsigned char>(*It)), 2);
  Line += "}";
  return Line;
}

AnsiString TfrmMAIN::DecodePasswordLine(const AnsiString& Line) {
  AnsiString Result;
  // Positions count from 1: the pair at i and i + 1, from n - 2 down to 2.
  for (long i = static_cast<long>(Line.size()) - 2; i > 1; i -= 2) {
    const int Hi = HexDigit(Line[static_cast<std::size_t>(i - 1)]);
    const int Lo = HexDigit(Line[static_cast<std::size_t>(i)]);
    const int Code = Hi < 0 || Lo < 0 ? 32 : Hi * 16 + Lo;
    Result += static_cast<char>(Code);
  }
  return Result;
}

AnsiString TfrmMAIN::PasswordPath() const { return FTempDir + "\\" + PasswordFileName; }

AnsiString TfrmMAIN::LoadPassword() {
  std::string Content;
  if (!ReadOwnFile(platform::HostPath(PasswordPath()), Content)) return AnsiString();
  const std::size_t End = Content.find_first_of("\r\n");
  if (End != std::string::npos) Content.resize(End);
  return DecodePasswordLine(Content);
}

void TfrmMAIN::SavePassword() {
  const AnsiString Password = edPass->Text();
  if (Password.empty()) return;
  if (Password == LoadPassword()) return;
  // A failed write is not reported; the login goes on.
  platform::WriteFileAtomically(platform::HostPath(PasswordPath()), EncodePasswordLine(Password) + "\r\n",
                                S_IRUSR | S_IWUSR);
}

// ---------------------------------------------------------------- login and lists

void TfrmMAIN::ConnectService() {
  if (FService) return;
  FService = GetZelService(FEndpoint + "?wsdl");
  if (FDebugList) DebugLine(FService ? "GetZelService.OK" : "GetZelService.fail");
  if (!FCsvFile) FCsvFile = std::make_unique<TKcsvFile>();
}

template <class Call>
std::invoke_result_t<Call, zelserviceSoap&> TfrmMAIN::CallService(const char* Failure, Call&& C) {
  ConnectService();
  try {
    if (!FService) throw Exception("GetZelService");
    return C(*FService);
  } catch (...) {
    ShowMessage(Failure);
    return nullptr;
  }
}

void TfrmMAIN::btLoginClick(TObject* Sender) {
  if (auto* Control = dynamic_cast<TControl*>(Sender)) Control->SetEnabled(false);
  Login();
}

void TfrmMAIN::edPassKeyPress(TObject* /*Sender*/, char& Key) {
  if (Key != VK_RETURN) return;
  Key = 0;
  btLoginClick(btLogin);
}

void TfrmMAIN::Login() {
  btSearch->SetEnabled(false);
  cbHer->Clear();
  ConnectService();
  std::unique_ptr<zelTextData> R;
  try {
    if (!FService) throw Exception("GetZelService");
    R = FService->SearchART(0, Wide(edUser->Text()), Wide(edPass->Text()), ZEL_LIST_SUPPLIERS, WideString());
  } catch (...) {
    // Something thrown that is no exception class adds no text.
    ShowMessage("error.. (-121)\r\n" + platform::ExceptionMessage(std::current_exception(), AnsiString()));
    return;
  }
  if (R->Status() != 0) {
    edPass->SetText("");
    Focus(edPass);
    return;
  }
  SavePassword();
  FCsvFile->OpenText(R->Buf());
  R.reset();  // the reader holds the text now
  if (TKTable* T = FCsvFile->TableByName("stm")) {
    for (Integer i = 0; i < T->Count(); ++i) {
      T->SetRecNo(i);
      TKField* Eid = T->FieldByName("eid");
      cbHer->AddLine(
          StringOf(T, "eid") + ";" + Format("%.5d", {Eid ? Eid->AsInteger() : 0}) + ";" + StringOf(T, "fab"),
          nullptr);
    }
  }
  LoadCountries();
  LoadSeasonMap();
  cbHer->SetIndex(0);
  cbHer->SetSortItem(3);
  cbHer->SetSorted(true);
  if (cbHer->Items()->Count() > 0) btSearch->SetEnabled(true);
  cbHer->SetKey(FHer);
  cbHerChange(cbHer);
  cbSai->SetKey(FSai);
  cbLnd->SetKey(FLnd);
  edFab->SetText(FFab);
  Focus(edFab);
}

TKTable* TfrmMAIN::LoadServiceList(Integer List) {
  auto R = CallService("error.. (-122)", [&](zelserviceSoap& S) {
    return S.SearchART(0, Wide(edUser->Text()), Wide(edPass->Text()), List, WideString());
  });
  if (!R || R->Status() != 0) return nullptr;
  FCsvFile->OpenText(R->Buf());
  R.reset();
  return FCsvFile->TableByName("stm");
}

void TfrmMAIN::LoadCountries() {
  cbLnd->Clear();
  TKTable* T = LoadServiceList(ZEL_LIST_COUNTRIES);
  if (!T) return;
  for (Integer i = 0; i < T->Count(); ++i) {
    T->SetRecNo(i);
    cbLnd->AddLine(StringOf(T, "fab"), nullptr);
  }
}

void TfrmMAIN::LoadSeasonMap() {
  FSeasonMap->Clear();
  TKTable* T = LoadServiceList(ZEL_LIST_SEASONS);
  if (!T) return;
  for (Integer i = 0; i < T->Count(); ++i) {
    T->SetRecNo(i);
    FSeasonMap->SetValues(StringOf(T, "eid"), StringOf(T, "fab"));
  }
}

void TfrmMAIN::cbHerChange(TObject* /*Sender*/) {
  const AnsiString Selected = cbSai->GetKey();
  cbSai->Clear();
  cbSai->AddLine("-1;Alle", nullptr);
  TStringList Codes;
  Codes.SetCommaText(FSeasonMap->Values(IntToStr(cbHer->GetKeyInt())));
  for (int i = 0; i < Codes.Count(); ++i) {
    const Integer Code = StrToIntDef(Codes.Strings(i), 0);
    if (Code > 0) cbSai->AddLine(IntToStr(Code) + ";" + SeasonName(Code), nullptr);
  }
  cbSai->SetKey(Selected);
}

AnsiString TfrmMAIN::SeasonName(Integer Code) {
  if (Code < 10) return IntToStr(Code) + " - Standard";
  const std::int64_t Offset = static_cast<std::int64_t>(Code) - 10;
  const std::int64_t Year = Offset / 2 + 1998;
  return IntToStr(Code) + (Offset % 2 != 0 ? " - HW " : " - FS ") + IntToStr(Year);
}

void TfrmMAIN::edPassEnter(TObject* /*Sender*/) {
  EmptyHitList();
  ClearArticle();
  btLogin->SetEnabled(true);
}

void TfrmMAIN::edUserEnter(TObject* /*Sender*/) {
  EmptyHitList();
  ClearArticle();
}

void TfrmMAIN::cbHerEnter(TObject* /*Sender*/) {
  EmptyHitList();
  ClearArticle();
}

void TfrmMAIN::labHerstellerDblClick(TObject* /*Sender*/) {
  const AnsiString Key = cbHer->GetKey();
  cbHer->SetSortItem(cbHer->SortItem() == 3 ? 2 : 3);
  cbHer->Repaint();
  cbHer->SetKey(Key);
}

void TfrmMAIN::Label2DblClick(TObject* /*Sender*/) {
  if (!FDebugList) return;
  edPass->SetPasswordChar(edPass->PasswordChar() == '*' ? '\0' : '*');
}

// ---------------------------------------------------------------- search and hit list

Integer FillHitList(TKListBox* Box, TKTable* Stm) {
  // The lines go in as one update, so the native list takes them at once.
  const platform::UpdateBracket<TStrings> Update(Box->Items());
  Integer Hits = 0;
  while (!Stm->Eof()) {
    ++Hits;
    Box->AddLine(IntToStr(Hits) + ";" + StringOf(Stm, "eid") + ";" + TextOf(Stm, "fab"), nullptr);
    Stm->Next();
  }
  return Hits;
}

void TfrmMAIN::btSearchClick(TObject* Sender) {
  auto* Button = dynamic_cast<TControl*>(Sender);
  if (Button) Button->SetEnabled(false);

  Integer Hits = 0;
  FShownEid = -1;
  DetachHitListHandlers();
  lbox->Clear();
  ClearArticle();
  const Integer Her = cbHer->GetKeyInt();
  const Integer Sai = cbSai->GetKeyInt();
  auto R = CallService("error.. (-122)", [&](zelserviceSoap& S) {
    return S.SearchART2(0, Wide(edUser->Text()), Wide(edPass->Text()), Her, Wide(edFab->Text()), Sai);
  });
  // A failed call leaves the button off (the next login brings it back),
  // as does an error that leaves this handler from here on.
  if (!R) return;
  lbStmStatus->SetCaption("Status: (" + IntToStr(R->Status()) + ") " + Ansi(R->Msg()));
  if (R->Status() == 0) {
    FCsvFile->OpenText(R->Buf());
    R.reset();
    if (TKTable* T = FCsvFile->TableByName("stm")) Hits = FillHitList(lbox, T);
  }
  if (Hits > 0) {
    SaveSearchSettings();
    lbox->SetIndex(0);
    Focus(lbox);
    ShowArticle(lbox->GetKeyInt());
    lbox->OnKeyUp = [this](TObject* S, Word& Key, TShiftState Shift) { lboxKeyUp(S, Key, Shift); };
    lbox->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Shift, int X, int Y) {
      lboxMouseDown(S, B, Shift, X, Y);
    };
    lbox->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Shift, int X, int Y) {
      lboxMouseUp(S, B, Shift, X, Y);
    };
  }
  if (Button) Button->SetEnabled(true);
}

void TfrmMAIN::DetachHitListHandlers() {
  lbox->OnClick = nullptr;
  lbox->OnKeyUp = nullptr;
  lbox->OnMouseDown = nullptr;
  lbox->OnMouseUp = nullptr;
}

void TfrmMAIN::edFabKeyPress(TObject* /*Sender*/, char& Key) {
  if (Key != VK_RETURN) return;
  Key = 0;
  if (!btSearch->CanFocus()) return;
  if (edFab->Text().size() < 3) {
    ShowMessage("Fabrikartikel mu\xDF wenigstens 3-Stellen beinhalten");
    Focus(edFab);
    return;
  }
  btSearch->SetFocus();
  btSearch->Click();
}

void TfrmMAIN::edFabEnter(TObject* /*Sender*/) {
  EmptyHitList();
  ClearArticle();
}

void TfrmMAIN::SaveSearchSettings() {
  const AnsiString Sai = cbSai->GetKey();
  const AnsiString Fab = edFab->Text();
  const AnsiString Lnd = cbLnd->GetKey();
  const AnsiString Her = cbHer->GetKey();
  if (Sai == FSai && Fab == FFab && Lnd == FLnd && Her == FHer) return;
  FSai = Sai;
  FFab = Fab;
  FHer = Her;
  FLnd = Lnd;
  TIniPass Ini(FIniFile);
  Ini->WriteString(SettingsSection, "HER", FHer);
  Ini->WriteString(SettingsSection, "FAB", FFab);
  Ini->WriteString(SettingsSection, "LND", FLnd);
  Ini->WriteString(SettingsSection, "SAI", FSai);
}

void TfrmMAIN::lboxKeyUp(TObject* /*Sender*/, Word& /*Key*/, TShiftState /*Shift*/) {
  DebugLine("key-UP");
  timCheck->SetEnabled(true);
}

void TfrmMAIN::lboxMouseDown(TObject* /*Sender*/, TMouseButton /*Button*/, TShiftState /*Shift*/, int /*X*/,
                             int /*Y*/) {
  DebugLine("mouse-Down");
  timCheck->SetEnabled(true);
}

// The release ends a press that may have dragged the selection to another
// hit after the timer fired: the timer runs again for the hit under the
// release.
void TfrmMAIN::lboxMouseUp(TObject* /*Sender*/, TMouseButton /*Button*/, TShiftState /*Shift*/, int /*X*/,
                           int /*Y*/) {
  timCheck->SetEnabled(true);
}

void TfrmMAIN::timCheckTimer(TObject* /*Sender*/) {
  timCheck->SetEnabled(false);
  // A list emptied meanwhile (by a focus entry) has no hit to show.
  if (lbox->ItemIndex() < 0 || lbox->Items()->Count() == 0) return;
  ShowArticle(lbox->GetKeyInt());
}

void TfrmMAIN::lboxKeyPress(TObject* /*Sender*/, char& Key) {
  if (Key == VK_RETURN) Key = 0;
}

void TfrmMAIN::lboxEnter(TObject* /*Sender*/) {
  if (lbox->Items()->Count() == 0) Focus(edFab);
}

// ---------------------------------------------------------------- article display

bool TfrmMAIN::ShowArticle(Integer Id) {
  if (Id == FShownEid) return false;
  FShownEid = Id;
  ClearArticle();
  edZELID->SetEText(IntToStr(Id));
  auto R = CallService("error.. (-124)", [&](zelserviceSoap& S) {
    return S.GetPRICAT(0, Wide(edUser->Text()), Wide(edPass->Text()), Id, Wide(cbLnd->GetKey()));
  });
  if (!R) return false;
  bool Result = false;
  lbStmStatus->SetCaption("Artikelstatus: (" + IntToStr(R->Status()) + ") " + Ansi(R->Msg()));
  if (R->Status() == 0) {
    FCsvFile->OpenText(R->Buf());
    R.reset();
    if (TKTable* Art = FCsvFile->TableByName("art")) {
      Result = true;
      FillArticle(Art);
      FillSizes(FCsvFile->TableByName("srm"));
    }
  }
  if (chkPic->Checked()) ShowPicture(Id);
  Application->ProcessMessages();
  return Result;
}

void TfrmMAIN::FillArticle(TKTable* Art) {
  auto Put = [Art](TStrEdit* Edit, const char* Column) {
    if (TKField* F = Art->FieldByName(Column)) Edit->SetEText(F->AsTrimmedString());
  };
  auto Numbered = [Art](TStrEdit* Edit, const char* Number, const char* Name) {
    TKField* N = Art->FieldByName(Number);
    TKField* T = Art->FieldByName(Name);
    if (N && T) Edit->SetEText(Format("%.5d", {N->AsInteger()}) + " " + T->AsTrimmedString());
  };
  Numbered(edHer, "mf", "mf_name");
  Numbered(edLief, "her", "hname");
  Put(edHFab, "fab");
  Put(edMarke, "hbrn");
  Put(edEASWG, "wag");
  Put(edEASFA, "far");
  Put(edHBez, "hbez");
  Put(edHFar, "bfa");
  Put(edHMat, "bma");
  if (TKField* F = Art->FieldByName("sai")) edSai->SetEText(SeasonName(F->AsInteger()));
  if (TKField* F = Art->FieldByName("lfa")) edLFA->SetEText(DateIntToStr(F->AsInteger()));
  if (TKField* F = Art->FieldByName("lfb")) edLFB->SetEText(DateIntToStr(F->AsInteger()));
  if (Art->FieldIndex("wgbez") >= 0) Put(edeaswgbez, "wgbez");
  if (Art->FieldIndex("fabez") >= 0) Put(edeasfabez, "fabez");
  Put(edBLE, "ble");
  Put(edERM, "erm");
  Put(edFEDAS, "fedas");
  Put(edDTB, "dtb");
  Put(edHERFARBE, "herfarbe");
  Put(edEAS_MAT, "mat");
  Put(edMDL, "mdl");
  Put(edMINQTY, "minqty");
  Put(edVPE, "vpe");
  Put(edWEI, "wei");
  TKField* Nos = Art->FieldByName("nos");
  chkNOS->SetChecked(Nos && Nos->AsInteger() == 1);
}

void TfrmMAIN::FillSizes(TKTable* Srm) {
  // Prices show with "." as decimal separator; the process's separators
  // come back on every way out.
  TSeparatorGuard Restore;
  DecimalSeparator = '.';
  // Never group with the decimal separator ("1.234.56").
  if (ThousandSeparator == DecimalSeparator) ThousandSeparator = ',';
  if (!Srm) return;
  auto Price = [Srm](const char* Column) {
    TKField* F = Srm->FieldByName(Column);
    return F ? FormatFloat("#,##0.00", F->AsInteger() / 100.0) : AnsiString();
  };
  for (Integer i = 0; i < Srm->Count(); ++i) {
    Srm->SetRecNo(i);
    const AnsiString Etk = TextOf(Srm, "etk");
    const AnsiString Ean = TextOf(Srm, "ean");
    const AnsiString Ekp = Price("ekp");
    const AnsiString Uvp = Price("uvp");
    const AnsiString Qaz = TextOf(Srm, "qaz");
    lbGrs->AddLine(Etk + ";" + Ean + ";" + Ekp + ";" + Uvp + ";" + Qaz, nullptr);
  }
}

void TfrmMAIN::edZELIDExit(TObject* /*Sender*/) {
  if (edZELID->GetKeyCR()) ShowArticle(edZELID->AsInteger());
}

// ---------------------------------------------------------------- picture

void TfrmMAIN::ShowPicture(Integer Id) {
  const auto R = CallService("error.. (-123)", [&](zelserviceSoap& S) {
    return S.GetPic(Wide(edUser->Text()), Wide(edPass->Text()), Id);
  });
  if (!R) return;
  lbPicStatus->SetCaption("Bildstatus: (" + IntToStr(R->Status()) + ") " + Ansi(R->Msg()));
  if (R->DataLength() < 1) {
    pic->Picture()->Assign(nullptr);
    return;
  }
  // Never more bytes than came, whatever the answer claims.
  const std::size_t Count = std::min(static_cast<std::size_t>(R->DataLength()), R->Data().size());
  TMemoryStream Stream;
  if (Count > 0) Stream.Write(R->Data().data(), static_cast<int>(Count));
  Stream.SetPosition(0);
  auto Jpeg = std::make_unique<TJPEGImage>();
  Jpeg->LoadFromStream(&Stream);
  pic->Picture()->Assign(Jpeg.get());
}

// ---------------------------------------------------------------- service text views

void TfrmMAIN::btEDIpricatClick(TObject* /*Sender*/) { ShowServiceText(2); }

void TfrmMAIN::btKCSVClick(TObject* /*Sender*/) { ShowServiceText(0); }

void TfrmMAIN::ShowServiceText(Integer Format) {
  // Only the article the window shows is fetched.
  if (edZELID->AsInteger() < 1 || edZELID->AsInteger() != FShownEid) return;
  auto R = CallService("error.. (-125)", [&](zelserviceSoap& S) {
    return S.GetPRICAT(Format, Wide(edUser->Text()), Wide(edPass->Text()), edZELID->AsInteger(),
                       Wide(cbLnd->GetKey()));
  });
  if (!R) return;
  lbStmStatus->SetCaption("Artikelstatus: (" + IntToStr(R->Status()) + ") " + Ansi(R->Msg()));
  if (R->Status() != 0) return;
  const AnsiString Text = Ansi(R->Buf());
  R.reset();
  Clipboard()->Clear();
  Clipboard()->SetAsText(Text);
  ShowMessage(Text);
}
