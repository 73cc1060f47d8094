// Numeric string grids (see KGrid.h).
#include "controls/KGrid.h"

#include <algorithm>

#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/messages.h"
#include "platform/gui/streaming.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Restores a field when the scope ends (also on an exception).
template <class T>
class Restore {
public:
  Restore(T& Field, T Value) : FField(Field), FSaved(std::move(Field)) { FField = std::move(Value); }
  ~Restore() { FField = std::move(FSaved); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

private:
  T& FField;
  T FSaved;
};

}  // namespace

// ---------------------------------------------------------------- TKGrid

TKGrid::TKGrid(TComponent* AOwner)
    : TStringGrid(AOwner),
      FAllowedRows(std::make_unique<TList>()),
      FCellColors(std::make_unique<TList>()),
      FRowTexts(std::make_unique<TList>()),
      FTitleCols(std::make_unique<TStringList>()) {
  FBlockColors.fill(clWindow);
  SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing});
  SetDefaultRowHeight(16);
  SetDefaultColWidth(25);
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetDefaultDrawing(true);
}

TKGrid::~TKGrid() {
  for (int i = 0; i < FCellColors->Count(); ++i) delete static_cast<TKCellColor*>(FCellColors->Items(i));
  for (int i = 0; i < FRowTexts->Count(); ++i) delete static_cast<TStrings*>(FRowTexts->Items(i));
}

// ---------------------------------------------------------------- numbers

std::int32_t TKGrid::CellToInt(const AnsiString& Text) {
  // All digits, the sign of the last "+" or "-"; 32 bits, wrapping.
  const std::int64_t v = platform::LenientDigits(Text);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

AnsiString TKGrid::AddToCell(const AnsiString& Text, std::int32_t Delta) {
  const auto n =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(CellToInt(Text)) + static_cast<std::uint32_t>(Delta));
  return n == 0 ? AnsiString() : IntToStr(n);
}

std::int32_t TKGrid::RowSum(int ARow) const {
  std::uint32_t sum = 0;
  for (int c = FixedCols(); c < ColCount(); ++c)
    if (c != FSumCol) sum += static_cast<std::uint32_t>(CellValue(c, ARow));
  return static_cast<std::int32_t>(sum);
}

void TKGrid::UpdateSum(int ARow) {
  if (!FNumeric || FSumCol < 0) return;
  const std::int32_t s = RowSum(ARow);
  AnsiString text = (s == 0 && !FShowZero) ? AnsiString() : IntToStr(s);
  if (OnMakeSum) OnMakeSum(this, FSumCol, ARow, text);
  SetCells(FSumCol, ARow, text);
}

void TKGrid::ClearBlock(int FromCol, int FromRow, int Count) {
  if (Count == 0) Count = RowCount();
  for (int r = FromRow; r < FromRow + Count && r < RowCount(); ++r)
    for (int c = FromCol; c < ColCount(); ++c) SetCells(c, r, AnsiString());
}

bool TKGrid::IsLockedCol(int ACol) const { return (reinterpret_cast<std::intptr_t>(Objects(ACol, 0)) & 1) != 0; }

bool TKGrid::IsAllowedRow(int ARow) const {
  if (FAllowedRows->Count() == 0) return true;
  return FAllowedRows->IndexOf(reinterpret_cast<void*>(static_cast<std::intptr_t>(ARow))) >= 0;
}

int TKGrid::NextAllowedRow(int ARow) const {
  int best = -1;
  for (int i = 0; i < FAllowedRows->Count(); ++i) {
    const int r = static_cast<int>(reinterpret_cast<std::intptr_t>(FAllowedRows->Items(i)));
    if (r > ARow && r < RowCount() && (best < 0 || r < best)) best = r;
  }
  return best;
}

void TKGrid::AddAllowedRow(int ARow) {
  FAllowedRows->Add(reinterpret_cast<void*>(static_cast<std::intptr_t>(ARow)));
}

