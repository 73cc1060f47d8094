#include "controls/kCtrls.h"

#include <algorithm>
#include <utility>

#include "foundation/language.h"
#include "platform/gui/forms.h"
#include "platform/gui/streaming.h"
#include "platform/os/windows.h"
#include "platform/rtl/sysutils.h"

namespace {

// ---------------------------------------------------------------- item lines

// Keys compare with the ASCII letters folded; umlauts and the rest as they are.
AnsiString FoldKey(const AnsiString& S) {
  AnsiString r = S;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool SameKey(const AnsiString& A, const AnsiString& B) { return FoldKey(A) == FoldKey(B); }

// Field KeyPos of a stored line.  A position outside the field table reads
// as empty text.
AnsiString KeyOfLine(const AnsiString& Line, int KeyPos) {
  if (KeyPos < 0 || KeyPos >= KFieldTableSize) return AnsiString();
  TKFieldTable f;
  SplitFields(Line, f, KFieldLimit);
  return f[static_cast<std::size_t>(KeyPos)];
}

// The lenient integer of a key: -1 when it is no number; the low 32 bits of
// a number beyond the 32-bit range.
int KeyToInt(const AnsiString& Key) {
  return static_cast<int>(static_cast<std::uint32_t>(platform::LenientRound(Key, -1)));
}

// ---------------------------------------------------------------- column widths

AnsiString WidthsText(const TKWidthTable& Widths, int Count) {
  AnsiString r;
  for (int i = 0; i < Count; ++i) r += IntToStr(Widths[static_cast<std::size_t>(i)]) + ";";
  return r;
}

// The count is taken first and the fields are read in order, so a field
// that is no integer raises EConvertError with the count already new, the
// entries before it holding their new widths and the rest their old ones.
void ParseWidths(const AnsiString& Value, TKWidthTable& Widths, int& Count) {
  if (Value.empty()) {
    Count = 0;
    return;
  }
  AnsiString text = Value;
  if (text.back() != ';') text += ';';
  TKFieldTable f;
  const int n = SplitFields(text, f, KFieldLimit);
  Count = n;
  for (int i = 0; i < n; ++i) Widths[static_cast<std::size_t>(i)] = StrToInt(f[static_cast<std::size_t>(i)]);
}

// ---------------------------------------------------------------- column layout

struct ColumnLayout {
  int Inset = 2;               // text offset inside its column
  bool InPixels = false;       // widths are pixels, not letter widths
  bool GapAfterLater = false;  // one pixel more before the separators after column 2 and up
  TColor Separator = clSilver;
};

// A text is never clipped to its column: one wider than its column (a
// six-digit number in a column four letters wide) is drawn whole, and the
// column's separator and the next column move right behind it in that
// entry, so neither crosses nor covers it.
void DrawColumns(TCanvas* C, const TRect& R, const TKFieldTable& F, int N, const TKWidthTable& Widths,
                 int WidthCount, const ColumnLayout& L, TObject* Sender, const TGetTextEvent& OnGetText) {
  int x = 0;
  for (int c = 1; c < N; ++c) {
    if (Widths[static_cast<std::size_t>(c - 1)] <= 0) continue;
    AnsiString text = F[static_cast<std::size_t>(c)];
    if (OnGetText) OnGetText(Sender, c, text);
    C->TextOut(R.Left + x + L.Inset, R.Top, text);
    const int textEnd = text.empty() ? x : x + L.Inset + C->TextWidth(text);
    int w = c <= WidthCount ? Widths[static_cast<std::size_t>(c - 1)] : 20;
    if (!L.InPixels) w *= C->TextWidth("W");
    x = std::max(x + w, textEnd);
    if (c < N - 1) {
      if (L.GapAfterLater && c > 1) x += 1;
      C->Pen()->SetColor(L.Separator);
      C->MoveTo(R.Left + x, R.Top);
      C->LineTo(R.Left + x, R.Bottom);
    }
  }
}

// ---------------------------------------------------------------- focus hand-on

// Posts WM_NEXTDLGCTL to the owner's window, or with ToTopForm (and a
// window of its own) to the control's topmost parent form.  A control
// without a windowed owner (and no form to map to) hands nothing on.
void HandFocusOn(TWinControl* Control, bool Previous, bool ToTopForm) {
  TWinControl* target = nullptr;
  if (ToTopForm && Control->HandleAllocated()) target = Control->TopForm();
  if (!target) target = dynamic_cast<TWinControl*>(Control->Owner());
  if (!target) return;
  PostMessage(target->Handle(), WM_NEXTDLGCTL, Previous ? 1 : 0, 0);
}

// The lines of a sorted box get new sort keys.  From First on, in index
// order, each line becomes the line AddLine stores for the same caller line
// under SortItem.  Events are held back, the native list does not update
// until the end, and the box sorts again afterwards.
template <class Box>
void ReKey(Box* B, TSortItem SortItem, int First, TNotifyEvent& Change) {
  TStrings* items = B->Items();
  TNotifyEvent savedChange = std::move(Change);
  TNotifyEvent savedClick = std::move(B->OnClick);
  Change = nullptr;
  B->OnClick = nullptr;
  items->BeginUpdate();
  auto restore = [&] {
    Change = std::move(savedChange);
    B->OnClick = std::move(savedClick);
  };
  try {
    B->SetSorted(false);
    const int n = items->Count();
    for (int i = First; i < n; ++i) {
      AnsiString rest = StripSortKey(items->Strings(i));
      if (!rest.empty() && rest.back() == ';') rest.pop_back();
      TObject* obj = items->Objects(i);
      items->SetStrings(i, MakeSortLine(SortItem - 1, rest));
      items->SetObjects(i, obj);
    }
    B->SetSorted(true);
  } catch (...) {
    items->EndUpdate();
    restore();
    throw;
  }
  items->EndUpdate();
  restore();
}

int NormalSortItem(int Value) { return (Value < 1 || Value > 11) ? 1 : Value; }

bool IsEditStyle(TComboBoxStyle S) { return S == csDropDown || S == csSimple; }

}  // namespace

// ---------------------------------------------------------------- text routines

AnsiString MakeSortLine(int FieldIndex, const AnsiString& Line) {
  if (FieldIndex < 0) FieldIndex = 0;
  std::size_t start = 0;
  int field = 0;
  AnsiString key;
  bool found = false;
  for (std::size_t i = 0; i < Line.size(); ++i) {
    if (Line[i] != ';') continue;
    if (field == FieldIndex) {
      key = Line.substr(start, i - start);
      found = true;
      break;
    }
    ++field;
    start = i + 1;
  }
  // Fewer terminated fields: the text after the last ";".
  if (!found) key = Line.substr(start);
  AnsiString r;
  r.reserve(key.size() + Line.size() + 2);
  r += key;
  r += ';';
  r += Line;
  r += ';';
  return r;
}

AnsiString StripSortKey(const AnsiString& Line) {
  const std::size_t p = Line.find(';');
  if (p == AnsiString::npos) return AnsiString();
  return Line.substr(p + 1);
}

int SplitFields(const AnsiString& Line, TKFieldTable& Fields, int Limit) {
  if (Limit > KFieldTableSize) Limit = KFieldTableSize;
  int count = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < Line.size() && count < Limit; ++i) {
    if (Line[i] != ';') continue;
    Fields[static_cast<std::size_t>(count++)] = Line.substr(start, i - start);
    start = i + 1;
  }
  return count;
}

