// Numeric string grids: TKGrid for typing numbers cell by cell (row sums,
// locked columns, allowed rows, drawn cells) and TKStrGrid, which adds
// rotated column titles, row texts from string lists and column stepping
// over locked columns.
//
// Cell numbers are lenient: all digits of a cell form one number, the last
// "+" or "-" anywhere in it decides the sign ("12-3" is -123), everything
// else is skipped; the result is a 32-bit integer.
//
// Locked columns: column c is locked when the object in Objects[c, 0],
// taken as an integer, has bit 0 set (SetObjects(c, 0, LockMark)).
//
// Focus hand-on: the grids post WM_NEXTDLGCTL (wParam 0, lParam 0) to
// their owner's window; only Enter hands the focus on.
//
// Refused characters (non-digits while Numeric) are swallowed silently.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/grids.h"
#include "platform/rtl/classes.h"

// Sender, the sum column, the row, the sum text (may be changed).
using TMakeSumEvent = std::function<void(TObject* Sender, int aCol, int aRow, AnsiString& Sum)>;

// A colour entry of CellColors: a row (Col -1) or one cell.
class TKCellColor : public TObject {
  ZEL_CLASS(TKCellColor, TObject)
public:
  TKCellColor(int ARow, int ACol, TColor AColor) : Row(ARow), Col(ACol), Color(AColor) {}
  int Row;
  int Col;
  TColor Color;
};

// The object that marks a column as locked (Objects[c, 0]).
inline TObject* const LockMark = reinterpret_cast<TObject*>(static_cast<std::intptr_t>(1));

class TKGrid : public TStringGrid {
  ZEL_CLASS(TKGrid, TStringGrid)
public:
  static constexpr int BlockColorCount = 26;

  explicit TKGrid(TComponent* AOwner);
  ~TKGrid() override;

  // Writes one row from a list of integers separated by "," or ";"
  // (blanks dropped), from column FirstCol + StartIndex on; each value is
  // multiplied by Factor; Add adds to the cells instead; zeros are written
  // only with WriteZeros; Widen lets EditLength grow to the longest value.
  virtual void SetRowValues(bool WriteZeros, bool Add, int ARow, int FirstCol, int StartIndex, int Factor,
                            AnsiString Values, bool Widen);
  // Writes the titles (separated by "," or ";", blanks dropped, text after
  // the last separator ignored) into row 0 from FixedCols on and sets
  // ColCount to one column per title; Clear empties the grid first.
  virtual void SetTitles(const AnsiString& Titles, bool Clear);
  // The input row as fixed-width text (EditLength digits per value) from
  // the first to the last positive value up to LastCol (0: the last
  // column); First (1-based from FixedCols, moved by Offset - 1) and Count
  // tell where the run lies.  Returns the sum of the positive values.
  // Without a positive value: Text empty, Count 0, result 0.
  virtual int GetRowText(int Offset, AnsiString& Text, int& First, int& Count, int LastCol);

  // Lenient cell numbers.
  static std::int32_t CellToInt(const AnsiString& Text);
  std::int32_t CellValue(int ACol, int ARow) const { return CellToInt(Cells(ACol, ARow)); }
  // The decimal text of CellToInt(Text) + Delta, empty for 0.
  static AnsiString AddToCell(const AnsiString& Text, std::int32_t Delta);
  // The sum of the non-fixed cells of a row, the sum column left out.
  std::int32_t RowSum(int ARow) const;
  // Writes the row's sum into SumCol (Numeric and SumCol >= 0 only).
  void UpdateSum(int ARow);
  // Empties the cells from FromCol on in Count rows from FromRow (0: all rows).
  void ClearBlock(int FromCol, int FromRow, int Count);
  bool IsLockedCol(int ACol) const;
  bool IsAllowedRow(int ARow) const;
  // The smallest allowed row above ARow and below RowCount, or -1.
  int NextAllowedRow(int ARow) const;
  // The colour of the first whole-row entry of CellColors, or 0.
  TColor RowColor(int ARow) const;
  AnsiString TitleText(int ACol);
  // The row's text list of RowTexts, nullptr when there is none.
  TStrings* RowTextList(int ARow) const;
  bool GridHasFocus();

  // Lists that the application fills.  AllowedRows holds row numbers as
  // items; CellColors holds TKCellColor objects and RowTexts TStrings
  // objects (entry i for row i, nullptr for none), both made with new and
  // owned by the grid.
  TList* AllowedRows() const { return FAllowedRows.get(); }
  void AddAllowedRow(int ARow);
  TList* CellColors() const { return FCellColors.get(); }
  void AddCellColor(int ARow, int ACol, TColor AColor);
  TList* RowTexts() const { return FRowTexts.get(); }
  // Gives the row a text list (the grid takes it over; nullptr removes it).
  void SetRowTextList(int ARow, TStrings* List);
  TColor BlockColors(int Index) const;
  void SetBlockColors(int Index, TColor Value);
  bool BlockColorsSet() const { return FBlockColorsSet; }
  void SetBlockColorsSet(bool Value);
  int InputCol() const { return FInputCol; }
  void SetInputCol(int Value) { FInputCol = Value; }
  const AnsiString& SavedCellText() const { return FSavedCellText; }
  int EditLengthSet() const { return FEditLengthSet; }