void TKGrid::AddCellColor(int ARow, int ACol, TColor AColor) {
  FCellColors->Add(new TKCellColor(ARow, ACol, AColor));
  Invalidate();
}

TColor TKGrid::RowColor(int ARow) const {
  for (int i = 0; i < FCellColors->Count(); ++i) {
    const auto* e = static_cast<const TKCellColor*>(FCellColors->Items(i));
    if (e && e->Row == ARow && e->Col == -1) return e->Color;
  }
  return 0;
}

void TKGrid::SetRowTextList(int ARow, TStrings* List) {
  if (ARow < 0) {
    delete List;
    return;
  }
  while (FRowTexts->Count() <= ARow) FRowTexts->Add(nullptr);
  delete static_cast<TStrings*>(FRowTexts->Items(ARow));
  FRowTexts->SetItems(ARow, List);
  Invalidate();
}

TStrings* TKGrid::RowTextList(int ARow) const {
  if (ARow < 0 || ARow >= FRowTexts->Count()) return nullptr;
  return static_cast<TStrings*>(FRowTexts->Items(ARow));
}

AnsiString TKGrid::TitleText(int ACol) {
  if (ACol >= 0 && ACol < FTitleCols->Count()) return FTitleCols->Strings(ACol);
  return AnsiString();
}

TColor TKGrid::BlockColors(int Index) const {
  if (Index < 0 || Index >= BlockColorCount) return clWindow;
  return FBlockColors[static_cast<size_t>(Index)];
}

void TKGrid::SetBlockColors(int Index, TColor Value) {
  if (Index < 0 || Index >= BlockColorCount) return;
  FBlockColors[static_cast<size_t>(Index)] = Value;
  Invalidate();
}

void TKGrid::SetBlockColorsSet(bool Value) {
  FBlockColorsSet = Value;
  Invalidate();
}

TColor TKGrid::BlockColorOf(int ARow) const {
  if (ARow <= 0) return FBlockColors[0];
  // The table has 25 block entries; a longer block repeats them.
  const int len = std::min(FBlockLen, BlockColorCount - 1);
  const int slot = 1 + (ARow - 1) % len;
  return FBlockColors[static_cast<size_t>(slot)];
}

bool TKGrid::GridHasFocus() {
  if (TCustomForm* f = GetParentForm(this)) return f->ActiveControl() == this;
  if (!HandleAllocated()) return false;
  const HWND me = Handle();
  for (HWND h = GetFocus(); h && IsWindow(h); h = GetParent(h))
    if (h == me) return true;
  return false;
}

// ---------------------------------------------------------------- properties

void TKGrid::SetSumCol(int Value) {
  FSumCol = Value;
  Invalidate();
}
void TKGrid::SetSumColor(TColor Value) {
  FSumColor = Value;
  Invalidate();
}
void TKGrid::SetEditLength(int Value) {
  FEditLength = Value;
  FEditLengthSet = Value;
}
void TKGrid::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TKGrid::SetBlockLen(int Value) {
  FBlockLen = Value;
  Invalidate();
}
void TKGrid::SetSelectColor(TColor Value) {
  FSelectColor = Value;
  Invalidate();
}
void TKGrid::SetSelectFontColor(TColor Value) {
  FSelectFontColor = Value;
  Invalidate();
}
void TKGrid::SetGridColor(TColor Value) {
  FGridColor = Value;
  Invalidate();
}
void TKGrid::SetShowZero(bool Value) {
  FShowZero = Value;
  Invalidate();
}
void TKGrid::SetShowSelColor(bool Value) {
  FShowSelColor = Value;
  Invalidate();
}
void TKGrid::SetSelectFrame(bool Value) {
  FSelectFrame = Value;
  Invalidate();
}

void TKGrid::SetTitleCols(TStrings* Value) {
  const AnsiString newText = Value ? Value->Text() : AnsiString();
  if (newText == FTitleCols->Text()) return;
  if (Value)
    FTitleCols->Assign(Value);
  else
    FTitleCols->Clear();
  Invalidate();
}