// ---------------------------------------------------------------- TKCustomComboBox

TKCustomComboBox::TKCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetHeight(21);
  SetFlat(FlatLook);
}

void TKCustomComboBox::SetFlat(bool Value) {
  if (!Value) return;
  if (Ctl3D()) SetCtl3D(false);
  SetStyle(csOwnerDrawVariable);
  SetItemHeight(13);
}

bool TKCustomComboBox::EditSelection(DWORD& Start, DWORD& End) {
  Start = End = 0;
  if (!IsEditStyle(Style())) return false;
  Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return End > Start;
}

void TKCustomComboBox::KeyPress(char& Key) {
  if (!AutoComplete()) return;
  const bool edit = IsEditStyle(Style());
  if (edit) {
    FSearchText = Text();
  } else {
    const DWORD now = GetTickCount();
    if (static_cast<DWORD>(now - FLastKeyTime) > 1000) FSearchText.clear();
    FLastKeyTime = now;
  }
  switch (Key) {
    case VK_ESCAPE: return;
    case VK_TAB:
      if (AutoDropDown() && DroppedDown()) SetDroppedDown(false);
      return;
    case VK_BACK: {
      DWORD start = 0, end = 0;
      if (EditSelection(start, end)) {
        AnsiString t = Text();
        if (start < t.size()) t.erase(start, end - start);
        Perform(CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetText(t);
        Perform(CB_SETEDITSEL, 0,
                static_cast<LPARAM>(MAKELONG(static_cast<WORD>(start), static_cast<WORD>(start))));
      } else if (edit && !Text().empty()) {
        // The text is single-byte (Windows-1252): no trail bytes to step over.
        const AnsiString t = Text();
        int caret = static_cast<int>(start);
        if (caret > static_cast<int>(t.size())) caret = static_cast<int>(t.size());
        const int keep = caret > 0 ? caret - 1 : 0;
        Perform(CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetText(t.substr(0, static_cast<std::size_t>(keep)) + t.substr(static_cast<std::size_t>(caret)));
        Perform(CB_SETEDITSEL, 0, static_cast<LPARAM>(MAKELONG(static_cast<WORD>(keep), static_cast<WORD>(keep))));
        FSearchText = Text();
      } else if (!FSearchText.empty()) {
        FSearchText.pop_back();
      }
      Key = 0;
      Change();
      return;
    }
    default: {
      if (AutoDropDown() && !DroppedDown()) SetDroppedDown(true);
      DWORD start = 0, end = 0;
      AnsiString candidate = EditSelection(start, end) ? FSearchText.substr(0, start) : FSearchText;
      candidate += Key;
      // Windows-1252 has no lead bytes, so no second character to fetch.
      if (SelectText(candidate)) Key = 0;
      return;
    }
  }
}

// The selection step of the search: the first entry that begins with S.
bool TKCustomComboBox::SelectText(const AnsiString& S) {
  if (S.empty()) {
    SetItemIndex(-1);
    Change();
    return false;
  }
  const LRESULT found = Perform(CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
  if (found == CB_ERR || found < 0) return false;
  const int index = static_cast<int>(found);
  const bool changed = index != ItemIndex();
  const AnsiString item = Items()->Strings(index);
  if (AutoCloseUp() && SameText(item, S)) Perform(CB_SHOWDROPDOWN, FALSE, 0);
  Perform(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (IsEditStyle(Style())) {
    const AnsiString t = S + (item.size() > S.size() ? item.substr(S.size()) : AnsiString());
    SetText(t);
    Perform(CB_SETEDITSEL, 0,
            static_cast<LPARAM>(MAKELONG(static_cast<WORD>(S.size()), static_cast<WORD>(t.size()))));
  } else {
    SetItemIndex(index);
    FSearchText = S;
  }
  if (changed) {
    Click();
    Select();
  }
  return true;
}

void TKCustomComboBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  // The low 16 bits are the owner-draw state in ODS bit order, the
  // combo box edit and default bits included.
  const TOwnerDrawState state = TOwnerDrawState::FromBits(dis->itemState & 0xFFFFu);
  const int index = static_cast<int>(dis->itemID);
  TCanvas* c = Canvas();
  c->SetHandle(dis->hDC);
  struct Release {
    TCanvas* C;
    ~Release() { C->SetHandle(nullptr); }
  } release{c};
  c->SetFont(Font());
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  if (index >= 0 && state.Contains(odSelected)) {
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
  }
  const TRect rect(dis->rcItem);
  if (index < 0)
    c->FillRect(rect);
  else
    DrawItem(index, rect, state);
  Message.Result = 1;
}

void TKCustomComboBox::WMPaint(TMessage& Message) {
  TCustomComboBox::WMPaint(Message);
  if (!FlatLook) return;
  if (Ctl3D()) SetFlat(true);
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  RECT r{};
  GetClientRect(wnd, &r);
  HBRUSH frame = CreateSolidBrush(RGB(0xA0, 0xA0, 0xA0));
  FrameRect(dc, &r, frame);
  DeleteObject(frame);
  r.left = r.right - GetSystemMetrics(SM_CXHTHUMB) - 2;
  DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
  ReleaseDC(wnd, dc);
}

// ---------------------------------------------------------------- TKComboBox

TKComboBox::TKComboBox(TComponent* AOwner) : TKCustomComboBox(AOwner) {
  SetStyle(csOwnerDrawFixed);
  FSavedColor = Color();
  FSavedFontColor = Font()->Color();
}

TKComboBox::~TKComboBox() = default;

AnsiString TKComboBox::KeyAt(int Index) {
  // An index that holds no entry reads as empty text.
  if (Index < 0 || Index >= Items()->Count()) return AnsiString();
  return KeyOfLine(Items()->Strings(Index), FKeyPos);
}

void TKComboBox::DoKeyChange() {
  if (FCurrentKey == FNotifiedKey) return;
  FNotifiedKey = FCurrentKey;
  if (OnKeyChange) OnKeyChange(this);
}

void TKComboBox::AddLine(const AnsiString& Line, TObject* Obj) {
  if (Items()->Count() == 0 && !FNoneItem.empty()) Items()->Add(MakeSortLine(FSortItem - 1, FNoneItem));
  const AnsiString stored = MakeSortLine(FSortItem - 1, Line);
  if (Obj)
    AddItem(stored, Obj);
  else
    Items()->Add(stored);
}

void TKComboBox::SetIndex(int Index) {
  const int count = Items()->Count();
  if (count == 0) {
    SetItemIndex(-1);
    return;
  }
  int j = Index < count ? Index : count - 1;
  if (j < 0) j = -1;
  SetItemIndex(j);
  FBaseKey = FCurrentKey = KeyAt(j);
  DoKeyChange();
  SetChanged(false);
}

int TKComboBox::FindKey(const AnsiString& Key) {
  const AnsiString folded = FoldKey(Key);
  const int count = Items()->Count();
  for (int i = 0; i < count; ++i)
    if (FoldKey(KeyAt(i)) == folded) return i;
  return -1;
}

bool TKComboBox::SetKey(const AnsiString& Key) {
  const int i = FindKey(Key);
  if (i >= 0) {
    SetItemIndex(i);
    FBaseKey = FCurrentKey = Key;
  } else {
    if (Items()->Count() > 0) SetItemIndex(0);
    FBaseKey = FCurrentKey = KeyAt(0);
  }
  DoKeyChange();
  SetChanged(false);
  return i >= 0;
}

AnsiString TKComboBox::GetKey() {
  if (ItemIndex() < 0) return AnsiString();
  FCurrentKey = KeyAt(ItemIndex());
  DoKeyChange();
  return FCurrentKey;
}

int TKComboBox::GetKeyInt() { return KeyToInt(GetKey()); }

void TKComboBox::SetChanged(bool Value) {
  if (Value == FKeyChanged) return;
  FKeyChanged = Value;
  FCurrentKey = KeyAt(ItemIndex());
  DoKeyChange();
  if (Value) {
    SetColor(clWindow);
    Font()->SetColor(FColorChanged);
  } else {
    SetColor(FSavedColor);
    Font()->SetColor(FSavedFontColor);
    FBaseKey = FCurrentKey;
  }
  Invalidate();
}

bool TKComboBox::KeyCR() {
  const bool r = FKeyCR;
  FKeyCR = false;
  return r;
}

void TKComboBox::SetSortItem(int Value) {
  if (Value == FSortItem) return;
  FSortItem = static_cast<TSortItem>(NormalSortItem(Value));
  if (!Sorted()) return;
  ReKey(this, FSortItem, FNoneItem.empty() ? 0 : 1, OnChange);
}

AnsiString TKComboBox::ColWidths() const { return WidthsText(FColWidths, FColWidthCount); }

void TKComboBox::SetColWidths(const AnsiString& Value) {
  ParseWidths(Value, FColWidths, FColWidthCount);
  Invalidate();
}

void TKComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState /*State*/) {
  if (Index >= Items()->Count()) return;
  TKFieldTable f;
  const int n = SplitFields(Items()->Strings(Index), f, KFieldLimit);
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  c->Pen()->SetColor(clSilver);
  if (!Enabled()) c->Font()->SetColor(FColorDisabled);
  ColumnLayout layout;
  layout.Inset = 2;
  layout.Separator = clSilver;
  DrawColumns(c, Rect, f, n, FColWidths, FColWidthCount, layout, this, OnGetText);
}

void TKComboBox::KeyPress(char& Key) {
  FKeyCR = false;
  if (OnKeyPress) OnKeyPress(this, Key);
  const unsigned char k = static_cast<unsigned char>(Key);
  if (k >= 32 && k <= 254) {
    SetDroppedDown(true);
  } else if (Key == VK_RETURN) {
    Key = 0;
    FKeyCR = true;
    HandFocusOn(this, false, FMapEnterToTab);
  }
  if (Key != 0) TKCustomComboBox::KeyPress(Key);
}

void TKComboBox::KeyDown(Word& Key, TShiftState Shift) {
  FKeyCR = false;
  TKCustomComboBox::KeyDown(Key, Shift);
  if (DroppedDown() || Shift.Contains(ssAlt)) return;
  if (Key == VK_UP) {
    Key = 0;
    HandFocusOn(this, true, FMapEnterToTab);
  } else if (Key == VK_DOWN) {
    Key = 0;
    HandFocusOn(this, false, FMapEnterToTab);
  }
}

void TKComboBox::Change() {
  FCurrentKey = KeyAt(ItemIndex());
  DoKeyChange();
  TKCustomComboBox::Change();
}

void TKComboBox::CMEnter(TMessage& Message) {
  FKeyCR = false;
  TKCustomComboBox::CMEnter(Message);
}

void TKComboBox::CMExit(TMessage& Message) {
  LastExitControl = this;
  if (ItemIndex() >= 0) {
    const bool differs = !SameKey(KeyAt(ItemIndex()), FBaseKey);
    // Every exit applies the whole effect of SetChanged.
    FKeyChanged = !differs;
    SetChanged(differs);
  }
  TKCustomComboBox::CMExit(Message);
}

// ---------------------------------------------------------------- TKCustomListBox

TKCustomListBox::TKCustomListBox(TComponent* AOwner) : TCustomListBox(AOwner) { SetFlat(FlatLook); }

void TKCustomListBox::SetFlat(bool Value) {
  if (!Value) return;
  SetCtl3D(false);
}

void TKCustomListBox::KeyPress(char& Key) {
  if (!AutoComplete()) return;
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - FLastKeyTime) > 1000) FSearchText.clear();
  FLastKeyTime = now;
  // Windows-1252 is single-byte: no trail or lead bytes to handle.
  if (Key == VK_BACK) {
    if (!FSearchText.empty()) FSearchText.pop_back();
  } else {
    FSearchText += Key;
  }
  if (FSearchText.empty()) {
    if (Items()->Count() > 0) SetItemIndex(0);
    Click();
    return;
  }
  const LRESULT found =
      Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FSearchText.c_str()));
  if (found != LB_ERR && found >= 0) {
    const int index = static_cast<int>(found);
    if (MultiSelect()) {
      ClearSelection();
      Perform(LB_SELITEMRANGE, TRUE,
              static_cast<LPARAM>(MAKELONG(static_cast<WORD>(index), static_cast<WORD>(index))));
    }
    SetItemIndex(index);
    Click();
  }
  if (Key != VK_BACK && Key != VK_RETURN && Key != VK_ESCAPE) Key = 0;
}

