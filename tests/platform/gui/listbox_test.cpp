// Standard controls: edit, combo box, list box, label, button, check box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/buttons.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/grids.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/rtl/codepage.h"
#include "tests/support/canvas_check.h"
#include "tests/support/combo_list.h"
#include "tests/support/gui_input.h"

namespace {

using zeltest::PressKey;
using zeltest::TypeText;

// A test clipboard instead of the system's.
class ClipboardFixture {
public:
  ClipboardFixture() {
    FPrevious = platform::SetClipboardBackend({[this] { return FText; }, [this](const std::string& s) { FText = s; },
                                               [this] { FText.clear(); }, nullptr});
  }
  ~ClipboardFixture() { platform::SetClipboardBackend(FPrevious); }
  std::string FText;

private:
  platform::ClipboardBackend FPrevious;
};

class FormTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 400, 300);
  }
  void Show(TWinControl* Focus) {
    zeltest::ShowForm(form.get());
    Focus->SetFocus();
    zeltest::RunPostedMessages();
  }
  void TearDown() override { form.reset(); }
  std::unique_ptr<TForm> form;
};

// ---------------------------------------------------------------- item store

// Long lists cross the store's blocks: inserting, deleting and sorting agree
// with a plain vector.
TEST(ItemStore, AgreesWithAPlainListAcrossBlocks) {
  platform::ItemStore store;
  std::vector<std::string> plain;
  unsigned seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < 5000; ++i) {
    const std::string text = "k" + std::to_string(next() % 100000);
    const int at = store.SortedInsertIndex(text);
    store.insert(at, platform::ControlItem{text, nullptr});
    plain.insert(plain.begin() + at, text);
    if (i % 7 == 0) {
      const int del = static_cast<int>(next() % plain.size());
      store.erase(del);
      plain.erase(plain.begin() + del);
    }
  }
  ASSERT_EQ(store.size(), static_cast<int>(plain.size()));
  for (int i = 0; i < store.size(); ++i) ASSERT_EQ(store[i].Text, plain[static_cast<std::size_t>(i)]) << i;
  for (std::size_t i = 1; i < plain.size(); ++i) ASSERT_LE(AnsiCompareText(plain[i - 1], plain[i]), 0);
  // Reading backwards and at random works as well.
  for (int i = store.size() - 1; i >= 0; i -= 97) EXPECT_EQ(store[i].Text, plain[static_cast<std::size_t>(i)]);
  // Unsorted appends, then a stable sort.
  platform::ItemStore unsorted;
  for (int i = 0; i < 3000; ++i)
    unsorted.insert(unsorted.size(), platform::ControlItem{std::to_string(i % 10), reinterpret_cast<TObject*>(static_cast<std::intptr_t>(i + 1))});
  unsorted.Sort();
  for (int i = 1; i < unsorted.size(); ++i) {
    ASSERT_LE(unsorted[i - 1].Text, unsorted[i].Text);
    if (unsorted[i - 1].Text == unsorted[i].Text) {
      ASSERT_LT(unsorted[i - 1].Object, unsorted[i].Object);  // stable
    }
  }
}

// ---------------------------------------------------------------- edit

// An edit that takes over the paste message.
class TNoPasteEdit : public TEdit {
public:
  using TEdit::TEdit;
  int Pastes = 0;

protected:
  void WMPaste(TMessage&) override { ++Pastes; }
};

class EditTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
    Show(edit);
  }
  TEdit* edit = nullptr;
  int changes = 0;
};

TEST_F(EditTest, TypedTextAndSelectionMessages) {
  TypeText("Hallo");
  EXPECT_EQ(edit->Text(), "Hallo");
  EXPECT_EQ(edit->SelStart(), 5);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(edit->Modified());

  edit->Perform(EM_SETSEL, 1, 3);
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 2);
  EXPECT_EQ(edit->SelText(), "al");
  DWORD s = 99, e = 99;
  const LRESULT r = edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 1u);
  EXPECT_EQ(e, 3u);
  EXPECT_EQ(LOWORD(static_cast<DWORD>(r)), 1);
  EXPECT_EQ(HIWORD(static_cast<DWORD>(r)), 3);

  TypeText("\xE4");  // replaces the selection
  EXPECT_EQ(edit->Text(), "H\xE4lo");
  EXPECT_EQ(edit->SelStart(), 2);

  edit->Perform(EM_SETSEL, 0, -1);
  EXPECT_EQ(edit->SelLength(), 4);
  edit->SelectAll();
  EXPECT_EQ(edit->SelText(), "H\xE4lo");
  PressKey(VK_BACK);
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(EditTest, MaxLengthLimitsTypingButNotTheProgram) {
  struct Case {
    int max;
    const char* typed;
    const char* expected;
  };
  const Case cases[] = {{3, "abcd", "abc"}, {0, "abcd", "abcd"}, {-1, "abcdef", "abcdef"}, {1, "xy", "x"}};
  for (const Case& c : cases) {
    edit->SetText("");
    edit->SetMaxLength(c.max);
    TypeText(c.typed);
    EXPECT_EQ(edit->Text(), c.expected) << c.max;
  }
  edit->SetMaxLength(3);
  edit->SetText("abcdef");
  EXPECT_EQ(edit->Text(), "abcdef");
  // A full text still takes a character that replaces a selection.
  edit->SetText("abc");
  edit->Perform(EM_SETSEL, 1, 2);
  TypeText("X");
  EXPECT_EQ(edit->Text(), "aXc");
}

TEST_F(EditTest, ChangeFollowsTheTextWhoeverSetsIt) {
  edit->SetText("Wert");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(edit->Modified());  // only the user sets it
  edit->SetText("Wert");
  EXPECT_EQ(changes, 1);  // no change, no notice
  TypeText("e");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditTest, ClipboardMessagesAndKeysRespectMaxLengthAndReadOnly) {
  ClipboardFixture clip;
  edit->SetText("Artikel");
  edit->Perform(EM_SETSEL, 0, 3);
  PressKey('C', TShiftState{ssCtrl});
  EXPECT_EQ(clip.FText, "Art");
  PressKey('X', TShiftState{ssCtrl});
  EXPECT_EQ(edit->Text(), "ikel");
  EXPECT_EQ(clip.FText, "Art");

  clip.FText = "123456\r\nzweite Zeile";
  edit->SetMaxLength(8);
  edit->SetSelStart(4);
  PressKey('V', TShiftState{ssCtrl});
  EXPECT_EQ(edit->Text(), "ikel1234");  // cut to the room left, first line only

  edit->SetReadOnly(true);
  edit->SelectAll();
  edit->Perform(WM_CUT, 0, 0);
  edit->Perform(WM_PASTE, 0, 0);
  TypeText("z");
  EXPECT_EQ(edit->Text(), "ikel1234");
  EXPECT_EQ(clip.FText, "ikel1234");  // copying is still allowed
}

