// Grids of the GUI class library: TCustomGrid, TDrawGrid, TStringGrid.
//
// A grid shows ColCount x RowCount cells; the first FixedCols columns and
// FixedRows rows are fixed (titles) and stay in place while the rest
// scrolls by whole cells (LeftCol, TopRow).  The current cell (Col, Row)
// is always a cell of the grid; the keyboard and the mouse move it among
// the non-fixed cells.
//
// Every move of the current cell, by key, mouse or program (Col, Row), asks
// SelectCell first, which may refuse it; after the move the grid calls
// Click.  A mouse click also ends in Click (the control's own click).
//
// Painting: for every visible cell the grid sets the canvas font to Font
// and the brush to FixedColor (fixed cells), clHighlight with the font in
// clHighlightText (selected cells other than the focused one, or all
// selected cells with goDrawFocusSelected or goRowSelect), or Color; with
// DefaultDrawing it fills the cell, then calls DrawCell; with DefaultDrawing
// it then draws the focus rectangle round the focused cell (not in row
// select mode, not while the editor shows there) and, with Ctl3D, a raised
// edge round fixed cells.  Grid lines lie right of and below each cell
// (GridLineWidth pixels): black between fixed cells, silver elsewhere.
// The cell rectangles handed to DrawCell exclude the lines.
//
// The cell editor (goEditing): typing a character into the grid opens the
// editor on the current cell with the text of GetEditText; Enter and F2
// open it as well, Enter closes it again (unless goAlwaysShowEditor).  The
// editor belongs to the grid: the grid keeps the keyboard focus, every key
// runs through the grid's KeyDown and KeyPress first, and only a character
// that KeyPress left alone reaches the editor.  Each change of the editor's
// text calls SetEditText with a copy of that text (a cell write in the
// handler rewrites the editor's own text, never the value handed over).  Moving the current cell closes the editor
// (goAlwaysShowEditor opens it again on the new cell).  The grid paints
// the editor over its cell (text, selection, caret).
//
// Keys (after OnKeyDown): arrows move by one cell (Left and Right move the
// caret instead while the editor shows), PageUp/PageDown by a page,
// Home/End to the first/last column (Ctrl: first/last cell), Tab and
// Shift+Tab to the next/previous cell with goTabs.
//
// Not built (nothing here needs it): range selection by mouse or Shift,
// column and row sizing or moving by mouse, scroll bars, the mouse wheel.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = Set<TGridOption, goFixedVertLine, goThumbTracking>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = Set<TGridDrawStateItem, gdSelected, gdFixed>;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TGridCoord {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr bool operator==(const TGridRect&) const = default;
  constexpr bool Contains(int ACol, int ARow) const {
    return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
  }
};

class EInvalidGridOperation : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "EInvalidGridOperation"; }
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;

class TCustomGrid;

// The cell editor of a grid: its text and selection (counted from 0).  The
// grid creates it the first time the editor opens and keeps it.
class TInplaceEdit : public TObject {
  ZEL_CLASS(TInplaceEdit, TObject)
public:
  explicit TInplaceEdit(TCustomGrid* AGrid) : FGrid(AGrid) {}
  TCustomGrid* Grid() const { return FGrid; }
  const AnsiString& Text() const { return FText; }
  // Sets the text as the program does: the caret goes to its end, no
  // SetEditText follows.
  void SetText(const AnsiString& Value);
  int SelStart() const { return FSelStart; }
  void SetSelStart(int Value);
  int SelLength() const { return FSelLength; }
  void SetSelLength(int Value);
  void SelectAll();
  bool Visible() const { return FVisible; }
  // 0: no limit of the characters typed.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }

private:
  friend class TCustomGrid;
  void Clamp();
  TCustomGrid* FGrid;
  AnsiString FText;
  int FSelStart = 0;
  int FSelLength = 0;
  int FAnchor = 0;
  bool FVisible = false;
  int FMaxLength = 0;
};

