// The string grid with rotated titles: its properties, the focus entry over
// locked columns, Enter and the arrow keys stepping over locked columns,
// the length limits while typing, titles and row texts drawn into the cells,
// the cell colours, text placement, draw event and edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "controls/KGrid.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "tests/controls/KGrid_support.h"
#include "tests/support/beep_counter.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

namespace {

class ProbeStrGrid : public TKStrGrid {
public:
  using TKStrGrid::TKStrGrid;
  Word Down(Word Key, TShiftState Shift = TShiftState()) {
    KeyDown(Key, Shift);
    return Key;
  }
  char Press(char Key) {
    KeyPress(Key);
    return Key;
  }
};

std::vector<WPARAM> TakeNextDlgCtl(TWinControl* Target) {
  std::vector<WPARAM> r;
  MSG m;
  while (PeekMessage(&m, Target->Handle(), WM_NEXTDLGCTL, WM_NEXTDLGCTL, PM_REMOVE)) r.push_back(m.wParam);
  return r;
}

void Type(TWinControl* C, const AnsiString& Text) {
  for (char ch : Text) C->Perform(WM_CHAR, static_cast<unsigned char>(ch), 0);
}

class KStrGridTest : public ::testing::Test {
protected:
  KStrGridTest() : form(nullptr) {
    form.SetBounds(0, 0, 400, 220);
    grid = new ProbeStrGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 300, 120);
    grid->SetColCount(6);
    grid->SetRowCount(4);
  }
  ~KStrGridTest() override { LastExitControl = nullptr; }
  void Lock(const std::vector<int>& Cols) {
    for (int c = 0; c < grid->ColCount(); ++c) grid->SetObjects(c, 0, nullptr);
    for (int c : Cols) grid->SetObjects(c, 0, LockMark);
  }
  TForm form;
  ProbeStrGrid* grid;
  zeltest::BeepCounter beeps;  // swallowed keys make no sound
};

TEST_F(KStrGridTest, Creation) {
  EXPECT_FALSE(grid->KeyDefault());
  EXPECT_EQ(grid->TitleFontHeight(), 12);
  EXPECT_EQ(grid->MinFont(), 8);
  EXPECT_EQ(grid->MaxFont(), 16);
  EXPECT_EQ(grid->DrawFont(), "Arial");
  EXPECT_FALSE(grid->Turn());
  EXPECT_FALSE(grid->TurnBold());
  EXPECT_EQ(grid->TitleWeight(), 400);
  EXPECT_EQ(grid->TurnHeight(), 50);
  EXPECT_FALSE(grid->TitleEnabled());
  EXPECT_EQ(grid->RowHeights(0), 16);
  EXPECT_EQ(grid->Options().ToInt(), 0x40Fu);  // TKGrid's
}

TEST_F(KStrGridTest, FontLimitsAreStoredOnly) {
  grid->SetMinFont(20);
  grid->SetMaxFont(40);
  EXPECT_EQ(grid->MinFont(), 20);
  EXPECT_EQ(grid->MaxFont(), 40);
  EXPECT_EQ(grid->TitleFontHeight(), 12);
}

TEST_F(KStrGridTest, TurnAndTurnHeight) {
  grid->SetTurnHeight(60);
  EXPECT_EQ(grid->RowHeights(0), 16);  // not turned: no effect yet
  grid->SetTurn(true);
  EXPECT_EQ(grid->RowHeights(0), 60);
  grid->SetTurnHeight(70);
  EXPECT_EQ(grid->RowHeights(0), 70);
  grid->SetRowHeights(0, 33);
  grid->SetTurn(false);
  EXPECT_EQ(grid->RowHeights(0), 16);  // DefaultRowHeight, not an earlier height
  grid->SetTurnBold(true);
  EXPECT_EQ(grid->TitleWeight(), 700);
  grid->SetTurnBold(false);
  EXPECT_EQ(grid->TitleWeight(), 400);
}