TEST_F(FormTest, PasteIsAMessageADerivedEditCanTakeOver) {
  ClipboardFixture clip;
  clip.FText = "fremd";
  auto* e = new TNoPasteEdit(form.get());
  e->SetParent(form.get());
  Show(e);
  PressKey('V', TShiftState{ssCtrl});
  PressKey(VK_INSERT, TShiftState{ssShift});
  e->PasteFromClipboard();
  EXPECT_EQ(e->Pastes, 3);
  EXPECT_EQ(e->Text(), "");
}

TEST_F(EditTest, CharCaseAndPassword) {
  edit->SetCharCase(ecUpperCase);
  TypeText("ab\xE4");
  EXPECT_EQ(edit->Text(), "AB\xC4");
  edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(edit->Text(), "ab\xE4");
  ClipboardFixture clip;
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(clip.FText, "");  // a password is never copied
}

TEST_F(EditTest, AutoSelectOnKeyboardFocusOnly) {
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 50, 150, 21);
  other->SetText("Suchbegriff");
  other->SetFocus();  // as by Tab
  zeltest::RunPostedMessages();
  EXPECT_EQ(other->SelLength(), 11);
  edit->SetText("Name");
  edit->SetAutoSelect(false);
  edit->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_EQ(edit->SelLength(), 0);
  // A click that gives the focus places the caret instead.
  zeltest::Click(other, 3, 5);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(other->SelLength(), 0);
}

TEST(Edit, WorksWithoutNativeWindow) {
  TEdit edit(nullptr);
  edit.SetText("Kunde");
  edit.SetSelStart(1);
  edit.SetSelLength(3);
  EXPECT_EQ(edit.SelText(), "und");
  edit.Perform(EM_SETSEL, 2, 10);
  EXPECT_EQ(edit.SelLength(), 3);
}

TEST_F(EditTest, SelectionMessagesOrderAndClampTheirEnds) {
  struct Case {
    std::intptr_t from;
    LPARAM to;
    int selStart, selLength;
  };
  const Case cases[] = {{5, 2, 2, 3}, {-5, 3, 0, 3}, {3, 100, 3, 4}, {3, -2, 3, 4}, {9, 9, 7, 0}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    edit->SetText("Artikel");
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(c.from), c.to);
    EXPECT_EQ(edit->SelStart(), c.selStart) << c.from << "," << c.to;
    EXPECT_EQ(edit->SelLength(), c.selLength) << c.from << "," << c.to;
  }
  // -1 as the start drops the selection and keeps the caret.
  edit->Perform(EM_SETSEL, 2, 5);
  edit->Perform(EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditTest, ClearLimitReadOnlyAndUndoMessages) {
  edit->SetText("Artikel");
  changes = 0;
  edit->Perform(WM_CLEAR, 0, 0);  // nothing selected
  EXPECT_EQ(edit->Text(), "Artikel");
  EXPECT_EQ(changes, 0);
  edit->Perform(EM_SETSEL, 0, 3);
  edit->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "ikel");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(edit->Modified());

  edit->Perform(EM_LIMITTEXT, 5, 0);
  EXPECT_EQ(edit->MaxLength(), 5);
  edit->SetSelStart(4);
  TypeText("xyz");
  EXPECT_EQ(edit->Text(), "ikelx");

  EXPECT_EQ(edit->Perform(EM_CANUNDO, 0, 0), 1);
  EXPECT_EQ(edit->Perform(EM_SETREADONLY, 1, 0), 1);
  EXPECT_TRUE(edit->ReadOnly());
  EXPECT_EQ(edit->Perform(WM_UNDO, 0, 0), 0);  // not while read-only
  edit->SelectAll();
  edit->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "ikelx");
  EXPECT_EQ(edit->Perform(EM_SETREADONLY, 0, 0), 1);
  EXPECT_FALSE(edit->ReadOnly());
  EXPECT_EQ(edit->Perform(EM_UNDO, 0, 0), 1);
  EXPECT_EQ(edit->Text(), "ikel");
}

TEST_F(EditTest, InsertAndDeleteKeysAndPasswordsOnTheClipboard) {
  ClipboardFixture clip;
  edit->SetText("Artikel");
  edit->Perform(EM_SETSEL, 0, 3);
  PressKey(VK_INSERT, TShiftState{ssCtrl});
  EXPECT_EQ(clip.FText, "Art");
  EXPECT_EQ(edit->Text(), "Artikel");
  edit->Perform(EM_SETSEL, 3, 5);
  PressKey(VK_DELETE, TShiftState{ssShift});
  EXPECT_EQ(clip.FText, "ik");
  EXPECT_EQ(edit->Text(), "Artel");
  edit->Perform(EM_SETSEL, 0, 0);
  PressKey(VK_INSERT, TShiftState{ssShift});
  EXPECT_EQ(edit->Text(), "ikArtel");
  // A paste of nothing changes nothing, or removes the selection.
  clip.FText = "";
  changes = 0;
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(changes, 0);
  edit->Perform(EM_SETSEL, 0, 2);
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "Artel");
  // The characters of the copy, cut and paste keys do what the keys do.
  edit->Perform(EM_SETSEL, 0, 1);
  edit->Perform(WM_CHAR, 3, 0);
  EXPECT_EQ(clip.FText, "A");
  edit->Perform(EM_SETSEL, 4, 5);
  edit->Perform(WM_CHAR, 24, 0);
  EXPECT_EQ(clip.FText, "l");
  EXPECT_EQ(edit->Text(), "Arte");
  edit->Perform(EM_SETSEL, 0, 0);
  edit->Perform(WM_CHAR, 22, 0);
  EXPECT_EQ(edit->Text(), "lArte");
  // A password is neither copied nor cut.
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "lArte");
  EXPECT_EQ(clip.FText, "l");
}

// ---------------------------------------------------------------- combo box

// Draws nothing but records what the owner draw asked for.
class TRecordingCombo : public TComboBox {
public:
  using TComboBox::TComboBox;
  struct Call {
    int Index;
    TOwnerDrawState State;
    TColor Brush;
  };
  std::vector<Call> Calls;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
    Calls.push_back({Index, State, Canvas()->Brush()->Color()});
    TComboBox::DrawItem(Index, Rect, State);
  }
};

const char* const kFruit[] = {"Zitrone", "apfel", "\xC4pfel", "Birne", "banane", "10", "9"};
const std::vector<std::string> kFruitSorted = {"10", "9", "apfel", "\xC4pfel", "banane", "Birne", "Zitrone"};

std::vector<std::string> ItemsOf(TStrings* s) {
  std::vector<std::string> v;
  for (int i = 0; i < s->Count(); ++i) v.push_back(s->Strings(i));
  return v;
}

TEST(ComboBox, SortedInsertionInTheFixedOrderKeepsObjects) {
  TComboBox box(nullptr);
  box.SetSorted(true);
  TObject marker;
  for (const char* f : kFruit) {
    if (std::string(f) == "Birne")
      box.AddItem(f, &marker);
    else
      box.Items()->Add(f);
  }
  EXPECT_EQ(ItemsOf(box.Items()), kFruitSorted);
  EXPECT_EQ(box.Items()->Objects(box.Items()->IndexOf("birne")), &marker);
  // Switching Sorted on sorts what is there.
  TComboBox late(nullptr);
  for (const char* f : kFruit) late.Items()->Add(f);
  EXPECT_EQ(late.Items()->Strings(0), "Zitrone");
  late.SetSorted(true);
  EXPECT_EQ(ItemsOf(late.Items()), kFruitSorted);
}

