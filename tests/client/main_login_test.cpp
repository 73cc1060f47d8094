// End-to-end: the login in the real window against the fake service, the
// three list queries, the remembered password and the login's failures.
#include <sys/stat.h>

#include <filesystem>

#include "tests/client/main_fixture.h"

namespace zeltest {
namespace {

using E2eLogin = MainE2E;

const char* const FaultText = "Server was unable to process request. ---> Datenbank nicht erreichbar";

std::vector<std::string> Keys(TKComboBox* Box) {
  std::vector<std::string> Out;
  for (const auto& L : MainE2E::LinesOf(Box)) Out.push_back(L.substr(0, L.find(';')));
  return Out;
}

// ---------------------------------------------------------------- a successful login

TEST_F(E2eLogin, EnterInPasswordLoadsTheThreeListsInOrder) {
  WriteSettings({"USER=demo", "HER=2210", "SAI=22", "LND=at", "FAB=NL-10"});
  StartWindow();
  ASSERT_EQ(Focused(), W->edPass);
  W->edPass->SetText("demo");
  PressKey(VK_RETURN);

  // One description read, then the supplier list, the countries, the season map.
  int DescriptionReads = 0;
  for (const auto& R : Service->Requests())
    if (R.Method == "GET") ++DescriptionReads;
  EXPECT_EQ(DescriptionReads, 1);
  ASSERT_EQ(Service->Requests().front().Method, "GET");
  EXPECT_EQ(Service->Requests().front().Target, std::string(FakeZelService::ServicePath) + "?wsdl");
  EXPECT_EQ(Operations(), (std::vector<std::string>{"SearchART(-19971001)", "SearchART(-19971003)", "SearchART(-19971002)"}));
  for (const auto& C : Calls()) {
    EXPECT_EQ(C.ParamNames(), (std::vector<std::string>{"format", "user", "pass", "her", "fab"}));
    EXPECT_EQ(C.Param("format"), "0");
    EXPECT_EQ(C.Param("user"), "demo");
    EXPECT_EQ(C.Param("pass"), "demo");
    EXPECT_EQ(C.Param("fab"), "");
    EXPECT_EQ(C.Action, "\"" + FakeZelService::ActionOf("SearchART") + "\"");
  }

  // Suppliers ordered by name, the remembered one selected.
  EXPECT_EQ(LinesOf(W->cbHer), (std::vector<std::string>{"1203;01203;Alpenstieg Schuhfabrik GmbH;",
                                                         "3377;03377;M\xFCller & S\xF6hne Sportartikel;",
                                                         "2210;02210;Nordlicht Textil KG;"}));
  EXPECT_EQ(W->cbHer->SortItem(), 3);
  EXPECT_EQ(W->cbHer->GetKey(), "2210");
  // The seasons of that supplier after "Alle", the remembered one selected.
  auto SaiKeys = Keys(W->cbSai);
  std::sort(SaiKeys.begin(), SaiKeys.end());
  EXPECT_EQ(SaiKeys, (std::vector<std::string>{"-1", "21", "22", "23"}));
  const auto SaiLines = LinesOf(W->cbSai);
  EXPECT_NE(std::find(SaiLines.begin(), SaiLines.end(), "-1;Alle;"), SaiLines.end());
  EXPECT_NE(std::find(SaiLines.begin(), SaiLines.end(), "23;23 - HW 2004;"), SaiLines.end());
  EXPECT_EQ(W->cbSai->GetKey(), "22");
  // Countries in the answer's order; the remembered key matches without regard to case.
  EXPECT_EQ(LinesOf(W->cbLnd), (std::vector<std::string>{"DE;", "AT;", "CH;", "NL;", "FR;"}));
  EXPECT_EQ(W->cbLnd->GetKey(), "AT");
  // The article number comes back; the focus waits there.
  EXPECT_EQ(W->edFab->Text(), "NL-10");
  EXPECT_EQ(Focused(), W->edFab);
  EXPECT_TRUE(W->btSearch->Enabled());
  EXPECT_FALSE(W->btLogin->Enabled());
  EXPECT_EQ(Boxes.Count(), 0);
  // The password file, once.
  EXPECT_EQ(ReadFile(PasswordPath()), "{6F6D6564}\r\n");
}

TEST_F(E2eLogin, RememberedSupplierMissingSelectsTheFirstByNameWithItsSeasons) {
  WriteSettings({"USER=demo", "HER=9999", "SAI=23"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(W->cbHer->GetKey(), "1203");
  auto SaiKeys = Keys(W->cbSai);
  std::sort(SaiKeys.begin(), SaiKeys.end());
  EXPECT_EQ(SaiKeys, (std::vector<std::string>{"-1", "20", "21", "22", "9"}));
  // Season 23 is not among them: the first entry is selected.
  EXPECT_EQ(W->cbSai->GetKey(), Keys(W->cbSai).front());
}

TEST_F(E2eLogin, PasswordFileIsWrittenOnlyForANewPassword) {
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(ReadFile(PasswordPath()), "{6F6D6564}\r\n");
  // The same password in another spelling of the line: a second login with
  // it leaves the file as it is.
  WriteFile(PasswordPath(), "{6f6d6564}\r\n");
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(W->cbHer->Items()->Count(), 3);
  EXPECT_EQ(ReadFile(PasswordPath()), "{6f6d6564}\r\n");
  // Another user with another password rewrites it.
  LoginWithEnter("kunde", "geheim");
  EXPECT_EQ(W->cbHer->Items()->Count(), 3);
  EXPECT_EQ(ReadFile(PasswordPath()), "{6D6965686567}\r\n");
  // The next start fills the password field with it.
  CloseWindow();
  StartWindow();
  EXPECT_EQ(W->edPass->Text(), "geheim");
  EXPECT_EQ(W->edUser->Text(), "kunde");
}

TEST_F(E2eLogin, ClickingTheButtonLogsInToo) {
  WriteSettings({"USER=demo"});
  StartWindow();
  W->edPass->SetText("demo");
  Click(W->btLogin);
  RunPostedMessages();
  EXPECT_EQ(Calls().size(), 3u);
  EXPECT_EQ(W->cbHer->Items()->Count(), 3);
  EXPECT_EQ(Focused(), W->edFab);
  EXPECT_FALSE(W->btLogin->Enabled());
}

// The button disables itself when it starts the login.  Whether it was
// clicked (and took the focus) or Enter in the password started it, no other
// control takes the focus on the way or runs its OnEnter (the supplier
// list's would empty the hit list before the service was even asked): the
// focus goes where the login sends it, or stays with the window.
TEST_F(E2eLogin, FocusAfterALoginByClickOrByEnter) {
  struct Case {
    const char* Name;
    bool ByClick;
    const char* Pass;
    FakeFailure Failure;
    std::vector<std::string> Entered;  // OnEnter in order, from the password field
    const char* FocusedName;           // "" for none: the window keeps the focus
    bool LoginEnabled;
  };
  const Case Cases[] = {
      {"click, success", true, "demo", FakeFailure::None, {"btLogin", "edFab"}, "edFab", false},
      {"enter, success", false, "demo", FakeFailure::None, {"edFab"}, "edFab", false},
      {"click, refused", true, "falsch", FakeFailure::None, {"btLogin", "edPass"}, "edPass", true},
      {"enter, refused", false, "falsch", FakeFailure::None, {}, "edPass", false},
      {"click, error", true, "demo", FakeFailure::SoapFault, {"btLogin"}, "", false},
      {"enter, error", false, "demo", FakeFailure::SoapFault, {}, "edPass", false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Service->SetFailure(C.Failure);
    WriteSettings({"USER=demo"});
    StartWindow();
    FocusOn(W->edPass);
    W->edPass->SetText(C.Pass);
    LogEnters();
    if (C.ByClick)
      Click(W->btLogin);
    else
      PressKey(VK_RETURN);
    RunPostedMessages();
    EXPECT_EQ(Entered, C.Entered);
    EXPECT_EQ(Focused() ? Focused()->Name() : std::string(), C.FocusedName);
    EXPECT_EQ(W->btLogin->Enabled(), C.LoginEnabled);
    EXPECT_FALSE(W->cbHer->Focused());
    CloseWindow();
    Boxes.Clear();
  }
}

// Choosing the supplier by typing: back in the supplier list, "Mit" drops
// its list and selects "Mitte Textil"; the open list shows that entry, and
// Enter keeps it, closes the list, hands the focus on and reports no second
// change.  The next search asks for that supplier.
TEST_F(E2eLogin, TypedSupplierIsKeptByEnterInTheOpenList) {
  Service->SetSupplierList("@stm,eid[INT],fab[STR]\r\n1203^Alpenstieg Schuhfabrik GmbH\r\n2210^Nordlicht Textil KG\r\n"
                           "4410^Mitte Textil\r\n3377^M\xFCller & S\xF6hne Sportartikel\r\n");
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(Focused(), W->edFab);
  ASSERT_EQ(W->cbHer->GetKey(), "1203");  // the first by name
  for (int i = 0; i < 3; ++i) PressKey(VK_TAB, TShiftState{ssShift});
  ASSERT_EQ(Focused(), W->cbHer);
  int Changes = 0;
  const TNotifyEvent Rebuild = W->cbHer->OnChange;
  W->cbHer->OnChange = [&](TObject* Sender) {
    ++Changes;
    Rebuild(Sender);
  };
  TypeText("Mit");
  ASSERT_TRUE(W->cbHer->DroppedDown());
  EXPECT_EQ(W->cbHer->GetKey(), "4410");
  EXPECT_EQ(platform::DroppedListRow(W->cbHer), W->cbHer->ItemIndex());
  EXPECT_EQ(Changes, 1);
  PressKey(VK_RETURN);
  EXPECT_FALSE(W->cbHer->DroppedDown());
  EXPECT_EQ(W->cbHer->GetKey(), "4410");
  EXPECT_EQ(LineOf(W->cbHer, W->cbHer->ItemIndex()), "4410;04410;Mitte Textil;");
  EXPECT_EQ(Changes, 1);
  EXPECT_TRUE(W->cbHer->KeyCR());
  EXPECT_EQ(Focused(), W->cbSai);
  EXPECT_EQ(LinesOf(W->cbSai), (std::vector<std::string>{"-1;Alle;"}));  // supplier 4410 has no seasons
  SearchWithEnter("AS-");
  ASSERT_FALSE(Calls("SearchART2").empty());
  EXPECT_EQ(Calls("SearchART2").back().Param("her"), "4410");
}

TEST_F(E2eLogin, DoubleClickOnSupplierOrCountryLabelTogglesTheSupplierOrder) {
  WriteSettings({"USER=demo", "HER=3377"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  const std::vector<std::string> ByName = LinesOf(W->cbHer);
  const std::vector<std::string> ByNumber = {"1203;01203;Alpenstieg Schuhfabrik GmbH;", "2210;02210;Nordlicht Textil KG;",
                                             "3377;03377;M\xFCller & S\xF6hne Sportartikel;"};
  const std::vector<std::string> Countries = LinesOf(W->cbLnd);
  const auto SaiBefore = LinesOf(W->cbSai);
  platform::SendDblClick(W->labHersteller, 2, 2);
  RunPostedMessages();
  EXPECT_EQ(W->cbHer->SortItem(), 2);
  EXPECT_EQ(LinesOf(W->cbHer), ByNumber);
  EXPECT_EQ(W->cbHer->GetKey(), "3377");
  platform::SendDblClick(W->Label5, 2, 2);  // "Land" toggles the suppliers too
  RunPostedMessages();
  EXPECT_EQ(W->cbHer->SortItem(), 3);
  EXPECT_EQ(LinesOf(W->cbHer), ByName);
  EXPECT_EQ(W->cbHer->GetKey(), "3377");
  EXPECT_EQ(LinesOf(W->cbLnd), Countries);
  EXPECT_EQ(LinesOf(W->cbSai), SaiBefore);
  EXPECT_EQ(Calls().size(), 3u);
}

// ---------------------------------------------------------------- refusals and failures

TEST_F(E2eLogin, RefusedLoginEmptiesAndFocusesThePasswordSilently) {
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "falsch");
  EXPECT_EQ(Operations(), (std::vector<std::string>{"SearchART(-19971001)"}));
  EXPECT_EQ(W->edPass->Text(), "");
  EXPECT_EQ(Focused(), W->edPass);
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_EQ(W->cbHer->Items()->Count(), 0);
  EXPECT_FALSE(W->btSearch->Enabled());
  // Started by Enter, the focus never left: the button waits for the next entry.
  EXPECT_FALSE(W->btLogin->Enabled());
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus:");
  EXPECT_FALSE(Exists(PasswordPath()));
  FocusOn(W->edUser);
  FocusOn(W->edPass);
  EXPECT_TRUE(W->btLogin->Enabled());
}

TEST_F(E2eLogin, RefusedLoginByTheButtonEnablesItAgainAtOnce) {
  WriteSettings({"USER=demo"});
  StartWindow();
  W->edPass->SetText("falsch");
  FocusOn(W->edUser);
  Click(W->btLogin);
  RunPostedMessages();
  EXPECT_EQ(Focused(), W->edPass);
  EXPECT_TRUE(W->btLogin->Enabled());
  EXPECT_FALSE(W->btSearch->Enabled());
}

struct FailureCase {
  const char* Name;
  FakeFailure Failure;
  FakeWsdl Wsdl;
  const char* TextPart;  // in the message after the login's own line
};

TEST_F(E2eLogin, CallFailureShowsMinus121WithTheErrorText) {
  const FailureCase Cases[] = {
      {"fault", FakeFailure::SoapFault, FakeWsdl::Normal, FaultText},
      {"404", FakeFailure::Http404, FakeWsdl::Normal, "(404)"},
      {"html", FakeFailure::HtmlReply, FakeWsdl::Normal, "text/html"},
      {"no address", FakeFailure::None, FakeWsdl::WithoutAddress,
       "URL-Endpunkt f\xFCr Service/Port 'zelservice'/'zelserviceSoap' kann nicht von WSDL '"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Service->SetFailure(C.Failure);
    Service->SetWsdl(C.Wsdl);
    Service->ClearRequests();
    Boxes.Clear();
    WriteSettings({"USER=demo"});
    StartWindow();
    LoginWithEnter("demo", "demo");
    ASSERT_EQ(Boxes.Count(), 1);
    const std::string Text = Boxes.Last().Text;
    EXPECT_EQ(Text.substr(0, 16), "error.. (-121)\r\n") << Text;
    EXPECT_NE(Text.find(C.TextPart, 16), std::string::npos) << Text;
    if (C.Failure == FakeFailure::SoapFault) {
      EXPECT_EQ(Text, std::string("error.. (-121)\r\n") + FaultText);
    }
    // The login stops there: no list query follows, both buttons are off.
    EXPECT_LE(Calls().size(), 1u);
    EXPECT_FALSE(W->btLogin->Enabled());
    EXPECT_FALSE(W->btSearch->Enabled());
    EXPECT_EQ(W->cbHer->Items()->Count(), 0);
    EXPECT_FALSE(Exists(PasswordPath()));
    CloseWindow();
  }
}

// A fault text far longer than anyone reads is shown up to 64 KiB
// characters and an ellipsis; a fault text up to that length as it came.
TEST_F(E2eLogin, LongFaultTextIsShownCutWithAnEllipsis) {
  const std::size_t Bound = 64 * 1024;
  const struct {
    const char* Name;
    std::string Fault;
    std::string Shown;
  } Cases[] = {
      {"at the bound", std::string(Bound - 1, 'x') + "\xFC", std::string(Bound - 1, 'x') + "\xFC"},
      {"ten MiB", "Fehler \xFC" + std::string(10u << 20, 'y'), "Fehler \xFC" + std::string(Bound - 8, 'y') + "\x85"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Service->SetFailure(FakeFailure::SoapFault);
    Service->SetFaultText(C.Fault);
    Boxes.Clear();
    WriteSettings({"USER=demo"});
    StartWindow();
    LoginWithEnter("demo", "demo");
    ASSERT_EQ(Boxes.Count(), 1);
    const std::string Text = Boxes.Last().Text;
    EXPECT_EQ(Text.size(), 16 + C.Shown.size());
    EXPECT_TRUE(Text == "error.. (-121)\r\n" + C.Shown);
    CloseWindow();
  }
}

// Elements of the answer that its result type does not have, however deep
// they nest and whatever they hold, are passed over: the lists load as
// without them.
TEST_F(E2eLogin, ElementsTheResultTypeDoesNotHaveAreSkipped) {
  Service->SetForeignElements("<Extra>geheim<Status>9</Status><Tief><Tiefer>1</Tiefer></Tief></Extra><Leer/>");
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_EQ(LinesOf(W->cbHer), (std::vector<std::string>{"1203;01203;Alpenstieg Schuhfabrik GmbH;",
                                                         "3377;03377;M\xFCller & S\xF6hne Sportartikel;",
                                                         "2210;02210;Nordlicht Textil KG;"}));
  EXPECT_EQ(LinesOf(W->cbLnd), (std::vector<std::string>{"DE;", "AT;", "CH;", "NL;", "FR;"}));
  EXPECT_TRUE(W->btSearch->Enabled());
}

TEST_F(E2eLogin, CountryOrSeasonFailureShowsMinus122AndTheLoginGoesOn) {
  const std::pair<Integer, const char*> Cases[] = {{ZEL_LIST_COUNTRIES, "countries"}, {ZEL_LIST_SEASONS, "seasons"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.second);
    Boxes.Clear();
    WriteSettings({"USER=demo", "HER=1203", "LND=ch"});
    StartWindow();
    Script().FailCall("SearchART", C.first);
    LoginWithEnter("demo", "demo");
    ASSERT_EQ(Boxes.Count(), 1);
    EXPECT_EQ(Boxes.Last().Text, "error.. (-122)");
    EXPECT_EQ(W->cbHer->Items()->Count(), 3);
    EXPECT_TRUE(W->btSearch->Enabled());
    EXPECT_EQ(Focused(), W->edFab);
    if (C.first == ZEL_LIST_COUNTRIES) {
      EXPECT_EQ(W->cbLnd->Items()->Count(), 0);
      EXPECT_EQ(W->cbSai->Items()->Count(), 5);
    } else {
      EXPECT_EQ(LinesOf(W->cbSai), (std::vector<std::string>{"-1;Alle;"}));
      EXPECT_EQ(W->cbLnd->GetKey(), "CH");
    }
    CloseWindow();
  }
}

TEST_F(E2eLogin, StatusOfTheListQueriesLeavesThemEmptyWithoutMessage) {
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(W->cbLnd->Items()->Count(), 5);
  // Every later answer has a status: the second login is refused at once,
  // the lists of the first one stay.
  Service->SetFailure(FakeFailure::StatusNotZero);
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(W->cbHer->Items()->Count(), 0);
  EXPECT_EQ(W->cbLnd->Items()->Count(), 5);
  EXPECT_EQ(W->cbSai->Items()->Count(), 5);
  EXPECT_EQ(Boxes.Count(), 0);
}

TEST_F(E2eLogin, DebugListShowsTheServiceClientMade) {
  WriteFile(WorkFile("zel_web_pricat.exe.debug.wu"), "");
  WriteSettings({"USER=demo"});
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_GE(W->deb->Items()->Count(), 1);
  EXPECT_EQ(W->deb->Items()->Strings(0), "GetZelService.OK");
  // A second login reuses the client: no second line.
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(W->deb->Items()->Count(), 1);
}

// ---------------------------------------------------------------- the remembered password at start

struct LoadCase {
  const char* Content;
  const char* Password;
};

TEST_F(E2eLogin, RememberedPasswordLineDecodesAtStart) {
  const LoadCase Cases[] = {
      {"{6F6D6564}\r\n", "demo"},
      {"{6f6d6564}\r\n", "demo"},        // lower-case digits
      {"x6F6D6564y\r\n", "demo"},        // first and last character skipped whatever they are
      {"{0941}\r\n", "A\t"},             // a code below 16 with its leading zero
      {"{41424}\r\n", "$\x14"},          // odd length: positions 1, 2 and the last ignored
      {"{G741}\r\n", "A "},              // a pair that is no hex number gives a blank
      {"{4}\r\n", ""},                   // three characters or fewer give nothing
      {"{6F6D6564}", "demo"},            // no line end
      {"{6F6D6564}\r\nsecond line\r\n", "demo"},
      {"\r\n{41}\r\n", ""},              // an empty first line
      {"", ""},                          // an empty file
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Content);
    WriteFile(PasswordPath(), C.Content);
    StartWindow(false);
    EXPECT_EQ(W->edPass->Text(), std::string(C.Password));
    delete W;
    W = nullptr;
  }
  ::unlink(PasswordPath().c_str());
  StartWindow(false);
  EXPECT_EQ(W->edPass->Text(), "");
}

struct SaveCase {
  const char* Password;
  const char* Line;
};

TEST_F(E2eLogin, SavedPasswordLineIsReversedTwoDigitUpperHex) {
  const SaveCase Cases[] = {
      {"demo", "{6F6D6564}"},
      {"A\x05", "{0541}"},
      {"\xE4\xDF!", "{21DFE4}"},
      {"a b", "{622061}"},
  };
  StartWindow(false);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Password);
    W->edPass->SetText(C.Password);
    W->SavePassword();
    EXPECT_EQ(ReadFile(PasswordPath()), std::string(C.Line) + "\r\n");
    EXPECT_EQ(W->LoadPassword(), std::string(C.Password));
  }
  // An empty password is never saved.
  W->edPass->SetText("");
  W->SavePassword();
  EXPECT_EQ(ReadFile(PasswordPath()), "{622061}\r\n");
}

// ---------------------------------------------------------------- the password file's safety

TEST_F(E2eLogin, PasswordFileIsPrivateAndReplacedByANewFile) {
  WriteSettings({"USER=demo"});
  WriteFile(PasswordPath(), "{41}\r\n");
  ::chmod(PasswordPath().c_str(), 0644);
  struct stat Before {};
  ASSERT_EQ(::stat(PasswordPath().c_str(), &Before), 0);
  StartWindow();
  LoginWithEnter("demo", "demo");
  struct stat After {};
  ASSERT_EQ(::stat(PasswordPath().c_str(), &After), 0);
  EXPECT_EQ(After.st_mode & 07777, 0600u);
  EXPECT_NE(After.st_ino, Before.st_ino);
  EXPECT_EQ(ReadFile(PasswordPath()), "{6F6D6564}\r\n");
  // No half-written file is left beside it.
  int Entries = 0;
  for (const auto& E : std::filesystem::directory_iterator(Root.file("tmp"))) {
    (void)E;
    ++Entries;
  }
  EXPECT_EQ(Entries, 1);
}

TEST_F(E2eLogin, LinkAtThePasswordLocationIsNeitherReadNorFollowed) {
  const std::string Victim = Root.file("victim.txt");
  WriteFile(Victim, "{6F6D6564}\r\n");
  ASSERT_EQ(::symlink(Victim.c_str(), PasswordPath().c_str()), 0);
  WriteSettings({"USER=kunde"});
  StartWindow();
  EXPECT_EQ(W->edPass->Text(), "");  // the link's target is not read
  LoginWithEnter("kunde", "geheim");
  EXPECT_EQ(ReadFile(Victim), "{6F6D6564}\r\n");  // nor written through
  struct stat St {};
  ASSERT_EQ(::lstat(PasswordPath().c_str(), &St), 0);
  EXPECT_TRUE(S_ISREG(St.st_mode));
  EXPECT_EQ(ReadFile(PasswordPath()), "{6D6965686567}\r\n");
}

TEST_F(E2eLogin, PasswordFileOfAnotherUserIsIgnored) {
  WriteFile(PasswordPath(), "{6F6D6564}\r\n");
  if (::chown(PasswordPath().c_str(), 65534, 65534) != 0) GTEST_SKIP() << "cannot give a file to another user here";
  StartWindow(false);
  EXPECT_EQ(W->edPass->Text(), "");
}

}  // namespace
}  // namespace zeltest
