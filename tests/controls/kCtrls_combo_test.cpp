// The multi-column combo box: keys, changed state and colours, KeyCR, the
// focus hand-on, the type-ahead search and drawing in columns.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include <string>
#include <vector>

#include "controls/kCtrls.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/rtl/sysutils.h"
#include "tests/controls/kCtrls_support.h"
#include "tests/support/canvas_check.h"
#include "tests/support/combo_list.h"
#include "tests/support/gui_input.h"

using zeltest::Char;
using zeltest::DrawThroughOwnerDraw;
using zeltest::FakeClock;
using zeltest::KeyDown;
using zeltest::TakeNextDlgCtl;

namespace {

// Lets a test call KeyPress itself and see what becomes of the key.
class ProbeCombo : public TKComboBox {
public:
  using TKComboBox::TKComboBox;
  char Press(char Key) {
    KeyPress(Key);
    return Key;
  }
};

class KComboBox : public ::testing::Test {
protected:
  KComboBox() : form(nullptr), box(new ProbeCombo(&form)) {}
  void Fill(const std::vector<const char*>& Lines) {
    for (const char* l : Lines) box->AddLine(l);
  }
  TForm form;
  ProbeCombo* box;
};

TEST_F(KComboBox, Creation) {
  EXPECT_EQ(box->Style(), csOwnerDrawFixed);
  EXPECT_EQ(box->Height(), 21);
  EXPECT_EQ(box->ColorChanged(), clBlue);
  EXPECT_EQ(box->ColorDisabled(), clRed);
  EXPECT_EQ(box->SavedColor(), clWindow);
  EXPECT_EQ(box->SavedFontColor(), clWindowText);
  EXPECT_FALSE(box->MapEnterToTab());
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_TRUE(box->AutoComplete());
  EXPECT_FALSE(box->AutoDropDown());
  EXPECT_FALSE(box->AutoCloseUp());
}

struct KeyIntCase {
  const char* Key;
  int Expected;
};

TEST_F(KComboBox, GetKeyInt) {
  const KeyIntCase cases[] = {
      {"00012", 12}, {"-1", -1}, {"2.5", 2}, {"3.5", 4}, {"abc", -1}, {"", -1}, {"2041", 2041}, {"-2.5", -2},
      {"4294967297", 1},  // beyond 32 bits: the low 32 bits
  };
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  for (const auto& c : cases) {
    box->Items()->Clear();
    box->AddLine(AnsiString(c.Key) + ";x");
    box->SetIndex(0);
    EXPECT_EQ(box->GetKey(), c.Key);
    EXPECT_EQ(box->GetKeyInt(), c.Expected) << "'" << c.Key << "'";
  }
  DecimalSeparator = saved;
}

TEST_F(KComboBox, GetKeyIntReadsTheProcessDecimalSeparator) {
  const char saved = DecimalSeparator;
  DecimalSeparator = ',';
  box->AddLine("3,5;x");
  box->SetIndex(0);
  EXPECT_EQ(box->GetKeyInt(), 4);
  DecimalSeparator = saved;
}

TEST_F(KComboBox, GetKeyWithoutSelection) {
  Fill({"1;a", "2;b"});
  box->SetIndex(1);
  box->SetItemIndex(-1);
  EXPECT_EQ(box->GetKey(), "");
  EXPECT_EQ(box->GetKeyInt(), -1);
  EXPECT_EQ(box->CurrentKey(), "2");  // left as it was
}

TEST_F(KComboBox, KeyPosPicksTheField) {
  struct Case {
    int KeyPos;
    const char* Key;
  };
  // Stored line 'Alpha;12;00012;Alpha;'.
  const Case cases[] = {{0, "Alpha"}, {1, "12"}, {2, "00012"}, {3, "Alpha"}, {4, ""}, {11, ""}, {12, ""}, {-1, ""}, {1000, ""}};
  box->SetSortItem(3);
  Fill({"12;00012;Alpha"});
  for (const auto& c : cases) {
    box->SetKeyPos(c.KeyPos);
    box->SetIndex(0);
    EXPECT_EQ(box->GetKey(), c.Key) << c.KeyPos;
  }
}

TEST_F(KComboBox, FindKeyFoldsAsciiLettersOnly) {
  Fill({"abc;1", "\xE4x;2", "\xC4x;3", "ABC;4", "z;5"});
  struct Case {
    const char* Key;
    int Index;
  };
  const Case cases[] = {{"abc", 0}, {"ABC", 0}, {"aBc", 0}, {"\xC4X", 2}, {"\xE4X", 1}, {"z", 4}, {"Z", 4}, {"zz", -1}, {"", -1}};
  for (const auto& c : cases) EXPECT_EQ(box->FindKey(c.Key), c.Index) << c.Key;
}

TEST_F(KComboBox, SetKeyTakesTheTextPassedIn) {
  Fill({"abc;1", "def;2"});
  EXPECT_TRUE(box->SetKey("DEF"));
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(box->BaseKey(), "DEF");
  EXPECT_EQ(box->CurrentKey(), "DEF");
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(box->GetKey(), "def");
}

TEST_F(KComboBox, SetKeyNotFoundSelectsTheFirstEntry) {
  Fill({"abc;1", "def;2"});
  box->SetIndex(1);
  EXPECT_FALSE(box->SetKey("zz"));
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(box->BaseKey(), "abc");
  EXPECT_EQ(box->CurrentKey(), "abc");
}

TEST_F(KComboBox, SetKeyOnAnEmptyBox) {
  EXPECT_FALSE(box->SetKey("x"));
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_EQ(box->BaseKey(), "");
}

TEST_F(KComboBox, SetIndexCases) {
  struct Case {
    int Count;
    int Index;
    int Selected;
    const char* Key;
  };
  const Case cases[] = {{5, 99, 4, "4"}, {5, 5, 4, "4"}, {5, 0, 0, "0"}, {5, 2, 2, "2"}, {5, -1, -1, ""}, {5, -3, -1, ""}};
  for (const auto& c : cases) {
    TForm f(nullptr);
    auto* b = new TKComboBox(&f);
    for (int i = 0; i < c.Count; ++i) b->AddLine(IntToStr(i) + ";line");
    b->SetIndex(c.Index);
    EXPECT_EQ(b->ItemIndex(), c.Selected) << c.Index;
    EXPECT_EQ(b->BaseKey(), c.Key) << c.Index;
    EXPECT_EQ(b->CurrentKey(), c.Key) << c.Index;
  }
}

TEST_F(KComboBox, SetIndexOnAnEmptyBoxLeavesTheKeys) {
  Fill({"7;x"});
  box->SetIndex(0);
  box->Items()->Clear();
  box->SetIndex(0);
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_EQ(box->BaseKey(), "7");
}

TEST_F(KComboBox, SetIndexAndSetKeyFireNoChange) {
  int changes = 0, clicks = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->OnClick = [&](TObject*) { ++clicks; };
  Fill({"1;a", "2;b"});
  box->SetIndex(1);
  box->SetKey("1");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(clicks, 0);
}

TEST_F(KComboBox, OnKeyChangeFollowsTheSelectedKey) {
  std::vector<std::string> reported;
  box->OnKeyChange = [&](TObject* s) {
    EXPECT_EQ(s, box);
    reported.push_back(box->NotifiedKey());
  };
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  box->SetIndex(0);   // same key: no report
  box->SetKey("2");
  box->GetKey();      // still "2"
  box->SetKey("1");
  EXPECT_EQ(reported, (std::vector<std::string>{"1", "2", "1"}));
}

TEST_F(KComboBox, SetChangedColours) {
  Fill({"1;a"});
  box->SetIndex(0);
  box->SetChanged(true);
  EXPECT_TRUE(box->KeyChanged());
  EXPECT_EQ(box->Color(), clWindow);
  EXPECT_EQ(box->Font()->Color(), clBlue);
  box->SetChanged(false);
  EXPECT_EQ(box->Color(), box->SavedColor());
  EXPECT_EQ(box->Font()->Color(), box->SavedFontColor());
}

TEST_F(KComboBox, SavedColoursAreThoseOfTheConstructor) {
  Fill({"1;a"});
  box->SetColor(clYellow);
  box->Font()->SetColor(clGreen);
  box->SetIndex(0);
  box->SetChanged(true);
  box->SetChanged(false);
  EXPECT_EQ(box->Color(), clWindow);
  EXPECT_EQ(box->Font()->Color(), clWindowText);
}

TEST_F(KComboBox, KeyCRIsReadOnce) {
  Fill({"1;a"});
  EXPECT_FALSE(box->KeyCR());
  Char(box, '\r');
  EXPECT_TRUE(box->KeyCR());
  EXPECT_FALSE(box->KeyCR());
}

TEST_F(KComboBox, KeyCRClearedBeforeItIsRead) {
  struct Clearer {
    const char* Name;
    void (*Run)(TKComboBox*);
  };
  const Clearer clearers[] = {
      {"key press", [](TKComboBox* b) { Char(b, '\x1B'); }},
      {"key down", [](TKComboBox* b) { KeyDown(b, VK_LEFT); }},
      {"focus entry", [](TKComboBox* b) { b->Perform(CM_ENTER, 0, 0); }},
  };
  for (const auto& c : clearers) {
    Char(box, '\r');
    c.Run(box);
    EXPECT_FALSE(box->KeyCR()) << c.Name;
  }
  TakeNextDlgCtl(&form);
}

TEST_F(KComboBox, OnKeyPressSeesTheKeyFirstAndMayChangeIt) {
  box->OnKeyPress = [](TObject*, char& k) {
    if (k == 'x') k = '\r';
  };
  Char(box, 'x');
  EXPECT_TRUE(box->KeyCR());
  EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>{0});
}

