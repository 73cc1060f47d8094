// The numeric string grid: cell numbers, row values and titles, the row
// text, typing cell by cell with sums, refused keys, locked columns and
// allowed rows, Enter and the focus hand-on, Escape, the focus exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/KGrid.h"
#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/beep_counter.h"
#include "tests/support/gui_input.h"

namespace {

class ProbeGrid : public TKGrid {
public:
  using TKGrid::TKGrid;
  using TKGrid::KeyDown;
  using TKGrid::KeyPress;
  using TKGrid::SelectCell;
  char Press(char Key) {
    KeyPress(Key);
    return Key;
  }
};

using zeltest::TakeNextDlgCtl;

void Type(TWinControl* C, const AnsiString& Text) {
  for (char ch : Text) C->Perform(WM_CHAR, static_cast<unsigned char>(ch), 0);
}

class KGridTest : public ::testing::Test {
protected:
  KGridTest() : form(nullptr) {
    form.SetBounds(0, 0, 400, 200);
    grid = new ProbeGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 300, 120);
    grid->SetColCount(6);
    grid->SetRowCount(6);
  }
  std::vector<AnsiString> Row(int R) {
    std::vector<AnsiString> r;
    for (int c = 0; c < grid->ColCount(); ++c) r.push_back(grid->Cells(c, R));
    return r;
  }
  TForm form;
  ProbeGrid* grid;
  zeltest::BeepCounter beeps;  // swallowed keys make no sound
};

TEST_F(KGridTest, Creation) {
  EXPECT_EQ(grid->Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing}));
  EXPECT_EQ(grid->Options().ToInt(), 0x40Fu);
  EXPECT_EQ(grid->DefaultRowHeight(), 16);
  EXPECT_EQ(grid->DefaultColWidth(), 25);
  EXPECT_FALSE(grid->Ctl3D());
  EXPECT_FALSE(grid->ParentCtl3D());
  EXPECT_TRUE(grid->DefaultDrawing());
  EXPECT_TRUE(grid->ShowSelColor());
  EXPECT_FALSE(grid->ShowZero());
  EXPECT_TRUE(grid->Numeric());
  EXPECT_EQ(grid->SumCol(), -1);
  EXPECT_EQ(grid->InputRow(), -1);
  EXPECT_EQ(grid->InputCol(), -1);
  EXPECT_EQ(grid->EditLength(), 1);
  EXPECT_EQ(grid->EditLengthSet(), 1);
  EXPECT_EQ(grid->MaxLength(), -1);
  EXPECT_EQ(grid->Alignment(), taRightJustify);
  EXPECT_EQ(grid->SelectColor(), clBlue);
  EXPECT_EQ(grid->SelectFontColor(), clWhite);
  EXPECT_EQ(grid->GridColor(), 0);
  EXPECT_EQ(grid->SumColor(), 0);
  EXPECT_EQ(grid->BlockLen(), 0);
  EXPECT_FALSE(grid->BlockColorsSet());
  for (int i = 0; i < TKGrid::BlockColorCount; ++i) EXPECT_EQ(grid->BlockColors(i), clWindow);
  EXPECT_EQ(grid->AllowedRows()->Count(), 0);
  EXPECT_EQ(grid->TitleCols()->Count(), 0);
  EXPECT_FALSE(grid->SelectFrame());
}

struct CellCase {
  const char* Text;
  int Expected;
};

TEST(KGridNumbers, CellToInt) {
  const CellCase cases[] = {
      {"12-3", -123}, {"-5+", 5},  {"1.5", 15},  {"", 0},      {"abc", 0},         {"007", 7},
      {"+-7", -7},    {"-", 0},    {"a1b2", 12}, {" 4 2 ", 42}, {"4294967297", 1},  // 32 bits, wrapping
      // Any number of digits wraps at 32 bits.
      {"99999999999999999999", 1661992959},
      {"-99999999999999999999", -1661992959},
      {"9999999999999999999", -1981284353},       // 19 digits
      {"18446744073709551616", 0},                // 2^64
      {"18446744073709551617", 1},
      {"-12345678901234567890123456789", -1849262357},
      {"00000000000000000000000042", 42},
  };
  for (const auto& c : cases) EXPECT_EQ(TKGrid::CellToInt(c.Text), c.Expected) << "'" << c.Text << "'";
}

