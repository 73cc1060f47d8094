// The class library's grids: dimensions and the current cell, SelectCell and
// Click on every move, key navigation and scrolling, the cell editor with
// SetEditText, cell storage, painting through DrawCell.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gui/db.h"
#include "platform/gui/dbgrids.h"
#include "platform/gui/forms.h"
#include "platform/gui/grids.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "tests/support/canvas_check.h"
#include "tests/support/gui_input.h"

namespace {

class ProbeGrid : public TStringGrid {
public:
  using TStringGrid::TStringGrid;
  bool FocusRect = true;
  bool PaintsFocusRect() override { return FocusRect; }
  Word Down(Word Key, TShiftState Shift = TShiftState()) {
    KeyDown(Key, Shift);
    return Key;
  }
};

void Type(TWinControl* C, const AnsiString& Text) {
  for (char ch : Text) C->Perform(WM_CHAR, static_cast<unsigned char>(ch), 0);
}

class GridTest : public ::testing::Test {
protected:
  GridTest() : form(nullptr) {
    form.SetBounds(0, 0, 400, 300);
    grid = new ProbeGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 200, 100);  // 64 x 24 cells: 3 columns and 4 rows shown
    grid->SetColCount(6);
    grid->SetRowCount(10);
    grid->OnClick = [this](TObject*) { clicks.push_back({grid->Col(), grid->Row()}); };
  }
  TForm form;
  ProbeGrid* grid;
  std::vector<TGridCoord> clicks;
};

TEST_F(GridTest, Defaults) {
  TStringGrid g(nullptr);
  EXPECT_EQ(g.ColCount(), 5);
  EXPECT_EQ(g.RowCount(), 5);
  EXPECT_EQ(g.FixedCols(), 1);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.DefaultColWidth(), 64);
  EXPECT_EQ(g.DefaultRowHeight(), 24);
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 1);
  EXPECT_EQ(g.Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}));
  EXPECT_EQ(g.FixedColor(), clBtnFace);
  EXPECT_TRUE(g.DefaultDrawing());
  EXPECT_EQ(g.InplaceEditor(), nullptr);
}

TEST_F(GridTest, DimensionsAndTheCurrentCell) {
  EXPECT_THROW(grid->SetCol(6), EInvalidGridOperation);
  EXPECT_THROW(grid->SetRow(-1), EInvalidGridOperation);
  EXPECT_THROW(grid->SetFixedCols(6), EInvalidGridOperation);
  grid->SetCol(5);
  grid->SetRow(9);
  grid->SetColCount(3);
  grid->SetRowCount(4);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 3);
  grid->SetColCount(1);
  EXPECT_EQ(grid->FixedCols(), 0);
  grid->SetColCount(0);
  EXPECT_EQ(grid->ColCount(), 1);
  grid->SetDefaultRowHeight(30);
  grid->SetRowHeights(2, 10);
  EXPECT_EQ(grid->RowHeights(2), 10);
  grid->SetDefaultRowHeight(20);  // every row takes the default again
  EXPECT_EQ(grid->RowHeights(2), 20);
}

TEST_F(GridTest, EveryMoveAsksSelectCellAndClicks) {
  std::vector<TGridCoord> asked;
  grid->OnSelectCell = [&](TObject*, int ACol, int ARow, bool& CanSelect) {
    asked.push_back({ACol, ARow});
    CanSelect = ACol != 3;
  };
  grid->SetCol(2);
  grid->SetCol(2);  // no move, no question
  grid->SetCol(3);  // refused
  grid->SetRow(4);
  EXPECT_EQ(asked, (std::vector<TGridCoord>{{2, 1}, {3, 1}, {2, 4}}));
  EXPECT_EQ(clicks, (std::vector<TGridCoord>{{2, 1}, {2, 4}}));
  EXPECT_EQ(grid->Col(), 2);
}

struct NavCase {
  const char* Name;
  Word Key;
  TShiftState Shift;
  TGridCoord From, To;
};