struct EnterCase {
  const char* Name;
  std::vector<int> Locked;
  int StartCol;
  int InputCol;
  int ExpectedCol;
};

TEST_F(KStrGridTest, FocusEntryPutsTheCurrentCellOnAnUnlockedColumn) {
  const EnterCase cases[] = {
      {"current free", {3}, 2, -1, 2},
      {"current locked, free to the right", {1, 2}, 1, -1, 3},
      {"only free to the left", {3, 4, 5}, 3, -1, 2},
      {"input column", {}, 1, 4, 4},
      {"input column locked: refused", {4}, 1, 4, 1},
  };
  for (const auto& c : cases) {
    Lock({});
    grid->SetInputCol(-1);
    grid->SetCol(c.StartCol);
    Lock(c.Locked);
    grid->SetInputCol(c.InputCol);
    grid->Perform(CM_ENTER, 0, 0);
    EXPECT_EQ(grid->Col(), c.ExpectedCol) << c.Name;
  }
}

TEST_F(KStrGridTest, EnterMovesOverLockedColumns) {
  struct Case {
    const char* Name;
    std::vector<int> Locked;
    int InputRow;
    int StartCol;
    char Key;
    int ExpectedCol;
    size_t Posts;
  };
  const Case cases[] = {
      {"next free", {2, 3}, -1, 1, 0, 4, 0},
      {"only locked to the right", {4, 5}, -1, 3, 0, 1, 1},
      {"last column, input row 2", {}, 2, 5, 0, 5, 1},
      {"last column, input row 0", {}, 0, 5, '\r', 5, 0},
      {"last column, no input row", {}, -1, 5, '\r', 5, 0},
  };
  for (const auto& c : cases) {
    Lock({});
    grid->SetInputRow(-1);
    grid->SetRow(c.InputRow > 0 ? c.InputRow : 1);
    grid->SetCol(c.StartCol);
    Lock(c.Locked);
    grid->SetInputRow(c.InputRow);
    EXPECT_EQ(grid->Press('\r'), c.Key) << c.Name;
    EXPECT_EQ(grid->Col(), c.ExpectedCol) << c.Name;
    EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>(c.Posts, 0)) << c.Name;
    EXPECT_FALSE(grid->EditorMode()) << c.Name;  // Enter does not toggle the editor here
  }
}

TEST_F(KStrGridTest, ArrowKeysStepOverLockedColumns) {
  struct Case {
    const char* Name;
    int InputRow;
    bool KeyDefault;
    TShiftState Shift;
    int StartCol;
    Word Key;
    int ExpectedCol;
    Word ExpectedKey;
  };
  const Case cases[] = {
      {"right over two", -1, false, {}, 1, VK_RIGHT, 4, 0},
      {"left over two", -1, false, {}, 4, VK_LEFT, 1, 0},
      {"left in the first", -1, false, {}, 1, VK_LEFT, 1, 0},
      {"right in the last", -1, false, {}, 5, VK_RIGHT, 5, 0},
      {"down as right in the input row", 1, false, {}, 1, VK_DOWN, 4, 0},
      {"up as left in the input row", 1, false, {}, 4, VK_UP, 1, 0},
      {"KeyDefault: the base grid, refused", -1, true, {}, 1, VK_RIGHT, 1, VK_RIGHT},
      {"Ctrl: the base grid", -1, false, {ssCtrl}, 4, VK_RIGHT, 5, VK_RIGHT},
      {"Alt: the base grid", -1, false, {ssAlt}, 4, VK_LEFT, 4, VK_LEFT},  // column 3 refuses
  };
  for (const auto& c : cases) {
    Lock({});
    grid->SetInputRow(-1);
    grid->SetRow(1);
    grid->SetCol(c.StartCol);
    Lock({2, 3});
    grid->SetInputRow(c.InputRow);
    grid->SetKeyDefault(c.KeyDefault);
    EXPECT_EQ(grid->Down(c.Key, c.Shift), c.ExpectedKey) << c.Name;
    EXPECT_EQ(grid->Col(), c.ExpectedCol) << c.Name;
  }
}

