// Grids of the GUI class library (see grids.h).
#include "platform/gui/grids.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gui/forms.h"
#include "platform/gui/messages.h"
#include "platform/gui/streaming.h"

namespace {

const char* const kIndexOutOfRange =
    "Gitterindex au\xDF"
    "erhalb des g\xFC"
    "ltigen Bereichs";
const char* const kFixedColsTooBig = "Die Anzahl der fixierten Spalten mu\xDF kleiner als die Spaltenanzahl sein";
const char* const kFixedRowsTooBig = "Die Anzahl der fixierten Zeilen mu\xDF kleiner als die Zeilenanzahl sein";

}  // namespace

// ---------------------------------------------------------------- TInplaceEdit

void TInplaceEdit::SetText(const AnsiString& Value) {
  FText = Value;
  FSelStart = static_cast<int>(FText.size());
  FSelLength = 0;
  FAnchor = FSelStart;
}

void TInplaceEdit::Clamp() {
  const int n = static_cast<int>(FText.size());
  FSelStart = std::clamp(FSelStart, 0, n);
  FSelLength = std::clamp(FSelLength, 0, n - FSelStart);
}

void TInplaceEdit::SetSelStart(int Value) {
  FSelStart = Value;
  FSelLength = 0;
  Clamp();
  FAnchor = FSelStart;
  if (FGrid) FGrid->Invalidate();
}

void TInplaceEdit::SetSelLength(int Value) {
  FSelLength = Value;
  Clamp();
  FAnchor = FSelStart;
  if (FGrid) FGrid->Invalidate();
}

void TInplaceEdit::SelectAll() {
  FSelStart = 0;
  FSelLength = static_cast<int>(FText.size());
  FAnchor = 0;
}

// ---------------------------------------------------------------- TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  FColWidths.assign(FColCount, FDefaultColWidth);
  FRowHeights.assign(FRowCount, FDefaultRowHeight);
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::SetColCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FColCount) return;
  const int oldCols = FColCount;
  if (Value <= FFixedCols) FFixedCols = Value - 1;
  FColCount = Value;
  FColWidths.resize(Value, FDefaultColWidth);
  if (FCol >= Value) FCol = Value - 1;
  if (FCol < FFixedCols) FCol = std::min(FFixedCols, Value - 1);
  if (FEditCol >= Value) HideEditor();
  SizeChanged(oldCols, FRowCount);
  ClampTopLeft();
  Invalidate();
}

void TCustomGrid::SetRowCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value == FRowCount) return;
  const int oldRows = FRowCount;
  if (Value <= FFixedRows) FFixedRows = Value - 1;
  FRowCount = Value;
  FRowHeights.resize(Value, FDefaultRowHeight);
  if (FRow >= Value) FRow = Value - 1;
  if (FRow < FFixedRows) FRow = std::min(FFixedRows, Value - 1);
  if (FEditRow >= Value) HideEditor();
  SizeChanged(FColCount, oldRows);
  ClampTopLeft();
  Invalidate();
}

void TCustomGrid::SetFixedCols(int Value) {
  if (Value < 0) throw EInvalidGridOperation(kIndexOutOfRange);
  if (Value >= FColCount) throw EInvalidGridOperation(kFixedColsTooBig);
  FFixedCols = Value;
  if (FCol < Value) FCol = Value;
  FLeftCol = Value;
  ClampTopLeft();
  ScrollIntoView();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (Value < 0) throw EInvalidGridOperation(kIndexOutOfRange);
  if (Value >= FRowCount) throw EInvalidGridOperation(kFixedRowsTooBig);
  FFixedRows = Value;
  if (FRow < Value) FRow = Value;
  FTopRow = Value;
  ClampTopLeft();
  ScrollIntoView();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FDefaultColWidth = Value;
  std::fill(FColWidths.begin(), FColWidths.end(), Value);
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = Value;
  std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
  Invalidate();
}

int TCustomGrid::ColWidths(int Index) const {
  if (Index < 0 || Index >= FColCount) return FDefaultColWidth;
  return FColWidths[static_cast<size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= FColCount) throw EInvalidGridOperation(kIndexOutOfRange);
  FColWidths[static_cast<size_t>(Index)] = Value;
  Invalidate();
}