TEST_F(GridTest, KeyNavigation) {
  const NavCase cases[] = {
      {"down", VK_DOWN, {}, {2, 2}, {2, 3}},         {"up at the top", VK_UP, {}, {2, 1}, {2, 1}},
      {"left at the fixed column", VK_LEFT, {}, {1, 3}, {1, 3}}, {"right", VK_RIGHT, {}, {2, 3}, {3, 3}},
      {"home", VK_HOME, {}, {4, 3}, {1, 3}},          {"end", VK_END, {}, {2, 3}, {5, 3}},
      {"ctrl home", VK_HOME, {ssCtrl}, {4, 6}, {1, 1}}, {"ctrl end", VK_END, {ssCtrl}, {2, 3}, {5, 9}},
      {"page down", VK_NEXT, {}, {2, 1}, {2, 4}},     {"page down at the end", VK_NEXT, {}, {2, 8}, {2, 9}},
      {"tab without goTabs", VK_TAB, {}, {2, 2}, {2, 2}},
  };
  for (const auto& c : cases) {
    grid->SetCol(c.From.X);
    grid->SetRow(c.From.Y);
    grid->Down(c.Key, c.Shift);
    EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), c.To) << c.Name;
  }
  TGridOptions o = grid->Options();
  grid->SetOptions(o << goTabs);
  grid->SetCol(5);
  grid->SetRow(2);
  grid->Down(VK_TAB);
  EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{1, 3}));
  grid->Down(VK_TAB, {ssShift});
  EXPECT_EQ((TGridCoord{grid->Col(), grid->Row()}), (TGridCoord{5, 2}));
}

TEST_F(GridTest, ScrollingKeepsTheCurrentCellInView) {
  EXPECT_EQ(grid->VisibleRowCount(), 3);  // (100 - 25) / 25
  EXPECT_EQ(grid->VisibleColCount(), 2);
  grid->SetRow(6);
  EXPECT_EQ(grid->TopRow(), 4);
  EXPECT_TRUE(grid->CellRect(1, 3).IsEmpty());
  EXPECT_EQ(grid->CellRect(1, 4), TRect(65, 25, 129, 49));
  EXPECT_EQ(grid->CellRect(0, 0), TRect(0, 0, 64, 24));
  EXPECT_EQ(grid->MouseCoord(70, 30), (TGridCoord{1, 4}));
  EXPECT_EQ(grid->MouseCoord(10, 10), (TGridCoord{0, 0}));
  grid->SetRow(2);
  EXPECT_EQ(grid->TopRow(), 2);
  grid->SetCol(5);
  EXPECT_EQ(grid->LeftCol(), 4);
  grid->SetTopRow(100);
  EXPECT_EQ(grid->TopRow(), 9);
}

TEST_F(GridTest, Cells) {
  grid->SetCells(2, 3, "a");
  grid->SetObjects(2, 3, &form);
  grid->SetCells(6, 0, "outside");
  EXPECT_EQ(grid->Cells(6, 0), "");
  EXPECT_EQ(grid->Cells(-1, 0), "");
  grid->SetColCount(8);
  EXPECT_EQ(grid->Cells(2, 3), "a");
  EXPECT_EQ(grid->Objects(2, 3), &form);
  grid->SetRowCount(3);
  grid->SetRowCount(10);
  EXPECT_EQ(grid->Cells(2, 3), "");  // the row went with the shrinking
}

// ---------------------------------------------------------------- the cell editor

TEST_F(GridTest, NoEditorWithoutGoEditing) {
  Type(grid, "ab");
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 1), "");
}