TEST_F(KStrGridTest, KeyDownEventFiresOnce) {
  int events = 0;
  grid->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++events; };
  grid->SetKeyDefault(true);
  grid->Down(VK_DOWN);  // through TKGrid to the base grid
  EXPECT_EQ(events, 1);
  EXPECT_EQ(grid->Row(), 2);
  grid->SetKeyDefault(false);
  grid->Down(VK_RIGHT);  // consumed by the column stepping
  EXPECT_EQ(events, 2);
  grid->AddAllowedRow(1);
  grid->AddAllowedRow(3);
  grid->Down(VK_DOWN);  // TKGrid's allowed rows
  EXPECT_EQ(events, 3);
  EXPECT_EQ(grid->Row(), 3);
  ASSERT_TRUE(grid->OnKeyDown);  // the event is back after the quiet call
}

TEST_F(KStrGridTest, KeyPressOnlyFiltersDigits) {
  int events = 0;
  grid->OnKeyPress = [&](TObject*, char&) { ++events; };
  struct Case {
    char Key;
    bool Numeric;
    char Expected;
  };
  const Case cases[] = {{'4', true, '4'}, {'\b', true, '\b'}, {'@', true, 0},    {'\x1B', true, 0},
                        {'x', true, 0},   {'@', false, '@'},  {'\x1B', false, '\x1B'}};
  for (const auto& c : cases) {
    grid->SetNumeric(c.Numeric);
    EXPECT_EQ(grid->Press(c.Key), c.Expected) << int(c.Key);
  }
  EXPECT_EQ(events, 7);
  EXPECT_EQ(beeps.Count(), 0);
  // Through the window: the swallowed letter makes no sound either.
  zeltest::ShowForm(&form);
  grid->SetNumeric(true);
  grid->SetFocus();
  zeltest::RunPostedMessages();
  zeltest::TypeText("x");
  EXPECT_EQ(grid->Cells(1, 1), "");
  EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(KStrGridTest, TypingStepsOverLockedColumnsInTheInputRow) {
  grid->SetInputRow(1);
  grid->SetSumCol(0);
  Lock({2, 3});
  Type(grid, "12");
  EXPECT_EQ(grid->Cells(1, 1), "1");
  EXPECT_EQ(grid->Cells(4, 1), "2");
  EXPECT_EQ(grid->Col(), 5);
  EXPECT_EQ(grid->Cells(0, 1), "3");
  Type(grid, "78");
  EXPECT_EQ(grid->Cells(5, 1), "7");
  EXPECT_EQ(grid->Col(), 5);
  EXPECT_EQ(grid->Cells(0, 1), "10");
}

TEST_F(KStrGridTest, MaxLengthOutsideTheInputRow) {
  grid->SetEditLength(0);
  grid->SetMaxLength(3);
  Lock({2});
  Type(grid, "1234");
  EXPECT_EQ(grid->Cells(1, 1), "123");
  EXPECT_EQ(grid->Cells(3, 1), "4");
  EXPECT_EQ(grid->Col(), 3);
  grid->SetCol(5);
  Type(grid, "98765");
  EXPECT_EQ(grid->Cells(5, 1), "987");
  EXPECT_EQ(grid->Col(), 5);
}

// A cut edit writes the plain row sum: the value typed ("123") differs from
// the cut cell ("12"), so the sum column shows the sum without OnMakeSum's
// text.  Through the real keys: F2 opens the editor, End puts the caret
// behind the text, "3" is typed.
TEST_F(KStrGridTest, CutEditWritesThePlainRowSum) {
  zeltest::ShowForm(&form);
  grid->SetEditLength(2);
  grid->SetSumCol(0);
  grid->OnMakeSum = [](TObject*, int, int, AnsiString& Sum) { Sum = "Summe " + Sum; };
  std::vector<AnsiString> handed;
  grid->OnSetEditText = [&](TObject*, int, int, const AnsiString& Value) { handed.push_back(Value); };
  grid->SetCells(1, 1, "12");
  grid->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(grid->Focused());
  ASSERT_EQ(grid->Col(), 1);
  zeltest::PressKey(VK_F2);
  ASSERT_TRUE(grid->EditorMode());
  zeltest::PressKey(VK_END);
  zeltest::TypeText("3");
  EXPECT_EQ(grid->Cells(1, 1), "12");
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Cells(0, 1), "12");
  EXPECT_EQ(handed, (std::vector<AnsiString>{"123"}));
}