void TKCustomListBox::WMPaint(TMessage& Message) {
  if (FlatLook && Ctl3D()) SetFlat(true);
  TCustomListBox::WMPaint(Message);
}

// ---------------------------------------------------------------- TKListBox

TKListBox::TKListBox(TComponent* AOwner) : TKCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  FColWidths.fill(0);
}

TKListBox::~TKListBox() = default;

// The key of the line at Index; an index that holds no entry raises the
// list index error.
AnsiString TKListBox::LineKey(int Index) {
  if (Index < 0 || Index >= Items()->Count()) throw EListError(platform::msg::ListIndexError, {Index});
  return KeyOfLine(Items()->Strings(Index), FKeyPos);
}

AnsiString TKListBox::SelectionKey() { return LineKey(ItemIndex()); }

void TKListBox::AddLine(const AnsiString& Line, TObject* Obj) {
  if (Items()->Count() == 0 && !FNoneItem.empty()) Items()->Add(" ;" + FNoneItem);
  const AnsiString stored = MakeSortLine(FSortItem - 1, Line);
  if (Obj)
    AddItem(stored, Obj);
  else
    Items()->Add(stored);
}

void TKListBox::SetIndex(int Index) {
  const int count = Items()->Count();
  if (count == 0) {
    SetItemIndex(-1);
    return;
  }
  const int i = Index >= count ? count - 1 : Index;
  // A negative index raises the list index error before anything changes.
  const AnsiString key = LineKey(i);
  FBaseKey = FCurrentKey = key;
  SetItemIndex(i);
  SetChanged(false);
}

