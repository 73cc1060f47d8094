// Drawing of the numeric string grid, checked by the pixels of the rendered
// grid and the drawing calls: cell and text colours by their rules,
// alignment, hidden zeros, titles, the draw event, DefaultDrawing off, the
// design-time titles, the raised edges and the two-pixel selection frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "controls/KGrid.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/controls/KGrid_support.h"
#include "tests/support/gui_input.h"

namespace {

using zeltest::CellAt;
using zeltest::kH;
using zeltest::kW;

class KGridDrawTest : public ::testing::Test {
protected:
  KGridDrawTest() : form(nullptr) {
    form.SetBounds(0, 0, 400, 220);
    grid = new TKGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 6 * (kW + 1), 5 * (kH + 1));
    grid->SetColCount(6);
    grid->SetRowCount(5);
    other = platform::CreateLineEditControl(&form);
    other->SetParent(&form);
    other->SetBounds(0, 150, 100, 20);
    zeltest::ShowForm(&form);
  }
  void Focus(TWinControl* C) {
    C->SetFocus();
    zeltest::RunPostedMessages();
  }
  // A grid of 6 x 5 empty cells.
  TKGrid* NewGrid() {
    auto* g = new TKGrid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 6 * (kW + 1), 5 * (kH + 1));
    g->SetColCount(6);
    g->SetRowCount(5);
    return g;
  }
  TColor Background(int Col, int Row) { return platform::RenderControl(grid).At(CellAt(Col, Row).Left + 1, CellAt(Col, Row).Top + 1); }
  TForm form;
  TKGrid* grid;
  TWinControl* other;
};

struct ColourCase {
  const char* Name;
  std::function<void(TKGrid*)> Setup;
  bool Focused;
  int Col, Row;
  TColor Expected;
};

TEST_F(KGridDrawTest, CellColours) {
  const TColor shade = ScaleColor(clWhite, 0.9L);
  const ColourCase cases[] = {
      {"plain", [](TKGrid*) {}, false, 3, 2, clWhite},
      {"fixed", [](TKGrid*) {}, false, 0, 2, ColorToRGB(clBtnFace)},
      {"grid colour", [](TKGrid* g) { g->SetGridColor(0x00C0FF); }, false, 3, 2, 0x00C0FF},
      {"row colour over grid colour",
       [](TKGrid* g) {
         g->SetGridColor(0x00C0FF);
         g->AddCellColor(2, -1, 0x80FF80);
         g->AddCellColor(2, -1, 0x0000AA);  // only the first entry of a row counts
         g->AddCellColor(3, 4, 0x0000AA);   // cell entries are not drawn
       },
       false, 3, 2, 0x80FF80},
      {"cell entry not drawn", [](TKGrid* g) { g->AddCellColor(3, 4, 0x0000AA); }, false, 4, 3, clWhite},
      {"sum column", [](TKGrid* g) { g->SetSumCol(4); g->SetSumColor(0x80FFFF); }, false, 4, 2, 0x80FFFF},
      {"sum column title", [](TKGrid* g) { g->SetSumCol(4); g->SetSumColor(0x80FFFF); }, false, 4, 0, 0x80FFFF},
      {"sum column, no colour", [](TKGrid* g) { g->SetSumCol(4); }, false, 4, 2, clWhite},
      {"current cell, grid without focus", [](TKGrid*) {}, false, 1, 1, shade},
      {"current cell, no shading", [](TKGrid* g) { g->SetShowSelColor(false); }, false, 1, 1, clWhite},
      {"current cell, focused", [](TKGrid*) {}, true, 1, 1, clBlue},
      {"current cell, own select colour", [](TKGrid* g) { g->SetSelectColor(0x008000); }, true, 1, 1, 0x008000},
      {"current cell, frame instead", [](TKGrid* g) { g->SetSelectFrame(true); }, true, 1, 1, clWhite},
  };
  for (const auto& c : cases) {
    TKGrid* g = NewGrid();
    c.Setup(g);
    Focus(c.Focused ? static_cast<TWinControl*>(g) : other);
    const platform::PixelImage img = platform::RenderControl(g);
    EXPECT_EQ(img.At(CellAt(c.Col, c.Row).Left + 3, CellAt(c.Col, c.Row).Top + 3), c.Expected) << c.Name;
    Focus(other);
    delete g;
  }
}