// ---------------------------------------------------------------- focus hand-on

TEST_F(KComboBox, EnterUpDownPostToTheOwner) {
  struct Case {
    const char* Name;
    void (*Run)(TKComboBox*);
    std::vector<WPARAM> Posted;
  };
  const Case cases[] = {
      {"Enter", [](TKComboBox* b) { Char(b, '\r'); }, {0}},
      {"Down", [](TKComboBox* b) { KeyDown(b, VK_DOWN); }, {0}},
      {"Up", [](TKComboBox* b) { KeyDown(b, VK_UP); }, {1}},
      {"Alt+Down", [](TKComboBox* b) { KeyDown(b, VK_DOWN, true); }, {}},
      {"Left", [](TKComboBox* b) { KeyDown(b, VK_LEFT); }, {}},
      {"Down while dropped down", [](TKComboBox* b) { b->SetDroppedDown(true); KeyDown(b, VK_DOWN); b->SetDroppedDown(false); }, {}},
      {"Up while dropped down", [](TKComboBox* b) { b->SetDroppedDown(true); KeyDown(b, VK_UP); b->SetDroppedDown(false); }, {}},
  };
  for (const auto& c : cases) {
    c.Run(box);
    EXPECT_EQ(TakeNextDlgCtl(&form), c.Posted) << c.Name;
  }
}