TEST(ComboBox, FindStringIsAPrefixSearchWithoutRegardToCase) {
  TComboBox box(nullptr);
  box.SetSorted(true);
  for (const char* f : kFruit) box.Items()->Add(f);
  struct Case {
    const char* prefix;
    int after;
    int expected;
  };
  const Case cases[] = {
      {"b", -1, 4},     {"BI", -1, 5}, {"\xE4", -1, 3}, {"zit", -1, 6}, {"", -1, 0},
      {"b", 4, 5},      {"b", 5, 4},   {"xyz", -1, CB_ERR}, {"apfelmus", -1, CB_ERR},
  };
  for (const Case& c : cases)
    EXPECT_EQ(box.Perform(CB_FINDSTRING, static_cast<WPARAM>(c.after), reinterpret_cast<LPARAM>(c.prefix)), c.expected)
        << c.prefix << " after " << c.after;
  EXPECT_EQ(box.Perform(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BIRNE")), 5);
}

class ComboTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    box = new TRecordingCombo(form.get());
    box->SetParent(form.get());
    box->SetBounds(10, 10, 150, 21);
    box->SetStyle(csOwnerDrawFixed);
    box->SetSorted(true);
    for (const char* f : kFruit) box->Items()->Add(f);
    box->OnClick = [this](TObject*) { events.push_back("click"); };
    box->OnChange = [this](TObject*) { events.push_back("change " + std::to_string(box->ItemIndex())); };
    Show(box);
  }
  TRecordingCombo* box = nullptr;
  std::vector<std::string> events;
};

TEST_F(ComboTest, ProgramChangesFireNothingUserChoicesClickThenChange) {
  box->SetItemIndex(2);
  box->Perform(CB_SETCURSEL, 3, 0);
  box->SetText("Birne");
  box->Items()->Add("Aprikose");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(box->ItemIndex(), 6);  // Birne, moved by the new item before it
  EXPECT_EQ(box->Text(), "Birne");

  // The class library's type-ahead of the list styles is a user choice.
  TypeText("z");
  EXPECT_EQ(box->Text(), "Zitrone");
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change 7"}));

  // A select handler takes the place of Change.
  events.clear();
  int selects = 0;
  box->OnSelect = [&](TObject*) { ++selects; };
  PressKey(VK_UP);
  EXPECT_EQ(box->ItemIndex(), 6);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click"}));
}

TEST_F(ComboTest, DropDownStateAndMessages) {
  int drops = 0;
  box->OnDropDown = [&](TObject*) { ++drops; };
  EXPECT_EQ(box->Perform(CB_GETDROPPEDSTATE, 0, 0), 0);
  box->Perform(CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_TRUE(box->DroppedDown());
  EXPECT_EQ(box->Perform(CB_GETDROPPEDSTATE, 0, 0), 1);
  EXPECT_EQ(drops, 1);
  box->SetDroppedDown(false);
  zeltest::RunPostedMessages();
  EXPECT_FALSE(box->DroppedDown());
  // A list style has no edit part.
  DWORD s = 7, e = 7;
  box->Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, e);
}

TEST_F(ComboTest, KeysInTheOpenListChooseAnItem) {
  box->SetItemIndex(1);
  box->SetDroppedDown(true);
  ASSERT_TRUE(box->DroppedDown());
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  EXPECT_TRUE(events.empty());  // moving in the open list chooses nothing yet
  PressKey(VK_RETURN);
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change 3"}));
  // Esc closes the list and keeps the selection.
  events.clear();
  box->SetDroppedDown(true);
  PressKey(VK_DOWN);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_TRUE(events.empty());
}

TEST_F(ComboTest, OwnerDrawReachesDrawItemWithTheSelectedState) {
  box->SetItemIndex(3);
  box->Calls.clear();
  platform::RenderControl(box);
  ASSERT_FALSE(box->Calls.empty());
  const auto& face = box->Calls.back();
  EXPECT_EQ(face.Index, 3);
  EXPECT_TRUE(face.State.Contains(odComboBoxEdit));
  EXPECT_TRUE(face.State.Contains(odSelected));  // the box has the focus
  EXPECT_EQ(face.Brush, clHighlight);

  // Without the focus the face is drawn unselected on the box's colour.
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetTop(100);
  other->SetFocus();
  zeltest::RunPostedMessages();
  box->Calls.clear();
  platform::RenderControl(box);
  ASSERT_FALSE(box->Calls.empty());
  EXPECT_FALSE(box->Calls.back().State.Contains(odSelected));
  EXPECT_EQ(box->Calls.back().Brush, box->Color());

  // A direct request for a list item.
  zeltest::DrawRecording rec;
  auto canvas = platform::CreateImageCanvas(100, 20);
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_COMBOBOX;
  dis.itemID = 1;
  dis.itemState = ODS_SELECTED;
  dis.hDC = canvas->Handle();
  dis.rcItem = RECT{0, 0, 100, 16};
  box->Calls.clear();
  box->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  ASSERT_EQ(box->Calls.size(), 1u);
  EXPECT_EQ(box->Calls[0].Index, 1);
  EXPECT_TRUE(box->Calls[0].State.Contains(odSelected));
  EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"9"}));
}

TEST_F(FormTest, EditStyleComboTypingFiresChangeAndAutoCompletes) {
  auto* box = new TComboBox(form.get());
  box->SetParent(form.get());
  box->SetStyle(csDropDown);
  for (const char* f : {"Berlin", "Bonn", "Hamburg"}) box->Items()->Add(f);
  int changes = 0, clicks = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->OnClick = [&](TObject*) { ++clicks; };
  Show(box);
  box->SetText("Hamburg");
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(changes, 0);
  box->SelectAll();
  TypeText("bo");
  EXPECT_EQ(box->Text(), "bonn");  // the typed part as typed, the rest from the item
  EXPECT_EQ(box->SelText(), "nn");  // the completed part is selected
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_GE(clicks, 1);
  EXPECT_GE(changes, 1);
  box->SetAutoComplete(false);
  box->SetText("");
  changes = 0;
  TypeText("Xy");
  EXPECT_EQ(box->Text(), "Xy");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(box->ItemIndex(), -1);
}

// ---------------------------------------------------------------- the open list

// A supplier list as a real service sends it.
class LongComboTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    box = new TComboBox(form.get());
    box->SetParent(form.get());
    box->SetBounds(20, 20, 220, 21);
    box->SetStyle(csOwnerDrawFixed);
    for (int i = 1; i <= 153; ++i) box->Items()->Add("Lieferant " + std::to_string(i));
    box->OnClick = [this](TObject*) { events.push_back("click"); };
    box->OnChange = [this](TObject*) { events.push_back("change"); };
    box->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
      keys.push_back(std::to_string(Key) + (Shift.Contains(ssAlt) ? " alt" : ""));
    };
  }
  TComboBox* box = nullptr;
  std::vector<std::string> events;
  std::vector<std::string> keys;
};