TEST_F(GridTest, TypingEditsTheCell) {
  TGridOptions o = grid->Options();
  grid->SetOptions(o << goEditing);
  grid->SetCells(1, 1, "old");
  std::vector<AnsiString> edits;
  grid->OnSetEditText = [&](TObject*, int ACol, int ARow, const AnsiString& Value) {
    EXPECT_EQ(ACol, 1);
    EXPECT_EQ(ARow, 1);
    edits.push_back(Value);
  };
  Type(grid, "ab");
  ASSERT_TRUE(grid->EditorMode());
  EXPECT_EQ(edits, (std::vector<AnsiString>{"a", "ab"}));  // the old text was selected: replaced
  EXPECT_EQ(grid->Cells(1, 1), "ab");
  grid->Perform(WM_KEYDOWN, VK_LEFT, 0);
  Type(grid, "X");
  EXPECT_EQ(grid->Cells(1, 1), "aXb");
  grid->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(grid->Cells(1, 1), "aX");
  Type(grid, "\b");
  EXPECT_EQ(grid->Cells(1, 1), "a");
  EXPECT_EQ(grid->InplaceEditor()->SelStart(), 1);
  // Enter closes the editor, Enter opens it again with the cell's text.
  Type(grid, "\r");
  EXPECT_FALSE(grid->EditorMode());
  grid->SetCells(1, 1, "new");
  Type(grid, "\r");
  ASSERT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "new");
  EXPECT_EQ(grid->InplaceEditor()->SelLength(), 3);
  // The program's change of the cell reaches the open editor.
  grid->SetCells(1, 1, "prog");
  EXPECT_EQ(grid->InplaceEditor()->Text(), "prog");
  // Moving closes it; Escape closes it; F2 opens it.
  grid->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Row(), 2);
  grid->Perform(WM_KEYDOWN, VK_F2, 0);
  EXPECT_TRUE(grid->EditorMode());
  Type(grid, "\x1B");
  EXPECT_FALSE(grid->EditorMode());
}

TEST_F(GridTest, KeyPressCanRefuseACharacter) {
  TGridOptions o = grid->Options();
  grid->SetOptions(o << goEditing);
  grid->OnKeyPress = [](TObject*, char& Key) {
    if (Key == 'x') Key = 0;
  };
  Type(grid, "x");
  EXPECT_FALSE(grid->EditorMode());
  Type(grid, "yx");
  EXPECT_EQ(grid->Cells(1, 1), "y");
}

TEST_F(GridTest, AlwaysShowEditorAndGetEditText) {
  grid->OnGetEditText = [](TObject*, int ACol, int ARow, AnsiString& Value) {
    Value = Value + "@" + IntToStr(ACol) + IntToStr(ARow);
  };
  TGridOptions o = grid->Options();
  grid->SetOptions(o << goEditing << goAlwaysShowEditor);
  ASSERT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "@11");
  grid->SetCol(2);
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "@21");
  Type(grid, "\r");
  EXPECT_TRUE(grid->EditorMode());
}

// ---------------------------------------------------------------- painting

