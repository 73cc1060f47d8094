// End-to-end: the article search in the real window, the hit list, moving
// through the hits with keys and the mouse, and the search settings.
#include <fcntl.h>
#include <sys/stat.h>

#include "tests/client/main_fixture.h"

namespace zeltest {
namespace {

class E2eSearch : public MainE2E {
protected:
  void SetUp() override {
    MainE2E::SetUp();
    // "Alle" seasons and the first supplier by name (1203) unless a test says otherwise.
    WriteSettings({"USER=demo", "SAI=-1"});
  }
  // The settings file's change time, to see whether anything was written.
  std::int64_t SettingsStamp() const {
    struct stat St {};
    if (::stat(SettingsPath().c_str(), &St) != 0) return -1;
    return static_cast<std::int64_t>(St.st_mtim.tv_sec) * 1000000000 + St.st_mtim.tv_nsec;
  }
  // Sets the settings file's time far back, so a later write shows.
  void AgeSettings() const {
    const timespec Old[2] = {{946684800, 0}, {946684800, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, SettingsPath().c_str(), Old, 0), 0);
  }
  // Searches with Enter, lets the timer that the Enter's release armed run
  // out and forgets the requests so far.
  void SearchAndSettle(const AnsiString& Fab) {
    SearchWithEnter(Fab);
    if (W->timCheck->Running()) {
      ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
    }
    RunPostedMessages();
    Service->ClearRequests();
  }
  std::vector<std::string> ArticleIds() const {
    std::vector<std::string> Out;
    for (const auto& C : Calls("GetPRICAT")) Out.push_back(C.Param("eid"));
    return Out;
  }
};

// ---------------------------------------------------------------- the search

TEST_F(E2eSearch, EnterSearchesListsTheHitsAndShowsTheFirst) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  Service->ClearRequests();
  SearchWithEnter("as-47");

  const auto Searches = Calls("SearchART2");
  ASSERT_EQ(Searches.size(), 1u);
  EXPECT_EQ(Searches[0].ParamNames(), (std::vector<std::string>{"format", "user", "pass", "her", "fab", "sai"}));
  EXPECT_EQ(Searches[0].Param("format"), "0");
  EXPECT_EQ(Searches[0].Param("user"), "demo");
  EXPECT_EQ(Searches[0].Param("pass"), "demo");
  EXPECT_EQ(Searches[0].Param("her"), "1203");
  EXPECT_EQ(Searches[0].Param("fab"), "as-47");  // as typed
  EXPECT_EQ(Searches[0].Param("sai"), "-1");

  // Numbered hits in the answer's order, keyed by the article id.
  EXPECT_EQ(LinesOf(W->lbox), (std::vector<std::string>{"1;100101;AS-4711;", "2;100102;AS-4712;"}));
  EXPECT_EQ(W->lbox->ItemIndex(), 0);
  EXPECT_EQ(W->lbox->GetKeyInt(), 100101);
  EXPECT_EQ(Focused(), W->lbox);
  // The first hit is fetched once, for the selected country.
  const auto Articles = Calls("GetPRICAT");
  ASSERT_EQ(Articles.size(), 1u);
  EXPECT_EQ(Articles[0].ParamNames(), (std::vector<std::string>{"format", "user", "pass", "eid", "land"}));
  EXPECT_EQ(Articles[0].Param("format"), "0");
  EXPECT_EQ(Articles[0].Param("eid"), "100101");
  EXPECT_EQ(Articles[0].Param("land"), "DE");
  EXPECT_EQ(W->FShownEid, 100101);
  EXPECT_EQ(W->edZELID->AsInteger(), 100101);
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus: (0) OK");
  EXPECT_TRUE(W->btSearch->Enabled());
  EXPECT_EQ(Boxes.Count(), 0);
  // The inputs changed: they are remembered, in the order HER, FAB, LND.
  EXPECT_EQ(Setting("HER"), "1203");
  EXPECT_EQ(Setting("FAB"), "as-47");
  EXPECT_EQ(Setting("LND"), "DE");
  EXPECT_EQ(Setting("SAI"), "-1");
  std::vector<std::string> Order;
  for (const auto& E : SettingsEntries())
    if (E.first == "HER" || E.first == "FAB" || E.first == "LND") Order.push_back(E.first);
  EXPECT_EQ(Order, (std::vector<std::string>{"HER", "FAB", "LND"}));
}

TEST_F(E2eSearch, ArticleNumberNeedsThreeCharactersForEnter) {
  const std::pair<const char*, bool> Cases[] = {{"", false}, {"AS", false}, {"AS-", true}, {"NL-1001", true}};
  StartWindow();
  LoginWithEnter("demo", "demo");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.first);
    Service->ClearRequests();
    Boxes.Clear();
    SearchWithEnter(C.first);
    EXPECT_EQ(Calls("SearchART2").size(), C.second ? 1u : 0u);
    if (!C.second) {
      ASSERT_EQ(Boxes.Count(), 1);
      EXPECT_EQ(Boxes.Last().Text, "Fabrikartikel mu\xDF wenigstens 3-Stellen beinhalten");
      EXPECT_EQ(Focused(), W->edFab);
    } else {
      EXPECT_EQ(Boxes.Count(), 0);
    }
  }
  // A click searches with any text, even an empty one.
  Service->ClearRequests();
  W->edFab->SetText("");
  Click(W->btSearch);
  RunPostedMessages();
  ASSERT_EQ(Calls("SearchART2").size(), 1u);
  EXPECT_EQ(Calls("SearchART2")[0].Param("fab"), "");
  EXPECT_EQ(W->lbox->Items()->Count(), 4);  // every article of supplier 1203
}