// F4, Alt+Down, Alt+Up and a click on the arrow open a list of
// DropDownCount rows right below the box, scrolling over the rest, with the
// selection at its top where the entries below it fill the list.
TEST_F(LongComboTest, TheOpenListShowsDropDownCountRowsBelowTheBox) {
  struct Case {
    const char* Name;
    int Count;
    int Index;
    int FirstRow;
    std::function<void()> Open;
  };
  const Case Cases[] = {
      {"F4", 8, 0, 0, [] { zeltest::InputListKey(VK_F4, false); }},
      {"Alt+Down", 12, 100, 100, [] { zeltest::InputListKey(VK_DOWN, true); }},
      {"click on the arrow", 8, 152, 145, [this] { platform::InputClick(box, box->Width() - 6, box->Height() / 2); }},
      {"Alt+Up", 8, 70, 70, [] { zeltest::InputListKey(VK_UP, true); }},
  };
  Show(box);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    box->SetDropDownCount(C.Count);
    box->SetItemIndex(C.Index);
    box->SetFocus();
    zeltest::RunPostedMessages();
    C.Open();
    ASSERT_TRUE(box->DroppedDown());
    const zeltest::ShownList list = zeltest::ShownListOf(box);
    const QRect at = zeltest::ScreenRectOf(box);
    EXPECT_EQ(list.Rows, C.Count);
    EXPECT_EQ(list.FirstRow, C.FirstRow);
    EXPECT_EQ(list.Frame.top(), at.bottom() + 1);
    EXPECT_EQ(list.Frame.left(), at.left());
    EXPECT_TRUE(list.ScrollBar);
    EXPECT_TRUE(list.CurrentInView);
    EXPECT_EQ(platform::DroppedListRow(box), C.Index);
    EXPECT_EQ(box->ItemIndex(), C.Index);
    box->SetDroppedDown(false);
    zeltest::RunPostedMessages();
  }
  EXPECT_TRUE(events.empty());
}

// Where there is no room below the box, the list opens above it.
TEST_F(LongComboTest, ABoxNearTheBottomOfTheScreenOpensAbove) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  form->SetBounds(10, screen.bottom() - 120, 400, 100);
  box->SetTop(60);
  Show(box);
  box->SetItemIndex(40);
  zeltest::InputListKey(VK_F4, false);
  ASSERT_TRUE(box->DroppedDown());
  const zeltest::ShownList list = zeltest::ShownListOf(box);
  const QRect at = zeltest::ScreenRectOf(box);
  EXPECT_EQ(list.Rows, 8);
  EXPECT_EQ(list.Frame.bottom(), at.top() - 1);
  EXPECT_EQ(list.Frame.left(), at.left());
  EXPECT_TRUE(list.CurrentInView);
}

// F4, Alt+Down and Alt+Up open a closed list and close an open one; the
// selection stays, and the keys reach OnKeyDown first as the platform's box
// gives them.
TEST_F(LongComboTest, F4AltDownAndAltUpToggleTheListAndKeepTheSelection) {
  Show(box);
  box->SetItemIndex(50);
  for (const zeltest::ListToggle& S : zeltest::kListToggles) {
    SCOPED_TRACE(S.Name);
    keys.clear();
    ASSERT_TRUE(zeltest::InputListKey(S.Key, S.Alt));
    EXPECT_EQ(box->DroppedDown(), S.Opens);
    EXPECT_EQ(box->ItemIndex(), 50);
    EXPECT_EQ(keys, std::vector<std::string>{std::to_string(S.Key) + (S.Alt ? " alt" : "")});
    EXPECT_TRUE(box->Focused());
  }
  EXPECT_TRUE(events.empty());
  // Closing so keeps the entry that the arrow keys moved to in the list.
  zeltest::InputListKey(VK_F4, false);
  zeltest::InputListKey(VK_DOWN, false);
  zeltest::InputListKey(VK_UP, true);
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_EQ(box->ItemIndex(), 51);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
  // A handler that takes the key leaves the list as it is.
  box->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
  zeltest::InputListKey(VK_F4, false);
  EXPECT_FALSE(box->DroppedDown());
}

// ---------------------------------------------------------------- list box

class TRecordingList : public TListBox {
public:
  using TListBox::TListBox;
  std::vector<std::pair<int, TOwnerDrawState>> Calls;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
    Calls.emplace_back(Index, State);
    TListBox::DrawItem(Index, Rect, State);
  }
};

class ListTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    list = new TRecordingList(form.get());
    list->SetParent(form.get());
    list->SetBounds(10, 10, 150, 200);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(16);
    list->SetSorted(true);
    for (const char* f : kFruit) list->Items()->Add(f);
    list->OnClick = [this](TObject*) { clicks.push_back(list->ItemIndex()); };
    Show(list);
  }
  TRecordingList* list = nullptr;
  std::vector<int> clicks;
};

TEST_F(ListTest, SortedItemsAndPrefixSearch) {
  EXPECT_EQ(ItemsOf(list->Items()), kFruitSorted);
  EXPECT_EQ(list->Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BAN")), 4);
  EXPECT_EQ(list->Perform(LB_FINDSTRING, 4, reinterpret_cast<LPARAM>("b")), 5);
  EXPECT_EQ(list->Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("q")), LB_ERR);
  EXPECT_EQ(list->Perform(LB_GETCOUNT, 0, 0), 7);
}

TEST_F(ListTest, ClickForEveryUserSelectionNoneForTheProgram) {
  list->SetItemIndex(2);
  list->Items()->Add("1");  // before the selection: it moves along
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_TRUE(clicks.empty());

  zeltest::Click(list, 20, 16 * 5 + 4);  // sixth row
  EXPECT_EQ(list->ItemIndex(), 5);
  zeltest::Click(list, 20, 16 * 5 + 4);  // the same row again is a click too
  PressKey(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 6);
  // Type-ahead of the class library.
  TypeText("z");
  EXPECT_EQ(list->Items()->Strings(list->ItemIndex()), "Zitrone");
  // A click the program sends acts as the user's.
  list->Perform(WM_LBUTTONDOWN, 0, MakePointLParam(20, 4));
  list->Perform(WM_LBUTTONUP, 0, MakePointLParam(20, 4));
  EXPECT_EQ(clicks, (std::vector<int>{5, 5, 6, 7, 0}));
}

// A click as the window system delivers it: to the list's viewport.
TEST_F(ListTest, ClickOnTheViewportSelectsAndReachesTheMouseHooks) {
  QListView* native = nullptr;
  for (QWidget* w : QApplication::allWidgets())
    if (auto* lw = qobject_cast<QListView*>(w)) native = lw;
  ASSERT_NE(native, nullptr);
  int downs = 0;
  list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int Y) {
    ++downs;
    EXPECT_GT(Y, 16 * 3);  // in the list's client coordinates
  };
  QWidget* vp = native->viewport();
  const QPoint at(20, 16 * 3 + 4);
  for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(t, QPointF(at), QPointF(vp->mapToGlobal(at)), Qt::LeftButton,
                  t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  }
  zeltest::RunPostedMessages();
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_EQ(clicks, (std::vector<int>{3}));
  EXPECT_EQ(downs, 1);
}