TEST_F(GridTest, DrawCellForEveryVisibleCell) {
  zeltest::ShowForm(&form);
  grid->SetFocus();
  zeltest::RunPostedMessages();
  struct Call {
    int Col, Row;
    TRect Rect;
    TGridDrawState State;
  };
  std::vector<Call> calls;
  grid->OnDrawCell = [&](TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State) {
    calls.push_back({ACol, ARow, Rect, State});
  };
  grid->SetCells(2, 1, "txt");
  zeltest::DrawRecording rec;
  const platform::PixelImage img = platform::RenderControl(grid);
  ASSERT_EQ(calls.size(), 16u);  // 4 columns and 4 rows reach into the window
  for (const auto& c : calls) {
    EXPECT_EQ(c.Rect, grid->CellRect(c.Col, c.Row));
    const bool fixed = c.Col == 0 || c.Row == 0;
    EXPECT_EQ(c.State.Contains(gdFixed), fixed);
    EXPECT_EQ(c.State.Contains(gdSelected), c.Col == 1 && c.Row == 1);
    EXPECT_EQ(c.State.Contains(gdFocused), c.Col == 1 && c.Row == 1);
  }
  const auto texts = rec.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "txt"), texts.end());
  // Fixed cells in FixedColor, lines black between fixed cells and silver
  // elsewhere, the focus rectangle round the current cell.
  EXPECT_EQ(img.At(10, 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(img.At(64, 10), clBlack);
  EXPECT_EQ(img.At(100, 49), clSilver);
  EXPECT_EQ(rec.OfKind(platform::DrawOp::FocusRect).size(), 1u);
  EXPECT_EQ(rec.OfKind(platform::DrawOp::FocusRect)[0].Rect, grid->CellRect(1, 1));
}

TEST_F(GridTest, SelectedCellsInTheHighlight) {
  TGridOptions o = grid->Options();
  grid->SetOptions(o << goRowSelect);
  grid->SetRow(2);
  const platform::PixelImage img = platform::RenderControl(grid);
  for (int c = 1; c <= 3; ++c) {
    const TRect r = grid->CellRect(c, 2);
    EXPECT_EQ(img.At(r.Left + 1, r.Top + 1), ColorToRGB(clHighlight)) << c;
  }
  const TRect r = grid->CellRect(1, 3);
  EXPECT_EQ(img.At(r.Left + 1, r.Top + 1), clWhite);
}

TEST_F(GridTest, LinesFollowTheOptionsAndTheirWidth) {
  struct Case {
    const char* what;
    TGridOptions off;
    int lineWidth;
    TPoint at;
    TColor expected;
  };
  const Case cases[] = {
      {"fixed vertical", {}, 1, {64, 10}, clBlack},
      {"fixed vertical off", {goFixedVertLine}, 1, {64, 10}, clWhite},
      {"fixed horizontal", {}, 1, {10, 24}, clBlack},
      {"fixed horizontal off", {goFixedHorzLine}, 1, {10, 24}, clWhite},
      {"vertical", {}, 1, {129, 30}, clSilver},
      {"vertical off", {goVertLine}, 1, {129, 30}, clWhite},
      {"horizontal", {}, 1, {100, 49}, clSilver},
      {"horizontal off", {goHorzLine}, 1, {100, 49}, clWhite},
      {"wide lines", {}, 3, {66, 10}, clBlack},
      {"no lines", {}, 0, {66, 10}, ColorToRGB(clBtnFace)},
  };
  for (const Case& c : cases) {
    TGridOptions o = grid->Options();
    for (TGridOption x : {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine})
      if (c.off.Contains(x)) o >> x;
    grid->SetOptions(o);
    grid->SetGridLineWidth(c.lineWidth);
    const platform::PixelImage img = platform::RenderControl(grid);
    EXPECT_EQ(img.At(c.at.X, c.at.Y), c.expected) << c.what;
    grid->SetOptions(o << goFixedVertLine << goFixedHorzLine << goVertLine << goHorzLine);
  }
}

TEST_F(GridTest, BeyondTheLastCellsIsTheGridsColour) {
  grid->SetColCount(2);
  grid->SetRowCount(2);
  grid->SetColor(clYellow);
  zeltest::DrawRecording rec;
  const platform::PixelImage img = platform::RenderControl(grid);
  EXPECT_EQ(img.At(150, 10), clYellow);  // right of the columns
  EXPECT_EQ(img.At(10, 80), clYellow);   // below the rows
  EXPECT_EQ(img.At(10, 10), ColorToRGB(clBtnFace));
  // The fixed cells are raised.
  EXPECT_EQ(rec.OfKind(platform::DrawOp::Edge).size(), 3u);
}

TEST_F(GridTest, TheFocusedCellFollowsTheOptions) {
  struct Case {
    const char* what;
    TGridOptions on;
    bool focused;
    bool focusRect;
    bool defaultDrawing;
    std::size_t focusRects;
    TColor inside;
  };
  const TColor window = clWhite;
  const TColor highlight = ColorToRGB(clHighlight);
  const Case cases[] = {
      {"not focused", {}, false, true, true, 0, highlight},  // first: before the form shows
      {"focused", {}, true, true, true, 1, window},
      {"focus drawn selected", {goDrawFocusSelected}, true, true, true, 1, highlight},
      {"row select", {goRowSelect}, true, true, true, 0, highlight},
      {"always an editor", {goEditing, goAlwaysShowEditor}, true, true, true, 0, window},
      {"editing, no editor yet", {goEditing}, true, true, true, 1, window},
      {"no focus rectangle", {}, true, false, true, 0, window},
      {"no default drawing", {}, true, true, false, 0, clNone},
  };
  for (const Case& c : cases) {
    grid->SetOptions(grid->Options() + c.on);
    grid->FocusRect = c.focusRect;
    grid->SetDefaultDrawing(c.defaultDrawing);
    if (c.focused && !form.Visible()) {
      zeltest::ShowForm(&form);
      grid->SetFocus();
      zeltest::RunPostedMessages();
    }
    zeltest::DrawRecording rec;
    const platform::PixelImage img = platform::RenderControl(grid);
    EXPECT_EQ(rec.OfKind(platform::DrawOp::FocusRect).size(), c.focusRects) << c.what;
    const TRect r = grid->CellRect(1, 1);
    if (c.inside != clNone) {
      EXPECT_EQ(img.At(r.Left + 10, r.Top + 10), c.inside) << c.what;
    }
    grid->SetOptions(grid->Options() - c.on);
    grid->FocusRect = true;
    grid->SetDefaultDrawing(true);
  }
}

TEST_F(GridTest, TheOpenEditorShowsItsTextSelectionAndCaret) {
  zeltest::ShowForm(&form);
  grid->SetFocus();
  zeltest::RunPostedMessages();
  grid->SetOptions(grid->Options() << goEditing);
  Type(grid, "abc");
  ASSERT_TRUE(grid->EditorMode());
  const TRect cell = grid->CellRect(1, 1);
  {
    zeltest::DrawRecording rec;
    platform::RenderControl(grid);
    const auto texts = rec.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "abc"), texts.end());
    const auto lines = rec.OfKind(platform::DrawOp::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().From.Y, cell.Top + 2);  // the caret
    EXPECT_EQ(lines.back().To.Y, cell.Bottom - 2);
    EXPECT_EQ(rec.OfKind(platform::DrawOp::FocusRect).size(), 0u);
  }
  grid->InplaceEditor()->SetSelStart(1);
  grid->InplaceEditor()->SetSelLength(1);
  {
    zeltest::DrawRecording rec;
    platform::RenderControl(grid);
    const auto texts = rec.Texts();
    for (const char* part : {"a", "b", "c"})
      EXPECT_NE(std::find(texts.begin(), texts.end(), part), texts.end()) << part;
    for (const auto& t : rec.OfKind(platform::DrawOp::Text)) {
      if (t.TextValue == "b") {
        EXPECT_EQ(t.BkColor, ColorToRGB(clHighlight));
      }
    }
  }
}