TEST_F(E2eSearch, EnterWhileTheSearchButtonIsOffDoesNothing) {
  StartWindow();
  LoginWithEnter("demo", "falsch");  // refused: the search button is off
  ASSERT_FALSE(W->btSearch->Enabled());
  Service->ClearRequests();
  SearchWithEnter("AS");
  SearchWithEnter("AS-4711");
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(E2eSearch, SearchBeforeAnyLoginSendsNoSupplierAndNoSeason) {
  StartWindow();
  W->edUser->SetText("demo");
  W->edPass->SetText("demo");
  FocusOn(W->edFab);
  W->edFab->SetText("NL-");
  Click(W->btSearch);
  RunPostedMessages();
  const auto Searches = Calls("SearchART2");
  ASSERT_EQ(Searches.size(), 1u);
  EXPECT_EQ(Searches[0].Param("her"), "-1");
  EXPECT_EQ(Searches[0].Param("sai"), "-1");
  EXPECT_EQ(LinesOf(W->lbox), (std::vector<std::string>{"1;200201;NL-1001;", "2;200202;NL-1002;", "3;200203;NL-2040;"}));
}

TEST_F(E2eSearch, SettingsAreWrittenOnlyWhenASelectionChanged) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  ASSERT_EQ(Setting("FAB"), "AS-");
  AgeSettings();
  const auto Aged = SettingsStamp();
  // The same inputs again: nothing is written.
  SearchWithEnter("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  EXPECT_EQ(SettingsStamp(), Aged);
  // A changed article number without hits: nothing either.
  SearchWithEnter("ZZZ");
  EXPECT_EQ(W->lbox->Items()->Count(), 0);
  EXPECT_EQ(W->lbStmStatus->Caption(), "Status: (0) OK");
  EXPECT_EQ(SettingsStamp(), Aged);
  EXPECT_EQ(Setting("FAB"), "AS-");
  // Only the country changed: all four keys are written.
  W->cbLnd->SetKey("NL");
  SearchWithEnter("AS-");
  EXPECT_NE(SettingsStamp(), Aged);
  EXPECT_EQ(Setting("LND"), "NL");
  EXPECT_EQ(Setting("HER"), "1203");
  EXPECT_EQ(Setting("FAB"), "AS-");
  EXPECT_EQ(Setting("SAI"), "-1");
  EXPECT_EQ(Calls("GetPRICAT").back().Param("land"), "NL");
}

TEST_F(E2eSearch, StatusOfTheSearchShowsInTheLabelWithoutMessage) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  Service->SetFailure(FakeFailure::StatusNotZero);
  SearchWithEnter("AS-");
  EXPECT_EQ(W->lbStmStatus->Caption(), "Status: (3) Zugang gesperrt (Testfall)");
  EXPECT_EQ(W->lbox->Items()->Count(), 0);
  EXPECT_EQ(Boxes.Count(), 0);
  EXPECT_TRUE(W->btSearch->Enabled());
  EXPECT_TRUE(Calls("GetPRICAT").empty());
}