// The platform's list box moves its selection only for a press of the left
// button on an entry; Ctrl and Shift change nothing in a single-selection
// box.  Every press still reaches OnMouseDown.
TEST_F(ListTest, OnlyALeftPressOnAnEntryMovesTheSelection) {
  struct Case {
    const char* Name;
    TMouseButton Button;
    TShiftState Shift;
    int Y;
    int Selected;
    std::vector<int> Clicks;
  };
  const int below = 16 * 7 + 20;  // under the last of the seven entries
  const Case Cases[] = {
      {"left below the entries", mbLeft, {}, below, 2, {}},
      {"ctrl+left on the selected entry", mbLeft, {ssCtrl}, 16 * 2 + 4, 2, {2}},
      {"ctrl+left on another entry", mbLeft, {ssCtrl}, 16 * 4 + 4, 4, {4}},
      {"shift+left on another entry", mbLeft, {ssShift}, 16 * 5 + 4, 5, {5}},
      {"right on another entry", mbRight, {}, 16 * 4 + 4, 2, {}},
      {"middle on another entry", mbMiddle, {}, 16 * 4 + 4, 2, {}},
  };
  int downs = 0;
  list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    list->SetItemIndex(2);
    clicks.clear();
    downs = 0;
    platform::InputClick(list, 20, C.Y, C.Button, C.Shift);
    EXPECT_EQ(list->ItemIndex(), C.Selected);
    EXPECT_EQ(clicks, C.Clicks);
    EXPECT_EQ(downs, 1);
  }
}

// A press on an entry drags the selection over the entries; off them it
// stays on the last one passed, and a press below the entries drags none.
TEST_F(ListTest, ADragMovesTheSelectionOverTheEntriesOnly) {
  platform::InputMouseDown(list, mbLeft, 20, 16 + 4);
  platform::InputMouseMove(list, 20, 16 * 3 + 4);
  EXPECT_EQ(list->ItemIndex(), 3);
  platform::InputMouseMove(list, 20, 16 * 7 + 30);
  platform::InputMouseUp(list, mbLeft, 20, 16 * 7 + 30);
  EXPECT_EQ(list->ItemIndex(), 3);
  platform::InputMouseDown(list, mbLeft, 20, 16 * 7 + 30);
  platform::InputMouseMove(list, 20, 16 * 5 + 4);
  platform::InputMouseUp(list, mbLeft, 20, 16 * 5 + 4);
  EXPECT_EQ(list->ItemIndex(), 3);
}

// Down held for three repetitions moves the selection four times, and the
// box sees one key-up.
TEST_F(ListTest, AHeldKeyMovesTheSelectionOncePerRepetition) {
  list->SetItemIndex(0);
  int ups = 0;
  list->OnKeyUp = [&](TObject*, Word&, TShiftState) { ++ups; };
  ASSERT_TRUE(platform::InputHeldKey(VK_DOWN, 3));
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_EQ(clicks, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(ups, 1);
}

// X11 repeats a held key as a release and a press with one time stamp, and
// Qt often leaves such a pair unmarked: the pair is still a repetition.  A
// release and a later press with time stamps of their own are two key
// strokes.
TEST_F(ListTest, AnUnmarkedReleaseAndPressWithOneTimeStampAreARepetition) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "X11 only";
  struct Case {
    const char* Name;
    std::vector<std::pair<bool, ulong>> Events;  // press?, time stamp
    int Moved;
    int Ups;
  };
  const Case Cases[] = {
      {"held down for three repetitions",
       {{true, 100}, {false, 760}, {true, 760}, {false, 800}, {true, 800}, {false, 840}, {true, 840}, {false, 900}},
       4,
       1},
      {"two strokes", {{true, 100}, {false, 150}, {true, 400}, {false, 450}}, 2, 2},
  };
  int ups = 0;
  list->OnKeyUp = [&](TObject*, Word&, TShiftState) { ++ups; };
  list->SetFocus();
  zeltest::RunPostedMessages();
  QWidget* target = QApplication::focusWidget();
  ASSERT_TRUE(qobject_cast<QListView*>(target));
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    list->SetItemIndex(0);
    ups = 0;
    for (const auto& [press, time] : C.Events) {
      QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, 116, 116, 0);
      e.setTimestamp(time);
      QApplication::sendEvent(target, &e);
    }
    zeltest::RunPostedMessages();
    EXPECT_EQ(list->ItemIndex(), C.Moved);
    EXPECT_EQ(ups, C.Ups);
  }
}

// A line inserted above the others shows once the waiting messages are
// handled, without any input over the list.
TEST_F(FormTest, ALineInsertedAtTheTopShowsWithoutInput) {
  auto* log = new TListBox(form.get());
  log->SetParent(form.get());
  log->SetBounds(10, 10, 150, 100);
  log->Items()->Add("erste");
  Show(log);
  log->Items()->Insert(0, "zweite");
  log->Items()->Insert(0, "dritte");
  zeltest::RunPostedMessages();
  const auto native = platform::WatchNativeList(log, [] {});
  EXPECT_EQ(native.Rows, (std::vector<AnsiString>{"dritte", "zweite", "erste"}));
}

// A list box scrolls only up and down: its entries span the client width
// left by the vertical scroll bar, and a long line is cut, not scrolled to.
TEST_F(FormTest, AListBoxHasNoHorizontalScrollBar) {
  auto* drawn = new TRecordingList(form.get());
  drawn->SetParent(form.get());
  drawn->SetBounds(10, 10, 150, 100);
  drawn->SetStyle(lbOwnerDrawFixed);
  auto* plain = new TListBox(form.get());
  plain->SetParent(form.get());
  plain->SetBounds(170, 10, 150, 100);
  for (int i = 0; i < 30; ++i) {
    drawn->Items()->Add("Eintrag " + std::to_string(i));
    plain->Items()->Add("ein recht langer Eintrag, der nicht in die Liste passt " + std::to_string(i));
  }
  Show(drawn);
  for (TCustomListBox* box : {static_cast<TCustomListBox*>(drawn), static_cast<TCustomListBox*>(plain)}) {
    QListView* list = nullptr;
    for (QWidget* w : QApplication::allWidgets())
      if (auto* l = qobject_cast<QListView*>(w); l && l->parentWidget() && l->geometry().x() == box->Left()) list = l;
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_EQ(box->ItemRect(0).Right, list->viewport()->width() + list->viewport()->x());
  }
}