TEST_F(KComboBox, ConsumedKeysDoNotReachOnKeyDownLater) {
  std::vector<WORD> seen;
  box->OnKeyDown = [&](TObject*, Word& k, TShiftState) { seen.push_back(k); };
  KeyDown(box, VK_DOWN);
  EXPECT_EQ(seen, std::vector<WORD>{VK_DOWN});  // fired before the hand-on
  EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>{0});
}

TEST(KComboBoxFocus, MapEnterToTabPostsToTheTopForm) {
  TForm owner(nullptr);
  TForm top(nullptr);
  auto* panel = new TCustomControl(&top);
  panel->SetParent(&top);
  auto* box = new TKComboBox(&owner);
  box->SetParent(panel);
  box->HandleNeeded();
  box->SetMapEnterToTab(true);
  Char(box, '\r');
  KeyDown(box, VK_UP);
  EXPECT_EQ(TakeNextDlgCtl(&top), (std::vector<WPARAM>{0, 1}));
  EXPECT_TRUE(TakeNextDlgCtl(&owner).empty());
  box->SetMapEnterToTab(false);
  Char(box, '\r');
  EXPECT_TRUE(TakeNextDlgCtl(&top).empty());
  EXPECT_EQ(TakeNextDlgCtl(&owner), std::vector<WPARAM>{0});
  delete box;
}

TEST(KComboBoxFocus, MapEnterToTabWithoutAWindowPostsToTheOwner) {
  TForm owner(nullptr);
  auto* box = new TKComboBox(&owner);
  box->SetMapEnterToTab(true);
  Char(box, '\r');
  EXPECT_EQ(TakeNextDlgCtl(&owner), std::vector<WPARAM>{0});
}

TEST(KComboBoxFocus, WithoutOwnerNothingIsHandedOn) {
  TKComboBox box(nullptr);
  Char(&box, '\r');
  EXPECT_TRUE(box.KeyCR());
}

// A real window: the keys move the focus along the tab order.
TEST(KComboBoxFocus, KeysMoveTheFocus) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* first = new TEdit(&form);
  first->SetParent(&form);
  first->SetBounds(5, 5, 100, 21);
  auto* box = new TKComboBox(&form);
  box->SetParent(&form);
  box->SetBounds(5, 35, 200, 21);
  box->SetColWidths("0;4;40;");
  box->AddLine("1;A;Anton");
  box->AddLine("2;B;Berta");
  box->SetIndex(0);
  auto* last = new TEdit(&form);
  last->SetParent(&form);
  last->SetBounds(5, 65, 100, 21);
  zeltest::ShowForm(&form);

  box->SetFocus();
  ASSERT_TRUE(box->Focused());
  zeltest::PressKey(VK_DOWN);
  EXPECT_TRUE(last->Focused());
  EXPECT_EQ(box->ItemIndex(), 0);  // Down did not change the selection
  box->SetFocus();
  zeltest::PressKey(VK_UP);
  EXPECT_TRUE(first->Focused());
  box->SetFocus();
  zeltest::PressKey(VK_RETURN);
  EXPECT_TRUE(last->Focused());
  EXPECT_TRUE(box->KeyCR());
  EXPECT_EQ(LastExitControl.Get(), box);
}

// A shown window with a box of these lines that has the focus, an edit
// after it, and the box's changes counted.
class ComboWindow {
public:
  explicit ComboWindow(std::initializer_list<const char*> Lines) {
    form.SetBounds(0, 0, 300, 200);
    box = new TKComboBox(&form);
    box->SetParent(&form);
    box->SetBounds(5, 5, 200, 21);
    box->SetColWidths("0;4;40;");
    for (const char* l : Lines) box->AddLine(l);
    next = new TEdit(&form);
    next->SetParent(&form);
    next->SetBounds(5, 100, 100, 21);
    box->OnChange = [this](TObject*) { ++changes; };
  }
  void Show() {
    zeltest::ShowForm(&form);
    box->SetFocus();
  }
  TForm form{nullptr};
  TKComboBox* box = nullptr;
  TEdit* next = nullptr;
  int changes = 0;
};