TEST_F(KGridDrawTest, TextColours) {
  constexpr TColor ink = 0x000080;  // the grid's font colour
  const auto rowSelect = zeltest::SetRowSelect;
  const ColourCase cases[] = {  // Expected: the text colour
      {"plain", [](TKGrid*) {}, false, 3, 2, ink},
      {"fixed", [](TKGrid*) {}, false, 0, 2, ColorToRGB(clWindowText)},
      {"row colour", [](TKGrid* g) { g->AddCellColor(2, -1, 0x80FF80); }, false, 3, 2, ink},
      {"current cell, grid without focus", [](TKGrid*) {}, false, 1, 1, ink},
      {"current cell, focused", [](TKGrid*) {}, true, 1, 1, ColorToRGB(clHighlightText)},
      {"current row, row select", rowSelect, true, 3, 1, clWhite},
      {"current row, own select font colour",
       [&](TKGrid* g) {
         rowSelect(g);
         g->SetSelectFontColor(clYellow);
       },
       true, 3, 1, clYellow},
      {"other row, row select", rowSelect, true, 3, 2, ink},
  };
  for (const auto& c : cases) {
    TKGrid* g = NewGrid();
    g->Font()->SetColor(ink);
    for (int col = 0; col < 6; ++col)
      for (int row = 0; row < 5; ++row) g->SetCells(col, row, "8");
    c.Setup(g);
    Focus(c.Focused ? static_cast<TWinControl*>(g) : other);
    zeltest::DrawRecording rec;
    platform::RenderControl(g);
    const auto texts = rec.TextsIn(CellAt(c.Col, c.Row));
    ASSERT_EQ(texts.size(), 1u) << c.Name;
    EXPECT_EQ(texts[0].Color, c.Expected) << c.Name;
    Focus(other);
    delete g;
  }
}

TEST_F(KGridDrawTest, WhileDesigningWithoutDefaultDrawingOnlyFixedCellsShowText) {
  grid->TitleCols()->SetCommaText(",T");
  grid->SetCells(0, 2, "F");
  grid->SetCells(3, 2, "5");
  grid->SetDefaultDrawing(false);
  grid->SetDesigning(true);
  zeltest::DrawRecording rec;
  platform::RenderControl(grid);
  const auto texts = rec.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "T"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "F"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "5"), texts.end());
  EXPECT_TRUE(rec.OfKind(platform::DrawOp::Edge).empty());
}

TEST_F(KGridDrawTest, RaisedEdgesOnFixedCellsOnlyWith3DAndDefaultDrawing) {
  EXPECT_TRUE(zeltest::EdgesDrawn(grid).empty());
  grid->SetCtl3D(true);
  zeltest::ExpectEdgesOnFixedCells(grid);
  grid->SetDefaultDrawing(false);
  EXPECT_TRUE(zeltest::EdgesDrawn(grid).empty());
}

TEST_F(KGridDrawTest, BlockColours) {
  grid->SetBlockLen(2);
  grid->SetBlockColors(0, 0x111111);
  grid->SetBlockColors(1, 0x80FF80);
  grid->SetBlockColors(2, 0xFF8080);
  Focus(other);
  // Not switched on: plain colours.
  EXPECT_EQ(Background(3, 2), clWhite);
  grid->SetBlockColorsSet(true);
  const platform::PixelImage img = platform::RenderControl(grid);
  const TColor expected[] = {0x111111, 0x80FF80, 0xFF8080, 0x80FF80, 0xFF8080};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(img.At(CellAt(3, r).Left + 1, CellAt(3, r).Top + 1), expected[r]) << r;
    EXPECT_EQ(img.At(CellAt(0, r).Left + 1, CellAt(0, r).Top + 1), expected[r]) << "fixed " << r;
  }
  // A block longer than the table repeats its 25 entries instead of reading past it.
  grid->SetBlockLen(40);
  grid->SetRowCount(30);
  grid->SetBounds(0, 0, 6 * (kW + 1), 30 * (kH + 1));
  EXPECT_EQ(platform::RenderControl(grid).At(CellAt(3, 26).Left + 1, CellAt(3, 26).Top + 1), 0x80FF80);
}

TEST_F(KGridDrawTest, RowSelectHighlight) {
  zeltest::SetRowSelect(grid);
  grid->SetSelectFontColor(clYellow);
  grid->SetRow(2);
  grid->SetCells(3, 2, "8");
  Focus(grid);
  const platform::PixelImage img = platform::RenderControl(grid);
  for (int c = 1; c < 6; ++c) EXPECT_EQ(img.At(CellAt(c, 2).Left + 1, CellAt(c, 2).Top + 1), clBlue) << c;
  EXPECT_GT(zeltest::CountColor(img, clYellow), 0);  // the text in SelectFontColor
  EXPECT_EQ(img.At(CellAt(3, 3).Left + 1, CellAt(3, 3).Top + 1), clWhite);
}