// ---------------------------------------------------------------- rows and titles

void TKGrid::SetRowValues(bool WriteZeros, bool Add, int ARow, int FirstCol, int StartIndex, int Factor,
                          AnsiString Values, bool Widen) {
  if (!Values.empty() && Values.back() != ',') Values += ',';
  if (!Add) ClearBlock(FirstCol, ARow, 1);
  FEditLength = FEditLengthSet;
  int idx = StartIndex;
  AnsiString item;
  for (char ch : Values) {
    if (ch == ' ') continue;
    if (ch != ',' && ch != ';') {
      item += ch;
      continue;
    }
    const int c = FirstCol + idx;
    if (ColCount() <= c) SetColCount(c + 1);
    if (item.empty()) {
      if (!Add) SetCells(c, ARow, AnsiString());
    } else {
      int v = 0;
      if (!TryStrToInt(item, v)) v = 0;
      if (v == 0 && !WriteZeros) {
        if (!Add) SetCells(c, ARow, AnsiString());
      } else {
        const auto product =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(v) * static_cast<std::uint32_t>(Factor));
        if (Add)
          SetCells(c, ARow, AddToCell(Cells(c, ARow), product));
        else
          SetCells(c, ARow, IntToStr(product));
      }
      if (Widen) FEditLength = std::max(FEditLength, static_cast<int>(Cells(c, ARow).size()));
    }
    item.clear();
    ++idx;
  }
  if (FNumeric && FSumCol > -1) UpdateSum(ARow);
}

void TKGrid::SetTitles(const AnsiString& Titles, bool Clear) {
  if (Clear) ClearBlock(0, 0, 0);
  int c = FixedCols();
  AnsiString item;
  for (char ch : Titles) {
    if (ch == ' ') continue;
    if (ch != ',' && ch != ';') {
      item += ch;
      continue;
    }
    if (ColCount() <= c) SetColCount(c + 1);
    SetCells(c, 0, item);
    item.clear();
    ++c;
  }
  SetColCount(c > FixedCols() ? c : FixedCols() + 1);
}

int TKGrid::GetRowText(int Offset, AnsiString& Text, int& First, int& Count, int LastCol) {
  int sum = 0;
  First = 0;
  int lastPos = 0;
  Text.clear();
  const int last = LastCol > 0 ? LastCol : ColCount() - 1;
  for (int c = FixedCols(); c <= last; ++c) {
    const int v = CellValue(c, FInputRow);
    if (v > 0) {
      if (First == 0) First = c - FixedCols() + 1;
      lastPos = c - FixedCols() + 1;
      sum = static_cast<int>(static_cast<std::uint32_t>(sum) + static_cast<std::uint32_t>(v));
    }
    if (First > 0) Text += Format("%.*d", {FEditLength, v});
  }
  if (First > 0) {
    Count = lastPos - First + 1;
    const auto keep = static_cast<size_t>(std::max(0, Count * FEditLength));
    if (Text.size() > keep) Text.resize(keep);
  } else {
    // No positive value: no run.
    Count = 0;
    Text.clear();
  }
  First = First + Offset - 1;
  return sum;
}

// ---------------------------------------------------------------- current cell

bool TKGrid::SelectCell(int ACol, int ARow) {
  bool result = true;
  if (FAllowedRows->Count() > 0) {
    result = IsAllowedRow(ARow);
  } else if (FInputRow > -1 && ARow != FInputRow) {
    result = false;
  } else if (IsLockedCol(ACol)) {
    result = false;
  }
  if (TDrawGrid::OnSelectCell) TDrawGrid::OnSelectCell(this, ACol, ARow, result);
  return result;
}

void TKGrid::Click() {
  TStringGrid::Click();
  if (FInputRow > -1 && FInputRow < RowCount()) SetRow(FInputRow);
  if (FInputCol > -1 && FInputCol < ColCount()) SetCol(FInputCol);
}