struct AddCase {
  const char* Text;
  int Delta;
  const char* Expected;
};

TEST(KGridNumbers, AddToCell) {
  const AddCase cases[] = {{"5", -5, ""},
                           {"", 3, "3"},
                           {"007", 0, "7"},
                           {"-2", 5, "3"},
                           {"x", 0, ""},
                           {"99999999999999999999", 1, "1661992960"},
                           {"-99999999999999999999", 0, "-1661992959"},
                           {"18446744073709551616", 0, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(TKGrid::AddToCell(c.Text, c.Delta), c.Expected) << "'" << c.Text << "' + " << c.Delta;
}

struct RowValuesCase {
  const char* Name;
  const char* Values;
  bool WriteZeros, Add;
  int FirstCol, StartIndex, Factor;
  std::vector<const char*> Before;  // row 1, columns 0..5
  std::vector<const char*> After;
};

TEST_F(KGridTest, SetRowValues) {
  const RowValuesCase cases[] = {
      {"factor", "1,2,3", false, false, 1, 0, 10, {"", "9", "9", "9", "9", "9"}, {"", "10", "20", "30", "", ""}},
      {"zero left out", "1;0;2", false, false, 1, 0, 1, {}, {"", "1", "", "2", "", ""}},
      {"zero written", "1;0;2", true, false, 1, 0, 1, {}, {"", "1", "0", "2", "", ""}},
      {"trailing ;", "1;2;", false, false, 1, 0, 1, {"", "", "", "7", "", ""}, {"", "1", "2", "", "", ""}},
      {"blanks dropped", " 1 2 , 3", false, false, 1, 0, 1, {}, {"", "12", "3", "", "", ""}},
      {"start index", "4", false, false, 1, 2, 1, {}, {"", "", "", "4", "", ""}},
      {"no integer", "x,5", true, false, 1, 0, 1, {}, {"", "0", "5", "", "", ""}},
      {"add", "2,-2,,1", false, true, 1, 0, 1, {"", "3", "2", "8", "", ""}, {"", "5", "", "8", "1", ""}},
      {"empty replace", "", false, false, 2, 0, 1, {"x", "1", "2", "3", "4", "5"}, {"x", "1", "", "", "", ""}},
      {"empty add", "", false, true, 2, 0, 1, {"x", "1", "2", "3", "4", "5"}, {"x", "1", "2", "3", "4", "5"}},
  };
  for (const auto& c : cases) {
    grid->ClearBlock(0, 0, 0);
    for (size_t i = 0; i < c.Before.size(); ++i) grid->SetCells(static_cast<int>(i), 1, c.Before[i]);
    grid->SetRowValues(c.WriteZeros, c.Add, 1, c.FirstCol, c.StartIndex, c.Factor, c.Values, false);
    std::vector<AnsiString> expected(c.After.begin(), c.After.end());
    EXPECT_EQ(Row(1), expected) << c.Name;
  }
}

TEST_F(KGridTest, SetRowValuesWidensAndResets) {
  grid->SetEditLength(2);
  grid->SetRowValues(false, false, 1, 1, 0, 1, "1,12345,3", true);
  EXPECT_EQ(grid->EditLength(), 5);
  EXPECT_EQ(grid->EditLengthSet(), 2);
  grid->SetRowValues(false, true, 1, 1, 0, 1, "", false);
  EXPECT_EQ(grid->EditLength(), 2);
  // More values than columns: the grid grows.
  grid->SetRowValues(false, false, 1, 1, 0, 1, "1,2,3,4,5,6,7", false);
  EXPECT_EQ(grid->ColCount(), 8);
  EXPECT_EQ(grid->Cells(7, 1), "7");
}

TEST_F(KGridTest, SetRowValuesSum) {
  grid->SetSumCol(0);
  grid->SetRowValues(false, false, 2, 1, 0, 1, "1,2,3", false);
  EXPECT_EQ(grid->Cells(0, 2), "6");
  grid->SetRowValues(false, true, 2, 1, 0, 1, "-1,-2,-3", false);
  EXPECT_EQ(grid->Cells(0, 2), "");  // 0 without ShowZero
  grid->SetShowZero(true);
  grid->SetRowValues(false, true, 2, 1, 0, 1, "", false);
  EXPECT_EQ(grid->Cells(0, 2), "0");
}

struct TitlesCase {
  const char* Titles;
  int ColCount;
  std::vector<const char*> Row0;
};

TEST_F(KGridTest, SetTitles) {
  const TitlesCase cases[] = {
      {"A;B;C;", 4, {"", "A", "B", "C"}},
      {"A;B;C", 3, {"", "A", "B"}},
      {"", 2, {"", ""}},
      {" X , Y ,", 3, {"", "X", "Y"}},
      {"A;;B;", 4, {"", "A", "", "B"}},
  };
  for (const auto& c : cases) {
    grid->SetColCount(6);
    grid->SetCells(0, 0, "corner");
    grid->SetCells(1, 3, "data");
    grid->SetTitles(c.Titles, true);
    EXPECT_EQ(grid->ColCount(), c.ColCount) << c.Titles;
    std::vector<AnsiString> expected(c.Row0.begin(), c.Row0.end());
    EXPECT_EQ(Row(0), expected) << c.Titles;
    EXPECT_EQ(grid->Cells(1, 3), "") << "clear empties the data too";
  }
  grid->SetCells(0, 0, "corner");
  grid->SetTitles("P;", false);
  EXPECT_EQ(grid->Cells(0, 0), "corner");
}

struct RowTextCase {
  int EditLength, Offset, LastCol;
  std::vector<const char*> Cells;  // columns 1..
  const char* Text;
  int First, Count, Sum;
};

TEST_F(KGridTest, GetRowText) {
  const RowTextCase cases[] = {
      {2, 1, 0, {"0", "3", "0", "12", "0"}, "030012", 2, 3, 15},
      {1, 1, 0, {"1", "2", "3", "", ""}, "123", 1, 3, 6},
      {1, 5, 0, {"", "4", "", "", ""}, "4", 6, 1, 4},
      {2, 1, 3, {"", "5", "", "7", ""}, "05", 2, 1, 5},  // up to column 3 only
      {1, 1, 0, {"-3", "2", "-1", "", ""}, "2", 2, 1, 2},  // negatives before and after the run
      {3, 1, 0, {"", "", "", "", ""}, "", 0, 0, 0},        // no positive value: no run
  };
  grid->SetInputRow(2);
  for (const auto& c : cases) {
    grid->ClearBlock(0, 2, 1);
    for (size_t i = 0; i < c.Cells.size(); ++i) grid->SetCells(static_cast<int>(i) + 1, 2, c.Cells[i]);
    grid->SetEditLength(c.EditLength);
    AnsiString text = "junk";
    int first = -9, count = -9;
    EXPECT_EQ(grid->GetRowText(c.Offset, text, first, count, c.LastCol), c.Sum);
    EXPECT_EQ(text, c.Text);
    EXPECT_EQ(first, c.Count == 0 ? c.Offset - 1 : c.First);
    EXPECT_EQ(count, c.Count);
  }
}

// Long cells read as the 32-bit wrapped number of their digits in the row
// sum, the sum column and the row text.
struct LongCellCase {
  const char* Name;
  std::vector<const char*> Cells;  // columns 1..
  const char* Sum;                 // the sum column
  int RowSum;
  const char* Text;  // GetRowText with EditLength 10
  int Positive;      // its result
};

TEST_F(KGridTest, LongCellsWrapAt32Bits) {
  const LongCellCase cases[] = {
      {"20 digits", {"99999999999999999999", "1"}, "1661992960", 1661992960, "16619929590000000001", 1661992960},
      {"negative", {"-99999999999999999999", "5"}, "-1661992954", -1661992954, "0000000005", 5},
      {"both", {"99999999999999999999", "-99999999999999999999"}, "", 0, "1661992959", 1661992959},
      {"2^64", {"18446744073709551616", "", "7"}, "7", 7, "0000000007", 7},
      {"wrapping sum", {"2147483647", "1"}, "-2147483648", INT32_MIN, "21474836470000000001", INT32_MIN},
  };
  grid->SetSumCol(0);
  grid->SetInputRow(1);
  grid->SetEditLength(10);
  for (const auto& c : cases) {
    grid->ClearBlock(0, 1, 1);
    for (size_t i = 0; i < c.Cells.size(); ++i) grid->SetCells(static_cast<int>(i) + 1, 1, c.Cells[i]);
    EXPECT_EQ(grid->RowSum(1), c.RowSum) << c.Name;
    grid->SetRowValues(false, true, 1, 1, 0, 1, "", false);  // changes no cell, writes the sum
    EXPECT_EQ(grid->Cells(0, 1), c.Sum) << c.Name;
    AnsiString text;
    int first = 0, count = 0;
    EXPECT_EQ(grid->GetRowText(1, text, first, count, 0), c.Positive) << c.Name;
    EXPECT_EQ(text, c.Text) << c.Name;
  }
}

// ---------------------------------------------------------------- typing

TEST_F(KGridTest, TypingMovesOnAfterEditLength) {
  grid->SetSumCol(0);
  Type(grid, "1234");
  EXPECT_EQ(Row(1), (std::vector<AnsiString>{"10", "1", "2", "3", "4", ""}));
  EXPECT_EQ(grid->Col(), 5);
  // The last column takes one character and keeps the current cell.
  Type(grid, "67");
  EXPECT_EQ(grid->Cells(5, 1), "6");
  EXPECT_EQ(grid->Col(), 5);
  EXPECT_EQ(grid->Cells(0, 1), "16");
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_EQ(grid->InplaceEditor()->Text(), "6");
  EXPECT_EQ(grid->InplaceEditor()->SelStart(), 1);
  EXPECT_EQ(grid->InplaceEditor()->SelLength(), 0);
}

TEST_F(KGridTest, TypingWithLongerEditLength) {
  grid->SetEditLength(3);
  grid->SetCells(1, 1, "9");
  Type(grid, "12");  // the editor opens with the cell's text selected: typing replaces it
  EXPECT_EQ(grid->Cells(1, 1), "12");
  EXPECT_EQ(grid->Col(), 1);
  Type(grid, "3");
  EXPECT_EQ(grid->Cells(1, 1), "123");
  EXPECT_EQ(grid->Col(), 2);
  Type(grid, "4\b5");
  EXPECT_EQ(grid->Cells(2, 1), "5");
  EXPECT_EQ(grid->Col(), 2);
}

TEST_F(KGridTest, SumOfZeroAndMakeSum) {
  grid->SetSumCol(0);
  std::vector<AnsiString> seen;
  grid->OnMakeSum = [&](TObject* Sender, int aCol, int aRow, AnsiString& Sum) {
    EXPECT_EQ(Sender, grid);
    EXPECT_EQ(aCol, 0);
    EXPECT_EQ(aRow, 1);
    seen.push_back(Sum);
    if (Sum.empty()) Sum = "-";
  };
  Type(grid, "0");
  EXPECT_EQ(seen, (std::vector<AnsiString>{""}));
  EXPECT_EQ(grid->Cells(0, 1), "-");
  Type(grid, "7");
  EXPECT_EQ(seen.back(), "7");
  EXPECT_EQ(grid->Cells(0, 1), "7");
}

TEST_F(KGridTest, SumColumnAmongTheDataIsLeftOut) {
  grid->SetSumCol(5);
  Type(grid, "12");
  EXPECT_EQ(grid->Cells(5, 1), "3");
  Type(grid, "4");
  EXPECT_EQ(grid->Cells(5, 1), "7");  // not 10: the old sum does not count
}

struct KeyCase {
  char Key;
  bool Numeric;
  char Expected;
};

TEST_F(KGridTest, RefusedKeys) {
  const KeyCase cases[] = {
      {'5', true, '5'},  {'0', true, '0'}, {'\b', true, '\b'}, {'a', true, 0},
      {'-', true, 0},    {'+', true, 0},   {'\t', true, 0},     {'\x01', true, 0},
      {'@', true, 0},    {'@', false, 0},  {'a', false, 'a'},   {'-', false, '-'},
  };
  for (const auto& c : cases) {
    grid->SetNumeric(c.Numeric);
    EXPECT_EQ(grid->Press(c.Key), c.Expected) << int(c.Key);
  }
  EXPECT_EQ(beeps.Count(), 0);
}

TEST_F(KGridTest, RefusedKeyOpensNoEditor) {
  Type(grid, "x");
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 1), "");
  EXPECT_EQ(beeps.Count(), 0);
  grid->SetNumeric(false);
  Type(grid, "x");
  EXPECT_EQ(grid->Cells(1, 1), "x");
}