int TCustomGrid::RowHeights(int Index) const {
  if (Index < 0 || Index >= FRowCount) return FDefaultRowHeight;
  return FRowHeights[static_cast<size_t>(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= FRowCount) throw EInvalidGridOperation(kIndexOutOfRange);
  FRowHeights[static_cast<size_t>(Index)] = Value;
  Invalidate();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  FGridLineWidth = std::max(0, Value);
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!FOptions.Contains(goEditing))
    HideEditor();
  else if (FOptions.Contains(goAlwaysShowEditor))
    ShowEditor();
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  FFixedColor = Value;
  Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  Invalidate();
}

void TCustomGrid::SetCol(int Value) {
  if (Value == FCol) return;
  if (Value < 0 || Value >= FColCount) throw EInvalidGridOperation(kIndexOutOfRange);
  FocusCell(Value, FRow);
}

void TCustomGrid::SetRow(int Value) {
  if (Value == FRow) return;
  if (Value < 0 || Value >= FRowCount) throw EInvalidGridOperation(kIndexOutOfRange);
  FocusCell(FCol, Value);
}

void TCustomGrid::FocusCell(int ACol, int ARow) {
  if (ACol == FCol && ARow == FRow) return;
  if (!SelectCell(ACol, ARow)) return;
  MoveCurrent(ACol, ARow);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow) {
  const int oldCol = FCol, oldRow = FRow;
  if (EditorMode()) HideEditor();
  FCol = ACol;
  FRow = ARow;
  ScrollIntoView();
  Invalidate();
  if (FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor)) ShowEditor();
  CurrentCellMoved(oldCol, oldRow);
  Click();
}

void TCustomGrid::CurrentCellMoved(int, int) {}

void TCustomGrid::SetCurrentCell(int ACol, int ARow) {
  ACol = std::clamp(ACol, 0, FColCount - 1);
  ARow = std::clamp(ARow, 0, FRowCount - 1);
  if (ACol == FCol && ARow == FRow) return;
  if (EditorMode()) HideEditor();
  FCol = ACol;
  FRow = ARow;
  ScrollIntoView();
  Invalidate();
}

void TCustomGrid::SetLeftCol(int Value) {
  const int old = FLeftCol;
  FLeftCol = Value;
  ClampTopLeft();
  if (FLeftCol != old) {
    Invalidate();
    TopLeftChanged();
  }
}

void TCustomGrid::SetTopRow(int Value) {
  const int old = FTopRow;
  FTopRow = Value;
  ClampTopLeft();
  if (FTopRow != old) {
    Invalidate();
    TopLeftChanged();
  }
}

void TCustomGrid::ClampTopLeft() {
  FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
  FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
}

int TCustomGrid::LineX() const {
  return (FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine)) ? FGridLineWidth : 0;
}
int TCustomGrid::LineY() const {
  return (FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine)) ? FGridLineWidth : 0;
}

int TCustomGrid::ColX(int ACol) {
  if (ACol < 0 || ACol >= FColCount) return -1;
  int x = 0;
  for (int c = 0; c < FFixedCols; ++c) {
    if (c == ACol) return x;
    x += ColWidths(c) + LineX();
  }
  if (ACol < FLeftCol) return -1;
  for (int c = FLeftCol; c < ACol; ++c) x += ColWidths(c) + LineX();
  return x;
}

int TCustomGrid::RowY(int ARow) {
  if (ARow < 0 || ARow >= FRowCount) return -1;
  int y = 0;
  for (int r = 0; r < FFixedRows; ++r) {
    if (r == ARow) return y;
    y += RowHeights(r) + LineY();
  }
  if (ARow < FTopRow) return -1;
  for (int r = FTopRow; r < ARow; ++r) y += RowHeights(r) + LineY();
  return y;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
  const int x = ColX(ACol), y = RowY(ARow);
  if (x < 0 || y < 0) return TRect();
  const TRect client = ClientRect();
  if (x >= client.Right || y >= client.Bottom) return TRect();
  return TRect(x, y, x + ColWidths(ACol), y + RowHeights(ARow));
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridCoord r{-1, -1};
  if (X < 0 || Y < 0) return r;
  auto find = [](int v, int count, int fixed, int first, int line, auto size) {
    int pos = 0;
    for (int i = 0; i < fixed; ++i) {
      const int next = pos + size(i) + line;
      if (v < next) return i;
      pos = next;
    }
    for (int i = first; i < count; ++i) {
      const int next = pos + size(i) + line;
      if (v < next) return i;
      pos = next;
    }
    return -1;
  };
  r.X = find(X, FColCount, FFixedCols, FLeftCol, LineX(), [this](int i) { return ColWidths(i); });
  r.Y = find(Y, FRowCount, FFixedRows, FTopRow, LineY(), [this](int i) { return RowHeights(i); });
  if (r.X < 0 || r.Y < 0) return TGridCoord{-1, -1};
  return r;
}

