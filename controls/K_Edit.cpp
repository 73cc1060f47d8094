#include "controls/K_Edit.h"

#include <algorithm>
#include <cctype>

#include "foundation/language.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/forms.h"
#include "platform/gui/graphics.h"
#include "platform/gui/streaming.h"
#include "platform/os/windows.h"

// ---------------------------------------------------------------- the mask

namespace platform {

void TEditMask::SetMask(const AnsiString& Mask) {
  FMask = Mask;
  const int n = static_cast<int>(Mask.size());
  const std::size_t colon = Mask.find(':');
  const std::size_t comma = Mask.find(',');
  if (n == 5 && colon == 2) {
    FTime = true;
    FDecimals = 0;
    FMaxLength = 4;
  } else if (comma != AnsiString::npos) {
    FTime = false;
    FDecimals = n - static_cast<int>(comma + 1);
    FMaxLength = n - 1;
  } else {
    FTime = false;
    FDecimals = 0;
    // A mask that ends in its first "-" leaves room for the sign in front;
    // the empty mask gives -1, no limit.
    const std::size_t minus = Mask.find('-');
    const int minusPos = minus == AnsiString::npos ? 0 : static_cast<int>(minus + 1);
    FMaxLength = minusPos == n ? n - 1 : n;
  }
}

bool TEditMask::LiteralAt(int Pos) const {
  if (Pos < 1 || Pos > static_cast<int>(FMask.size())) return false;
  return IsLiteral(FMask[static_cast<std::size_t>(Pos - 1)]);
}

int TEditMask::Places(const AnsiString& S, std::size_t Count) const {
  const auto end = S.begin() + static_cast<std::ptrdiff_t>(std::min(Count, S.size()));
  return static_cast<int>(std::count_if(S.begin(), end, [this](char c) { return TakesPlace(c); }));
}

std::size_t TEditMask::PlacesEnd(const AnsiString& S, int Count) const {
  // Where the next character would take one place too many.
  std::size_t end = 0;
  for (int used = 0; end < S.size(); ++end) {
    if (!TakesPlace(S[end])) continue;
    if (used == Count) break;
    ++used;
  }
  return end;
}

AnsiString TEditMask::StripMask(const AnsiString& S) const {
  std::size_t i = 0;
  if (FDecimals > 0)
    while (i < S.size() && (S[i] == '0' || S[i] == ',')) ++i;
  AnsiString r;
  r.reserve(S.size() - i);
  for (; i < S.size(); ++i) {
    const char c = S[i];
    if (IsLiteral(c)) continue;
    if (FDecimals > 0 && c == ',') continue;
    r += c;
  }
  return r;
}

AnsiString TEditMask::FormatMask(const AnsiString& Value) const {
  const int n = static_cast<int>(FMask.size());
  AnsiString r;
  bool any = false;
  std::size_t j = 0;
  for (int i = 1; i <= n; ++i, ++j) {
    // A literal goes in before the value character that follows it.
    if (LiteralAt(i)) {
      r += LiteralShown(FMask[static_cast<std::size_t>(i - 1)]);
      ++i;
    }
    if (j < Value.size()) {
      r += Value[j];
      any = true;
    }
  }
  if (!any) r.clear();
  std::size_t end = r.size();
  while (end > 0 && IsLiteral(r[end - 1])) --end;
  if (end > 0) r.resize(end);
  if (FDecimals > 0) r = FormatDecimal(r);
  if (FTime) r = FormatTime(r);
  return r;
}

AnsiString TEditMask::FormatDecimal(const AnsiString& S) const {
  if (FDecimals <= 0) return AnsiString();
  if (S.empty() && FEmpty) return AnsiString();
  std::size_t i = 0;
  while (i < S.size() && S[i] == '0') ++i;
  AnsiString r = S.substr(i);
  const std::size_t need = static_cast<std::size_t>(FDecimals) + 1;
  if (r.size() < need) r.insert(0, need - r.size(), '0');
  r.insert(r.size() - static_cast<std::size_t>(FDecimals), 1, ',');
  return r;
}

AnsiString TEditMask::FormatTypedDecimal(const AnsiString& S) const {
  const std::size_t comma = S.find(',');
  if (FDecimals <= 0 || comma == AnsiString::npos) return FormatDecimal(S);
  AnsiString decimals = S.substr(comma + 1);
  decimals.erase(std::remove(decimals.begin(), decimals.end(), ','), decimals.end());
  decimals.resize(static_cast<std::size_t>(FDecimals), '0');
  return FormatDecimal(S.substr(0, comma) + decimals);
}

AnsiString TEditMask::FormatTime(const AnsiString& S) const {
  if (!FTime) return S;
  if (S.empty() && FEmpty) return AnsiString();
  AnsiString r;
  for (char c : S)
    if (c >= '0' && c <= '9') r += c;
  if (r.size() < 4) r.insert(0, 4 - r.size(), '0');
  r.insert(2, 1, ':');
  return r;
}

bool TEditMask::CharFitsMask(int Pos, const AnsiString& Text, char& Key) const {
  const int n = static_cast<int>(FMask.size());
  if (Pos < 1 || Pos > n) return true;
  const char m = FMask[static_cast<std::size_t>(Pos - 1)];
  bool fits = true;
  if (m == '0' || m == '9') {
    fits = Key >= '0' && Key <= '9';
  } else if (m == '>') {
    Key = AnsiUpperCase(AnsiString(1, Key))[0];
  } else if (m == '<') {
    Key = AnsiLowerCase(AnsiString(1, Key))[0];
  }
  if (fits) return true;
  const std::size_t first = FMask.find(Key);
  if (first == AnsiString::npos) return false;
  // A "-" that the mask has only at its end is the sign in front.
  if (Key == '-' && static_cast<int>(first) == n - 1 && !Text.empty()) return false;
  return true;
}

bool TEditMask::CharFitsAt(int Pos, const AnsiString& Text, char& Key) const {
  const int n = static_cast<int>(FMask.size());
  while (Pos < n && LiteralAt(Pos)) ++Pos;
  return CharFitsMask(Pos, Text, Key);
}

bool TEditMask::PasteValue(const AnsiString& Clip, const AnsiString& Text, int SelStart, int SelEnd, int MaxLength,
                           AnsiString& NewEText) const {
  if (SelEnd < SelStart) return false;
  const int len = static_cast<int>(Text.size());
  const int s = std::clamp(SelStart, 0, len);
  const int e = std::clamp(SelEnd, s, len);
  // A pasted amount with its "," keeps it: there its decimals start, as
  // when typed; its digits must fit MaxLength.
  const bool withDecimals = FDecimals > 0 && Clip.find(',') != AnsiString::npos;
  AnsiString clip = Clip;
  if (withDecimals)
    clip.erase(std::remove_if(clip.begin(), clip.end(), IsLiteral), clip.end());
  else
    clip = StripMask(Clip);
  AnsiString candidate =
      Text.substr(0, static_cast<std::size_t>(s)) + clip + Text.substr(static_cast<std::size_t>(e), 255);
  if (withDecimals) {
    candidate = FormatTypedDecimal(candidate);
    if (MaxLength > 0 && static_cast<int>(StripMask(candidate).size()) > MaxLength) return false;
  } else if (MaxLength > 0) {
    candidate.resize(PlacesEnd(candidate, MaxLength));
  }
  candidate = FormatMask(StripMask(candidate));
  const int n = static_cast<int>(FMask.size());
  const int count = static_cast<int>(candidate.size());
  for (int i = 1; i <= count; ++i) {
    while (i < n && LiteralAt(i)) ++i;
    if (i > count) break;
    char c = candidate[static_cast<std::size_t>(i - 1)];
    if (!CharFitsMask(i, candidate, c)) return false;
    candidate[static_cast<std::size_t>(i - 1)] = c;
  }
  NewEText = StripMask(candidate);
  return true;
}

std::int32_t TEditMask::AsInteger(const AnsiString& Text) const {
  const std::int64_t v = LenientRound(StripMask(Text), 0);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

}  // namespace platform

// ---------------------------------------------------------------- ELabeledControl

ELabeledControl ELabeledControl::CreateCode(Word Code, const AnsiString& Name) {
  switch (Code) {
    case 1:
      return ELabeledControl("Cannot set label position. Label parent is different from " + Name + " parent.");
    case 2:
      return ELabeledControl("Cannot attach label to " + Name + ". Label and control must be on the same form!");
    default: return ELabeledControl("Undefined exception (?)");
  }
}

// ---------------------------------------------------------------- TCustomStrEdit

TCustomStrEdit::TCustomStrEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FSavedColor = Color();
  FSavedFontColor = Font()->Color();
  if (FlatLook) SetFlat();
}