// Enter in the article number gives the search button the focus, and the
// search disables it: no other control takes the focus meanwhile.  Without
// hits the window keeps the focus, so the next Space ticks nothing.
TEST_F(E2eSearch, SearchWithoutHitsLeavesTheFocusWithTheWindow) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(Focused(), W->edFab);
  const bool Picture = W->chkPic->Checked();
  LogEnters();
  SearchWithEnter("XX-");
  ASSERT_EQ(W->lbox->Items()->Count(), 0);
  EXPECT_EQ(Entered, (std::vector<std::string>{"btSearch"}));
  EXPECT_EQ(Focused(), nullptr);
  EXPECT_EQ(W->ActiveControl(), nullptr);
  EXPECT_TRUE(W->btSearch->Enabled());
  PressKey(VK_SPACE);
  EXPECT_EQ(W->chkPic->Checked(), Picture);
  EXPECT_EQ(Entered, (std::vector<std::string>{"btSearch"}));
}

// A failed search call, and an error that escapes the article display,
// leave the search button off (and the hit list's handlers detached) until
// the next successful login.
TEST_F(E2eSearch, SearchButtonStaysOffAfterAFailedSearchUntilTheNextLogin) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  // The call fails.
  Service->SetFailure(FakeFailure::SoapFault);
  SearchWithEnter("AS-");
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_EQ(Boxes.Last().Text, "error.. (-122)");
  EXPECT_FALSE(W->btSearch->Enabled());
  EXPECT_EQ(W->lbox->Items()->Count(), 0);
  // Enter in the article number does nothing now.
  Service->SetFailure(FakeFailure::None);
  Service->ClearRequests();
  SearchWithEnter("AS-");
  EXPECT_TRUE(Calls("SearchART2").empty());
  // A new login brings the button back.
  LoginWithEnter("demo", "demo");
  EXPECT_TRUE(W->btSearch->Enabled());
  // The first article's picture is no JPEG: the default error box; the
  // button stays off and the hit list's handlers stay detached.
  Service->SetFailure(FakeFailure::BadPicture);
  W->chkPic->SetChecked(true);
  Boxes.Clear();
  SearchWithEnter("AS-");
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_NE(Boxes.Last().Text.find("JPEG-Fehler #"), std::string::npos) << Boxes.Last().Text;
  EXPECT_FALSE(W->btSearch->Enabled());
  EXPECT_FALSE(W->lbox->OnKeyUp);
  EXPECT_FALSE(W->lbox->OnMouseDown);
  EXPECT_FALSE(W->lbox->OnMouseUp);
  // After the next login the search works as usual.
  Service->SetFailure(FakeFailure::None);
  W->chkPic->SetChecked(false);
  LoginWithEnter("demo", "demo");
  Boxes.Clear();
  SearchWithEnter("NL-");
  EXPECT_EQ(W->lbox->Items()->Count(), 0);  // supplier 1203 has no NL- article
  EXPECT_TRUE(W->btSearch->Enabled());
  SearchWithEnter("AS-47");
  EXPECT_EQ(W->lbox->Items()->Count(), 2);
  EXPECT_TRUE(W->lbox->OnMouseUp);
  EXPECT_EQ(Boxes.Count(), 0);
}

// ---------------------------------------------------------------- moving through the hits

TEST_F(E2eSearch, SeveralKeyReleasesLeadToOneArticleRequest) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  ASSERT_EQ(Focused(), W->lbox);
  EXPECT_EQ(W->timCheck->Interval(), 200u);
  Service->ClearRequests();
  // The release of the search's Enter reached the list: its timer asks
  // for the hit already shown, which costs no request.
  if (W->timCheck->Running()) {
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
    RunPostedMessages();
  }
  EXPECT_TRUE(Calls("GetPRICAT").empty());
  EXPECT_FALSE(W->timCheck->Running());
  const unsigned Starts = platform::TimerStarts(W->timCheck);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  // The releases enabled the timer once; nothing fetched yet.
  EXPECT_EQ(platform::TimerStarts(W->timCheck), Starts + 1);
  EXPECT_TRUE(W->timCheck->Running());
  EXPECT_TRUE(Calls("GetPRICAT").empty());
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100104"}));
  EXPECT_EQ(W->edZELID->AsInteger(), 100104);
  EXPECT_FALSE(W->timCheck->Running());
  // A release that does not move the selection costs no request.
  PressKey(VK_SHIFT);
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100104"}));
}