AnsiString TKListBox::GetKey() {
  if (ItemIndex() < 0) return AnsiString();
  FCurrentKey = SelectionKey();
  return FCurrentKey;
}

int TKListBox::GetKeyInt() { return KeyToInt(GetKey()); }

void TKListBox::SetChanged(bool Value) {
  if (Value == FKeyChanged || Items()->Count() == 0) return;
  FKeyChanged = Value;
  FCurrentKey = SelectionKey();
  if (!Value) FBaseKey = FCurrentKey;
  Invalidate();
}

void TKListBox::UpdateCurrent() {
  FLastIndex = ItemIndex();
  if (Items()->Count() > 0 && ItemIndex() >= 0) {
    FCurrentKey = SelectionKey();
    FKeyChanged = !SameKey(FCurrentKey, FBaseKey);
  } else {
    FCurrentKey.clear();
  }
}

void TKListBox::SetSortItem(int Value) {
  if (Value == FSortItem) return;
  FSortItem = static_cast<TSortItem>(NormalSortItem(Value));
  if (!Sorted()) return;
  ReKey(this, FSortItem, FNoneItem.empty() ? 0 : 1, OnChange);
}

AnsiString TKListBox::ColWidths() const { return WidthsText(FColWidths, FColWidthCount); }

void TKListBox::SetColWidths(const AnsiString& Value) {
  ParseWidths(Value, FColWidths, FColWidthCount);
  Invalidate();
}