// Typing into the focused box of a real window: the list drops down and the
// typed keys keep collecting there.
TEST(KComboBoxWindow, TypeAheadWithTheListDroppedDown) {
  FakeClock clock;
  ComboWindow w({"10;A;ten", "12;B;twelve", "2;C;two"});
  TKComboBox* box = w.box;
  TEdit* next = w.next;
  int& changes = w.changes;
  w.Show();
  zeltest::TypeText("1");
  EXPECT_TRUE(box->DroppedDown());
  clock.Advance(400);
  zeltest::TypeText("2");
  EXPECT_EQ(box->SearchText(), "12");
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(box->GetKey(), "12");
  // Down with the list open stays with the native list: no hand-on.
  ASSERT_TRUE(box->DroppedDown());
  zeltest::PressKey(VK_DOWN);
  EXPECT_TRUE(box->Focused());
  box->SetDroppedDown(false);
  zeltest::RunPostedMessages();
  zeltest::PressKey(VK_DOWN);
  EXPECT_TRUE(next->Focused());
  EXPECT_EQ(box->ItemIndex(), 1);
}

// The open list shows the box's selection whichever way it is made (the
// program, the search, the arrow keys).  Enter keeps the entry shown and
// reports a change only when it differs from the one taken before; closing
// the list otherwise goes back to that one.
TEST(KComboBoxWindow, TheOpenListShowsTheSelectionHoweverItIsMade) {
  FakeClock clock;
  ComboWindow w({"1;A;Anton", "2;B;Berta", "3;C;Caesar", "4;D;Dora", "5;E;Emil"});
  TKComboBox* box = w.box;
  TEdit* next = w.next;
  int& changes = w.changes;
  box->SetIndex(0);
  w.Show();
  box->SetDroppedDown(true);
  ASSERT_TRUE(box->DroppedDown());
  struct Step {
    const char* Name;
    std::function<void()> Do;
    int Index;
    int Changes;
  };
  const Step Steps[] = {
      {"SetIndex", [&] { box->SetIndex(3); }, 3, 0},
      {"SetKey", [&] { box->SetKey("2"); }, 1, 0},
      {"search", [&] { zeltest::TypeText("5"); }, 4, 1},
      {"Up", [&] { zeltest::PressKey(VK_UP); }, 3, 1},
      {"Home", [&] { zeltest::PressKey(VK_HOME); }, 0, 1},
      {"End", [&] { zeltest::PressKey(VK_END); }, 4, 1},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    S.Do();
    ASSERT_TRUE(box->DroppedDown());
    EXPECT_EQ(box->ItemIndex(), S.Index);
    EXPECT_EQ(platform::DroppedListRow(box), S.Index);
    EXPECT_EQ(changes, S.Changes);
  }
  // Back at the entry the search took: Enter keeps it without a second change.
  zeltest::PressKey(VK_RETURN);
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_EQ(box->GetKey(), "5");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(box->KeyCR());
  EXPECT_TRUE(next->Focused());
  // An entry reached with the arrow keys: Enter takes it with one change.
  box->SetFocus();
  box->SetDroppedDown(true);
  zeltest::PressKey(VK_UP);
  zeltest::PressKey(VK_UP);
  EXPECT_EQ(changes, 1);
  zeltest::PressKey(VK_RETURN);
  EXPECT_EQ(box->GetKey(), "3");
  EXPECT_EQ(changes, 2);
  // Esc closes the list and goes back to the entry taken before.
  box->SetFocus();
  box->SetDroppedDown(true);
  zeltest::PressKey(VK_DOWN);
  EXPECT_EQ(platform::DroppedListRow(box), 3);
  zeltest::PressKey(VK_ESCAPE);
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_EQ(box->GetKey(), "3");
  EXPECT_EQ(changes, 2);
}

// A supplier list as long as a real service sends it: F4, Alt+Down and
// Alt+Up open and close it, DropDownCount rows right below the box with the
// selection in view; the keys reach OnKeyDown, hand the focus nowhere and
// leave the selected key.
TEST(KComboBoxWindow, TheLongSupplierListOpensBelowTheBoxAndTogglesWithItsKeys) {
  ComboWindow w({});
  TKComboBox* box = w.box;
  for (int i = 1; i <= 153; ++i) {
    const std::string n = std::to_string(i);
    box->AddLine(n + ";" + n + ";Lieferant " + n);
  }
  std::vector<WORD> keys;
  box->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); };
  box->SetKey("120");
  w.Show();
  zeltest::RunPostedMessages();
  EXPECT_EQ(box->DropDownCount(), 8);
  for (const zeltest::ListToggle& S : zeltest::kListToggles) {
    SCOPED_TRACE(S.Name);
    keys.clear();
    ASSERT_TRUE(zeltest::InputListKey(S.Key, S.Alt));
    EXPECT_EQ(box->DroppedDown(), S.Opens);
    EXPECT_EQ(box->GetKey(), "120");
    EXPECT_EQ(keys, std::vector<WORD>{S.Key});
    EXPECT_TRUE(TakeNextDlgCtl(&w.form).empty());
    if (!S.Opens) continue;
    const zeltest::ShownList list = zeltest::ShownListOf(box);
    EXPECT_EQ(list.Rows, 8);
    EXPECT_EQ(list.Frame.top(), zeltest::ScreenRectOf(box).bottom() + 1);
    EXPECT_TRUE(list.ScrollBar);
    EXPECT_TRUE(list.CurrentInView);
  }
  EXPECT_EQ(w.changes, 0);
  EXPECT_TRUE(box->Focused());
}