// ---------------------------------------------------------------- drawing

TEST_F(KStrGridTest, TitlesAreDrawnIntoRowZero) {
  grid->TitleCols()->SetCommaText(",Apfel,Birne");
  grid->SetCells(3, 0, "old");
  platform::RenderControl(grid);
  EXPECT_EQ(grid->Cells(1, 0), "");  // titles off: row 0 keeps its cells
  EXPECT_EQ(grid->Cells(3, 0), "old");
  grid->SetTitleEnabled(true);
  {
    zeltest::DrawRecording rec;
    platform::RenderControl(grid);
    const auto texts = rec.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Apfel"), texts.end());
  }
  EXPECT_EQ(grid->Cells(1, 0), "Apfel");
  EXPECT_EQ(grid->Cells(2, 0), "Birne");
  EXPECT_EQ(grid->Cells(3, 0), "");  // beyond the list: empty
  grid->SetTitleEnabled(false);
  for (int c = 0; c < grid->ColCount(); ++c) EXPECT_EQ(grid->Cells(c, 0), "") << c;
}

TEST_F(KStrGridTest, RowTextsFillTheRow) {
  auto* list = new TStringList();
  list->SetCommaText("a,b");
  grid->SetRowTextList(2, list);
  for (int c = 0; c < grid->ColCount(); ++c) grid->SetCells(c, 2, "x");
  platform::RenderControl(grid);
  EXPECT_EQ(grid->Cells(0, 2), "a");
  EXPECT_EQ(grid->Cells(1, 2), "b");
  for (int c = 2; c < grid->ColCount(); ++c) EXPECT_EQ(grid->Cells(c, 2), "") << c;
  EXPECT_EQ(grid->Cells(1, 3), "");
}

TEST_F(KStrGridTest, RotatedTitles) {
  grid->TitleCols()->SetCommaText(",Apfel");
  grid->SetTitleEnabled(true);
  grid->SetTurn(true);
  grid->SetTurnBold(true);
  zeltest::DrawRecording rec;
  const platform::PixelImage img = platform::RenderControl(grid);
  bool found = false;
  for (const auto& op : rec.OfKind(platform::DrawOp::Text)) {
    if (op.TextValue != "Apfel") continue;
    found = true;
    EXPECT_EQ(op.Escapement, 900);
    EXPECT_EQ(op.FontHeight, 12);
    EXPECT_EQ(op.FontName, "Arial");
    EXPECT_EQ(op.Rect, TRect(26, 0, 51, 50));  // clipped to the cell
  }
  EXPECT_TRUE(found);
  // Upright text would be about a line high; rotated it runs up the cell.
  int top = 50, bottom = -1;
  for (int y = 0; y < 50; ++y)
    for (int x = 26; x < 51; ++x)
      if (img.At(x, y) == clBlack) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_GT(bottom - top, 20);
  EXPECT_LE(bottom, 50 - 4);
}