void TKListBox::SetColWidthsInPoint(bool Value) {
  if (Value == FColWidthsInPoint) return;
  FColWidthsInPoint = Value;
  Invalidate();
}

void TKListBox::SetGitterHorizontal(bool Value) {
  const std::uint32_t flags = Value ? (FDrawFlags | 1u) : (FDrawFlags & ~1u);
  if (flags == FDrawFlags) return;
  FDrawFlags = flags;
  Invalidate();
}

void TKListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  const int count = Items()->Count();
  if (count == 0 || Index < 0 || Index >= count) return;
  AnsiString text;
  if (OnGetLine) OnGetLine(this, Index, text);
  const AnsiString line = text.empty() ? Items()->Strings(Index) : MakeSortLine(FSortItem - 1, text);
  TKFieldTable f;
  const int n = SplitFields(line, f, KFieldLimit);

  TCanvas* c = Canvas();
  const bool selected = State.Contains(odSelected);
  const bool focused = State.Contains(odFocused);
  if (!Enabled()) {
    c->Brush()->SetColor(Color());
    c->Font()->SetColor(clInactiveCaption);
  } else if (selected && focused) {
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
  } else if (selected) {
    c->Brush()->SetColor(ScaleColor(Color(), 0.9L));
    c->Font()->SetColor(Font()->Color());
  } else {
    c->Brush()->SetColor(Color());
    c->Font()->SetColor(Font()->Color());
  }
  if (OnPaintItem) OnPaintItem(this, Index, Rect, State);
  c->FillRect(Rect);

  ColumnLayout layout;
  layout.Inset = 3;
  layout.InPixels = FColWidthsInPoint;
  layout.GapAfterLater = true;
  layout.Separator = clBtnShadow;
  DrawColumns(c, Rect, f, n, FColWidths, FColWidthCount, layout, this, OnGetText);

  if (GitterHorizontal()) {
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(Rect.Left, Rect.Bottom - 1);
    c->LineTo(Rect.Right, Rect.Bottom - 1);
  } else if (selected && !focused) {
    c->DrawFocusRect(Rect);
  }
}