TCustomStrEdit::~TCustomStrEdit() { FreeLabel(); }

bool TCustomStrEdit::GetKeyCR() {
  const bool r = FKeyCR;
  FKeyCR = false;
  return r;
}

// ------------------------------------------------ mask and value

void TCustomStrEdit::SetEditMask(const AnsiString& Value) {
  if (Value == FMask.Mask()) return;
  const TComponentState st = ComponentState();
  if (st.Contains(csDesigning) && !st.Contains(csLoading) && !Value.empty()) SetText("");
  FMask.SetMask(Value);
  SetMaxLength(FMask.DerivedMaxLength());
}

AnsiString TCustomStrEdit::EText() {
  UpdateEText();
  return FETextCache;
}

void TCustomStrEdit::SetEText(const AnsiString& Value) {
  FETextCache = Value;
  SetText(FMask.HasMask() ? FMask.FormatMask(Value) : Value);
}

AnsiString TCustomStrEdit::UpdateEText() {
  const AnsiString t = Text();
  FETextCache = FMask.HasMask() ? FMask.StripMask(t) : t;
  return t;
}

void TCustomStrEdit::ClearValue() {
  SetEText("");
  FRefText.clear();
  FChanged = false;
}

AnsiString TCustomStrEdit::FetchEText() {
  FETextCache = FMask.StripMask(Text());
  return FETextCache;
}