// The list's scroll bar: its menu is the platform's, in German; a press on
// it, of any button, is the scroll bar's and no press on the list.
TEST_F(FormTest, TheScrollBarMenuIsThePlatformsInGerman) {
  auto* list = new TListBox(form.get());
  list->SetParent(form.get());
  list->SetBounds(10, 10, 150, 100);
  for (int i = 0; i < 40; ++i) list->Items()->Add("Eintrag " + std::to_string(i));
  list->SetItemIndex(0);
  int downs = 0;
  list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  Show(list);
  const int x = list->Width() - 6;  // over the vertical scroll bar
  auto choose = [&](const char* Caption) {
    platform::InputClick(list, x, 50, mbRight);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return std::vector<std::string>();
    std::vector<std::string> captions;
    QAction* chosen = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      captions.push_back(platform::Utf8ToAnsi(a->text().toStdString()));
      if (captions.back() == Caption) chosen = a;
    }
    if (chosen) chosen->trigger();
    menu->close();
    zeltest::RunPostedMessages();
    return captions;
  };
  EXPECT_EQ(choose("Unterer Rand"),
            (std::vector<std::string>{"Hier scrollen", "Oberer Rand", "Unterer Rand", "Seite nach oben", "Seite nach unten",
                                      "Nach oben scrollen", "Nach unten scrollen"}));
  EXPECT_GT(list->TopIndex(), 30);
  choose("Oberer Rand");
  EXPECT_EQ(list->TopIndex(), 0);
  choose("Nach unten scrollen");
  EXPECT_EQ(list->TopIndex(), 1);
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(list->ItemIndex(), 0);
}

// The second press of a double click with the right button reaches
// OnMouseDown as a press (marked ssDouble); it selects nothing in a list.
TEST_F(ListTest, ARightDoubleClickIsTwoPresses) {
  std::vector<std::string> downs;
  list->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int, int) {
    downs.push_back(std::to_string(B) + (S.Contains(ssDouble) ? " double" : ""));
  };
  list->SetItemIndex(1);
  platform::InputMouseDown(list, mbRight, 20, 16 * 4 + 4);
  platform::InputMouseUp(list, mbRight, 20, 16 * 4 + 4);
  platform::InputMouseDown(list, mbRight, 20, 16 * 4 + 4, TShiftState(), true);
  platform::InputMouseUp(list, mbRight, 20, 16 * 4 + 4);
  EXPECT_EQ(downs, (std::vector<std::string>{"1", "1 double"}));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_TRUE(clicks.empty());
}

// The native list shows the box's own items after every kind of change,
// with the box's selected line as its current row, and lines added at the
// end within an update reach it as one insertion.
TEST_F(ListTest, NativeListFollowsEveryChangeOfTheItems) {
  list->SetSorted(false);
  auto Expect = [&](const char* Step) {
    SCOPED_TRACE(Step);
    const platform::NativeListWatch Native = platform::WatchNativeList(list, [] {});
    EXPECT_EQ(Native.Rows, ItemsOf(list->Items()));
    if (list->ItemIndex() >= 0) {
      EXPECT_EQ(Native.CurrentRow, list->ItemIndex());
    }
  };
  Expect("start");
  list->SetItemIndex(3);
  list->Items()->Add("Zwetschge");
  Expect("added at the end");
  list->Items()->Insert(1, "Aprikose");
  EXPECT_EQ(list->ItemIndex(), 4);
  Expect("inserted before the selection");
  list->Items()->Delete(0);
  Expect("deleted at the top");
  list->Items()->SetStrings(2, "Birne");
  Expect("replaced");
  list->Items()->Delete(list->ItemIndex());
  EXPECT_EQ(list->ItemIndex(), -1);
  Expect("the selected line deleted");
  list->SetItemIndex(2);
  list->SetSorted(true);
  Expect("sorted");
  list->SetSorted(false);
  const platform::NativeListWatch Filled = platform::WatchNativeList(list, [&] {
    list->Items()->BeginUpdate();
    for (int I = 0; I < 50; ++I) list->Items()->Add("Zeile " + IntToStr(I));
    list->Items()->EndUpdate();
  });
  EXPECT_EQ(Filled.Insertions, 1);
  EXPECT_EQ(Filled.Rows, ItemsOf(list->Items()));
  list->Items()->BeginUpdate();
  list->Items()->Add("ans Ende");
  list->Items()->Insert(0, "an den Anfang");
  list->Items()->Delete(5);
  list->Items()->EndUpdate();
  Expect("mixed changes in one update");
  list->SetItemIndex(list->Items()->Count() - 1);
  Expect("the last line selected");
  list->Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
  Expect("cleared");
  list->Items()->Add("eins");
  list->SetItemIndex(0);
  Expect("one line again");
  EXPECT_EQ(platform::WatchNativeList(list, [] {}).SelectedRows, std::vector<int>{0});
}

// The selections of a multi-select box reach the native list as they are.
TEST_F(ListTest, NativeListShowsTheSelectionsOfAMultiSelectBox) {
  list->SetMultiSelect(true);
  auto Native = [&] { return platform::WatchNativeList(list, [] {}).SelectedRows; };
  list->Perform(LB_SELITEMRANGE, TRUE, MAKELONG(1, 3));
  list->Perform(LB_SETSEL, TRUE, 6);
  EXPECT_EQ(Native(), (std::vector<int>{1, 2, 3, 6}));
  list->Perform(LB_SELITEMRANGE, FALSE, MAKELONG(2, 2));
  EXPECT_EQ(Native(), (std::vector<int>{1, 3, 6}));
  list->SelectAll();
  EXPECT_EQ(Native().size(), 7u);
  list->ClearSelection();
  EXPECT_TRUE(Native().empty());
  list->SetSelected(0, true);
  list->SetSelected(6, true);
  EXPECT_EQ(Native(), (std::vector<int>{0, 6}));
}

TEST_F(ListTest, MultiSelectRangesAndSelectionErrors) {
  list->SetMultiSelect(true);
  EXPECT_EQ(list->Perform(LB_SELITEMRANGE, TRUE, MAKELONG(1, 3)), LB_OKAY);
  for (int i = 0; i < list->Items()->Count(); ++i) EXPECT_EQ(list->Selected(i), i >= 1 && i <= 3) << i;
  EXPECT_EQ(list->SelCount(), 3);
  list->Perform(LB_SELITEMRANGE, FALSE, MAKELONG(2, 2));
  EXPECT_FALSE(list->Selected(2));
  list->ClearSelection();
  EXPECT_EQ(list->SelCount(), 0);
  EXPECT_THROW(list->Selected(7), EListError);
  EXPECT_TRUE(clicks.empty());
  list->SetMultiSelect(false);
  EXPECT_EQ(list->Perform(LB_SELITEMRANGE, TRUE, MAKELONG(0, 1)), LB_ERR);
}

TEST_F(ListTest, OwnerDrawPaintsEachItemAndTheFocusRectangleAfterIt) {
  list->SetItemIndex(1);
  list->Calls.clear();
  zeltest::DrawRecording rec;
  platform::RenderControl(list);
  ASSERT_GE(list->Calls.size(), 7u);
  for (const auto& c : list->Calls) EXPECT_EQ(c.second.Contains(odSelected), c.first == 1) << c.first;
  // The selected row's text, then its focus rectangle.
  const auto& ops = rec.Ops();
  int textAt = -1, focusAt = -1;
  for (int i = 0; i < static_cast<int>(ops.size()); ++i) {
    if (ops[i].kind == platform::DrawOp::Text && ops[i].TextValue == "9") textAt = i;
    if (ops[i].kind == platform::DrawOp::FocusRect) focusAt = i;
  }
  ASSERT_GE(textAt, 0);
  ASSERT_GE(focusAt, 0);
  EXPECT_GT(focusAt, textAt);
  EXPECT_EQ(ops[focusAt].Rect.Height(), 16);
}