void TKGrid::CurrentCellMoved(int OldCol, int OldRow) {
  TStringGrid::CurrentCellMoved(OldCol, OldRow);
  FSavedValid = false;
}

void TKGrid::CMExit(TMessage& Message) {
  LastExitControl = this;
  TStringGrid::CMExit(Message);
}

void TKGrid::HandFocusOn() {
  if (auto* target = dynamic_cast<TWinControl*>(Owner())) PostMessage(target->Handle(), WM_NEXTDLGCTL, 0, 0);
}

// ---------------------------------------------------------------- keys

void TKGrid::KeyPress(char& Key) {
  const char pressed = Key;
  TStringGrid::KeyPress(Key);
  if (pressed == VK_RETURN) {
    if (Options().Contains(goRowSelect)) {
      if (Key == VK_RETURN) HandFocusOn();
      return;
    }
    const int c = Col();
    if (c < ColCount() - 1) {
      Key = 0;
      SetCol(c + 1);
    } else if (FAllowedRows->Count() > 0) {
      const int r = NextAllowedRow(Row());
      if (r == -1) {
        HandFocusOn();
      } else {
        SetRow(r);
        SetCol(FixedCols());
      }
    } else if (FInputRow > 0) {
      HandFocusOn();
    }
    return;
  }
  if (Key == '@') {
    Key = 0;
    return;
  }
  if (Key == VK_ESCAPE) {
    // Escape takes back the edit of the current cell.
    if (FSavedValid) {
      SetCells(Col(), Row(), FSavedCellText);
      FSavedValid = false;
      UpdateSum(Row());
    }
    return;
  }
  if (FNumeric && Key != VK_BACK && !IsDigit(Key)) Key = 0;  // swallowed without a sound
}

void TKGrid::KeyDown(Word& Key, TShiftState Shift) {
  if (FAllowedRows->Count() > 0) {
    int r = Row();
    if (Shift == TShiftState{ssCtrl}) {
      if (Key == VK_UP) {
        r = FixedRows() - 1;
        Key = VK_DOWN;
      } else if (Key == VK_DOWN) {
        r = RowCount();
        Key = VK_UP;
      }
    }
    if (Key == VK_UP) {
      do --r;
      while (!(r < FixedRows() || IsAllowedRow(r)));
      if (r >= FixedRows()) SetRow(r);
      Key = 0;
    } else if (Key == VK_DOWN) {
      do ++r;
      while (!(r >= RowCount() || IsAllowedRow(r)));
      if (r < RowCount()) SetRow(r);
      Key = 0;
    }
  }
  if (Key != 0) TStringGrid::KeyDown(Key, Shift);
}

void TKGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  if (!FSavedValid && ACol == Col() && ARow == Row()) {
    FSavedCellText = Cells(ACol, ARow);
    FSavedValid = true;
  }
  TStringGrid::SetEditText(ACol, ARow, Value);
  const AnsiString s = Cells(ACol, ARow);
  if (ARow >= FixedRows() && FEditLength > 0 && static_cast<int>(s.size()) >= FEditLength) {
    SetCells(ACol, ARow, s.substr(0, static_cast<size_t>(FEditLength)));
    if (TInplaceEdit* e = InplaceEditor()) {
      e->SetSelLength(0);
      e->SetSelStart(FEditLength);
    }
    SetCol(ACol < ColCount() - 1 ? ACol + 1 : ColCount() - 1);
  }
  if (FNumeric && FSumCol > -1) UpdateSum(ARow);
}

// ---------------------------------------------------------------- drawing

void TKGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  DrawBaseCell(ACol, ARow, ARect, AState);
  TCanvas* cv = Canvas();
  cv->Font()->SetStyle(TFontStyles());
  const bool fixed = AState.Contains(gdFixed);
  const bool designing = ComponentState().Contains(csDesigning);
  if (fixed && designing) cv->Font()->SetStyle(TFontStyles{fsBold});
  ChooseCellColours(ACol, ARow, AState);
  AnsiString S = fixed && ARow == 0 ? TitleText(ACol) : AnsiString();
  if (S.empty()) S = Cells(ACol, ARow);
  if (!FShowZero && S == "0") S.clear();
  const int x = TextLeft(ARect, S);
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
  if (DefaultDrawing()) {
    DrawCellText(x, ARect, S);
    DrawFixedEdge(ACol, ARow, ARect);
  } else if (designing && fixed) {
    DrawCellText(x, ARect, S);
  }
  if (FSelectFrame) DrawSelectFrame(ACol, ARect, AState);
}

void TKGrid::DrawBaseCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  // The base's drawing without its text: only its draw event.
  const bool dd = DefaultDrawing();
  SetDefaultDrawing(false);
  try {
    TStringGrid::DrawCell(ACol, ARow, ARect, AState);
  } catch (...) {
    SetDefaultDrawing(dd);
    throw;
  }
  SetDefaultDrawing(dd);
}

void TKGrid::ChooseCellColours(int ACol, int ARow, TGridDrawState AState) {
  TCanvas* cv = Canvas();
  const bool fixed = AState.Contains(gdFixed);
  const bool blocks = FBlockLen > 0 && FBlockColorsSet;
  if (blocks) cv->Brush()->SetColor(BlockColorOf(ARow));
  const bool F = AState.Contains(gdSelected) && GridHasFocus();
  if (ACol == FSumCol && FSumColor != 0) {
    cv->Brush()->SetColor(FSumColor);
  } else if (fixed) {
    SetColours(blocks ? BlockColorOf(ARow) : FixedColor(), clWindowText);
  } else if (AState.Contains(gdFocused)) {
    if (!FSelectFrame) SetColours(FSelectColor, clHighlightText);
  } else if (FShowSelColor && AState.Contains(gdSelected)) {
    if (!(FSelectFrame && F)) SetColours(ScaleColor(Color(), 0.9L), Font()->Color());
  } else {
    SetColours(CellBackground(ARow), Font()->Color());
  }
  if (F && !fixed && ARow == Row() && !Options().Contains(goEditing) && Options().Contains(goRowSelect) &&
      !FSelectFrame)
    SetColours(FSelectColor, FSelectFontColor);
}

TColor TKGrid::CellBackground(int ARow) const {
  if (FBlockLen > 0 && FBlockColorsSet) return BlockColorOf(ARow);
  if (const TColor c = RowColor(ARow); c != 0) return c;
  if (FGridColor != 0) return FGridColor;
  return Color();
}

void TKGrid::SetColours(TColor Brush, TColor Text) {
  Canvas()->Brush()->SetColor(Brush);
  Canvas()->Font()->SetColor(Text);
}

int TKGrid::TextLeft(const TRect& Rect, const AnsiString& S) {
  switch (FAlignment) {
    case taLeftJustify: return Rect.Left + 2;
    case taRightJustify: return Rect.Right - Canvas()->TextWidth(S) - 3;
    default: return Rect.Left + (Rect.Right - Rect.Left) / 2 - Canvas()->TextWidth(S) / 2;
  }
}

void TKGrid::DrawCellText(int X, const TRect& Rect, const AnsiString& S) {
  RECT r = Rect;
  ExtTextOutA(Canvas()->Handle(), X, Rect.Top + 2, ETO_CLIPPED | ETO_OPAQUE, &r, S.c_str(),
              static_cast<UINT>(S.size()), nullptr);
}

void TKGrid::DrawFixedEdge(int ACol, int ARow, const TRect& Rect) {
  if (!Ctl3D() || (ARow >= FixedRows() && ACol >= FixedCols())) return;
  RECT r = Rect;
  DrawEdge(Canvas()->Handle(), &r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT);
}