TEST_F(KGridTest, KeyPressEventSeesTheKeyFirst) {
  std::vector<char> seen;
  grid->OnKeyPress = [&](TObject*, char& Key) {
    seen.push_back(Key);
    if (Key == 'k') Key = '8';
  };
  Type(grid, "k");
  EXPECT_EQ(seen, (std::vector<char>{'k'}));
  EXPECT_EQ(grid->Cells(1, 1), "8");
}

// ---------------------------------------------------------------- locked columns, allowed rows

TEST_F(KGridTest, SelectCellRules) {
  grid->SetObjects(3, 0, LockMark);
  struct Case {
    const char* Name;
    int InputRow;
    std::vector<int> Allowed;
    int Col, Row;
    bool Expected;
  };
  const Case cases[] = {
      {"free", -1, {}, 2, 2, true},
      {"locked column", -1, {}, 3, 2, false},
      {"input row", 2, {}, 2, 2, true},
      {"other row", 2, {}, 2, 1, false},
      {"locked in input row", 2, {}, 3, 2, false},
      {"allowed row, locked column", 2, {1, 4}, 3, 4, true},
      {"not allowed", -1, {1, 4}, 2, 2, false},
  };
  for (const auto& c : cases) {
    grid->SetInputRow(c.InputRow);
    grid->AllowedRows()->Clear();
    for (int r : c.Allowed) grid->AddAllowedRow(r);
    EXPECT_EQ(grid->SelectCell(c.Col, c.Row), c.Expected) << c.Name;
  }
  // The base event has the last word.
  grid->AllowedRows()->Clear();
  grid->SetInputRow(-1);
  grid->TDrawGrid::OnSelectCell = [](TObject*, int ACol, int, bool& CanSelect) { CanSelect = ACol != 2; };
  EXPECT_FALSE(grid->SelectCell(2, 2));
  EXPECT_TRUE(grid->SelectCell(3, 2));
}

