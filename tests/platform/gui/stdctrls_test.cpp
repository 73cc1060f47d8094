// The standard controls' unit: the item store of the boxes, and which
// controls a click focuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/buttons.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/grids.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/stdctrls_internal.h"
#include "platform/gui/testing.h"
#include "tests/platform/gui/stdctrls_support.h"
#include "tests/support/gui_input.h"

namespace {

using zeltest::FormTest;

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

}  // namespace