bool TCustomStrEdit::CharFitsAt(int Pos, char& Key) { return FMask.CharFitsAt(Pos, Text(), Key); }

std::int32_t TCustomStrEdit::AsInteger() {
  const AnsiString t = Text();
  FETextCache = FMask.StripMask(t);
  return FMask.AsInteger(t);
}

void TCustomStrEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomStrEdit::SetColorDisabled(TColor Value) {
  if (FColorDisabled == Value) return;
  FColorDisabled = Value;
  if (!Enabled()) Invalidate();
}

void TCustomStrEdit::SetChanged(bool Value) {
  FChanged = Value;
  SetColor(FSavedColor);
  if (Value) {
    Font()->SetColor(FColorChanged);
  } else {
    Font()->SetColor(FSavedFontColor);
    FRefText = Text();
  }
}

// ------------------------------------------------ keys

namespace {

// Posts WM_NEXTDLGCTL to the owner's window, or with ToTopForm (and a
// window of its own) to the control's topmost parent form.  Without a
// windowed owner (and no form to map to) nothing is handed on.
void PostFocusMove(TWinControl* Control, bool Previous, bool ToTopForm) {
  TWinControl* target = nullptr;
  if (ToTopForm && Control->HandleAllocated()) target = Control->TopForm();
  if (!target) target = dynamic_cast<TWinControl*>(Control->Owner());
  if (!target) return;
  PostMessage(target->Handle(), WM_NEXTDLGCTL, Previous ? 1 : 0, 0);
}

}  // namespace

void TCustomStrEdit::HandFocusOn(bool Previous) { PostFocusMove(this, Previous, FMapEnterToTab); }