TEST_F(E2eSearch, TimerShowsTheHitAfterItsInterval) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  // The release of the search's Enter armed the held timer: let it go, then
  // the next key's timer counts its real interval.
  if (W->timCheck->Running()) {
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  }
  RunPostedMessages();
  Service->ClearRequests();
  Time.LetTimersRun();
  const auto Pressed = std::chrono::steady_clock::now();
  PressKey(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return !Calls("GetPRICAT").empty(); }));
  EXPECT_GE(std::chrono::steady_clock::now() - Pressed, std::chrono::milliseconds(150));
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100102"}));
  EXPECT_EQ(W->edHFab->EText(), "AS-4712");
}

TEST_F(E2eSearch, MousePressOnAHitShowsIt) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  Service->ClearRequests();
  const TRect R = W->lbox->ItemRect(2);
  platform::SendMouseDown(W->lbox, mbLeft, R.Left + 5, R.Top + 3);
  platform::SendMouseUp(W->lbox, mbLeft, R.Left + 5, R.Top + 3);
  RunPostedMessages();
  EXPECT_EQ(W->lbox->ItemIndex(), 2);
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100103"}));
}

// Holding Down in the hit list (as X delivers a held key: auto-repeated
// releases and presses) moves the selection but fetches nothing while the
// key is down; its one real release starts the timer, which shows the hit
// reached.  The debug list gets one "key-UP".
TEST_F(E2eSearch, HoldingDownFetchesOneArticleAfterTheRelease) {
  WriteFile(WorkFile("zel_web_pricat.exe.debug.wu"), "");
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchAndSettle("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  ASSERT_EQ(Focused(), W->lbox);
  W->deb->Clear();
  // About two seconds of repetitions, 30 per second; the timer's 200 ms
  // pass every sixth of them, and it fires if it runs.
  int FiredWhileHeld = 0;
  ASSERT_TRUE(platform::InputHeldKey(VK_DOWN, 60, TShiftState(), [&](int Repeat) {
    Time.Advance(33);
    if (Repeat % 6 == 0 && W->timCheck->Running()) {
      platform::FireTimerNow(W->timCheck);
      ++FiredWhileHeld;
    }
  }));
  RunPostedMessages();
  EXPECT_EQ(FiredWhileHeld, 0);
  EXPECT_TRUE(Calls("GetPRICAT").empty());
  EXPECT_EQ(W->lbox->ItemIndex(), 3);
  ASSERT_TRUE(W->timCheck->Running());
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100104"}));
  std::vector<std::string> Lines;
  for (int i = 0; i < W->deb->Items()->Count(); ++i) Lines.push_back(W->deb->Items()->Strings(i));
  EXPECT_EQ(Lines, (std::vector<std::string>{"key-UP"}));
}

// The debug list shows a line inserted at its top at once, without the
// mouse moving over it.
TEST_F(E2eSearch, TheDebugListShowsANewLineAtOnce) {
  WriteFile(WorkFile("zel_web_pricat.exe.debug.wu"), "");
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  ASSERT_EQ(Focused(), W->lbox);
  platform::InputKey(VK_DOWN, true);
  platform::InputKey(VK_DOWN, false);
  const TRect R = W->lbox->ItemRect(2);
  platform::InputMouseDown(W->lbox, mbLeft, R.Left + 5, R.Top + 3);
  platform::InputMouseUp(W->lbox, mbLeft, R.Left + 5, R.Top + 3);
  const auto Native = platform::WatchNativeList(W->deb, [] {});
  ASSERT_GE(Native.Rows.size(), 2u);
  EXPECT_EQ(Native.Rows[0], "mouse-Down");
  EXPECT_EQ(Native.Rows[1], "key-UP");
}

// Only a left press on a hit moves the hit list: a right click on another
// hit, a left click below the hits and a Ctrl+click on the selected hit
// leave the selection and the article shown as they were (the press still
// reaches the list's mouse handler, whose timer then shows the same hit).
TEST_F(E2eSearch, OtherClicksInTheHitListChangeNothing) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchAndSettle("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  struct Case {
    const char* Name;
    TMouseButton Button;
    TShiftState Shift;
    int Y;
  };
  const TRect Third = W->lbox->ItemRect(2), First = W->lbox->ItemRect(0), Last = W->lbox->ItemRect(3);
  const Case Cases[] = {{"right on the third hit", mbRight, {}, Third.Top + 3},
                        {"left below the hits", mbLeft, {}, Last.Bottom + 20},
                        {"ctrl+left on the selected hit", mbLeft, {ssCtrl}, First.Top + 3},
                        {"middle on the third hit", mbMiddle, {}, Third.Top + 3}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    platform::InputClick(W->lbox, 10, C.Y, C.Button, C.Shift);
    EXPECT_EQ(W->lbox->ItemIndex(), 0);
    EXPECT_TRUE(W->timCheck->Running());
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
    RunPostedMessages();
    EXPECT_TRUE(Calls("GetPRICAT").empty());
    EXPECT_EQ(W->FShownEid, 100101);
  }
}

