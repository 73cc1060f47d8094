// The windowed control (TWinControl): its child controls, its handle and
// peer, tab order and focus, alignment of its children, keys.
#include "platform/gui/controls.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

using platform::WidgetPeer;

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Children freed below see this control (and what it owns) as being destroyed.
  Destroying();
  if (TCustomForm* f = GetParentForm(this)) f->ControlGone(this);
  // A window frees its child controls.
  // Each child leaves the list in its own destructor, seeing its parent to the end.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    delete c;
    if (!FControls.empty() && FControls.back() == c) FControls.pop_back();
  }
  DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) TList::Error(platform::msg::ListIndexError, Index);
  return FControls[static_cast<std::size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* wc = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(wc);
  if (AControl->FParentFont) AControl->ParentFontChanged();
  if (AControl->FParentColor) AControl->ParentColorChanged();
  if (AControl->FParentCtl3D && AControl->FCtl3D != FCtl3D) {
    AControl->FCtl3D = FCtl3D;
  }
  // A control being read from a description gets its native window once
  // its properties are read (CreateChildHandles), not before and again.
  if (FPeer && !AControl->ComponentState().Contains(csReading)) {
    if (auto* wc = dynamic_cast<TWinControl*>(AControl))
      wc->CreateHandle();
    else
      AControl->PeerNeeded();
  }
  if (AControl->FAlign != alNone && !ComponentState().Contains(csLoading)) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  // AControl may be a control in its destructor (no longer a TWinControl
  // to dynamic_cast), so the tab list is searched by address.
  FTabList.erase(std::remove_if(FTabList.begin(), FTabList.end(),
                                [AControl](TWinControl* w) { return static_cast<TControl*>(w) == AControl; }),
                 FTabList.end());
  if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* f = GetParentForm(this)) f->ControlGone(wc);
    wc->DestroyHandle();
  } else {
    AControl->ReleasePeer();
  }
  FControls.erase(std::find(FControls.begin(), FControls.end(), AControl));
  AControl->FParent = nullptr;
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (const TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::FindChildControl(const AnsiString& ControlName) const {
  for (TControl* c : FControls)
    if (SameText(c->Name(), ControlName)) return c;
  return nullptr;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FPeer ? FPeer->Handle() : nullptr;
}

bool TWinControl::HandleAllocated() const { return FPeer != nullptr; }

void TWinControl::HandleNeeded() {
  if (FPeer) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (FPeer) return;
  if (FParent && !FParent->FPeer) return;
  if (!FParent && !dynamic_cast<TCustomForm*>(this)) {
    // A control without a parent window still gets one of its own (hidden),
    // so that its handle exists when code asks for it.
  }
  CreateWnd();
}

void TWinControl::CreateWnd() {
  SetPeer(CreatePeer());
  if (!FPeer) return;
  UpdatePeer();
  CreateChildHandles();
}

void TWinControl::CreateChildHandles() {
  if (!FPeer) return;
  for (TControl* c : FControls) {
    if (auto* wc = dynamic_cast<TWinControl*>(c))
      wc->CreateHandle();
    else
      c->PeerNeeded();
  }
  ReorderPeers();
}

void TWinControl::ReorderPeers() {
  for (TControl* c : FControls)
    if (QWidget* w = platform::WidgetOf(c)) w->raise();
}

void TWinControl::DestroyWnd() { ReleasePeer(); }

void TWinControl::DestroyHandle() {
  if (!FPeer || FDestroyingHandle) return;
  FDestroyingHandle = true;
  for (TControl* c : FControls) {
    if (auto* wc = dynamic_cast<TWinControl*>(c))
      wc->DestroyHandle();
    else
      c->ReleasePeer();
  }
  DestroyWnd();
  FDestroyingHandle = false;
}

platform::WidgetPeer* TWinControl::CreatePeer() {
  auto* p = new platform::PlainPeer(this);
  return p;
}

void TWinControl::UpdatePeer() {
  TControl::UpdatePeer();
  QWidget* w = platform::WidgetOf(this);
  if (!w) return;
  w->setAutoFillBackground(true);
  // Tab moves the focus by the layer's own tab order and a click by
  // TakesFocusOnClick; Qt's focus by click (which takes any button and
  // climbs to the nearest parent that accepts it) stays out.
  if (!dynamic_cast<TCustomForm*>(this)) w->setFocusPolicy(FTabStop ? Qt::TabFocus : Qt::NoFocus);
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& v = FParent->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (ComponentState().Contains(csLoading)) FTabOrderWanted = Value;
  if (!FParent) return;
  auto& v = FParent->FTabList;
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return;
  v.erase(it);
  if (Value < 0) Value = 0;
  if (Value > static_cast<int>(v.size())) Value = static_cast<int>(v.size());
  v.insert(v.begin() + Value, this);
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FPeer) UpdatePeer();
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  do {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[i];
    if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (c) c->SetFocus();
}

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->FParent)
    if (!c->Visible() || !c->Enabled()) return false;
  return TopForm() != nullptr || !FParent;
}