void TKGrid::DrawSelectFrame(int ACol, const TRect& Rect, TGridDrawState State) {
  if (!FSelectFrame || !State.Contains(gdSelected) || !GridHasFocus()) return;
  TCanvas* cv = Canvas();
  cv->Pen()->SetColor(FSelectColor);
  cv->Pen()->SetWidth(1);
  int right = Rect.Right + 1;
  if (ACol == ColCount() - 1) {
    right = Rect.Right;
    for (int x : {Rect.Right - 2, Rect.Right - 1}) {
      cv->MoveTo(x, Rect.Top + 1);
      cv->LineTo(x, Rect.Bottom - 1);
    }
  }
  for (int y : {Rect.Top, Rect.Top + 1, Rect.Bottom - 2, Rect.Bottom - 1}) {
    cv->MoveTo(Rect.Left, y);
    cv->LineTo(right, y);
  }
  if (ACol == FixedCols()) {
    for (int x : {Rect.Left, Rect.Left + 1}) {
      cv->MoveTo(x, Rect.Top + 1);
      cv->LineTo(x, Rect.Bottom - 1);
    }
  }
}

// ---------------------------------------------------------------- TKStrGrid

TKStrGrid::TKStrGrid(TComponent* AOwner) : TKGrid(AOwner) { FTitleFontHeight = (FMinFont + FMaxFont) / 2; }

void TKStrGrid::SetTurn(bool Value) {
  if (Value == FTurn) return;
  FTurn = Value;
  SetRowHeights(0, Value ? FTurnHeight : DefaultRowHeight());
  Invalidate();
}

void TKStrGrid::SetTurnBold(bool Value) {
  if (Value == FTurnBold) return;
  FTurnBold = Value;
  FTitleWeight = Value ? FW_BOLD : FW_NORMAL;
  Invalidate();
}

void TKStrGrid::SetTurnHeight(int Value) {
  if (Value == FTurnHeight) return;
  FTurnHeight = Value;
  if (FTurn) SetRowHeights(0, Value);
}

void TKStrGrid::SetDrawFont(const AnsiString& Value) {
  if (Value == FDrawFont) return;
  FDrawFont = Value;
  Invalidate();
}

void TKStrGrid::SetTitleEnabled(bool Value) {
  if (Value == FTitleEnabled) return;
  FTitleEnabled = Value;
  if (!Value)
    for (int c = 0; c < ColCount(); ++c) SetCells(c, 0, AnsiString());
  Invalidate();
}

int TKStrGrid::NextUnlockedCol(int ACol, int Step) const {
  int c = ACol + Step;
  while (c >= FixedCols() && c < ColCount() && IsLockedCol(c)) c += Step;
  return (c >= FixedCols() && c < ColCount()) ? c : ACol;
}

void TKStrGrid::CMEnter(TMessage& Message) {
  TKGrid::CMEnter(Message);
  if (InputRow() > -1 && InputRow() < RowCount()) SetRow(InputRow());
  if (InputCol() > -1 && InputCol() < ColCount()) SetCol(InputCol());
  int c = Col();
  while (c < ColCount() && IsLockedCol(c)) ++c;
  if (c < ColCount()) {
    SetCol(c);
    return;
  }
  c = Col();
  while (c >= FixedCols() && IsLockedCol(c)) --c;
  if (c >= FixedCols()) {
    SetCol(c);
    return;
  }
  // Nothing to type into here: back to the control left last.
  if (TWinControl* last = LastExitControl.Get())
    if (last != this && last->CanFocus()) last->SetFocus();
}

void TKStrGrid::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
  if (Key == VK_RETURN) {
    int c = Col();
    if (c < ColCount() - 1) {
      Key = 0;
      do ++c;
      while (!(c >= ColCount() || !IsLockedCol(c)));
      if (c < ColCount()) {
        SetCol(c);
      } else {
        SetCol(FixedCols());
        HandFocusOn();
      }
    } else if (InputRow() > 0) {
      Key = 0;
      HandFocusOn();
    }
    return;
  }
  if (Numeric() && Key != VK_BACK && !IsDigit(Key)) Key = 0;  // swallowed without a sound
}

