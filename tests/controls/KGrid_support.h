// Helpers of the grid drawing tests: cell geometry, the row-select mode and
// the table of text placements both grids share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/KGrid.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"

namespace zeltest {

// Cells are 25 x 16 pixels with one-pixel lines.
constexpr int kW = 25, kH = 16;
inline TRect CellAt(int Col, int Row) { return Bounds(Col * (kW + 1), Row * (kH + 1), kW, kH); }

inline void SetRowSelect(TKGrid* Grid) {
  TGridOptions o = Grid->Options();
  o >> goEditing;
  o << goRowSelect;
  Grid->SetOptions(o);
}

struct TextCase {
  const char* Name;
  const char* Text;
  TAlignment Alignment;
  bool ShowZero;
  bool Ink;
  int Left, Right;  // expected ink columns relative to the cell (-1: not checked)
};

// Draws each case into cell (2, 2) of Grid (white, unshaded) and checks
// where its ink lies; a hidden zero stays in the cell.
inline void ExpectTextPlacement(TKGrid* Grid) {
  Grid->SetShowSelColor(false);
  const TextCase cases[] = {
      {"zero hidden", "0", taRightJustify, false, false, -1, -1},
      {"zero shown", "0", taRightJustify, true, true, -1, -1},
      {"zeros inside a number stay", "00", taRightJustify, false, true, -1, -1},
      {"right", "7", taRightJustify, false, true, -1, kW - 3},
      {"left", "7", taLeftJustify, false, true, 2, -1},
      {"centre", "7", taCenter, false, true, -1, -1},
  };
  for (const auto& c : cases) {
    Grid->SetCells(2, 2, c.Text);
    Grid->SetAlignment(c.Alignment);
    Grid->SetShowZero(c.ShowZero);
    const TRect cell = CellAt(2, 2);
    const TRect ink = zeltest::InkBounds(platform::RenderControl(Grid), cell, clWhite);
    EXPECT_EQ(Grid->Cells(2, 2), c.Text) << c.Name;
    if (!c.Ink) {
      EXPECT_TRUE(ink.IsEmpty()) << c.Name;
      continue;
    }
    ASSERT_FALSE(ink.IsEmpty()) << c.Name;
    if (c.Left >= 0) {
      EXPECT_GE(ink.Left - cell.Left, c.Left) << c.Name;
      EXPECT_LE(ink.Left - cell.Left, c.Left + 2) << c.Name;
    }
    if (c.Right >= 0) {
      EXPECT_LE(ink.Right - cell.Left, c.Right) << c.Name;
      EXPECT_GE(ink.Right - cell.Left, c.Right - 2) << c.Name;
    }
    if (c.Alignment == taCenter) {
      EXPECT_NEAR((ink.Left + ink.Right) / 2.0 - cell.Left, kW / 2.0, 2.0) << c.Name;
    }
    EXPECT_GE(ink.Top - cell.Top, 2) << c.Name;
  }
}

// The rectangles of the raised edges drawn while Grid is rendered.
inline std::vector<TRect> EdgesDrawn(TKGrid* Grid) {
  zeltest::DrawRecording rec;
  platform::RenderControl(Grid);
  std::vector<TRect> r;
  for (const auto& op : rec.OfKind(platform::DrawOp::Edge)) r.push_back(op.Rect);
  return r;
}

// Only fixed cells get edges: the base grid's and the grid's own over it.
inline void ExpectEdgesOnFixedCells(TKGrid* Grid) {
  const std::vector<TRect> edges = EdgesDrawn(Grid);
  for (int r = 0; r < Grid->RowCount(); ++r)
    for (int c = 0; c < Grid->ColCount(); ++c) {
      const bool fixed = r < Grid->FixedRows() || c < Grid->FixedCols();
      EXPECT_EQ(std::count(edges.begin(), edges.end(), CellAt(c, r)), fixed ? 2 : 0) << c << "," << r;
    }
}

}  // namespace zeltest