int TCustomGrid::VisibleColCount() {
  const int width = ClientRect().Width();
  int x = 0;
  for (int c = 0; c < FFixedCols; ++c) x += ColWidths(c) + LineX();
  int n = 0;
  for (int c = FLeftCol; c < FColCount; ++c) {
    x += ColWidths(c);
    if (x > width) break;
    x += LineX();
    ++n;
  }
  return n;
}

int TCustomGrid::VisibleRowCount() {
  const int height = ClientRect().Height();
  int y = 0;
  for (int r = 0; r < FFixedRows; ++r) y += RowHeights(r) + LineY();
  int n = 0;
  for (int r = FTopRow; r < FRowCount; ++r) {
    y += RowHeights(r);
    if (y > height) break;
    y += LineY();
    ++n;
  }
  return n;
}

void TCustomGrid::ScrollIntoView() {
  const int oldLeft = FLeftCol, oldTop = FTopRow;
  if (FCol >= FFixedCols) {
    if (FCol < FLeftCol) FLeftCol = FCol;
    while (FLeftCol < FCol && FCol >= FLeftCol + std::max(1, VisibleColCount())) ++FLeftCol;
  }
  if (FRow >= FFixedRows) {
    if (FRow < FTopRow) FTopRow = FRow;
    while (FTopRow < FRow && FRow >= FTopRow + std::max(1, VisibleRowCount())) ++FTopRow;
  }
  ClampTopLeft();
  if (FLeftCol != oldLeft || FTopRow != oldTop) TopLeftChanged();
}

TGridRect TCustomGrid::Selection() const {
  if (FOptions.Contains(goRowSelect)) return TGridRect{FFixedCols, FRow, FColCount - 1, FRow};
  return TGridRect{FCol, FRow, FCol, FRow};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  // Only the current cell is selected here; the selection's top left
  // becomes the current cell.
  FocusCell(Value.Left, Value.Top);
}

void TCustomGrid::InvalidateCell(int, int) { Invalidate(); }

bool TCustomGrid::IsActiveControl() {
  if (TCustomForm* f = GetParentForm(this)) return f->ActiveControl() == this;
  return HandleAllocated() && GetFocus() == Handle();
}

// ---------------------------------------------------------------- virtual hooks

void TCustomGrid::DrawCell(int, int, TRect, TGridDrawState) {}
bool TCustomGrid::SelectCell(int, int) { return true; }
AnsiString TCustomGrid::GetEditText(int, int) { return AnsiString(); }
void TCustomGrid::SetEditText(int, int, const AnsiString&) {}
void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::ColumnMoved(int, int) {}

bool TCustomGrid::CanEditShow() {
  return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FCol >= FFixedCols &&
         FRow >= FFixedRows && FCol < FColCount && FRow < FRowCount;
}

void TCustomGrid::ShowEditor() {
  if (!CanEditShow()) return;
  if (!FInplaceEdit) FInplaceEdit = std::make_unique<TInplaceEdit>(this);
  FEditCol = FCol;
  FEditRow = FRow;
  FInplaceEdit->FVisible = true;
  FInplaceEdit->FText = GetEditText(FCol, FRow);
  FInplaceEdit->SelectAll();
  Invalidate();
}

void TCustomGrid::HideEditor() {
  if (!FInplaceEdit || !FInplaceEdit->FVisible) return;
  FInplaceEdit->FVisible = false;
  FEditCol = FEditRow = -1;
  Invalidate();
}

void TCustomGrid::SetEditorMode(bool Value) {
  if (Value)
    ShowEditor();
  else if (!FOptions.Contains(goAlwaysShowEditor))
    HideEditor();
}

void TCustomGrid::UpdateEditorText(int ACol, int ARow, const AnsiString& Value) {
  if (EditorMode() && ACol == FEditCol && ARow == FEditRow && FInplaceEdit->FText != Value) {
    FInplaceEdit->SetText(Value);
    Invalidate();
  }
}

// ---------------------------------------------------------------- keys