void TCustomStrEdit::GetSel(int& Start, int& End) {
  DWORD s = 0, e = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  Start = static_cast<int>(s);
  End = static_cast<int>(e);
}

void TCustomStrEdit::SetSel(int Start, int End) {
  Perform(EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(End));
}

void TCustomStrEdit::KeyPress(char& Key) {
  FKeyCR = false;
  TCustomEdit::KeyPress(Key);  // OnKeyPress
  if (Key == 0) return;
  if (Key == VK_RETURN) {
    Key = 0;
    FKeyCR = true;
    HandFocusOn(false);
    return;
  }
  // Copy, paste, cut: the platform edit's.
  if (Key == platform::CtrlChar('C') || Key == platform::CtrlChar('V') || Key == platform::CtrlChar('X')) return;
  if (Key == '^' || (Key == '@' && FEditChars.find('@') == AnsiString::npos)) {
    Key = 0;
    return;
  }
  if (Key == ' ') {
    int s = 0, e = 0;
    GetSel(s, e);
    if (s == 0 && e == static_cast<int>(Text().size())) {
      SetText("");
      SetSel(0, 1);
      Key = 0;
    }
    return;
  }
  if (Key == VK_ESCAPE) {
    SetText(FRefText);
    SelectAll();
    Key = 0;
    return;
  }
  if (!FMask.HasMask()) return;
  if (Key == VK_BACK) {
    AnsiString t = Text();
    if (!t.empty()) t.pop_back();
    SetText(t);
    const int len = static_cast<int>(t.size());
    SetSelStart(len);
    SetSelLength(len);
    Key = 0;
    return;
  }
  int s = 0, e = 0;
  GetSel(s, e);
  const int limit = Limit();
  const int p = s + 1;
  if (FMask.Places(Text(), static_cast<std::size_t>(s)) + 1 > limit || !CharFitsAt(p, Key)) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  AnsiString t = Text();
  if (e > s) t.resize(std::min(t.size(), static_cast<std::size_t>(s)));
  int q = static_cast<int>(t.size()) + 1;
  if (FMask.Places(t, t.size()) + 1 > limit) {
    // Full, with the caret inside: swallowed without a beep.
    if (t != Text()) SetText(t);
    Key = 0;
    return;
  }
  if (FMask.LiteralAt(q)) {
    t += platform::TEditMask::LiteralShown(FMask.Mask()[static_cast<std::size_t>(q - 1)]);
    ++q;
  }
  t += Key;
  SetText(t);
  SetSelStart(q);
  SetSelLength(q);
  Key = 0;
}

void TCustomStrEdit::KeyDown(Word& Key, TShiftState Shift) {
  FKeyCR = false;
  TCustomEdit::KeyDown(Key, Shift);  // OnKeyDown
  switch (Key) {
    case VK_UP:
      Key = 0;
      HandFocusOn(true);
      return;
    case VK_DOWN:
      Key = 0;
      HandFocusOn(false);
      return;
    case VK_LEFT:
      if (FMask.HasMask()) {
        int s = 0, e = 0;
        GetSel(s, e);
        if (s > 0 && FMask.LiteralAt(s)) SetSel(s - 1, e);
      }
      return;
    case VK_RIGHT:
      if (FMask.HasMask()) {
        int s = 0, e = 0;
        GetSel(s, e);
        if (static_cast<int>(Text().size()) > s && FMask.LiteralAt(s + 2)) SetSel(s + 1, e + 1);
      }
      return;
    default: return;
  }
}

void TCustomStrEdit::DblClick() {
  TCustomEdit::DblClick();
  SelectAll();
}

// The native edit selects a word on a double click after DblClick has run;
// the whole text stays selected.
void TCustomStrEdit::WMLButtonDblClk(TMessage& Message) {
  TCustomEdit::WMLButtonDblClk(Message);
  SelectAll();
}

