// TControl, TWinControl, the peer that turns Qt events into messages, and
// the Win32 window calls.
#include "platform/gui/controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_private.h"

namespace platform {

int PaintDepth = 0;
TShiftState CurrentShift;
std::function<void(TPopupMenu*, int, int)>& PopupHandler() {
  static std::function<void(TPopupMenu*, int, int)> h;
  return h;
}
void SetPopupMenuHandler(std::function<void(TPopupMenu* Menu, int ScreenX, int ScreenY)> Handler) {
  PopupHandler() = std::move(Handler);
}

WidgetPeer* PeerOf(const TControl* Control) { return Control ? Control->Peer() : nullptr; }
QWidget* WidgetOf(const TControl* Control) {
  WidgetPeer* p = PeerOf(Control);
  return p ? p->Widget() : nullptr;
}

TControl* ControlOfWidget(const QWidget* Widget) {
  for (QWidget* w = const_cast<QWidget*>(Widget); w; w = w->parentWidget())
    if (auto* p = dynamic_cast<WidgetPeer*>(w))
      if (p->Control()) return p->Control();
  return nullptr;
}

}  // namespace platform

using platform::WidgetPeer;

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s << ssShift;
  if (Keys & MK_CONTROL) s << ssCtrl;
  if (Keys & MK_LBUTTON) s << ssLeft;
  if (Keys & MK_RBUTTON) s << ssRight;
  if (Keys & MK_MBUTTON) s << ssMiddle;
  if (platform::CurrentShift.Contains(ssAlt)) s << ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s;
  if (platform::CurrentShift.Contains(ssShift)) s << ssShift;
  if (platform::CurrentShift.Contains(ssCtrl)) s << ssCtrl;
  if (KeyData & (1 << 29)) s << ssAlt;
  return s;
}

namespace platform {

Qt::CursorShape CursorShapeOf(TCursor c) {
  switch (c) {
    case crArrow: return Qt::ArrowCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crNone: return Qt::BlankCursor;
    default: return Qt::ArrowCursor;
  }
}

void SetWidgetCursor(QWidget* Widget, TCursor Cursor) {
  if (Cursor == crDefault) {
    if (Widget->testAttribute(Qt::WA_SetCursor)) Widget->unsetCursor();
  } else if (!Widget->testAttribute(Qt::WA_SetCursor) || Widget->cursor().shape() != CursorShapeOf(Cursor)) {
    Widget->setCursor(QCursor(CursorShapeOf(Cursor)));
  }
}

}  // namespace platform

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
  if (f && f != this) f->SetActiveControl(this);
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

void TWinControl::ParentFontChanged() {
  TControl::ParentFontChanged();
}

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
        case alClient:
          c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
          break;
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
void TWinControl::CMEnter(TMessage& /*M*/) {
  DoEnter();
}
void TWinControl::CMExit(TMessage& /*M*/) {
  DoExit();
}
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

// ---------------------------------------------------------------- canvas controls

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
  if (FControl == AControl) return;
  FreeHandle();
  FControl = AControl;
}

void TControlCanvas::FreeHandle() {
  if (FDeviceContext) {
    HDC dc = FDeviceContext;
    FDeviceContext = nullptr;
    if (Handle() == dc) SetHandle(nullptr);
    platform::DeleteAnyDC(dc);
  }
}

void TControlCanvas::CreateHandle() {
  if (FDeviceContext) platform::DeleteAnyDC(FDeviceContext);
  FDeviceContext = nullptr;
  WidgetPeer* p = platform::PeerOf(FControl);
  if (p && p->InPaint())
    FDeviceContext = platform::CreatePainterDC(p->PaintPainter(), p->Widget());
  else
    FDeviceContext = platform::CreateMeasureDC();
  SetHandle(FDeviceContext);
}

namespace {

// WM_PAINT of a control with a canvas of its own: Paint on a fresh device
// context with the control's font and colour, released again afterwards.
template <class PaintFn>
void PaintOn(TControlCanvas& Canvas, const TControl& Control, PaintFn&& Paint) {
  Canvas.FreeHandle();
  Canvas.Font()->Assign(Control.Font());
  Canvas.Brush()->SetColor(Control.Color());
  try {
    Paint();
  } catch (...) {
    Canvas.FreeHandle();
    throw;
  }
  Canvas.FreeHandle();
}

}  // namespace

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}
TCustomControl::~TCustomControl() = default;

void TCustomControl::WMPaint(TMessage& M) {
  DefaultHandler(M);
  PaintOn(*FCanvas, *this, [this] { Paint(); });
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TMessage& M) {
  DefaultHandler(M);
  PaintOn(*FCanvas, *this, [this] { Paint(); });
}

// ---------------------------------------------------------------- lookups and Win32 calls

TWinControl* FindControl(HWND Handle) { return platform::ControlOfHandle(Handle); }

TWinControl* FindVCLWindow(const TPoint& Pos) {
  QWidget* w = QApplication::widgetAt(QPoint(Pos.X, Pos.Y));
  return dynamic_cast<TWinControl*>(platform::ControlOfWidget(w));
}