TEST_F(KGridDrawTest, TextPlacement) {
  Focus(other);
  zeltest::ExpectTextPlacement(grid);
}

TEST_F(KGridDrawTest, TitlesInRowZero) {
  grid->TitleCols()->SetCommaText(",T,,");
  grid->SetCells(1, 0, "cell");
  grid->SetCells(2, 0, "X");
  zeltest::DrawRecording rec;
  platform::RenderControl(grid);
  const auto texts = rec.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "T"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "cell"), texts.end());  // the title wins
  EXPECT_NE(std::find(texts.begin(), texts.end(), "X"), texts.end());     // an empty title falls back
  EXPECT_EQ(grid->Cells(1, 0), "cell");                                   // and nothing is copied
}

TEST_F(KGridDrawTest, TitleColsAssignment) {
  TStringList list;
  list.SetCommaText("a,b");
  grid->SetTitleCols(&list);
  EXPECT_EQ(grid->TitleCols()->Text(), list.Text());
  list.Add("c");  // a copy, not the caller's list
  EXPECT_EQ(grid->TitleCols()->Count(), 2);
  zeltest::DrawRecording rec;
  platform::RenderControl(grid);
  const auto texts = rec.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "b"), texts.end());
}

TEST_F(KGridDrawTest, DrawEventSeesTheColoursAndMayChangeThem) {
  grid->SetCells(3, 2, "5");
  Focus(other);
  std::vector<TColor> seen;
  grid->OnDrawCell = [&](TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState) {
    auto* g = static_cast<TKGrid*>(Sender);
    if (ACol == 3 && ARow == 2) {
      EXPECT_EQ(Rect, CellAt(3, 2));
      seen.push_back(g->Canvas()->Brush()->Color());
      g->Canvas()->Brush()->SetColor(0x4080FF);
    }
  };
  int baseEvents = 0;
  grid->TDrawGrid::OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++baseEvents; };
  const platform::PixelImage img = platform::RenderControl(grid);
  EXPECT_EQ(seen, (std::vector<TColor>{clWindow}));
  EXPECT_EQ(img.At(CellAt(3, 2).Left + 1, CellAt(3, 2).Top + 1), 0x4080FF);
  EXPECT_EQ(baseEvents, 30);  // the hidden base event still fires for every cell
}

TEST_F(KGridDrawTest, DefaultDrawingOff) {
  grid->SetCells(3, 2, "5");
  grid->SetDefaultDrawing(false);
  Focus(other);
  int events = 0;
  grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++events; };
  zeltest::DrawRecording rec;
  platform::RenderControl(grid);
  EXPECT_TRUE(rec.Texts().empty());
  EXPECT_EQ(events, 30);
}

TEST_F(KGridDrawTest, SelectFrameOnlyWhileFocused) {
  zeltest::SetRowSelect(grid);
  grid->SetSelectFrame(true);
  grid->SetSelectColor(0x00AA00);
  grid->SetRow(2);
  Focus(other);
  EXPECT_EQ(zeltest::CountColor(platform::RenderControl(grid), 0x00AA00), 0);
  Focus(grid);
  const platform::PixelImage img = platform::RenderControl(grid);
  const TRect first = CellAt(1, 2), mid = CellAt(3, 2), last = CellAt(5, 2);
  struct Px {
    int X, Y;
    bool Frame;
  };
  const Px px[] = {
      {first.Left, first.Top, true},          {first.Left, first.Top + 1, true},
      {first.Left + 1, first.Top + 5, true},  {first.Left + 2, first.Top + 5, false},
      {first.Right, first.Top, true},          // into the grid line
      {mid.Left + 5, mid.Top, true},          {mid.Left + 5, mid.Top + 1, true},
      {mid.Left + 5, mid.Bottom - 1, true},   {mid.Left + 5, mid.Bottom - 2, true},
      {mid.Left + 5, mid.Top + 2, false},     {mid.Left, mid.Top + 5, false},
      {last.Right - 1, last.Top + 5, true},   {last.Right - 2, last.Top + 5, true},
      {last.Right - 3, last.Top + 5, false},  {last.Right, last.Top, false},
      {last.Right - 1, last.Top + 1, true},   {last.Right - 1, last.Bottom - 2, true},
      {mid.Left + 5, CellAt(3, 1).Top + 5, false},
  };
  for (const auto& p : px) EXPECT_EQ(img.At(p.X, p.Y) == 0x00AA00, p.Frame) << p.X << "," << p.Y;
}

}  // namespace