void TCustomStrEdit::Change() { TCustomEdit::Change(); }

// ------------------------------------------------ clipboard

void TCustomStrEdit::WMCut(TMessage& Message) {
  if (FMask.HasMask()) {
    Perform(WM_COPY, 0, 0);
    return;
  }
  TCustomEdit::WMCut(Message);
}

void TCustomStrEdit::WMPaste(TMessage& Message) {
  if (!FMask.HasMask() || ReadOnly()) {
    TCustomEdit::WMPaste(Message);
    return;
  }
  const AnsiString clip = Clipboard()->AsText();
  int s = 0, e = 0;
  GetSel(s, e);
  AnsiString value;
  if (FMask.PasteValue(clip, Text(), s, e, MaxLength(), value)) SetEText(value);
  SetSel(s, e);
}

// ------------------------------------------------ focus

void TCustomStrEdit::CMEnter(TMessage& Message) {
  FKeyCR = false;
  if (FMask.Decimals() > 0) SetText(FMask.StripMask(Text()));
  SetColor(FColorBackground);
  Font()->SetColor(clBlack);
  TCustomEdit::CMEnter(Message);  // AutoSelect, OnEnter
  FSavedAlignment = FAlignment;
  FAlignment = taLeftJustify;
  Invalidate();
  SelectAll();
}

void TCustomStrEdit::CMExit(TMessage& Message) {
  LastExitControl = this;
  if (FMask.HasMask() && !ComponentState().Contains(csDesigning)) {
    if (!FMask.Empty() && FMask.Mask()[0] == '0' && Text().empty()) MessageBeep(0);
    if (FMask.Decimals() > 0) {
      SetText(FMask.FormatTypedDecimal(Text()));
    } else if (FMask.IsTime()) {
      SetText(FMask.FormatTime(Text()));
    }
  }
  SetChanged(Text() != FRefText);
  SetAlignment(FSavedAlignment);
  FETextCache = FMask.StripMask(Text());
  Invalidate();
  TCustomEdit::CMExit(Message);  // OnExit
}

// ------------------------------------------------ painting

bool TCustomStrEdit::IsActiveControl() {
  TCustomForm* f = dynamic_cast<TCustomForm*>(Owner());
  if (!f) f = GetParentForm(this);
  return f && f->ActiveControl() == this;
}

int TCustomStrEdit::TextMargin() {
  HDC dc = GetDC(nullptr);
  TEXTMETRICA sys{};
  GetTextMetricsA(dc, &sys);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Font()->Handle()));
  TEXTMETRICA own{};
  GetTextMetricsA(dc, &own);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::min(sys.tmHeight, own.tmHeight) / 4;
}

void TCustomStrEdit::SetFlat() {
  SetAutoSize(false);
  SetAutoSize(true);
  SetCtl3D(false);
}

// The active control shows the native edit (caret, selection).  Otherwise
// the native edit draws its frame and the text is painted over its inside,
// aligned by Alignment and in ColorDisabled when disabled.
void TCustomStrEdit::WMPaint(TMessage& Message) {
  TCustomEdit::WMPaint(Message);
  if (IsActiveControl()) return;
  if (FlatLook && Ctl3D()) SetFlat();
  int m = TextMargin();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font()->Assign(Font());
  TRect r = ClientRect();
  if (BorderStyle() != bsNone) InflateRect(r, -2, -2);  // the native frame
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(r);
  const AnsiString s = UpdateEText();
  const int w = canvas.TextWidth(s);
  int y = 0;
  if (BorderStyle() == bsNone)
    m = 0;
  else
    y = m - 2 + (FlatLook ? 1 : 0);
  int x = r.Left + 1 + (FlatLook ? 1 : 0);
  if (FAlignment == taRightJustify) x = r.Right - w - m;
  if (FAlignment == taCenter) x = (r.Left + r.Right - w) / 2;
  if (!Enabled()) canvas.Font()->SetColor(FColorDisabled);
  canvas.TextRect(r, x, r.Top + y, s);
  if (FlatLook) {
    canvas.Pen()->SetColor(clBtnShadow);
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right - 1, r.Top);
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Top);
  }
  canvas.SetHandle(nullptr);
  EndPaint(Handle(), &ps);
}