TEST_F(KStrGridTest, InputRowCellInRedWhileFocused) {
  auto other = platform::CreateLineEditControl(&form);
  other->SetParent(&form);
  other->SetBounds(0, 150, 100, 20);
  zeltest::ShowForm(&form);
  grid->SetInputRow(1);
  grid->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_EQ(form.ActiveControl(), grid);
  grid->SetCol(2);
  platform::PixelImage img = platform::RenderControl(grid);
  EXPECT_EQ(img.At(2 * 26 + 1, 17 + 1), clRed);
  EXPECT_EQ(img.At(3 * 26 + 1, 17 + 1), clWhite);
  other->SetFocus();
  zeltest::RunPostedMessages();
  img = platform::RenderControl(grid);
  EXPECT_EQ(img.At(2 * 26 + 1, 17 + 1), ScaleColor(clWhite, 0.9L));
}

using zeltest::CellAt;

struct StrColourCase {
  const char* Name;
  std::function<void(ProbeStrGrid*)> Setup;
  bool Focused;
  int Col, Row;
  TColor Brush, Text;
};

TEST_F(KStrGridTest, CellColours) {
  constexpr TColor ink = 0x000080;  // the grid's font colour
  const TColor shade = ScaleColor(clWhite, 0.9L);
  const auto blocks = [](ProbeStrGrid* g) {
    g->SetBlockLen(2);
    g->SetBlockColors(0, 0x111111);
    g->SetBlockColors(1, 0x80FF80);
    g->SetBlockColors(2, 0xFF8080);
    g->SetBlockColorsSet(true);
  };
  const auto rowSelect = [](ProbeStrGrid* g) { zeltest::SetRowSelect(g); };
  const auto notEditing = [](ProbeStrGrid* g) {
    TGridOptions o = g->Options();
    o >> goEditing;
    g->SetOptions(o);
  };
  const StrColourCase cases[] = {
      {"plain", [](ProbeStrGrid*) {}, false, 3, 2, clWhite, ink},
      {"fixed", [](ProbeStrGrid*) {}, false, 0, 2, ColorToRGB(clBtnFace), ink},
      {"title row", [](ProbeStrGrid*) {}, false, 3, 0, ColorToRGB(clBtnFace), ink},
      {"block, fixed", blocks, false, 0, 2, 0xFF8080, ink},
      {"block, fixed title row", blocks, false, 3, 0, 0x111111, ink},
      {"block, cell", blocks, false, 3, 2, 0xFF8080, ink},
      {"block, cell, the block again", blocks, false, 3, 3, 0x80FF80, ink},
      {"block, fixed in the input row",
       [&](ProbeStrGrid* g) {
         blocks(g);
         g->SetInputRow(2);
       },
       false, 0, 2, ColorToRGB(clBtnFace), ink},
      {"block, cell in the input row",
       [&](ProbeStrGrid* g) {
         blocks(g);
         g->SetInputRow(2);
       },
       false, 3, 2, clWhite, ink},
      {"current cell, grid without focus", [](ProbeStrGrid*) {}, false, 1, 1, shade, ink},
      {"current cell, no shading", [](ProbeStrGrid* g) { g->SetShowSelColor(false); }, false, 1, 1, clWhite, ink},
      {"current cell, focused, editing", [](ProbeStrGrid*) {}, true, 1, 1, clWhite, ink},
      {"current cell, focused, input row", [](ProbeStrGrid* g) { g->SetInputRow(1); }, true, 1, 1, clRed, clWhite},
      {"input row, other cell", [](ProbeStrGrid* g) { g->SetInputRow(1); }, true, 3, 1, clWhite, ink},
      {"current cell, focused, not editing", notEditing, true, 1, 1, clBlue, clWhite},
      {"current row, other cell, not editing", notEditing, true, 3, 1, clWhite, ink},
      {"current row, row select", rowSelect, true, 3, 1, clBlue, clWhite},
      {"other row, row select", rowSelect, true, 3, 2, clWhite, ink},
      {"current row, own select colours",
       [&](ProbeStrGrid* g) {
         rowSelect(g);
         g->SetSelectColor(0x008000);
         g->SetSelectFontColor(clYellow);
       },
       true, 3, 1, 0x008000, clYellow},
  };
  auto other = platform::CreateLineEditControl(&form);
  other->SetParent(&form);
  other->SetBounds(0, 150, 100, 20);
  zeltest::ShowForm(&form);
  for (const auto& c : cases) {
    auto* g = new ProbeStrGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 120);
    g->SetColCount(6);
    g->SetRowCount(4);
    g->Font()->SetColor(ink);
    for (int col = 0; col < 6; ++col)
      for (int row = 0; row < 4; ++row) g->SetCells(col, row, "8");
    c.Setup(g);
    (c.Focused ? static_cast<TWinControl*>(g) : other)->SetFocus();
    zeltest::RunPostedMessages();
    zeltest::DrawRecording rec;
    const platform::PixelImage img = platform::RenderControl(g);
    const TRect cell = CellAt(c.Col, c.Row);
    EXPECT_EQ(img.At(cell.Left + 1, cell.Top + 1), c.Brush) << c.Name;
    const auto texts = rec.TextsIn(cell);
    ASSERT_EQ(texts.size(), 1u) << c.Name;
    EXPECT_EQ(texts[0].Color, c.Text) << c.Name;
    other->SetFocus();
    zeltest::RunPostedMessages();
    delete g;
  }
}