void TCustomGrid::WMGetDlgCode(TMessage& M) {
  M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FOptions.Contains(goTabs)) M.Result |= DLGC_WANTTAB;
}

void TCustomGrid::WMKeyDown(TMessage& M) {
  if (DoKeyDown(M)) return;
  if (EditorMode()) EditKey(static_cast<Word>(M.WParam), KeyDataToShiftState(M.LParam));
  DefaultHandler(M);
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  const bool editing = EditorMode();
  int c = FCol, r = FRow;
  const int page = std::max(1, VisibleRowCount());
  switch (Key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_LEFT:
      if (editing && !ctrl) return;
      --c;
      break;
    case VK_RIGHT:
      if (editing && !ctrl) return;
      ++c;
      break;
    case VK_PRIOR: r -= page; break;
    case VK_NEXT: r += page; break;
    case VK_HOME:
      if (editing && !ctrl) return;
      c = FFixedCols;
      if (ctrl) r = FFixedRows;
      break;
    case VK_END:
      if (editing && !ctrl) return;
      c = FColCount - 1;
      if (ctrl) r = FRowCount - 1;
      break;
    case VK_TAB:
      if (!FOptions.Contains(goTabs) || Shift.Contains(ssAlt)) return;
      if (Shift.Contains(ssShift)) {
        if (--c < FFixedCols) {
          c = FColCount - 1;
          --r;
        }
      } else if (++c >= FColCount) {
        c = FFixedCols;
        ++r;
      }
      break;
    case VK_F2:
      if (!editing) ShowEditor();
      return;
    default: return;
  }
  c = std::clamp(c, std::min(FFixedCols, FColCount - 1), FColCount - 1);
  r = std::clamp(r, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
  FocusCell(c, r);
}

void TCustomGrid::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == '\r' && !FOptions.Contains(goAlwaysShowEditor)) {
    if (EditorMode())
      HideEditor();
    else if (FOptions.Contains(goEditing))
      ShowEditor();
    Key = 0;
  } else if (Key == VK_ESCAPE && EditorMode() && !FOptions.Contains(goAlwaysShowEditor)) {
    HideEditor();
  }
}

void TCustomGrid::WMChar(TMessage& M) {
  if (DoKeyPress(M)) return;
  const char ch = static_cast<char>(M.WParam);
  const auto uc = static_cast<unsigned char>(ch);
  if (FOptions.Contains(goEditing) && (uc == VK_BACK || uc >= ' ')) {
    if (!EditorMode()) {
      if (uc == VK_BACK) return;
      ShowEditor();
    }
    if (EditorMode()) EditChar(ch);
    return;
  }
  DefaultHandler(M);
}

// The editor's own keys: caret moves and Delete.
void TCustomGrid::EditKey(Word Key, TShiftState Shift) {
  TInplaceEdit* e = FInplaceEdit.get();
  const int n = static_cast<int>(e->FText.size());
  const bool shift = Shift.Contains(ssShift);
  int caret = (e->FSelStart == e->FAnchor) ? e->FSelStart + e->FSelLength : e->FSelStart;
  switch (Key) {
    case VK_LEFT: caret = std::max(0, caret - 1); break;
    case VK_RIGHT: caret = std::min(n, caret + 1); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = n; break;
    case VK_DELETE:
      if (e->FSelLength > 0)
        e->FText.erase(static_cast<size_t>(e->FSelStart), static_cast<size_t>(e->FSelLength));
      else if (e->FSelStart < n)
        e->FText.erase(static_cast<size_t>(e->FSelStart), 1);
      else
        return;
      e->FSelLength = 0;
      e->FAnchor = e->FSelStart;
      EditChanged();
      return;
    default: return;
  }
  if (shift) {
    e->FSelStart = std::min(e->FAnchor, caret);
    e->FSelLength = std::abs(caret - e->FAnchor);
  } else {
    e->FSelStart = e->FAnchor = caret;
    e->FSelLength = 0;
  }
  Invalidate();
}