// ---------------------------------------------------------------- label

class TProbeLabel : public TLabel {
public:
  using TLabel::TLabel;
  std::vector<UINT> Flags;

protected:
  void DoDrawText(TRect& Rect, UINT F) override {
    Flags.push_back(F);
    TLabel::DoDrawText(Rect, F);
  }
};

TEST_F(FormTest, LabelAutoSizeMeasuresThroughDoDrawText) {
  auto* label = new TProbeLabel(form.get());
  label->SetParent(form.get());
  label->SetLeft(30);
  label->SetCaption("Lieferant");
  auto canvas = platform::CreateImageCanvas(1, 1);
  canvas->Font()->Assign(label->Font());
  ASSERT_FALSE(label->Flags.empty());
  EXPECT_TRUE(label->Flags.back() & DT_CALCRECT);
  EXPECT_EQ(label->Width(), canvas->TextWidth("Lieferant"));
  EXPECT_EQ(label->Height(), canvas->TextHeight("Lieferant"));

  // Right-justified labels keep their right edge; an empty caption keeps one line.
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("Land");
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->SetCaption("");
  EXPECT_EQ(label->Height(), canvas->TextHeight("W"));

  // Without AutoSize the bounds stay.
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 200, 40);
  label->SetCaption("Artikelnummer");
  EXPECT_EQ(label->Width(), 200);

  // Painting: the background unless transparent, then the text.
  label->Flags.clear();
  {
    zeltest::DrawRecording rec;
    platform::RenderControl(label);
    EXPECT_FALSE(rec.OfKind(platform::DrawOp::Fill).empty());
    EXPECT_EQ(rec.Texts(), (std::vector<AnsiString>{"Artikelnummer"}));
  }
  ASSERT_FALSE(label->Flags.empty());
  EXPECT_FALSE(label->Flags.back() & DT_CALCRECT);
  EXPECT_TRUE(label->Flags.back() & DT_RIGHT);
  label->SetTransparent(true);
  zeltest::DrawRecording rec;
  platform::RenderControl(label);
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Fill).empty());
}

TEST(Label, FocusControlIsAWeakReference) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  auto* edit = new TEdit(&form);
  label->SetFocusControl(edit);
  EXPECT_EQ(label->FocusControl(), edit);
  delete edit;
  EXPECT_EQ(label->FocusControl(), nullptr);
}

// ---------------------------------------------------------------- buttons

TEST_F(FormTest, ButtonClickAndCheckBoxToggle) {
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetCaption("Suchen");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  auto* check = new TCheckBox(form.get());
  check->SetParent(form.get());
  check->SetBounds(10, 50, 120, 17);
  check->SetCaption("Bild anzeigen");
  int toggles = 0;
  check->OnClick = [&](TObject*) { ++toggles; };
  Show(button);

  zeltest::Click(button, 10, 10);
  EXPECT_EQ(clicks, 1);
  PressKey(VK_SPACE);
  EXPECT_EQ(clicks, 2);
  button->SetEnabled(false);
  zeltest::Click(button, 10, 10);
  EXPECT_EQ(clicks, 2);

  zeltest::Click(check, 6, 8);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(toggles, 1);
  zeltest::Click(check, 6, 8);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(toggles, 2);
  // Setting Checked fires the click as the class library's check box does.
  check->SetChecked(true);
  EXPECT_EQ(toggles, 3);
  check->SetChecked(true);
  EXPECT_EQ(toggles, 3);
}

// ---------------------------------------------------------------- focus by click

// A click through the window system focuses only what takes the focus on a
// left press there; anything else leaves the focus where it was.
TEST_F(FormTest, AClickFocusesOnlyTheControlsThatTakeTheFocusSo) {
  form->SetBounds(10, 10, 640, 360);
  auto place = [this](auto* C, TWinControl* Parent, int X, int Y, int W, int H) {
    C->SetParent(Parent);
    C->SetBounds(X, Y, W, H);
    return C;
  };
  auto* start = place(new TEdit(form.get()), form.get(), 10, 10, 100, 21);
  auto* edit = place(new TEdit(form.get()), form.get(), 120, 10, 100, 21);
  auto* off = place(new TEdit(form.get()), form.get(), 230, 10, 100, 21);
  off->SetEnabled(false);
  auto* button = place(new TButton(form.get()), form.get(), 10, 40, 75, 25);
  auto* check = place(new TCheckBox(form.get()), form.get(), 100, 40, 100, 17);
  check->SetCaption("Bild anzeigen");
  auto* combo = place(new TComboBox(form.get()), form.get(), 210, 40, 100, 21);
  combo->SetStyle(csDropDownList);
  combo->Items()->Add("eins");
  auto* list = place(new TListBox(form.get()), form.get(), 10, 80, 100, 60);
  list->Items()->Add("eins");
  auto* grid = place(new TStringGrid(form.get()), form.get(), 120, 80, 200, 60);
  auto* panel = place(new TPanel(form.get()), form.get(), 10, 160, 400, 150);
  auto* label = place(new TLabel(form.get()), panel, 10, 10, 80, 17);
  label->SetCaption("Artikelnummer");
  auto* speed = place(new TSpeedButton(form.get()), panel, 100, 10, 23, 22);
  speed->SetCaption("K");
  auto* image = place(new TImage(form.get()), panel, 140, 10, 60, 60);
  auto* inner = place(new TEdit(form.get()), panel, 210, 10, 100, 21);
  inner->SetEnabled(false);
  struct Case {
    const char* Name;
    TControl* Target;
    TMouseButton Button;
    TWinControl* Focused;
  };
  const Case Cases[] = {
      {"edit", edit, mbLeft, edit},          {"disabled edit", off, mbLeft, start},
      {"button", button, mbLeft, button},    {"check box", check, mbLeft, check},
      {"list box", list, mbLeft, list},      {"grid", grid, mbLeft, grid},
      {"panel", panel, mbLeft, start},       {"label", label, mbLeft, start},
      {"speed button", speed, mbLeft, start}, {"image", image, mbLeft, start},
      {"disabled edit on the panel", inner, mbLeft, start},
      {"right on the list box", list, mbRight, start}, {"right on the button", button, mbRight, start},
      {"middle on the edit", edit, mbMiddle, start},  {"combo box", combo, mbLeft, combo},
  };
  Show(start);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    start->SetFocus();
    zeltest::RunPostedMessages();
    ASSERT_TRUE(start->Focused());
    platform::InputClick(C.Target, 5, 5, C.Button);
    combo->SetDroppedDown(false);
    zeltest::RunPostedMessages();
    EXPECT_TRUE(C.Focused->Focused());
    EXPECT_EQ(Screen->ActiveControl(), C.Focused);
  }
  // Keys then still reach the control that kept the focus.
  start->SetFocus();
  zeltest::RunPostedMessages();
  platform::InputClick(label, 5, 5);
  ASSERT_TRUE(platform::InputKey('1', true));
  platform::InputKey('1', false);
  EXPECT_EQ(start->Text(), "1");
}

