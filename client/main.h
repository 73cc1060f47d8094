// The main window of the article data client: login, the supplier, season
// and country lists, the article search with its hit list, the article
// display with sizes, prices and picture, and the service text views.
//
// The window is built from its window description (main.dfm, embedded in
// the program).  Its components and handlers are public so that tests can
// drive the window as a user would.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "client/zelservice.h"
#include "platform/gui/forms.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/system.h"

class TPanel;
class TImage;
class TLabel;
class TEdit;
class TButton;
class TCheckBox;
class TListBox;
class TSpeedButton;
class TPopupMenu;
class TMenuItem;
class TTimer;
class TKComboBox;
class TKListBox;
class TKALabel;
class TKlabel;
class TStrEdit;
class TKcsvFile;
class TKTable;

class TfrmMAIN : public TForm {
  ZEL_CLASS(TfrmMAIN, TForm)
public:
  explicit TfrmMAIN(TComponent* AOwner);
  ~TfrmMAIN() override;

  // ---------------------------------------------------------- components
  TPanel* Panel1 = nullptr;
  TLabel* lbSoapAdr = nullptr;
  TLabel* Label1 = nullptr;
  TEdit* edUser = nullptr;
  TLabel* Label2 = nullptr;
  TEdit* edPass = nullptr;
  TButton* btLogin = nullptr;
  TLabel* labHersteller = nullptr;
  TKComboBox* cbHer = nullptr;
  TLabel* Label4 = nullptr;
  TKComboBox* cbSai = nullptr;
  TLabel* Label5 = nullptr;
  TKComboBox* cbLnd = nullptr;
  TLabel* Label3 = nullptr;
  TEdit* edFab = nullptr;
  TButton* btSearch = nullptr;
  TCheckBox* chkPic = nullptr;
  TImage* Image1 = nullptr;
  TKListBox* lbox = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel3 = nullptr;
  TLabel* lbStmStatus = nullptr;
  TLabel* lbPicStatus = nullptr;
  TSpeedButton* btEDIpricat = nullptr;
  TSpeedButton* btKCSV = nullptr;
  TKALabel* KALabel1 = nullptr;
  TStrEdit* edZELID = nullptr;
  TKALabel* KALabel2 = nullptr;
  TStrEdit* edHFab = nullptr;
  TKALabel* KALabel6 = nullptr;
  TStrEdit* edHer = nullptr;
  TCheckBox* chkNOS = nullptr;
  TPanel* panPic = nullptr;
  TImage* pic = nullptr;
  TPanel* Panel4 = nullptr;
  TKALabel* KALabel3 = nullptr;
  TStrEdit* edLief = nullptr;
  TKALabel* KALabel4 = nullptr;
  TStrEdit* edMarke = nullptr;
  TKALabel* KALabel5 = nullptr;
  TStrEdit* edSai = nullptr;
  TKALabel* KALabel7 = nullptr;
  TStrEdit* edEASWG = nullptr;
  TStrEdit* edeaswgbez = nullptr;
  TKALabel* KALabel8 = nullptr;
  TStrEdit* edEASFA = nullptr;
  TStrEdit* edeasfabez = nullptr;
  TKALabel* KALabel9 = nullptr;
  TStrEdit* edHBez = nullptr;
  TKALabel* KALabel10 = nullptr;
  TStrEdit* edHFar = nullptr;
  TKALabel* lbmat = nullptr;
  TStrEdit* edHMat = nullptr;
  TKALabel* KALabel11 = nullptr;
  TStrEdit* edLFA = nullptr;
  TStrEdit* edLFB = nullptr;
  TKALabel* KALabel12 = nullptr;
  TStrEdit* edMDL = nullptr;
  TKALabel* KALabel13 = nullptr;
  TStrEdit* edHERFARBE = nullptr;
  TKALabel* KALabel14 = nullptr;
  TStrEdit* edWEI = nullptr;
  TKALabel* KALabel15 = nullptr;
  TStrEdit* edBLE = nullptr;
  TKALabel* KALabel16 = nullptr;
  TStrEdit* edERM = nullptr;
  TKALabel* KALabel17 = nullptr;
  TStrEdit* edDTB = nullptr;
  TKALabel* KALabel18 = nullptr;
  TStrEdit* edFEDAS = nullptr;
  TKALabel* KALabel19 = nullptr;
  TStrEdit* edEAS_MAT = nullptr;
  TKALabel* KALabel20 = nullptr;
  TStrEdit* edVPE = nullptr;
  TKALabel* KALabel21 = nullptr;
  TKALabel* KALabel22 = nullptr;
  TStrEdit* edMINQTY = nullptr;
  TKlabel* Klabel1 = nullptr;
  TKlabel* Klabel2 = nullptr;
  TKlabel* Klabel3 = nullptr;
  TKlabel* Klabel4 = nullptr;
  TKlabel* Klabel5 = nullptr;
  TKListBox* lbGrs = nullptr;
  TListBox* deb = nullptr;
  TTimer* timCheck = nullptr;
  TPopupMenu* pu = nullptr;
  TMenuItem* Lschen1 = nullptr;