TEST_F(GridTest, ReadFromADescription) {
  TForm f(nullptr);
  platform::ReadComponent(&f, R"(object F: TForm
  object G: TStringGrid
    ColCount = 3
    RowCount = 7
    FixedCols = 0
    DefaultRowHeight = 18
    Options = [goFixedVertLine, goEditing, goTabs]
    FixedColor = clRed
  end
end
)");
  auto* g = dynamic_cast<TStringGrid*>(f.FindComponent("G"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->ColCount(), 3);
  EXPECT_EQ(g->RowCount(), 7);
  EXPECT_EQ(g->FixedCols(), 0);
  EXPECT_EQ(g->DefaultRowHeight(), 18);
  EXPECT_EQ(g->Options(), (TGridOptions{goFixedVertLine, goEditing, goTabs}));
  EXPECT_EQ(g->FixedColor(), clRed);
}

// ---------------------------------------------------------------- data access

class RecordingLink : public TDataLink {
public:
  std::vector<std::string> Log;

protected:
  void ActiveChanged() override { Log.push_back("active"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + std::to_string(Distance)); }
  void RecordChanged(TField* Field) override { Log.push_back("record " + (Field ? Field->FieldName() : "-")); }
};

TEST(DataSet, FieldsRecordsAndMoves) {
  TDataSet d(nullptr);
  TField* nr = d.AddField("NR", ftInteger);
  d.AddField("Name", ftString, 12);
  EXPECT_THROW(d.AddField("nr", ftString), EDatabaseError);
  EXPECT_EQ(d.FieldByName("NAME")->FieldName(), "Name");
  EXPECT_THROW(d.FieldByName("Nope"), EDatabaseError);
  EXPECT_EQ(d.FindField("Nope"), nullptr);
  EXPECT_THROW(d.Append(), EDatabaseError);  // closed
  d.Open();
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_TRUE(d.Eof());
  EXPECT_EQ(d.RecNo(), 0);
  d.AppendRecord({"7", "Anna"});
  d.AppendRecord({"x", "Bernd"});
  d.First();
  EXPECT_EQ(nr->AsInteger(), 7);
  EXPECT_EQ(nr->Alignment(), taRightJustify);
  EXPECT_EQ(d.FieldByName("Name")->Alignment(), taLeftJustify);
  EXPECT_EQ(d.FieldByName("Name")->DisplayWidth(), 12);
  EXPECT_TRUE(d.Bof());
  d.Next();
  EXPECT_EQ(d.RecNo(), 2);
  EXPECT_EQ(nr->AsInteger(), 0);  // no integer
  EXPECT_EQ(nr->AsString(), "x");
  d.Next();
  EXPECT_TRUE(d.Eof());
  EXPECT_EQ(d.RecNo(), 2);
  EXPECT_EQ(d.MoveBy(-5), -1);
  EXPECT_TRUE(d.Bof());
  // Edit and cancel, append and cancel.
  nr->SetAsString("8");
  EXPECT_EQ(d.State(), dsEdit);
  d.Cancel();
  EXPECT_EQ(nr->AsString(), "7");
  d.Append();
  EXPECT_EQ(d.RecordCount(), 3);
  d.Cancel();
  EXPECT_EQ(d.RecordCount(), 2);
  // A display record for drawing, without moving.
  d.SetDisplayRecord(1);
  EXPECT_EQ(d.FieldByName("Name")->AsString(), "Bernd");
  EXPECT_EQ(d.RecNo(), 1);
  d.SetDisplayRecord(-1);
  EXPECT_EQ(d.FieldByName("Name")->AsString(), "Anna");
}

TEST(DataSet, DataLinksHearTheDataset) {
  TDataSet d(nullptr);
  d.AddField("A", ftString);
  TDataSource s(nullptr);
  RecordingLink link;
  link.SetDataSource(&s);
  s.SetDataSet(&d);
  d.Open();
  d.AppendRecord({"1"});
  d.AppendRecord({"2"});
  d.First();
  d.FieldByName("A")->SetAsString("z");
  d.Post();
  d.DisableControls();
  d.Next();
  d.Prior();
  d.EnableControls();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active", "active", "active", "changed", "changed", "changed",
                                                "changed", "scrolled -1", "record A", "changed", "changed"}));
  EXPECT_TRUE(link.Active());
  s.SetEnabled(false);
  EXPECT_FALSE(link.Active());
}