void TKStrGrid::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
  if (Key == 0) return;
  if (!FKeyDefault && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) {
    if (Key == VK_LEFT || (Key == VK_UP && InputRow() > -1)) {
      if (Col() > FixedCols()) {
        int c = Col();
        do --c;
        while (!(c <= FixedCols() || !IsLockedCol(c)));
        SetCol(c);
      }
      Key = 0;
      return;
    }
    if (Key == VK_RIGHT || (Key == VK_DOWN && InputRow() > -1)) {
      if (Col() < ColCount() - 1) {
        int c = Col();
        do ++c;
        while (!(c >= ColCount() - 1 || !IsLockedCol(c)));
        SetCol(c);
      }
      Key = 0;
      return;
    }
  }
  // TKGrid's handling, without firing OnKeyDown a second time.
  Restore<TKeyEvent> quiet(OnKeyDown, nullptr);
  TKGrid::KeyDown(Key, Shift);
}

void TKStrGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
  TKGrid::SetEditText(ACol, ARow, Value);
  const AnsiString s = Cells(ACol, ARow);
  const int len = static_cast<int>(s.size());
  int limit = 0;
  if (ARow == InputRow() && EditLength() > 0) {
    if (len >= EditLength()) limit = EditLength();
  } else if (MaxLength() > 0 && len >= MaxLength()) {
    limit = MaxLength();
  }
  if (limit > 0) {
    if (ACol < ColCount() - 1) {
      SetCol(NextUnlockedCol(ACol, +1));
      if (Col() == ACol) SetCells(ACol, ARow, s.substr(0, static_cast<size_t>(limit)));
    } else {
      SetCells(ACol, ARow, s.substr(0, static_cast<size_t>(limit)));
      SetCol(ColCount() - 1);
    }
  }
  if (Numeric() && SumCol() > -1 && Value != s) SetCells(SumCol(), ARow, IntToStr(RowSum(ARow)));
}

void TKStrGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  TCanvas* cv = Canvas();
  cv->Font()->SetStyle(TFontStyles());
  AnsiString S = Cells(ACol, ARow);
  if (AState.Contains(gdFixed)) {
    ChooseFixedColours(ARow);
    if (FTitleEnabled && ARow == 0) S = TitleText(ACol);
  } else {
    ChooseCellColours(ARow, AState);
  }
  if (ARow == 0 && FTurnBold) cv->Font()->SetStyle(TFontStyles{fsBold});
  const bool rotated = ARow == 0 && FTurn && FixedRows() > 0;
  if (!rotated && OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
  S = KeepShownText(ACol, ARow, S);
  if (!ShowZero() && S == "0") S.clear();
  if (rotated) {
    DrawRotatedTitle(ARect, S);
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
  } else {
    DrawCellText(TextLeft(ARect, S), ARect, S);
  }
  DrawFixedEdge(ACol, ARow, ARect);
  if (!FTurn && ARow == 0 && FTurnBold) cv->Font()->SetStyle(TFontStyles());
}

AnsiString TKStrGrid::KeepShownText(int ACol, int ARow, AnsiString S) {
  if (TStrings* list = RowTextList(ARow))
    S = ACol >= 0 && ACol < list->Count() ? list->Strings(ACol) : AnsiString();
  if (S != Cells(ACol, ARow)) SetCells(ACol, ARow, S);
  return S;
}

void TKStrGrid::ChooseFixedColours(int ARow) {
  if (BlockLen() > 0 && ARow != InputRow()) {
    if (BlockColorsSet()) Canvas()->Brush()->SetColor(BlockColorOf(ARow));
  } else {
    Canvas()->Brush()->SetColor(FixedColor());
  }
  Canvas()->Font()->SetColor(Font()->Color());
}

