// The combo box: sorted items and search, changes and clicks, the open list
// and its keys, owner draw, typing into its edit part, the wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QWheelEvent>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/canvas_check.h"
#include "tests/support/combo_list.h"
#include "tests/support/gui_input.h"
#include "tests/support/string_items.h"

namespace {

using zeltest::Items;
using zeltest::FormTest;
using zeltest::kFruit;
using zeltest::kFruitSorted;
using zeltest::PressKey;
using zeltest::TypeText;

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
  EXPECT_EQ(Items(*box.Items()), kFruitSorted);
  EXPECT_EQ(box.Items()->Objects(box.Items()->IndexOf("birne")), &marker);
  // Switching Sorted on sorts what is there.
  TComboBox late(nullptr);
  for (const char* f : kFruit) late.Items()->Add(f);
  EXPECT_EQ(late.Items()->Strings(0), "Zitrone");
  late.SetSorted(true);
  EXPECT_EQ(Items(*late.Items()), kFruitSorted);
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

}  // namespace