  // Published properties.
  int InputRow() const { return FInputRow; }
  void SetInputRow(int Value) { FInputRow = Value; }
  int SumCol() const { return FSumCol; }
  void SetSumCol(int Value);
  TColor SumColor() const { return FSumColor; }
  void SetSumColor(TColor Value);
  int EditLength() const { return FEditLength; }
  void SetEditLength(int Value);
  bool Numeric() const { return FNumeric; }
  void SetNumeric(bool Value) { FNumeric = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int BlockLen() const { return FBlockLen; }
  void SetBlockLen(int Value);
  TColor SelectColor() const { return FSelectColor; }
  void SetSelectColor(TColor Value);
  TColor SelectFontColor() const { return FSelectFontColor; }
  void SetSelectFontColor(TColor Value);
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  bool ShowZero() const { return FShowZero; }
  void SetShowZero(bool Value);
  bool ShowSelColor() const { return FShowSelColor; }
  void SetShowSelColor(bool Value);
  bool SelectFrame() const { return FSelectFrame; }
  void SetSelectFrame(bool Value);
  TStrings* TitleCols() const { return FTitleCols.get(); }
  // Assigns and repaints only when the new text differs.
  void SetTitleCols(TStrings* Value);

  // The grid's own cell-drawing event (hides the base grid's).
  TDrawCellEvent OnDrawCell;
  TMakeSumEvent OnMakeSum;

protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void KeyPress(char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Click() override;
  void CMExit(TMessage& Message) override;
  void CurrentCellMoved(int OldCol, int OldRow) override;
  // The two-pixel frame round the selected cells of a row.
  void DrawSelectFrame(int ACol, const TRect& Rect, TGridDrawState State);
  // The canvas's brush and font colours.
  void SetColours(TColor Brush, TColor Text);
  // Where a cell's text starts by Alignment.
  int TextLeft(const TRect& Rect, const AnsiString& S);
  // The text at X, two pixels down, clipped to the cell that it fills first.
  void DrawCellText(int X, const TRect& Rect, const AnsiString& S);
  // The raised edge of a fixed cell (Ctl3D only).
  void DrawFixedEdge(int ACol, int ARow, const TRect& Rect);
  // The block colour of a row (entry 0 for row 0).
  TColor BlockColorOf(int ARow) const;
  // Posts WM_NEXTDLGCTL (next control) to the owner's window.
  void HandFocusOn();

  // Escape's undo: the text the current cell had before its first edit.
  bool FSavedValid = false;

private:
  // The base grid's drawing of a cell without its text: only its draw event.
  void DrawBaseCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
  // The cell's brush and font colours by the sum column, fixed, current and
  // selected cells, blocks, row and grid colours.
  void ChooseCellColours(int ACol, int ARow, TGridDrawState AState);
  // The background of a plain cell: block, row, grid or control colour.
  TColor CellBackground(int ARow) const;

  bool FShowSelColor = true;
  bool FShowZero = false;
  bool FNumeric = true;
  int FSumCol = -1;
  int FInputRow = -1;
  int FInputCol = -1;
  AnsiString FSavedCellText;
  int FEditLength = 1;
  int FEditLengthSet = 1;
  int FMaxLength = -1;
  TAlignment FAlignment = taRightJustify;
  std::array<TColor, BlockColorCount> FBlockColors;
  bool FBlockColorsSet = false;
  int FBlockLen = 0;
  TColor FSelectColor = clBlue;
  TColor FSelectFontColor = clWhite;
  std::unique_ptr<TList> FAllowedRows;
  TColor FGridColor = 0;
  std::unique_ptr<TList> FCellColors;
  TColor FSumColor = 0;
  std::unique_ptr<TList> FRowTexts;
  bool FSelectFrame = false;
  std::unique_ptr<TStringList> FTitleCols;
};

class TKStrGrid : public TKGrid {
  ZEL_CLASS(TKStrGrid, TKGrid)
public:
  explicit TKStrGrid(TComponent* AOwner);

  int TitleFontHeight() const { return FTitleFontHeight; }
  int TitleWeight() const { return FTitleWeight; }

  bool KeyDefault() const { return FKeyDefault; }
  void SetKeyDefault(bool Value) { FKeyDefault = Value; }
  bool Turn() const { return FTurn; }
  void SetTurn(bool Value);
  bool TurnBold() const { return FTurnBold; }
  void SetTurnBold(bool Value);
  int TurnHeight() const { return FTurnHeight; }
  void SetTurnHeight(int Value);
  int MinFont() const { return FMinFont; }
  void SetMinFont(int Value) { FMinFont = Value; }
  int MaxFont() const { return FMaxFont; }
  void SetMaxFont(int Value) { FMaxFont = Value; }
  const AnsiString& DrawFont() const { return FDrawFont; }
  void SetDrawFont(const AnsiString& Value);
  bool TitleEnabled() const { return FTitleEnabled; }
  void SetTitleEnabled(bool Value);

  // The next column from ACol in direction Step that is not locked, or
  // ACol when there is none among the non-fixed columns.
  int NextUnlockedCol(int ACol, int Step) const;

protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void KeyPress(char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void CMEnter(TMessage& Message) override;

private:
  // The row's text list overrides S; the cell is given the text shown.
  AnsiString KeepShownText(int ACol, int ARow, AnsiString S);
  void ChooseFixedColours(int ARow);
  void ChooseCellColours(int ARow, TGridDrawState AState);
  // The input row's red cell or the selection colours while focused.
  void ChooseCurrentRowColours(int ARow, TGridDrawState AState);
  // The title in DrawFont, turned by 90 degrees, from the cell's bottom up.
  void DrawRotatedTitle(const TRect& Rect, const AnsiString& S);

  bool FKeyDefault = false;
  int FTitleFontHeight = 12;
  int FMinFont = 8;
  int FMaxFont = 16;
  AnsiString FDrawFont = "Arial";
  bool FTurn = false;
  bool FTurnBold = false;
  int FTitleWeight = 400;
  int FTurnHeight = 50;
  bool FTitleEnabled = false;
};