void TKListBox::Click() {
  TKCustomListBox::Click();
  if (ItemIndex() != FLastIndex) UpdateCurrent();
  if (OnChange) OnChange(this);
}

void TKListBox::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
  if (Key == VK_RETURN) {
    HandFocusOn(this, false, false);
    Key = 0;
  }
  if (Key != 0) TKCustomListBox::KeyPress(Key);
}

void TKListBox::CMEnter(TMessage& Message) {
  TKCustomListBox::CMEnter(Message);
  // A click where the mouse pointer rests, straight to the native list box.
  POINT p{};
  GetCursorPos(&p);
  const TPoint client = ScreenToClient(TPoint(p));
  TMessage down;
  down.Msg = WM_LBUTTONDOWN;
  down.LParam = MakePointLParam(client.X, client.Y);
  TCustomListBox::DefaultHandler(down);
  TMessage up = down;
  up.Msg = WM_LBUTTONUP;
  up.Result = 0;
  TCustomListBox::DefaultHandler(up);
}

void TKListBox::CMExit(TMessage& Message) {
  if (Items()->Count() == 0) SetIndex(-1);
  if (ItemIndex() >= 0) {
    FCurrentKey = SelectionKey();
    FKeyChanged = !SameKey(FCurrentKey, FBaseKey);
  }
  TKCustomListBox::CMExit(Message);
}

