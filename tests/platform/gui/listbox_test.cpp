// The list box: sorted items, clicks, drags and held keys, the native list,
// multiple selection, owner draw and the scroll bar's menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testing.h"
#include "platform/rtl/codepage.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"
#include "tests/support/string_items.h"

namespace {

using zeltest::Items;
using zeltest::FormTest;
using zeltest::kFruit;
using zeltest::kFruitSorted;
using zeltest::PressKey;
using zeltest::TypeText;

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
  EXPECT_EQ(Items(*list->Items()), kFruitSorted);
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
    EXPECT_EQ(Native.Rows, Items(*list->Items()));
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
  EXPECT_EQ(Filled.Rows, Items(*list->Items()));
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

}  // namespace