  // ---------------------------------------------------------- handlers
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void Lschen1Click(TObject* Sender);

  void btLoginClick(TObject* Sender);
  void edPassKeyPress(TObject* Sender, char& Key);
  void edPassEnter(TObject* Sender);
  void edUserEnter(TObject* Sender);
  void cbHerEnter(TObject* Sender);
  void cbHerChange(TObject* Sender);
  void labHerstellerDblClick(TObject* Sender);
  void Label2DblClick(TObject* Sender);

  void btSearchClick(TObject* Sender);
  void edFabKeyPress(TObject* Sender, char& Key);
  void edFabEnter(TObject* Sender);
  void lboxKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void lboxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void lboxMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void timCheckTimer(TObject* Sender);
  void lboxKeyPress(TObject* Sender, char& Key);
  void lboxEnter(TObject* Sender);

  void edZELIDExit(TObject* Sender);
  void btEDIpricatClick(TObject* Sender);
  void btKCSVClick(TObject* Sender);

  // ---------------------------------------------------------- operations
  void InitTempDir();
  void ClearArticle();
  AnsiString LoadPassword();
  void SavePassword();
  void Login();
  void ConnectService();
  // Connects and makes one call C(service); on any failure shows Failure
  // and gives nullptr.
  template <class Call>
  std::invoke_result_t<Call, zelserviceSoap&> CallService(const char* Failure, Call&& C);
  // The table "stm" of one of the service's lists (ZEL_LIST_...) in
  // FCsvFile; nullptr when the service cannot be asked (after its message)
  // or answers with a non-zero status.
  TKTable* LoadServiceList(Integer List);
  void LoadCountries();
  void LoadSeasonMap();
  void SaveSearchSettings();
  bool ShowArticle(Integer Id);
  void ShowPicture(Integer Id);
  void ShowServiceText(Integer Format);
  static AnsiString SeasonName(Integer Code);

  // The line of the remembered-password file for a password, and the
  // password a line stands for (pairs that are no hex number give blanks).
  static AnsiString EncodePasswordLine(const AnsiString& Password);
  static AnsiString DecodePasswordLine(const AnsiString& Line);
  // The fixed name of the remembered-password file in the temp directory.
  static const char* const PasswordFileName;
  // The program settings file: the program's path with ".ini".
  static AnsiString SettingsFileName();
  // The service address used when the settings name none.
  static const char* const DefaultEndpoint;

  // ---------------------------------------------------------- state
  // (public for tests; the window alone writes it)
  AnsiString FEndpoint;
  std::shared_ptr<zelserviceSoap> FService;
  std::unique_ptr<TKcsvFile> FCsvFile;
  std::unique_ptr<TIniFile> FIniFile;
  AnsiString FLnd;
  AnsiString FHer;
  AnsiString FFab;
  AnsiString FSai;
  bool FDebugMode = false;
  bool FDebugList = false;
  Integer FShownEid = -1;
  AnsiString FTempDir;
  std::unique_ptr<TStringList> FSeasonMap;
  Integer FTop = -1;
  Integer FLeft = -1;
  Integer FHeight = -1;

private:
  void DebugLine(const AnsiString& Line);
  void EmptyHitList();
  // Detaches the hit list's click, key-up and mouse handlers.
  void DetachHitListHandlers();
  void FillArticle(TKTable* Art);
  void FillSizes(TKTable* Srm);
  AnsiString PasswordPath() const;
};

extern TfrmMAIN* frmMAIN;

// Adds a hit line "n;eid;fab" to Box for every row of the search answer's
// table from its current row on; returns the number of hits.
Integer FillHitList(TKListBox* Box, TKTable* Stm);

// The window description of the main window, embedded by the build.
extern const char* const MainWindowDescription;