// ---------------------------------------------------------------- focus exit

TEST_F(KComboBox, ExitWithAChangedKeyColoursTheBox) {
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  box->SetItemIndex(1);  // as the user would
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_TRUE(box->KeyChanged());
  EXPECT_EQ(box->Color(), clWindow);
  EXPECT_EQ(box->Font()->Color(), clBlue);
  EXPECT_EQ(box->BaseKey(), "1");
  EXPECT_EQ(box->CurrentKey(), "2");
  EXPECT_EQ(LastExitControl.Get(), box);
  // Back on the base key: the saved colours return.
  box->SetItemIndex(0);
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(box->Font()->Color(), clWindowText);
}

TEST_F(KComboBox, ExitComparesFoldedKeys) {
  Fill({"abc;1"});
  box->SetKey("ABC");
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(box->BaseKey(), "abc");  // the unchanged key is taken again
  EXPECT_EQ(box->Font()->Color(), clWindowText);
}

TEST_F(KComboBox, ExitIsChangedUntilSetIndex) {
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  box->SetItemIndex(1);
  box->Perform(CM_EXIT, 0, 0);
  ASSERT_TRUE(box->KeyChanged());
  box->SetIndex(1);
  EXPECT_FALSE(box->KeyChanged());
  EXPECT_EQ(box->Font()->Color(), clWindowText);
  EXPECT_EQ(box->BaseKey(), "2");
}

TEST_F(KComboBox, ExitFiresOnExitOnce) {
  int exits = 0;
  box->OnExit = [&](TObject*) { ++exits; };
  box->Perform(CM_EXIT, 0, 0);
  EXPECT_EQ(exits, 1);
}

TEST_F(KComboBox, ChangeTakesTheKeyBeforeOnChange) {
  Fill({"1;a", "2;b"});
  box->SetIndex(0);
  AnsiString seen;
  box->OnChange = [&](TObject*) { seen = box->CurrentKey(); };
  box->SetItemIndex(1);
  box->NativeActivated(1);  // the user's choice
  EXPECT_EQ(seen, "2");
}

// ---------------------------------------------------------------- type-ahead

class KComboSearch : public KComboBox {
protected:
  KComboSearch() {
    Fill({"10;ten", "12;twelve", "123;x", "2;two", "20;twenty"});
    box->OnClick = [this](TObject*) { events.push_back("click"); };
    box->OnChange = [this](TObject*) { events.push_back("change"); };
  }
  FakeClock clock;
  std::vector<std::string> events;
};

TEST_F(KComboSearch, TypedKeysCollectAndSelect) {
  Char(box, '1');
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_EQ(box->SearchText(), "1");
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
  events.clear();
  clock.Advance(500);
  Char(box, '2');
  EXPECT_EQ(box->SearchText(), "12");
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
  EXPECT_TRUE(box->DroppedDown());  // printable keys drop the list down
}

TEST_F(KComboSearch, PauseBoundary) {
  struct Case {
    DWORD Pause;
    const char* Text;
    int Index;
  };
  const Case cases[] = {{999, "12", 1}, {1000, "12", 1}, {1001, "2", 3}};
  for (const auto& c : cases) {
    box->SetIndex(-1);
    clock.Advance(5000);
    Char(box, '1');
    clock.Advance(c.Pause);
    Char(box, '2');
    EXPECT_EQ(box->SearchText(), c.Text) << c.Pause;
    EXPECT_EQ(box->ItemIndex(), c.Index) << c.Pause;
    EXPECT_EQ(box->LastKeyTime(), clock.Now);
  }
}

TEST_F(KComboSearch, ClockWrapsRound) {
  clock.Now = 0xFFFFFF00u;
  Char(box, '1');
  clock.Now = 0x00000010u;  // 0x110 ms later, across the wrap
  Char(box, '2');
  EXPECT_EQ(box->SearchText(), "12");
}

TEST_F(KComboSearch, NoMatchLeavesTheSelectionAndTheKey) {
  Char(box, '2');
  ASSERT_EQ(box->ItemIndex(), 3);
  events.clear();
  EXPECT_EQ(box->Press('q'), 'q');  // "2q" matches nothing: the key goes on
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_EQ(box->SearchText(), "2");
  EXPECT_TRUE(events.empty());
}