TEST(DataSet, GridRowsAreRecords) {
  TForm f(nullptr);
  auto* d = new TDataSet(&f);
  d->AddField("A", ftString, 4);
  d->Open();
  for (const char* v : {"a", "b", "c"}) d->AppendRecord({v});
  d->First();
  auto* s = new TDataSource(&f);
  s->SetDataSet(d);
  auto* g = new TDBGrid(&f);
  g->SetParent(&f);
  g->SetBounds(0, 0, 200, 120);
  g->SetDataSource(s);
  EXPECT_EQ(g->RowCount(), 4);
  EXPECT_EQ(g->FixedCols(), 1);
  EXPECT_EQ(g->Columns()->Count(), 1);
  EXPECT_EQ(g->Columns()->Items(0)->Title()->Caption(), "A");
  d->Last();
  EXPECT_EQ(g->Row(), 3);
  g->SetRow(2);
  EXPECT_EQ(d->RecNo(), 2);
  TDBGridOptions o = g->Options();
  g->SetOptions(o >> dgIndicator >> dgTitles);
  EXPECT_EQ(g->FixedCols(), 0);
  EXPECT_EQ(g->FixedRows(), 0);
  EXPECT_EQ(g->RowCount(), 3);
  EXPECT_EQ(g->Row(), 1);
  std::vector<AnsiString> drawn;
  g->OnDrawColumnCell = [&](TObject*, const TRect&, int, TColumn* Column, TGridDrawState) {
    drawn.push_back(Column->Field()->AsString());
  };
  platform::RenderControl(g);
  EXPECT_EQ(drawn, (std::vector<AnsiString>{"a", "b", "c"}));
  delete s;  // the grid lets go of a data source that goes
  EXPECT_EQ(g->DataSource(), nullptr);
  EXPECT_EQ(g->RowCount(), 1);
}

}  // namespace