void TCustomGrid::EditChar(char Key) {
  TInplaceEdit* e = FInplaceEdit.get();
  if (Key == VK_BACK) {
    if (e->FSelLength > 0) {
      e->FText.erase(static_cast<size_t>(e->FSelStart), static_cast<size_t>(e->FSelLength));
    } else if (e->FSelStart > 0) {
      e->FText.erase(static_cast<size_t>(e->FSelStart - 1), 1);
      --e->FSelStart;
    } else {
      return;
    }
  } else {
    const int kept = static_cast<int>(e->FText.size()) - e->FSelLength;
    if (e->FMaxLength > 0 && kept >= e->FMaxLength) {
      MessageBeep(0);
      return;
    }
    e->FText.replace(static_cast<size_t>(e->FSelStart), static_cast<size_t>(e->FSelLength), 1, Key);
    ++e->FSelStart;
  }
  e->FSelLength = 0;
  e->FAnchor = e->FSelStart;
  EditChanged();
}

void TCustomGrid::EditChanged() {
  Invalidate();
  // The handler may move the current cell and so close the editor, and
  // what it writes into the cell rewrites the editor's text: it gets a copy
  // of what was typed, which stays as it is.
  const AnsiString typed = FInplaceEdit->FText;
  SetEditText(FEditCol, FEditRow, typed);
}

// ---------------------------------------------------------------- mouse, focus

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
      if (cell.X == FCol && cell.Y == FRow) {
        if (FOptions.Contains(goEditing) && !EditorMode()) ShowEditor();
      } else if (FOptions.Contains(goRowSelect)) {
        FocusCell(FCol, cell.Y);
      } else {
        FocusCell(cell.X, cell.Y);
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::CMExit(TMessage& M) {
  TCustomControl::CMExit(M);
  Invalidate();
}

// ---------------------------------------------------------------- painting

namespace {

// The fixed columns (rows), then those from the first scrolled one on.
std::vector<int> ShownIndexes(int Fixed, int First, int Count) {
  std::vector<int> r;
  for (int i = 0; i < Fixed; ++i) r.push_back(i);
  for (int i = First; i < Count; ++i) r.push_back(i);
  return r;
}

}  // namespace

void TCustomGrid::Paint() {
  TCanvas* cv = Canvas();
  const TRect client = ClientRect();
  const bool active = IsActiveControl();
  const TGridRect sel = Selection();
  const int lx = LineX(), ly = LineY();
  const std::vector<int> cols = ShownIndexes(FFixedCols, FLeftCol, FColCount);
  const std::vector<int> rows = ShownIndexes(FFixedRows, FTopRow, FRowCount);

  int y = 0;
  int gridRight = 0, gridBottom = 0;
  for (int r : rows) {
    if (y >= client.Bottom) break;
    const int h = RowHeights(r);
    int x = 0;
    for (int c : cols) {
      if (x >= client.Right) break;
      const TRect cell(x, y, x + ColWidths(c), y + h);
      const TGridDrawState state = CellState(c, r, sel, active);
      PaintLines(cell, state.Contains(gdFixed));
      PaintCell(c, r, cell, state);
      x = cell.Right + lx;
      gridRight = std::max(gridRight, x);
    }
    y += h + ly;
    gridBottom = y;
  }
  // The area beyond the last cells.
  cv->Brush()->SetColor(Color());
  if (gridRight < client.Right) cv->FillRect(TRect(gridRight, 0, client.Right, client.Bottom));
  if (gridBottom < client.Bottom)
    cv->FillRect(TRect(0, gridBottom, std::min(gridRight, client.Right), client.Bottom));
}

TGridDrawState TCustomGrid::CellState(int ACol, int ARow, const TGridRect& Sel, bool Active) const {
  TGridDrawState state;
  if (ACol < FFixedCols || ARow < FFixedRows) {
    state << gdFixed;
  } else {
    if (Sel.Contains(ACol, ARow)) state << gdSelected;
    if (Active && ACol == FCol && ARow == FRow) state << gdFocused;
  }
  return state;
}

// Lines right of and below the cell: black between fixed cells, silver
// elsewhere, the grid's colour where the options leave them out.
void TCustomGrid::PaintLines(const TRect& Cell, bool Fixed) {
  TCanvas* cv = Canvas();
  const auto lineColor = [&](TGridOption FixedLine, TGridOption Line) {
    const bool line = FOptions.Contains(Fixed ? FixedLine : Line);
    return line ? (Fixed ? clBlack : clSilver) : Color();
  };
  const int lx = LineX(), ly = LineY();
  if (lx > 0) {
    cv->Brush()->SetColor(lineColor(goFixedVertLine, goVertLine));
    cv->FillRect(TRect(Cell.Right, Cell.Top, Cell.Right + lx, Cell.Bottom + ly));
  }
  if (ly > 0) {
    cv->Brush()->SetColor(lineColor(goFixedHorzLine, goHorzLine));
    cv->FillRect(TRect(Cell.Left, Cell.Bottom, Cell.Right, Cell.Bottom + ly));
  }
}

// Font and brush a cell is drawn with.
void TCustomGrid::SetCellColors(TGridDrawState State) {
  TCanvas* cv = Canvas();
  cv->Font()->Assign(Font());
  if (State.Contains(gdFixed)) {
    cv->Brush()->SetColor(FFixedColor);
  } else if (State.Contains(gdSelected) && (!State.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
                                            FOptions.Contains(goRowSelect))) {
    cv->Brush()->SetColor(clHighlight);
    cv->Font()->SetColor(clHighlightText);
  } else {
    cv->Brush()->SetColor(Color());
  }
}

void TCustomGrid::PaintCell(int ACol, int ARow, const TRect& Cell, TGridDrawState State) {
  TCanvas* cv = Canvas();
  SetCellColors(State);
  const bool editorHere = EditorMode() && ACol == FEditCol && ARow == FEditRow;
  if (FDefaultDrawing) cv->FillRect(Cell);
  DrawCell(ACol, ARow, Cell, State);
  cv->Refresh();
  if (FDefaultDrawing) {
    if (State.Contains(gdFixed) && Ctl3D()) {
      RECT rr = Cell;
      DrawEdge(cv->Handle(), &rr, BDR_RAISEDINNER, BF_RECT);
    }
    if (DrawsFocusRect(State, editorHere)) cv->DrawFocusRect(Cell);
  }
  if (editorHere) PaintEditor(Cell);
}

// Not where the editor or the row selection shows the current cell.
bool TCustomGrid::DrawsFocusRect(TGridDrawState State, bool EditorHere) {
  return State.Contains(gdFocused) && !FOptions.Contains(goRowSelect) && !EditorHere && PaintsFocusRect() &&
         !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor));
}