// ---------------------------------------------------------------- looks

// The darkest pixel of a rendered control: its caption's colour.
TColor DarkestPixel(const platform::PixelImage& Image) {
  TColor best = clWhite;
  int bestSum = 3 * 255 + 1;
  for (TColor c : Image.Pixels) {
    const int sum = static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF));
    if (sum < bestSum) {
      bestSum = sum;
      best = c;
    }
  }
  return best;
}

// A button, a check box and an edit, as the main window has them.
class LooksTest : public FormTest {
protected:
  void SetUp() override {
    FormTest::SetUp();
    button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetCaption("Anmelden");
    check = new TCheckBox(form.get());
    check->SetParent(form.get());
    check->SetBounds(10, 40, 120, 17);
    check->SetCaption("Bild anzeigen");
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 70, 120, 21);
    edit->SetText("Suchen");
    Show(button);
  }
  TButton* button = nullptr;
  TCheckBox* check = nullptr;
  TEdit* edit = nullptr;
};

// A disabled control draws its caption in clGrayText, an enabled one in
// its font colour.
TEST_F(LooksTest, DisabledControlsDrawTheirTextGrey) {
  for (TWinControl* c : std::initializer_list<TWinControl*>{button, check, edit}) {
    SCOPED_TRACE(c->ClassName());
    c->SetEnabled(true);
    EXPECT_EQ(DarkestPixel(platform::RenderControl(c)), clBlack);
    c->SetEnabled(false);
    EXPECT_EQ(DarkestPixel(platform::RenderControl(c)), ColorToRGB(clGrayText));
  }
}

// A check box or button with the focus shows the platform's dotted focus
// rectangle (inside the button, round the check box's caption); without the
// focus it shows none.
TEST_F(LooksTest, AFocusedCheckBoxOrButtonShowsTheFocusRectangle) {
  TEdit* other = edit;
  for (TWinControl* c : std::initializer_list<TWinControl*>{check, button}) {
    SCOPED_TRACE(c->ClassName());
    // The focus rectangles drawn while the control paints itself once.
    auto focusRects = [c] {
      std::vector<TRect> rects;
      auto previous = platform::SetDrawRecorder([&](const platform::DrawOp& Op) {
        if (Op.kind == platform::DrawOp::FocusRect) rects.push_back(Op.Rect);
      });
      platform::RenderControl(c);
      platform::SetDrawRecorder(previous);
      return rects;
    };
    other->SetFocus();
    zeltest::RunPostedMessages();
    EXPECT_TRUE(focusRects().empty());
    c->SetFocus();
    zeltest::RunPostedMessages();
    ASSERT_TRUE(c->Focused());
    const std::vector<TRect> rects = focusRects();
    ASSERT_EQ(rects.size(), 1u);
    const TRect r = rects[0];
    EXPECT_GE(r.Left, 0);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Right, c->Width());
    EXPECT_LE(r.Bottom, c->Height());
    EXPECT_GT(r.Width(), 10);
    if (c == check) {
      EXPECT_GT(r.Left, 12);  // round the caption, right of the box
    }
  }
}

// The edit's menu is the platform's, in the program's language, with each
// entry enabled as the platform enables it; its entries go through the
// edit's messages.  The edit part of an edit-style combo box has it too.
TEST_F(FormTest, TheEditMenuIsThePlatformsInGerman) {
  ClipboardFixture clip;
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 150, 21);
  edit->SetText("Artikel");
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetBounds(10, 40, 150, 21);
  combo->SetText("Saison");
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 70, 150, 21);
  Show(other);
  const std::vector<std::string> captions = {"&R\xFC" "ckg\xE4ngig", "&Ausschneiden", "&Kopieren", "&Einf\xFCgen",
                                             "&L\xF6schen", "Alles &markieren"};
  auto openMenu = [](TWinControl* C) -> QMenu* {
    platform::InputClick(C, 20, 8, mbRight);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  };
  auto entries = [](QMenu* Menu) {
    std::vector<std::pair<std::string, bool>> out;
    for (QAction* a : Menu->actions())
      if (!a->isSeparator()) out.emplace_back(platform::Utf8ToAnsi(a->text().toStdString()), a->isEnabled());
    return out;
  };
  for (TWinControl* c : std::initializer_list<TWinControl*>{edit, combo}) {
    SCOPED_TRACE(c->ClassName());
    clip.FText.clear();
    other->SetFocus();
    zeltest::RunPostedMessages();
    QMenu* menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(c->Focused());  // the edit took the focus for its menu
    menu->close();
    zeltest::RunPostedMessages();
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) e->SetSelStart(0);
    if (auto* b = dynamic_cast<TCustomComboBox*>(c)) b->SetSelStart(0);
    // Nothing selected, nothing to paste: only "select all".
    menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    auto got = entries(menu);
    ASSERT_EQ(got.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
      EXPECT_EQ(got[i].first, captions[i]);
      EXPECT_EQ(got[i].second, i == 5) << captions[i];
    }
    menu->actions().back()->trigger();  // "Alles markieren"
    menu->close();
    zeltest::RunPostedMessages();
    menu = openMenu(c);
    ASSERT_NE(menu, nullptr);
    got = entries(menu);
    EXPECT_EQ(got[1].second, true);  // cut
    EXPECT_EQ(got[2].second, true);  // copy
    EXPECT_EQ(got[5].second, false); // all is selected already
    for (QAction* a : menu->actions())
      if (platform::Utf8ToAnsi(a->text().toStdString()) == "&Kopieren") a->trigger();
    menu->close();
    zeltest::RunPostedMessages();
    EXPECT_EQ(clip.FText, c == edit ? "Artikel" : "Saison");
  }
}

// The wheel moves the selection of the combo box with the focus only, one
// entry per step, as the arrow keys do; a box without the focus keeps its.
TEST_F(ComboTest, TheWheelStepsOnlyTheFocusedBox) {
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(10, 60, 150, 21);
  QComboBox* native = nullptr;
  for (QWidget* w : QApplication::allWidgets())
    if (auto* c = qobject_cast<QComboBox*>(w)) native = c;
  ASSERT_NE(native, nullptr);
  auto wheel = [native](int Delta) {
    const QPointF at(10, 10);
    QWheelEvent e(at, native->mapToGlobal(at), QPoint(), QPoint(0, Delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(native, &e);
    zeltest::RunPostedMessages();
  };
  box->SetItemIndex(3);
  other->SetFocus();
  zeltest::RunPostedMessages();
  wheel(-120);
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_TRUE(events.empty());
  box->SetFocus();
  zeltest::RunPostedMessages();
  wheel(-120);
  EXPECT_EQ(box->ItemIndex(), 4);
  wheel(120);
  EXPECT_EQ(box->ItemIndex(), 3);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change 4", "click", "change 3"}));
}

TEST(Button, ModalResultGoesToTheForm) {
  TForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetModalResult(mrOk);
  button->Click();
  EXPECT_EQ(form.ModalResult(), mrOk);
}

}  // namespace