// A slow drag from one hit to another: the timer the press started fires on
// the way; the release starts it again, so the hit under the release is the
// one shown.
TEST_F(E2eSearch, ADragOverTheHitsShowsTheHitUnderTheRelease) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchAndSettle("AS-");
  ASSERT_EQ(W->lbox->Items()->Count(), 4);
  auto Middle = [this](int Index) {
    const TRect R = W->lbox->ItemRect(Index);
    return R.Top + R.Height() / 2;
  };
  platform::InputMouseDown(W->lbox, mbLeft, 10, Middle(1));
  platform::InputMouseMove(W->lbox, 10, Middle(2));
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));  // a second on the way
  RunPostedMessages();
  platform::InputMouseMove(W->lbox, 10, Middle(3));
  platform::InputMouseUp(W->lbox, mbLeft, 10, Middle(3));
  EXPECT_EQ(W->lbox->ItemIndex(), 3);
  ASSERT_TRUE(W->timCheck->Running());
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100103", "100104"}));
  EXPECT_EQ(W->FShownEid, 100104);
}

// A click focuses only what takes the focus there: a click on a caption,
// the logo, the picture, a disabled article field or the "K" button leaves
// the keys with the control that had them.
TEST_F(E2eSearch, ClicksOnCaptionsPicturesAndSpeedButtonsLeaveTheFocus) {
  WriteFile(WorkFile("zel_web_pricat.exe.debug"), "");
  StartWindow();
  LoginWithEnter("demo", "demo");
  // Into the article number, onto its caption, then typing and Enter.
  platform::InputClick(W->edFab, 5, 5);
  ASSERT_EQ(Focused(), W->edFab);
  W->edFab->SetText("");
  platform::InputClick(W->Label3, 3, 3);
  EXPECT_EQ(Focused(), W->edFab);
  for (WORD Key : {WORD('1'), WORD('0'), WORD('0'), WORD(VK_RETURN)}) {
    platform::InputKey(Key, true);
    platform::InputKey(Key, false);
  }
  const auto Searches = Calls("SearchART2");
  ASSERT_EQ(Searches.size(), 1u);
  EXPECT_EQ(Searches[0].Param("fab"), "100");
  // A hit clicked, then the logo, the picture, a disabled field and "K":
  // Down still moves through the hits.
  SearchWithEnter("AS-");
  const TRect Second = W->lbox->ItemRect(1);
  platform::InputClick(W->lbox, 10, Second.Top + 3);
  ASSERT_EQ(Focused(), W->lbox);
  for (TControl* Target : std::initializer_list<TControl*>{W->Image1, W->pic, W->edLief, W->Panel4, W->btKCSV}) {
    SCOPED_TRACE(Target->Name());
    platform::InputClick(Target, 3, 3);
    EXPECT_EQ(Focused(), W->lbox);
  }
  Boxes.Clear();  // "K" showed the article's text
  if (W->timCheck->Running()) {
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  }
  RunPostedMessages();
  Service->ClearRequests();
  platform::InputKey(VK_DOWN, true);
  platform::InputKey(VK_DOWN, false);
  EXPECT_EQ(W->lbox->ItemIndex(), 2);
  ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  RunPostedMessages();
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100103"}));
}