TEST_F(KGridTest, EnterMovesOnAndStopsAtALockedColumn) {
  grid->SetObjects(3, 0, LockMark);
  grid->SetCol(2);
  EXPECT_EQ(grid->Press('\r'), 0);
  EXPECT_EQ(grid->Col(), 2);  // refused, not skipped
  grid->SetCol(4);
  EXPECT_EQ(grid->Press('\r'), 0);
  EXPECT_EQ(grid->Col(), 5);
  EXPECT_TRUE(TakeNextDlgCtl(&form).empty());
}

TEST_F(KGridTest, EnterInTheLastColumn) {
  struct Case {
    const char* Name;
    int InputRow;
    std::vector<int> Allowed;
    int Row;
    int ExpectedRow, ExpectedCol;
    size_t Posts;
  };
  const Case cases[] = {
      {"allowed rows: next one", -1, {2, 5}, 2, 5, 1, 0},
      {"allowed rows: none after", -1, {2, 5}, 5, 5, 5, 1},
      {"input row", 3, {}, 3, 3, 5, 1},
      {"input row 0", 0, {}, 1, 1, 5, 0},
      {"no restriction", -1, {}, 2, 2, 5, 0},
  };
  for (const auto& c : cases) {
    grid->AllowedRows()->Clear();
    grid->SetInputRow(-1);
    grid->SetRow(c.Row);
    grid->SetCol(5);
    for (int r : c.Allowed) grid->AddAllowedRow(r);
    grid->SetInputRow(c.InputRow);
    EXPECT_EQ(grid->Press('\r'), 0) << c.Name;
    EXPECT_EQ(grid->Row(), c.ExpectedRow) << c.Name;
    EXPECT_EQ(grid->Col(), c.ExpectedCol) << c.Name;
    EXPECT_EQ(TakeNextDlgCtl(&form), std::vector<WPARAM>(c.Posts, 0)) << c.Name;
  }
}