void TKStrGrid::ChooseCellColours(int ARow, TGridDrawState AState) {
  if (BlockLen() > 0 && ARow >= 1 && ARow != InputRow()) {
    if (BlockColorsSet()) Canvas()->Brush()->SetColor(BlockColorOf(ARow));
  } else {
    Canvas()->Brush()->SetColor(clWindow);
  }
  Canvas()->Font()->SetColor(Font()->Color());
  if (GridHasFocus()) {
    if (ARow == Row()) ChooseCurrentRowColours(ARow, AState);
  } else if (ShowSelColor() && AState.Contains(gdSelected)) {
    SetColours(ScaleColor(Color(), 0.9L), Font()->Color());
  }
}

void TKStrGrid::ChooseCurrentRowColours(int ARow, TGridDrawState AState) {
  const bool selected = AState.Contains(gdSelected);
  if (ARow == InputRow() && selected && AState.Contains(gdFocused))
    SetColours(clRed, clWhite);
  else if (!Options().Contains(goEditing) && (selected || Options().Contains(goRowSelect)))
    SetColours(SelectColor(), SelectFontColor());
}

void TKStrGrid::DrawRotatedTitle(const TRect& Rect, const AnsiString& S) {
  TCanvas* cv = Canvas();
  HFONT font = CreateFontA(FTitleFontHeight, 0, 900, 900, FTitleWeight, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0, 0,
                           0, FDrawFont.c_str());
  HDC dc = cv->Handle();
  HGDIOBJ old = SelectObject(dc, font);
  try {
    cv->TextRect(Rect, Rect.Left + 6, Rect.Bottom - 4, S);
  } catch (...) {
    SelectObject(dc, old);
    DeleteObject(font);
    throw;
  }
  SelectObject(dc, old);
  DeleteObject(font);
}

// ---------------------------------------------------------------- published properties

namespace {

const bool registeredKGrid =
    platform::RegisterClass<TKGrid>("TKGrid", "TStringGrid")
        .Event("OnMakeSum", &TKGrid::OnMakeSum)
        .Event("OnDrawCell", &TKGrid::OnDrawCell)
        .Int("InputRow", &TKGrid::SetInputRow, -1)
        .Int("SumCol", &TKGrid::SetSumCol, -1)
        .Color("SumColor", &TKGrid::SetSumColor, 0)
        .Int("EditLength", &TKGrid::SetEditLength, 1)
        .Bool("Numeric", &TKGrid::SetNumeric, true)
        .Enum<TAlignment>(
            "Alignment",
            {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
            &TKGrid::SetAlignment, taRightJustify)
        .Int("BlockLen", &TKGrid::SetBlockLen, 0)
        .Color("SelectColor", &TKGrid::SetSelectColor, clBlue)
        .Color("SelectFontColor", &TKGrid::SetSelectFontColor, clWhite)
        .Color("GridColor", &TKGrid::SetGridColor, 0)
        .Int("MaxLength", &TKGrid::SetMaxLength, -1)
        .Bool("ShowZero", &TKGrid::SetShowZero, false)
        .Bool("ShowSelColor", &TKGrid::SetShowSelColor, true)
        .Bool("DefaultDrawing", &TCustomGrid::SetDefaultDrawing, true)
        .Bool("SelectFrame", &TKGrid::SetSelectFrame, false)
        .Object("TitleCols", [](TKGrid* g) -> TPersistent* { return g->TitleCols(); })
        .Done();

const bool registeredKStrGrid = platform::RegisterClass<TKStrGrid>("TKStrGrid", "TKGrid")
                                    .Bool("KeyDefault", &TKStrGrid::SetKeyDefault, false)
                                    .Bool("Turn", &TKStrGrid::SetTurn, false)
                                    .Bool("TurnBold", &TKStrGrid::SetTurnBold, false)
                                    .Int("TurnHeight", &TKStrGrid::SetTurnHeight, 50)
                                    .Int("MinFont", &TKStrGrid::SetMinFont, 8)
                                    .Int("MaxFont", &TKStrGrid::SetMaxFont, 16)
                                    .Str("DrawFont", &TKStrGrid::SetDrawFont)
                                    .Bool("TitleEnabled", &TKStrGrid::SetTitleEnabled, false)
                                    .Done();

}  // namespace