TEST_F(KComboSearch, KeyResults) {
  EXPECT_EQ(box->Press('1'), '\0');     // found: the native control does not see it
  EXPECT_EQ(box->Press('\x1B'), '\x1B');
  EXPECT_EQ(box->Press('\t'), '\t');
  EXPECT_EQ(box->Press('\b'), '\0');
  EXPECT_EQ(box->Press('\r'), '\0');   // Enter hands on
  EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>{0});
  EXPECT_EQ(box->SearchText(), "");
}

TEST_F(KComboSearch, SameEntryFiresNothing) {
  Char(box, '1');
  events.clear();
  Char(box, '0');  // "10" is still the first entry
  EXPECT_EQ(box->ItemIndex(), 0);
  EXPECT_TRUE(events.empty());
}

TEST_F(KComboSearch, Backspace) {
  Char(box, '1');
  Char(box, '2');
  Char(box, '3');
  ASSERT_EQ(box->ItemIndex(), 2);
  events.clear();
  Char(box, '\b');
  EXPECT_EQ(box->SearchText(), "12");
  EXPECT_EQ(box->ItemIndex(), 2);  // selects nothing new
  EXPECT_EQ(events, std::vector<std::string>{"change"});
  Char(box, '\b');
  Char(box, '\b');
  EXPECT_EQ(box->SearchText(), "");
  Char(box, '\b');
  EXPECT_EQ(box->SearchText(), "");
}

TEST_F(KComboSearch, EscKeepsTheText) {
  Char(box, '2');
  Char(box, '\x1B');
  EXPECT_EQ(box->SearchText(), "2");
}

TEST_F(KComboSearch, NoSearchWithoutAutoComplete) {
  box->SetAutoComplete(false);
  Char(box, '2');
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_EQ(box->SearchText(), "");
}

TEST_F(KComboSearch, SearchIgnoresCase) {
  box->Items()->Clear();
  Fill({"Anton;1", "Berta;2"});
  Char(box, 'b');
  EXPECT_EQ(box->ItemIndex(), 1);
}

TEST(KComboEditStyle, TypingCompletesTheEditText) {
  TForm form(nullptr);
  auto* box = new TKComboBox(&form);
  box->SetStyle(csDropDown);
  box->AddLine("Anton;1");
  box->AddLine("Berta;2");
  Char(box, 'b');
  EXPECT_EQ(box->ItemIndex(), 1);
  // The typed text, completed by the rest of the entry, the rest selected.
  EXPECT_EQ(box->Text(), "berta;Berta;2;");
  EXPECT_EQ(box->SelStart(), 1);
  EXPECT_EQ(box->SelLength(), 13);
}

TEST(KComboEditStyle, BackspaceDeletesTheSelectionThenACharacter) {
  TForm form(nullptr);
  auto* box = new ProbeCombo(&form);
  box->SetStyle(csDropDown);
  box->AddLine("Anton;1");
  box->AddLine("Berta;2");
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->Press('b');
  ASSERT_EQ(box->SelLength(), 13);
  changes = 0;
  EXPECT_EQ(box->Press('\b'), '\0');
  EXPECT_EQ(box->Text(), "b");
  EXPECT_EQ(box->SelStart(), 1);
  EXPECT_EQ(box->SelLength(), 0);
  EXPECT_EQ(changes, 1);
  box->Press('e');  // selects Berta again: Click and Select fire Change
  EXPECT_EQ(box->Text(), "berta;Berta;2;");
  EXPECT_EQ(changes, 2);
  box->SetSelStart(3);
  box->SetSelLength(0);
  EXPECT_EQ(box->Press('\b'), '\0');  // the character before the caret
  EXPECT_EQ(box->Text(), "beta;Berta;2;");
  EXPECT_EQ(box->SelStart(), 2);
  EXPECT_EQ(box->SearchText(), "beta;Berta;2;");
  EXPECT_EQ(changes, 3);
}

TEST(KComboFlat, FlatLookSettings) {
  FlatLook = true;
  TForm form(nullptr);
  auto* combo = new TKComboBox(&form);
  auto* list = new TKListBox(&form);
  FlatLook = false;
  EXPECT_FALSE(combo->Ctl3D());
  EXPECT_EQ(combo->ItemHeight(), 13);
  EXPECT_EQ(combo->Style(), csOwnerDrawFixed);  // the constructor sets it afterwards
  EXPECT_FALSE(list->Ctl3D());
  TForm plain(nullptr);
  EXPECT_TRUE((new TKComboBox(&plain))->Ctl3D());
}

TEST(KComboFlat, FlatFrameIsPainted) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 60);
  auto* combo = new TKComboBox(&form);
  combo->SetParent(&form);
  combo->SetBounds(0, 0, 150, 21);
  combo->AddLine("1;a");
  zeltest::ShowForm(&form);
  const platform::PixelImage before = platform::RenderControl(combo);
  FlatLook = true;
  const platform::PixelImage flat = platform::RenderControl(combo);
  FlatLook = false;
  EXPECT_FALSE(combo->Ctl3D());
  EXPECT_EQ(zeltest::CountColor(before, 0xA0A0A0), 0);
  EXPECT_GT(zeltest::CountColor(flat, 0xA0A0A0), 0);
}