void TCustomGrid::PaintEditor(const TRect& R) {
  TCanvas* cv = Canvas();
  TInplaceEdit* e = FInplaceEdit.get();
  cv->Font()->Assign(Font());
  cv->Brush()->SetColor(clWindow);
  cv->FillRect(R);
  const AnsiString& t = e->FText;
  const int x0 = R.Left + 2, y0 = R.Top + 2;
  const AnsiString before = t.substr(0, static_cast<size_t>(e->FSelStart));
  const AnsiString selected = t.substr(static_cast<size_t>(e->FSelStart), static_cast<size_t>(e->FSelLength));
  const AnsiString after = t.substr(static_cast<size_t>(e->FSelStart) + static_cast<size_t>(e->FSelLength));
  int x = x0;
  cv->TextRect(R, x, y0, before);
  x += cv->TextWidth(before);
  if (!selected.empty()) {
    cv->Brush()->SetColor(clHighlight);
    cv->Font()->SetColor(clHighlightText);
    cv->TextRect(TRect(std::max(R.Left, x), R.Top, R.Right, R.Bottom), x, y0, selected);
    x += cv->TextWidth(selected);
    cv->Brush()->SetColor(clWindow);
    cv->Font()->Assign(Font());
  }
  if (!after.empty() && x < R.Right) cv->TextRect(TRect(x, R.Top, R.Right, R.Bottom), x, y0, after);
  if (selected.empty()) {
    // The caret.
    const int cx = x0 + cv->TextWidth(before);
    if (cx < R.Right) {
      cv->Pen()->SetColor(Font()->Color());
      cv->MoveTo(cx, R.Top + 2);
      cv->LineTo(cx, R.Bottom - 2);
    }
  }
}

// ---------------------------------------------------------------- TDrawGrid

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
  bool result = TCustomGrid::SelectCell(ACol, ARow);
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, result);
  return result;
}

AnsiString TDrawGrid::GetEditText(int ACol, int ARow) {
  AnsiString result;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, result);
  return result;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::TopLeftChanged() {
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// ---------------------------------------------------------------- TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
  FCells.assign(static_cast<size_t>(RowCount()), std::vector<Cell>(static_cast<size_t>(ColCount())));
}

TStringGrid::~TStringGrid() = default;

const TStringGrid::Cell* TStringGrid::Find(int ACol, int ARow) const {
  if (ARow < 0 || ACol < 0 || ARow >= static_cast<int>(FCells.size())) return nullptr;
  const auto& row = FCells[static_cast<size_t>(ARow)];
  if (ACol >= static_cast<int>(row.size())) return nullptr;
  return &row[static_cast<size_t>(ACol)];
}