TEST_F(KStrGridTest, TextPlacement) { zeltest::ExpectTextPlacement(grid); }

TEST_F(KStrGridTest, DrawEventBeforeTheTextAndAfterARotatedTitle) {
  grid->TitleCols()->SetCommaText(",Apfel");
  grid->SetTitleEnabled(true);
  grid->SetCells(3, 2, "5");
  std::vector<std::pair<int, int>> events;
  grid->OnDrawCell = [&](TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState) {
    auto* g = static_cast<TKStrGrid*>(Sender);
    if (!g->Turn()) {
      EXPECT_EQ(Rect, CellAt(ACol, ARow));
    }
    events.emplace_back(ACol, ARow);
    g->Canvas()->Brush()->SetColor(0x4080FF);
  };
  platform::PixelImage img = platform::RenderControl(grid);
  EXPECT_EQ(events.size(), 24u);  // once a cell
  // Upright: the event's brush fills the cell behind the text.
  EXPECT_EQ(img.At(CellAt(3, 2).Left + 1, CellAt(3, 2).Top + 1), 0x4080FF);
  EXPECT_EQ(img.At(CellAt(1, 0).Left + 1, CellAt(1, 0).Top + 1), 0x4080FF);
  grid->SetTurn(true);
  events.clear();
  img = platform::RenderControl(grid);
  EXPECT_EQ(events.size(), 24u);  // still once a cell
  // A rotated title is drawn first: the event's brush does not reach it.
  EXPECT_NE(img.At(26 + 1, 1), 0x4080FF);
  EXPECT_EQ(img.At(CellAt(3, 2).Left + 1, 50 + 1 + 17 + 1), 0x4080FF);
}

TEST_F(KStrGridTest, RaisedEdgesOnFixedCellsOnlyWith3D) {
  EXPECT_TRUE(zeltest::EdgesDrawn(grid).empty());
  grid->SetCtl3D(true);
  zeltest::ExpectEdgesOnFixedCells(grid);
}

// ---------------------------------------------------------------- focus back

TEST_F(KStrGridTest, EveryColumnLockedGivesTheFocusBack) {
  auto other = platform::CreateLineEditControl(&form);
  other->SetParent(&form);
  other->SetBounds(0, 150, 100, 20);
  zeltest::ShowForm(&form);
  other->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(other->Focused());
  Lock({1, 2, 3, 4, 5});
  LastExitControl = other;
  grid->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_TRUE(other->Focused());
  EXPECT_FALSE(grid->Focused());
  // Without a control to go back to, the grid keeps the focus.
  other->SetFocus();
  zeltest::RunPostedMessages();
  LastExitControl = nullptr;
  grid->SetFocus();
  zeltest::RunPostedMessages();
  EXPECT_TRUE(grid->Focused());
}

}  // namespace