void TWinControl::SetFocus() {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this)
    f->SetActiveControl(this);
  else {
    HandleNeeded();
    if (QWidget* w = platform::WidgetOf(this)) w->setFocus(Qt::OtherFocusReason);
  }
}

bool TWinControl::Focused() {
  QWidget* fw = QApplication::focusWidget();
  return fw && platform::ControlOfWidget(fw) == this;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }

void TWinControl::Invalidate() { TControl::Invalidate(); }

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  auto place = [&](TAlign a) {
    for (TControl* c : FControls) {
      if (c->Align() != a || !c->Visible()) continue;
      switch (a) {
        case alTop:
          c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
          Rect.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
          Rect.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
          Rect.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
          Rect.Right -= c->Width();
          break;
        case alClient: c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()); break;
        default: break;
      }
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // Siblings were read one by one, so their orders may have been cut to the
  // list as it was then; sort them as the description says.
  std::stable_sort(FTabList.begin(), FTabList.end(), [](TWinControl* a, TWinControl* b) {
    const int x = a->FTabOrderWanted < 0 ? INT32_MAX : a->FTabOrderWanted;
    const int y = b->FTabOrderWanted < 0 ? INT32_MAX : b->FTabOrderWanted;
    return x < y;
  });
  Realign();
}

void TWinControl::Realign() {
  if (ComponentState().Contains(csLoading)) return;
  TRect r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_KEYDOWN: WMKeyDown(M); break;
    case WM_KEYUP: WMKeyUp(M); break;
    case WM_CHAR: WMChar(M); break;
    case WM_SYSKEYDOWN: WMSysKeyDown(M); break;
    case WM_SYSKEYUP: WMSysKeyUp(M); break;
    case WM_SYSCHAR: WMSysChar(M); break;
    case WM_SETFOCUS: WMSetFocus(M); break;
    case WM_KILLFOCUS: WMKillFocus(M); break;
    case WM_ENABLE: WMEnable(M); break;
    case WM_CUT: WMCut(M); break;
    case WM_COPY: WMCopy(M); break;
    case WM_PASTE: WMPaste(M); break;
    case WM_CLEAR: WMClear(M); break;
    case WM_GETDLGCODE: WMGetDlgCode(M); break;
    case CM_ENTER: CMEnter(M); break;
    case CM_EXIT: CMExit(M); break;
    case CM_DIALOGKEY: CMDialogKey(M); break;
    case CM_DIALOGCHAR: CMDialogChar(M); break;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(M); break;
    case CM_TABSTOPCHANGED: CMTabStopChanged(M); break;
    case CN_KEYDOWN: CNKeyDown(M); break;
    case CN_KEYUP: CNKeyUp(M); break;
    case CN_CHAR: CNChar(M); break;
    case CN_DRAWITEM: CNDrawItem(M); break;
    case CN_MEASUREITEM: CNMeasureItem(M); break;
    case CN_COMMAND: CNCommand(M); break;
    default: TControl::Dispatch(M); break;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) { TControl::DefaultHandler(Message); }

bool TWinControl::DoKey(TMessage& Message, void (TWinControl::*Handler)(Word&, TShiftState)) {
  Word key = static_cast<Word>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview()) {
    (static_cast<TWinControl*>(f)->*Handler)(key, shift);
    Message.WParam = key;
    if (key == 0) return true;
  }
  (this->*Handler)(key, shift);
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) { return DoKey(Message, &TWinControl::KeyDown); }

bool TWinControl::DoKeyUp(TMessage& Message) { return DoKey(Message, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& Message) {
  char ch = static_cast<char>(Message.WParam);
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview()) {
    f->KeyPress(ch);
    Message.WParam = static_cast<unsigned char>(ch);
    if (ch == 0) return true;
  }
  KeyPress(ch);
  Message.WParam = static_cast<unsigned char>(ch);
  return ch == 0;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMSysChar(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMEnable(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMCut(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMCopy(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMPaste(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMClear(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMGetDlgCode(TMessage& M) { DefaultHandler(M); }
void TWinControl::CMEnter(TMessage& /*M*/) { DoEnter(); }
void TWinControl::CMExit(TMessage& /*M*/) { DoExit(); }
void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }
void TWinControl::CMWantSpecialKey(TMessage& M) { DefaultHandler(M); }
void TWinControl::CMTabStopChanged(TMessage& /*M*/) {}
void TWinControl::CNKeyDown(TMessage& M) { DefaultHandler(M); }
void TWinControl::CNKeyUp(TMessage& M) { DefaultHandler(M); }
void TWinControl::CNChar(TMessage& M) { DefaultHandler(M); }
void TWinControl::CNDrawItem(TMessage& M) { DefaultHandler(M); }
void TWinControl::CNMeasureItem(TMessage& M) { DefaultHandler(M); }
void TWinControl::CNCommand(TMessage& M) { DefaultHandler(M); }