void TCustomStrEdit::WMEnable(TMessage& Message) { DefaultHandler(Message); }

// ------------------------------------------------ caption label

bool TCustomStrEdit::HasLabel() { return FLabel && !FLabel->Caption().empty(); }

void TCustomStrEdit::CreateLabel() {
  if (FLabel) return;
  // An edit without a name gives its label none either (and never takes
  // over another edit's "lab_").
  const AnsiString name = Name().empty() ? AnsiString() : "lab_" + Name();
  if (Owner() && !name.empty()) {
    if (auto* found = dynamic_cast<TLabel*>(Owner()->FindComponent(name))) {
      FLabel = found;
      FLabel->FreeNotification(this);
      return;
    }
  }
  auto* l = new TLabel(Owner());
  try {
    l->SetParent(Parent());
    l->SetName(name);
    l->SetFocusControl(this);
    l->SetVisible(false);
  } catch (...) {
    delete l;
    throw;
  }
  FLabel = l;
  FLabel->FreeNotification(this);
}

void TCustomStrEdit::FreeLabel() {
  if (!FLabel) return;
  TLabel* l = FLabel;
  FLabel = nullptr;
  l->RemoveFreeNotification(this);
  // A label whose owner or parent is going is theirs to free.
  if (Owner() && Owner()->ComponentState().Contains(csDestroying)) return;
  if (l->ComponentState().Contains(csDestroying)) return;
  if (l->Parent() && l->Parent()->ComponentState().Contains(csDestroying)) return;
  l->SetParent(nullptr);
  delete l;
}

void TCustomStrEdit::PositionLabel() {
  if (ComponentState().Contains(csLoading) || !HasLabel()) return;
  const int w = FLabel->Width();
  const int h = FLabel->Height();
  int x = FLabel->Left();
  int y = FLabel->Top();
  switch (FLabelPos) {
    case lpLeft:
      x = Left() - (w + FLabelMargin);
      y = Top() + 4;
      break;
    case lpTop:
      x = Left();
      y = Top() - (h + FLabelMargin);
      break;
    case lpBottom:
      x = Left();
      y = Top() + Height() + FLabelMargin;
      break;
    case lpCustom: break;
  }
  FLabel->SetBounds(x, y, w, h);
  FLabel->SetVisible(Visible());
}

AnsiString TCustomStrEdit::LabelText() {
  if (!HasLabel()) return AnsiString();
  AnsiString c = FLabel->Caption();
  if (FLabelColon) c.pop_back();
  return c;
}

void TCustomStrEdit::SetLabelText(const AnsiString& Value) {
  if (Value.empty()) {
    FreeLabel();
    return;
  }
  CreateLabel();
  AnsiString c = Value;
  if (FLabelColon && c.back() != ':') c += ':';
  FLabel->SetCaption(c);
  PositionLabel();
}

void TCustomStrEdit::SetLabelColon(bool Value) {
  if (FLabelColon == Value) return;
  const AnsiString t = LabelText();
  FLabelColon = Value;
  if (!t.empty()) SetLabelText(t);
}

void TCustomStrEdit::SetLabelPos(TLabelPos Value) {
  if (FLabelPos == Value) return;
  if (FLabel && FLabel->Parent() != Parent()) throw ELabeledControl::CreateCode(1, Name());
  if (ComponentState().Contains(csDesigning) && FLabelPos == lpTop && (Value == lpLeft || Value == lpCustom) &&
      FLabelMargin == 2)
    FLabelMargin = 8;
  FLabelPos = Value;
  PositionLabel();
}

void TCustomStrEdit::SetLabelMargin(int Value) {
  if (FLabelMargin == Value) return;
  FLabelMargin = Value;
  PositionLabel();
}