TEST_F(KGridTest, EnterInRowSelectMode) {
  TGridOptions o = grid->Options();
  o >> goEditing;
  o << goRowSelect;
  grid->SetOptions(o);
  EXPECT_EQ(grid->Press('\r'), 0);  // the base grid took the key
  EXPECT_TRUE(TakeNextDlgCtl(&form).empty());
  o << goAlwaysShowEditor;
  grid->SetOptions(o);
  EXPECT_EQ(grid->Press('\r'), '\r');
  EXPECT_EQ(TakeNextDlgCtl(&form), (std::vector<WPARAM>{0}));
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(KGridTest, UpAndDownOverAllowedRows) {
  grid->AddAllowedRow(2);
  grid->AddAllowedRow(5);
  grid->SetRow(2);
  int keyEvents = 0;
  grid->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++keyEvents; };
  struct Case {
    Word Key;
    TShiftState Shift;
    int ExpectedRow;
  };
  const Case cases[] = {
      {VK_UP, {}, 2},       {VK_DOWN, {}, 5}, {VK_DOWN, {}, 5},      {VK_UP, {}, 2},
      {VK_DOWN, {ssCtrl}, 5}, {VK_UP, {ssCtrl}, 2}, {VK_UP, {ssCtrl}, 2},
  };
  for (const auto& c : cases) {
    Word key = c.Key;
    grid->KeyDown(key, c.Shift);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(grid->Row(), c.ExpectedRow);
  }
  EXPECT_EQ(keyEvents, 0);
  Word key = VK_RIGHT;
  grid->KeyDown(key, {});
  EXPECT_EQ(keyEvents, 1);
  EXPECT_EQ(grid->Col(), 2);
}