HWND GetFocus() {
  QWidget* fw = QApplication::focusWidget();
  TControl* c = platform::ControlOfWidget(fw);
  auto* wc = dynamic_cast<TWinControl*>(c);
  return wc ? wc->Handle() : nullptr;
}

HWND SetFocus(HWND hWnd) {
  HWND old = GetFocus();
  if (TWinControl* c = FindControl(hWnd)) c->SetFocus();
  return old;
}

HWND GetParent(HWND hWnd) {
  TWinControl* c = FindControl(hWnd);
  if (!c || !c->Parent()) return nullptr;
  return c->Parent()->Handle();
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  TWinControl* c = FindControl(hWnd);
  if (!c || !lpRect) return FALSE;
  *lpRect = c->ClientRect();
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  TWinControl* c = FindControl(hWnd);
  if (!c || !lpRect) return FALSE;
  const TPoint o = c->ClientOrigin();
  *lpRect = Bounds(o.X, o.Y, c->Width(), c->Height());
  return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL) {
  TWinControl* c = FindControl(hWnd);
  if (!c) return FALSE;
  c->Invalidate();
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  TWinControl* c = FindControl(hWnd);
  if (!c) return FALSE;
  c->Update();
  return TRUE;
}

BOOL IsWindowVisible(HWND hWnd) {
  TWinControl* c = FindControl(hWnd);
  return c && c->Showing();
}

BOOL IsWindowEnabled(HWND hWnd) {
  TWinControl* c = FindControl(hWnd);
  return c && c->Enabled();
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  TWinControl* c = FindControl(hWnd);
  if (!c) return FALSE;
  const bool was = c->Enabled();
  c->SetEnabled(bEnable != 0);
  return was ? FALSE : TRUE;
}

namespace {
QPoint g_cursorPos(0, 0);
bool g_cursorSet = false;
}  // namespace

namespace platform {
void SetCursorOverride(int x, int y) {
  g_cursorPos = QPoint(x, y);
  g_cursorSet = true;
}
}  // namespace platform

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  const QPoint p = g_cursorSet ? g_cursorPos : QCursor::pos();
  lpPoint->x = p.x();
  lpPoint->y = p.y();
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  platform::SetCursorOverride(X, Y);
  QCursor::setPos(X, Y);
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  TWinControl* c = FindControl(hWnd);
  if (!c || !lpPoint) return FALSE;
  const TPoint p = c->ScreenToClient(TPoint(lpPoint->x, lpPoint->y));
  lpPoint->x = p.X;
  lpPoint->y = p.Y;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  TWinControl* c = FindControl(hWnd);
  if (!c || !lpPoint) return FALSE;
  const TPoint p = c->ClientToScreen(TPoint(lpPoint->x, lpPoint->y));
  lpPoint->x = p.X;
  lpPoint->y = p.Y;
  return TRUE;
}

SHORT GetKeyState(int nVirtKey) {
  const TShiftState s = platform::CurrentShift;
  bool down = false;
  switch (nVirtKey) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: down = s.Contains(ssShift); break;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: down = s.Contains(ssCtrl); break;
    case VK_MENU: case VK_LMENU: case VK_RMENU: down = s.Contains(ssAlt); break;
    case VK_LBUTTON: down = s.Contains(ssLeft); break;
    case VK_RBUTTON: down = s.Contains(ssRight); break;
    case VK_MBUTTON: down = s.Contains(ssMiddle); break;
    default: break;
  }
  return down ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vKey) { return GetKeyState(vKey); }

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = FindControl(hWnd);
  if (!c) return 0;
  return c->Perform(Msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return platform::PostToQueue(hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = FindControl(hWnd);
  if (!c) return 0;
  TMessage m;
  m.Msg = Msg;
  m.WParam = wParam;
  m.LParam = lParam;
  c->DefaultHandler(m);
  return m.Result;
}

LRESULT CallWindowProc(void*, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hWnd, Msg, wParam, lParam);
}

HDC GetDC(HWND hWnd) {
  TWinControl* c = FindControl(hWnd);
  WidgetPeer* p = platform::PeerOf(c);
  if (p && p->InPaint()) return platform::PaintDCOf(p);
  return platform::CreateMeasureDC();
}

HDC GetWindowDC(HWND hWnd) { return GetDC(hWnd); }

int ReleaseDC(HWND, HDC hDC) {
  auto& dcs = platform::PaintDCs();
  for (auto it = dcs.begin(); it != dcs.end(); ++it)
    if (it->second == hDC) {
      dcs.erase(it);
      break;
    }
  platform::DeleteAnyDC(hDC);
  return 1;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  HDC dc = GetDC(hWnd);
  if (lpPaint) {
    lpPaint->hdc = dc;
    lpPaint->fErase = FALSE;
    RECT r{0, 0, 0, 0};
    GetClientRect(hWnd, &r);
    lpPaint->rcPaint = r;
  }
  return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint && lpPaint->hdc) ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

BOOL PeekMessage(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  return platform::PeekQueue(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg) ? TRUE : FALSE;
}