// ---------------------------------------------------------------- drawing

class KComboDraw : public KComboBox {
protected:
  KComboDraw() {
    box->SetSortItem(3);
    box->SetColWidths("0;4;40;");
    Fill({"12;00012;Alpha"});
  }
  // The texts and separator lines of drawing item 0 in the given state.
  void Draw(UINT State, TColor Background = clWhite) {
    zeltest::DrawRecording rec;
    canvas = DrawThroughOwnerDraw(box, 0, State, 400, 16, ODT_COMBOBOX, Background);
    texts = rec.OfKind(platform::DrawOp::Text);
    lines = rec.OfKind(platform::DrawOp::Line);
    fills = rec.OfKind(platform::DrawOp::Fill);
    letter = canvas->TextWidth("W");
  }
  std::unique_ptr<TCanvas> canvas;
  std::vector<platform::DrawOp> texts, lines, fills;
  int letter = 0;
};

TEST_F(KComboDraw, ColumnPositions) {
  Draw(0);
  ASSERT_GT(letter, 0);
  ASSERT_EQ(texts.size(), 2u);  // column 1 is hidden
  EXPECT_EQ(texts[0].TextValue, "00012");
  EXPECT_EQ(texts[0].Rect.Left, 2);
  EXPECT_EQ(texts[0].Rect.Top, 0);
  // Four letters wide, unless the five digits take more in this font: then
  // the separator stands right behind them.
  const int sep = std::max(4 * letter, texts[0].Rect.Right);
  EXPECT_EQ(texts[1].TextValue, "Alpha");
  EXPECT_EQ(texts[1].Rect.Left, sep + 2);
  ASSERT_EQ(lines.size(), 1u);  // the last column gets no separator
  EXPECT_EQ(lines[0].From, TPoint(sep, 0));
  EXPECT_EQ(lines[0].To, TPoint(sep, 16));
  EXPECT_EQ(lines[0].Color, clSilver);
}

// A text is not clipped to its column: one that fits leaves the separator at
// the column's width; a wider one (a six-digit supplier number) is drawn
// whole, with the separator and the next column right behind it.
TEST_F(KComboDraw, ATextWiderThanItsColumnIsDrawnWhole) {
  const std::pair<const char*, const char*> Cases[] = {
      {"1;1;Kurz", "1"}, {"100000;100000;Hundert", "100000"}, {"12345678;12345678;Lang", "12345678"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.first);
    box->Items()->Clear();
    Fill({C.first});
    Draw(0);
    ASSERT_EQ(texts.size(), 2u);
    ASSERT_EQ(texts[0].TextValue, C.second);
    const int width = texts[0].Rect.Width();
    const int sep = std::max(4 * letter, 2 + width);
    if (2 + width <= 4 * letter) {
      EXPECT_EQ(sep, 4 * letter);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, sep);
    EXPECT_GE(lines[0].From.X, texts[0].Rect.Right);
    EXPECT_EQ(texts[1].Rect.Left, sep + 2);
  }
}

TEST_F(KComboDraw, ColumnsBeyondTheWidthsAreHidden) {
  box = new ProbeCombo(&form);  // a fresh box: entries 2 and up are 0
  box->SetColWidths("5;5;");
  Fill({"a;b;c;d"});
  Draw(0);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].TextValue, "a");
  EXPECT_EQ(texts[1].TextValue, "b");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].From.X, 10 * letter);
}

TEST_F(KComboDraw, ShownColumnsBeyondTheListedOnesAdvanceTwenty) {
  box->Items()->Clear();
  box->SetSortItem(1);
  box->SetColWidths("1;1;1;");
  box->SetColWidths("2;");  // entries 1 and 2 keep their 1
  Fill({"a;b;c;d"});
  Draw(0);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].Rect.Left, 2 * letter + 2);
  EXPECT_EQ(texts[2].Rect.Left, 22 * letter + 2);
}

TEST_F(KComboDraw, OnGetTextReplacesColumnTexts) {
  std::vector<int> asked;
  box->OnGetText = [&](TObject* s, int ind, AnsiString& t) {
    EXPECT_EQ(s, box);
    asked.push_back(ind);
    if (ind == 3) t = "Omega";
  };
  Draw(0);
  EXPECT_EQ(asked, (std::vector<int>{2, 3}));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].TextValue, "Omega");
}

struct ColourCase {
  const char* Name;
  bool Enabled;
  bool Changed;
  UINT State;
  TColor Brush;
  TColor Text;
};