TEST_F(KGridTest, ArrowsWithoutAllowedRowsAreTheBaseGrids) {
  Word key = VK_DOWN;
  grid->KeyDown(key, {});
  EXPECT_EQ(grid->Row(), 2);
  key = VK_END;
  grid->KeyDown(key, {ssCtrl});
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->Col(), 5);
}

TEST_F(KGridTest, EscapeTakesBackTheEdit) {
  grid->SetEditLength(3);
  grid->SetSumCol(0);
  grid->SetCells(1, 1, "7");
  Type(grid, "4");
  EXPECT_EQ(grid->Cells(1, 1), "4");
  EXPECT_EQ(grid->Cells(0, 1), "4");
  Type(grid, "\x1B");
  EXPECT_EQ(grid->Cells(1, 1), "7");
  EXPECT_EQ(grid->Cells(0, 1), "7");
  EXPECT_FALSE(grid->EditorMode());
  // Nothing edited since the move: Escape changes nothing.
  grid->SetCol(2);
  grid->SetCells(2, 1, "5");
  Type(grid, "\x1B");
  EXPECT_EQ(grid->Cells(2, 1), "5");
}

// ---------------------------------------------------------------- focus and mouse

class KGridFocusTest : public KGridTest {
protected:
  KGridFocusTest() {
    other = platform::CreateLineEditControl(&form);
    other->SetParent(&form);
    other->SetBounds(0, 150, 100, 20);
    other->SetTabStop(true);
    grid->SetTabOrder(0);
    zeltest::ShowForm(&form);
  }
  TWinControl* other;
};