TEST_F(E2eSearch, PointerOverAHitWhenTheListTakesTheFocusSelectsAndShowsIt) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-47");
  ASSERT_EQ(W->lbox->Items()->Count(), 2);
  // The next search's list has its second hit under the pointer.
  const TRect R = W->lbox->ItemRect(1);
  platform::SetMousePos(W->lbox, R.Left + 4, R.Top + 2);
  Service->ClearRequests();
  SearchWithEnter("AS-");
  EXPECT_EQ(W->lbox->ItemIndex(), 1);
  EXPECT_EQ(ArticleIds(), (std::vector<std::string>{"100102"}));
  EXPECT_EQ(W->FShownEid, 100102);
}

TEST_F(E2eSearch, EnterInTheHitListDoesNothing) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  Service->ClearRequests();
  int Beeps = 0;
  platform::SetMessageBeepHook([&](UINT) { ++Beeps; });
  PressKey(VK_RETURN);
  platform::SetMessageBeepHook(nullptr);
  if (W->timCheck->Running()) platform::FireTimerNow(W->timCheck);
  RunPostedMessages();
  EXPECT_EQ(Beeps, 0);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(Focused(), W->lbox);
  EXPECT_EQ(Boxes.Count(), 0);
}

TEST_F(E2eSearch, EnteringTheEmptyHitListSendsTheFocusToTheArticleNumber) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  ASSERT_EQ(W->lbox->Items()->Count(), 0);
  FocusOn(W->lbox);
  EXPECT_EQ(Focused(), W->edFab);
}

TEST_F(E2eSearch, PressOnAListEmptiedByTheArticleNumberShowsNoArticle) {
  WriteFile(WorkFile("zel_web_pricat.exe.debug"), "");
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-");
  ASSERT_EQ(W->FShownEid, 100101);
  // Entering the article number empties the list and the article.
  FocusOn(W->edFab);
  ASSERT_EQ(W->lbox->Items()->Count(), 0);
  EXPECT_EQ(W->edZELID->EText(), "");
  Service->ClearRequests();
  platform::SendMouseDown(W->lbox, mbLeft, 10, 10);
  platform::SendMouseUp(W->lbox, mbLeft, 10, 10);
  RunPostedMessages();
  if (W->timCheck->Running()) {
    ASSERT_TRUE(platform::FireTimerNow(W->timCheck));
  }
  RunPostedMessages();
  EXPECT_TRUE(Calls("GetPRICAT").empty());
  EXPECT_EQ(W->edZELID->EText(), "");
  EXPECT_EQ(Boxes.Count(), 0);
  // The text views then fetch nothing: no article is shown.
  Click(W->btKCSV);
  Click(W->btEDIpricat);
  RunPostedMessages();
  EXPECT_TRUE(Calls("GetPRICAT").empty());
  EXPECT_EQ(Boxes.Count(), 0);
}

TEST_F(E2eSearch, FocusEntriesEmptyTheListAndTheArticle) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  for (TWinControl* Target : std::initializer_list<TWinControl*>{W->edUser, W->edPass, W->cbHer, W->edFab}) {
    SCOPED_TRACE(Target->Name());
    SearchWithEnter("AS-47");
    ASSERT_EQ(W->lbox->Items()->Count(), 2);
    ASSERT_EQ(W->edHFab->EText(), "AS-4711");
    FocusOn(Target);
    EXPECT_EQ(W->lbox->Items()->Count(), 0);
    EXPECT_EQ(W->edHFab->EText(), "");
    EXPECT_EQ(W->lbGrs->Items()->Count(), 0);
    EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus:");
  }
}

TEST_F(E2eSearch, ExitAfterASearchWritesTheSettings) {
  StartWindow();
  LoginWithEnter("demo", "demo");
  SearchWithEnter("AS-4711");
  ASSERT_EQ(W->lbox->Items()->Count(), 1);
  W->SetTop(77);
  const int Height = W->Height();
  CloseWindow();
  EXPECT_EQ(Setting("USER"), "demo");
  EXPECT_FALSE(HasSetting("PASS"));
  EXPECT_EQ(Setting("Top"), "77");
  EXPECT_EQ(Setting("Height"), std::to_string(Height));
  EXPECT_EQ(Setting("FAB"), "AS-4711");
  // The next start takes up the remembered inputs.
  StartWindow();
  LoginWithEnter("demo", "demo");
  EXPECT_EQ(W->edFab->Text(), "AS-4711");
  EXPECT_EQ(W->cbHer->GetKey(), "1203");
  EXPECT_EQ(W->cbSai->GetKey(), "-1");
}

}  // namespace
}  // namespace zeltest