TEST_F(KComboDraw, Colours) {
  const ColourCase cases[] = {
      {"plain", true, false, 0, clWindow, clWindowText},
      {"selected", true, false, ODS_SELECTED, clHighlight, clHighlightText},
      {"selected edit face", true, false, ODS_SELECTED | ODS_FOCUS | ODS_COMBOBOXEDIT, clHighlight, clHighlightText},
      {"changed", true, true, 0, clWindow, clBlue},
      {"disabled", false, false, 0, clWindow, clRed},
      {"disabled selected", false, false, ODS_SELECTED, clHighlight, clRed},
  };
  for (const auto& c : cases) {
    box->SetEnabled(c.Enabled);
    box->SetIndex(0);
    if (c.Changed) box->SetChanged(true);
    Draw(c.State);
    ASSERT_FALSE(fills.empty()) << c.Name;
    EXPECT_EQ(ColorToRGB(fills.back().Color), ColorToRGB(c.Brush)) << c.Name;
    ASSERT_FALSE(texts.empty()) << c.Name;
    EXPECT_EQ(ColorToRGB(texts[0].Color), ColorToRGB(c.Text)) << c.Name;
  }
}

TEST_F(KComboDraw, DisabledTextByPixels) {
  box->SetEnabled(false);
  Draw(0, clBlack);
  const platform::PixelImage img = platform::CanvasPixels(canvas.get());
  EXPECT_GT(zeltest::CountColor(img, clRed), 0);
  EXPECT_GT(zeltest::CountColor(img, ColorToRGB(clWindow)), 0);
  EXPECT_EQ(zeltest::CountColor(img, clBlack), 0);  // the item rectangle was filled
}

TEST_F(KComboDraw, NoItemFillsTheRectangle) {
  zeltest::DrawRecording rec;
  auto c = DrawThroughOwnerDraw(box, -1, ODS_COMBOBOXEDIT, 50, 10, ODT_COMBOBOX, clBlack);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Text).empty());
  const platform::PixelImage img = platform::CanvasPixels(c.get());
  EXPECT_EQ(zeltest::CountColor(img, ColorToRGB(clWindow)), 50 * 10);
}

TEST_F(KComboDraw, NoDrawItemEventAndNoFocusRectangle) {
  bool called = false;
  box->OnDrawItem = [&](TWinControl*, int, TRect, TOwnerDrawState) { called = true; };
  zeltest::DrawRecording rec;
  DrawThroughOwnerDraw(box, 0, ODS_SELECTED | ODS_FOCUS, 100, 16, ODT_COMBOBOX);
  EXPECT_FALSE(called);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::FocusRect).empty());
}

// ---------------------------------------------------------------- window descriptions

class TKComboForm : public TForm {
  ZEL_CLASS(TKComboForm, TForm)
public:
  explicit TKComboForm(const AnsiString& Text) : TForm(nullptr) { ReadDescription(Text); }
  TKComboBox* cbSai = nullptr;
  int Changes = 0;
  void cbSaiChange(TObject*) { ++Changes; }
};

const bool comboFormRegistered = platform::RegisterClass<TKComboForm>("TKComboForm", "TForm")
                                     .NotCreatable()
                                     .Field("cbSai", &TKComboForm::cbSai)
                                     .Method("cbSaiChange", &TKComboForm::cbSaiChange)
                                     .Done();

TEST(KComboDescription, PublishedProperties) {
  ASSERT_TRUE(comboFormRegistered);
  TKComboForm form(
      "object KComboForm: TKComboForm\n"
      "  object cbSai: TKComboBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 145\n"
      "    Height = 22\n"
      "    Style = csOwnerDrawFixed\n"
      "    ItemHeight = 16\n"
      "    Sorted = True\n"
      "    SortItem = 2\n"
      "    ColWidths = '0;40'\n"
      "    KeyPos = 1\n"
      "    MapEnterToTab = True\n"
      "    ColorChanged = clWindowText\n"
      "    ColorDisabled = clGray\n"
      "    NoneItem = '0;-;'\n"
      "    OnChange = cbSaiChange\n"
      "  end\n"
      "end\n");
  ASSERT_NE(form.cbSai, nullptr);
  EXPECT_EQ(form.cbSai->SortItem(), 2);
  EXPECT_EQ(form.cbSai->ColWidths(), "0;40;");
  EXPECT_TRUE(form.cbSai->Sorted());
  EXPECT_TRUE(form.cbSai->MapEnterToTab());
  EXPECT_EQ(form.cbSai->ColorChanged(), clWindowText);
  EXPECT_EQ(form.cbSai->ColorDisabled(), clGray);
  EXPECT_EQ(form.cbSai->NoneItem(), "0;-;");
  EXPECT_EQ(form.cbSai->ItemHeight(), 16);
  ASSERT_TRUE(form.cbSai->OnChange);
  form.cbSai->OnChange(form.cbSai);
  EXPECT_EQ(form.Changes, 1);
}

TEST(KComboDescription, StyleDefaultsToOwnerDrawFixed) {
  TKComboForm form(
      "object KComboForm: TKComboForm\n"
      "  object cbSai: TKComboBox\n"
      "  end\n"
      "end\n");
  ASSERT_NE(form.cbSai, nullptr);
  EXPECT_EQ(form.cbSai->Style(), csOwnerDrawFixed);
  EXPECT_EQ(form.cbSai->KeyPos(), 1);
}

}  // namespace