TEST_F(KGridFocusTest, EnterHandsTheFocusOn) {
  grid->SetFocus();
  zeltest::RunPostedMessages();
  ASSERT_TRUE(grid->Focused());
  grid->SetInputRow(1);
  grid->SetCol(5);
  zeltest::PressKey(VK_RETURN);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(LastExitControl.Get(), grid);
}

TEST_F(KGridFocusTest, ClickKeepsTheInputRow) {
  grid->SetInputRow(3);
  grid->SetRow(3);
  ASSERT_EQ(grid->Row(), 3);
  const TRect r = grid->CellRect(2, 1);
  zeltest::Click(grid, r.Left + 3, r.Top + 3);
  EXPECT_EQ(grid->Row(), 3);
  const TRect r2 = grid->CellRect(4, 3);
  zeltest::Click(grid, r2.Left + 3, r2.Top + 3);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Col(), 4);
  grid->SetInputCol(2);
  zeltest::Click(grid, r2.Left + 3, r2.Top + 3);
  EXPECT_EQ(grid->Col(), 2);
}

TEST_F(KGridFocusTest, TypedKeysThroughTheWindow) {
  grid->SetFocus();
  zeltest::RunPostedMessages();
  grid->SetSumCol(0);
  zeltest::TypeText("3x4");
  EXPECT_EQ(grid->Cells(1, 1), "3");
  EXPECT_EQ(grid->Cells(2, 1), "4");
  EXPECT_EQ(grid->Cells(0, 1), "7");
  EXPECT_EQ(beeps.Count(), 0);  // the refused "x" made no sound
}

TEST(KGridDescription, PublishedProperties) {
  TForm f(nullptr);
  platform::ReadComponent(&f, R"(object F: TForm
  object G: TKGrid
    ColCount = 8
    SumCol = 0
    SumColor = clYellow
    EditLength = 2
    Numeric = False
    Alignment = taCenter
    SelectColor = clRed
    ShowZero = True
    SelectFrame = True
    InputRow = 2
    MaxLength = 4
    TitleCols.Strings = (
      'a'
      'b')
  end
  object S: TKStrGrid
    Turn = True
    TurnHeight = 40
    TurnBold = True
    DrawFont = 'Courier New'
    TitleEnabled = True
    KeyDefault = True
  end
end
)");
  auto* g = dynamic_cast<TKGrid*>(f.FindComponent("G"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->ColCount(), 8);
  EXPECT_EQ(g->SumCol(), 0);
  EXPECT_EQ(g->SumColor(), clYellow);
  EXPECT_EQ(g->EditLength(), 2);
  EXPECT_EQ(g->EditLengthSet(), 2);
  EXPECT_FALSE(g->Numeric());
  EXPECT_EQ(g->Alignment(), taCenter);
  EXPECT_EQ(g->SelectColor(), clRed);
  EXPECT_TRUE(g->ShowZero());
  EXPECT_TRUE(g->SelectFrame());
  EXPECT_EQ(g->InputRow(), 2);
  EXPECT_EQ(g->MaxLength(), 4);
  EXPECT_EQ(g->TitleCols()->Count(), 2);
  EXPECT_EQ(g->TitleCols()->Strings(1), "b");
  auto* s = dynamic_cast<TKStrGrid*>(f.FindComponent("S"));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Turn());
  EXPECT_EQ(s->RowHeights(0), 40);
  EXPECT_EQ(s->TitleWeight(), 700);
  EXPECT_EQ(s->DrawFont(), "Courier New");
  EXPECT_TRUE(s->TitleEnabled());
  EXPECT_TRUE(s->KeyDefault());
}

}  // namespace