// ---------------------------------------------------------------- window descriptions

namespace {

const bool registeredCustomCombo =
    platform::RegisterClass<TKCustomComboBox>("TKCustomComboBox", "TCustomComboBox").NotCreatable().Done();

const bool registeredCombo =
    platform::RegisterClass<TKComboBox>("TKComboBox", "TKCustomComboBox")
        .Int("SortItem", [](TKComboBox* c, int v) { c->SetSortItem(v); })
        .Str("ColWidths", &TKComboBox::SetColWidths)
        .Int("KeyPos", &TKComboBox::SetKeyPos)
        .Str("NoneItem", &TKComboBox::SetNoneItem)
        .Color("ColorDisabled", &TKComboBox::SetColorDisabled, clRed)
        .Color("ColorChanged", &TKComboBox::SetColorChanged, clBlue)
        .Bool("MapEnterToTab", &TKComboBox::SetMapEnterToTab)
        .Event("OnGetText", &TKComboBox::OnGetText)
        .Ignore("DataSource")  // held for data-aware forms; the box reads nothing through it
        .Done();

const bool registeredCustomList =
    platform::RegisterClass<TKCustomListBox>("TKCustomListBox", "TCustomListBox").NotCreatable().Done();

const bool registeredList = platform::RegisterClass<TKListBox>("TKListBox", "TKCustomListBox")
                                .Int("SortItem", [](TKListBox* c, int v) { c->SetSortItem(v); })
                                .Str("ColWidths", &TKListBox::SetColWidths)
                                .Bool("ColWidthsInPoint", &TKListBox::SetColWidthsInPoint, false)
                                .Bool("GitterHorizontal", &TKListBox::SetGitterHorizontal, false)
                                .Int("KeyPos", &TKListBox::SetKeyPos)
                                .Str("NoneItem", &TKListBox::SetNoneItem)
                                .Event("OnGetText", &TKListBox::OnGetText)
                                .Event("OnChange", &TKListBox::OnChange)
                                .Event("OnPaintItem", &TKListBox::OnPaintItem)
                                .Ignore("DataSource")
                                .Done();

}  // namespace