class TCustomGrid : public TCustomControl {
  ZEL_CLASS(TCustomGrid, TCustomControl)
public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  int ColCount() const { return FColCount; }
  void SetColCount(int Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int Value);  // every column takes the new width
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);  // every row takes the new height
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  // The current cell.  Setting asks SelectCell; EInvalidGridOperation for
  // a cell outside the grid.
  int Col() const { return FCol; }
  void SetCol(int Value);
  int Row() const { return FRow; }
  void SetRow(int Value);
  // The first non-fixed column and row shown.
  int LeftCol() const { return FLeftCol; }
  void SetLeftCol(int Value);
  int TopRow() const { return FTopRow; }
  void SetTopRow(int Value);
  // Non-fixed columns and rows shown whole.
  int VisibleColCount();
  int VisibleRowCount();
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);

  // The rectangle of a cell in client coordinates (empty when not shown).
  TRect CellRect(int ACol, int ARow);
  // The cell under a client point; (-1, -1) when none.
  TGridCoord MouseCoord(int X, int Y);

  bool EditorMode() const { return FInplaceEdit && FInplaceEdit->Visible(); }
  void SetEditorMode(bool Value);
  // nullptr until the editor first opened.
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit.get(); }

  // Tells the grid that the text of a cell changed (repaints it; the
  // editor on that cell takes the new text).
  void InvalidateCell(int ACol, int ARow);
  void InvalidateGrid() { Invalidate(); }

protected:
  virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
  virtual bool SelectCell(int ACol, int ARow);
  virtual AnsiString GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
  virtual bool CanEditShow();
  virtual void ShowEditor();
  virtual void HideEditor();
  // The grid's dimensions changed (storage follows).
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void TopLeftChanged() {}
  // The current cell moved (before Click).
  virtual void CurrentCellMoved(int OldCol, int OldRow);
  // The text of a cell for the editor when the program changed the cell.
  void UpdateEditorText(int ACol, int ARow, const AnsiString& Value);
  // Whether the grid is the active control of its form (or, without a
  // form, has the focus).
  bool IsActiveControl();
  // Moves the current cell through SelectCell (no range check).
  void FocusCell(int ACol, int ARow);
  void MoveCurrent(int ACol, int ARow);
  // Puts the current cell there without SelectCell and Click (a grid that
  // follows its data).
  void SetCurrentCell(int ACol, int ARow);
  // Whether Paint draws the focus rectangle round the focused cell.
  virtual bool PaintsFocusRect() { return true; }

  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMChar(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

private:
  // Pixel positions of the columns/rows in the window (fixed first, then
  // from LeftCol/TopRow); -1 for one not shown.
  int ColX(int ACol);
  int RowY(int ARow);
  int LineX() const;  // width of the vertical lines
  int LineY() const;
  void ClampTopLeft();
  void ScrollIntoView();
  void EditKey(Word Key, TShiftState Shift);
  void EditChar(char Key);
  void EditChanged();
  // Painting, part by part.
  TGridDrawState CellState(int ACol, int ARow, const TGridRect& Sel, bool Active) const;
  void PaintLines(const TRect& Cell, bool Fixed);
  void SetCellColors(TGridDrawState State);
  void PaintCell(int ACol, int ARow, const TRect& Cell, TGridDrawState State);
  bool DrawsFocusRect(TGridDrawState State, bool EditorHere);
  void PaintEditor(const TRect& R);

  int FColCount = 5;
  int FRowCount = 5;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  std::vector<int> FColWidths;
  std::vector<int> FRowHeights;
  int FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor FFixedColor = clBtnFace;
  bool FDefaultDrawing = true;
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  int FCol = 1;
  int FRow = 1;
  int FLeftCol = 1;
  int FTopRow = 1;
  std::unique_ptr<TInplaceEdit> FInplaceEdit;
  int FEditCol = -1;
  int FEditRow = -1;
};

// A grid whose cells the application draws (OnDrawCell) and whose editor
// text it supplies (OnGetEditText, OnSetEditText).
class TDrawGrid : public TCustomGrid {
  ZEL_CLASS(TDrawGrid, TCustomGrid)
public:
  explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TNotifyEvent OnTopLeftChanged;

protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void TopLeftChanged() override;
};

// A grid that keeps a text and an object for every cell.  Reading a cell
// outside the grid gives "" (nullptr); writing one there is ignored.
// DrawCell draws the text at the cell's left + 2, top + 2 (with
// DefaultDrawing), then fires OnDrawCell.
class TStringGrid : public TDrawGrid {
  ZEL_CLASS(TStringGrid, TDrawGrid)
public:
  explicit TStringGrid(TComponent* AOwner);
  ~TStringGrid() override;

  AnsiString Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const AnsiString& Value);
  TObject* Objects(int ACol, int ARow) const;
  void SetObjects(int ACol, int ARow, TObject* Value);

protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void SizeChanged(int OldColCount, int OldRowCount) override;

private:
  struct Cell {
    AnsiString Text;
    TObject* Object = nullptr;
  };
  const Cell* Find(int ACol, int ARow) const;
  std::vector<std::vector<Cell>> FCells;  // [row][col]
  bool FEditUpdate = false;
};