void TCustomStrEdit::SetLabelComponent(TLabel* Value) {
  if (Value == FLabel) return;
  if (!Value) {
    // Detached: the label stays where and as it is.
    FLabel->RemoveFreeNotification(this);
    FLabel = nullptr;
    return;
  }
  if (Value->Owner() != Owner()) throw ELabeledControl::CreateCode(2, Name());
  FreeLabel();
  FLabelPos = lpCustom;
  if (!Name().empty()) Value->SetName("lab_" + Name());
  FLabel = Value;
  FLabel->FreeNotification(this);
  FLabel->SetFocusControl(this);
  // The flag follows the label's caption; the caption itself stays as it is.
  const AnsiString c = FLabel->Caption();
  const bool colon = !c.empty() && c.back() == ':';
  if (colon)
    SetLabelColon(true);
  else
    FLabelColon = false;
}

void TCustomStrEdit::SetName(const AnsiString& NewName) {
  TCustomEdit::SetName(NewName);
  if (FLabel) FLabel->SetName(NewName.empty() ? AnsiString() : "lab_" + NewName);
}

void TCustomStrEdit::Loaded() {
  TCustomEdit::Loaded();
  FSavedColor = Color();
  FSavedFontColor = Font()->Color();
  if (HasLabel() && FLabel->AutoSize()) {
    FLabel->SetAutoSize(false);
    FLabel->SetAutoSize(true);
  }
  PositionLabel();
}

void TCustomStrEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FLabel && AComponent == FLabel) FLabel = nullptr;
}

void TCustomStrEdit::VisibleChanging() {
  if (HasLabel()) {
    if (Visible()) {
      FLabel->SetVisible(false);
    } else {
      PositionLabel();
      FLabel->SetVisible(true);
    }
  }
  TCustomEdit::VisibleChanging();
}

void TCustomStrEdit::WMMove(TMessage& /*Message*/) { PositionLabel(); }

// ---------------------------------------------------------------- registration

namespace {

const bool registered = [] {
  using platform::RegisterClass;
  RegisterClass<TCustomStrEdit>("TCustomStrEdit", "TCustomEdit")
      .NotCreatable()
      .Str("EditMask", &TCustomStrEdit::SetEditMask)
      .Str("EditChars", &TCustomStrEdit::SetEditChars)
      .Str("EText", &TCustomStrEdit::SetEText)
      .Bool("MapEnterToTab", &TCustomStrEdit::SetMapEnterToTab)
      .Bool("Empty", &TCustomStrEdit::SetEmpty, true)
      .Enum<TAlignment>(
          "Alignment",
          {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
          &TCustomStrEdit::SetAlignment, taLeftJustify)
      .Color("ColorChanged", &TCustomStrEdit::SetColorChanged, clBlue)
      .Color("ColorBackground", &TCustomStrEdit::SetColorBackground, 0xD0FFD0)
      .Color("ColorDisabled", &TCustomStrEdit::SetColorDisabled, clRed)
      .Str("LabelText", &TCustomStrEdit::SetLabelText)
      .Enum<TLabelPos>("LabelPos",
                       {{"lpCustom", lpCustom}, {"lpLeft", lpLeft}, {"lpTop", lpTop}, {"lpBottom", lpBottom}},
                       &TCustomStrEdit::SetLabelPos, lpTop)
      .Int("LabelMargin", &TCustomStrEdit::SetLabelMargin, 2)
      .Bool("LabelColon", &TCustomStrEdit::SetLabelColon, false)
      .Ref<TLabel>("LabelComponent", &TCustomStrEdit::SetLabelComponent)
      .Ignore("OnDragDrop")
      .Ignore("OnDragOver")
      .Ignore("OnEndDrag")
      .Done();
  RegisterClass<TStrEdit>("TStrEdit", "TCustomStrEdit").Done();
  return true;
}();

}  // namespace