AnsiString TStringGrid::Cells(int ACol, int ARow) const {
  const Cell* c = Find(ACol, ARow);
  return c ? c->Text : AnsiString();
}

void TStringGrid::SetCells(int ACol, int ARow, const AnsiString& Value) {
  Cell* c = const_cast<Cell*>(Find(ACol, ARow));
  if (!c) return;
  if (c->Text == Value) return;
  c->Text = Value;
  if (!FEditUpdate) UpdateEditorText(ACol, ARow, Value);
  InvalidateCell(ACol, ARow);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
  const Cell* c = Find(ACol, ARow);
  return c ? c->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
  if (Cell* c = const_cast<Cell*>(Find(ACol, ARow))) c->Object = Value;
}

void TStringGrid::SizeChanged(int, int) {
  FCells.resize(static_cast<size_t>(RowCount()));
  for (auto& row : FCells) row.resize(static_cast<size_t>(ColCount()));
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow) {
  AnsiString result = Cells(ACol, ARow);
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, result);
  return result;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  FEditUpdate = true;
  try {
    SetCells(ACol, ARow, Value);
  } catch (...) {
    FEditUpdate = false;
    throw;
  }
  FEditUpdate = false;
  TDrawGrid::SetEditText(ACol, ARow, Value);
}

// ---------------------------------------------------------------- published properties

namespace {

const std::initializer_list<std::pair<const char*, TGridOption>> kGridOptionIdents = {
    {"goFixedVertLine", goFixedVertLine},
    {"goFixedHorzLine", goFixedHorzLine},
    {"goVertLine", goVertLine},
    {"goHorzLine", goHorzLine},
    {"goRangeSelect", goRangeSelect},
    {"goDrawFocusSelected", goDrawFocusSelected},
    {"goRowSizing", goRowSizing},
    {"goColSizing", goColSizing},
    {"goRowMoving", goRowMoving},
    {"goColMoving", goColMoving},
    {"goEditing", goEditing},
    {"goTabs", goTabs},
    {"goRowSelect", goRowSelect},
    {"goAlwaysShowEditor", goAlwaysShowEditor},
    {"goThumbTracking", goThumbTracking}};

const bool registeredCustomGrid =
    platform::RegisterClass<TCustomGrid>("TCustomGrid", "TCustomControl").NotCreatable().Done();

const bool registeredDrawGrid =
    platform::RegisterClass<TDrawGrid>("TDrawGrid", "TCustomGrid")
        .Int("ColCount", &TCustomGrid::SetColCount, 5)
        .Int("RowCount", &TCustomGrid::SetRowCount, 5)
        .Int("FixedCols", &TCustomGrid::SetFixedCols, 1)
        .Int("FixedRows", &TCustomGrid::SetFixedRows, 1)
        .Int("DefaultColWidth", &TCustomGrid::SetDefaultColWidth, 64)
        .Int("DefaultRowHeight", &TCustomGrid::SetDefaultRowHeight, 24)
        .Int("GridLineWidth", &TCustomGrid::SetGridLineWidth, 1)
        .Color("FixedColor", &TCustomGrid::SetFixedColor, clBtnFace)
        .Bool("DefaultDrawing", &TCustomGrid::SetDefaultDrawing, true)
        .SetOf<TGridOptions, TGridOption>("Options", kGridOptionIdents, &TCustomGrid::SetOptions)
        .Enum<TScrollStyle>(
            "ScrollBars",
            {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal}, {"ssVertical", ssVertical}, {"ssBoth", ssBoth}},
            &TCustomGrid::SetScrollBars, ssBoth)
        .Enum<TBorderStyle>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}},
                            &TCustomGrid::SetBorderStyle, bsSingle)
        .Event("OnDrawCell", &TDrawGrid::OnDrawCell)
        .Event("OnSelectCell", &TDrawGrid::OnSelectCell)
        .Event("OnGetEditText", &TDrawGrid::OnGetEditText)
        .Event("OnSetEditText", &TDrawGrid::OnSetEditText)
        .Event("OnTopLeftChanged", &TDrawGrid::OnTopLeftChanged)
        .Done();

const bool registeredStringGrid = platform::RegisterClass<TStringGrid>("TStringGrid", "TDrawGrid").Done();

}  // namespace
