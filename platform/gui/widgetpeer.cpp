// The peer (WidgetPeer): the Qt side of a control, which turns Qt's events
// of the widget and of its sub-widgets into the control's messages, and
// sends the owner-draw messages.
#include "platform/gui/controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

using platform::WidgetPeer;

namespace {

WPARAM MouseKeys(TShiftState s) {
  WPARAM w = 0;
  if (s.Contains(ssShift)) w |= MK_SHIFT;
  if (s.Contains(ssCtrl)) w |= MK_CONTROL;
  if (s.Contains(ssLeft)) w |= MK_LBUTTON;
  if (s.Contains(ssRight)) w |= MK_RBUTTON;
  if (s.Contains(ssMiddle)) w |= MK_MBUTTON;
  return w;
}

}  // namespace

// ---------------------------------------------------------------- WidgetPeer

namespace platform {

WidgetPeer::WidgetPeer(TControl* Control) : FControl(Control) {
  if (auto* w = dynamic_cast<TWinControl*>(Control)) FHandle = NewHandle(w);
}

WidgetPeer::~WidgetPeer() {
  if (FHandle) FreeHandle(FHandle);
  if (FControl && FControl->FPeer == this) FControl->FPeer = nullptr;
  delete FPainter;
}

TWinControl* WidgetPeer::WinControl() const { return dynamic_cast<TWinControl*>(FControl); }

void WidgetPeer::Detach() {
  FControl = nullptr;
  if (FHandle) FreeHandle(FHandle);
  FHandle = nullptr;
}

QPainter* WidgetPeer::PaintPainter() {
  if (!FPainting) return nullptr;
  if (!FPainter) {
    FPainter = new QPainter(Widget());
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, false);
  }
  return FPainter;
}

bool WidgetPeer::NativeMessage(TMessage&) { return false; }

// Holds the Qt event under way, the message that stands for it and its
// native handling, while the control's handlers run; what was under way
// before (an event that a handler's own event loop interrupted) comes back
// when the scope ends.
class WidgetPeer::CurrentEventScope {
public:
  CurrentEventScope(WidgetPeer& Peer, QEvent* Event, UINT Msg, NativeFn Native)
      : FPeer(Peer),
        FEvent(Peer.FCurrent),
        FMsg(Peer.FCurrentMsg),
        FNative(std::move(Peer.FCurrentNative)),
        FDone(Peer.FNativeDone) {
    Peer.FCurrent = Event;
    Peer.FCurrentMsg = Msg;
    Peer.FCurrentNative = std::move(Native);
    Peer.FNativeDone = false;
  }
  ~CurrentEventScope() {
    FPeer.FCurrent = FEvent;
    FPeer.FCurrentMsg = FMsg;
    FPeer.FCurrentNative = std::move(FNative);
    FPeer.FNativeDone = FDone;
  }
  CurrentEventScope(const CurrentEventScope&) = delete;
  CurrentEventScope& operator=(const CurrentEventScope&) = delete;
  // True once PassToNative ran the native handling of this event.
  bool NativeDone() const { return FPeer.FNativeDone; }

private:
  WidgetPeer& FPeer;
  QEvent* FEvent;
  UINT FMsg;
  NativeFn FNative;
  bool FDone;
};

bool WidgetPeer::SendAsCurrent(QEvent* Event, const NativeFn& Native, TMessage& M) {
  CurrentEventScope scope(*this, Event, M.Msg, Native);
  TControl* c = FControl;
  Guarded([&] { c->WndProc(M); });
  return scope.NativeDone();
}

void WidgetPeer::PassToNative(TMessage& Message) {
  const bool current = FCurrent && FCurrentMsg == Message.Msg;
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (current) {
        FKeyDownPassed = true;
        FKeyPassed = static_cast<WORD>(Message.WParam);
        return;
      }
      break;
    case WM_CHAR:
      if (current) {
        FCharPassed = true;
        FCharPassedValue = static_cast<char>(Message.WParam);
        return;
      }
      break;
    case WM_PAINT:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      if (current && FCurrentNative && !FNativeDone) {
        // The native painting comes first; the control's painter opens after it.
        if (Message.Msg == WM_PAINT) {
          delete FPainter;
          FPainter = nullptr;
        }
        FNativeDone = true;
        const NativeFn native = FCurrentNative;
        native(FCurrent);
        return;
      }
      break;
    default: break;
  }
  NativeMessage(Message);
}

// ---------------------------------------------------------------- held keys

// Under X11 the window system repeats a held key as a release and a press
// with one time stamp.  Qt marks such a pair as auto-repeated only when the
// press is already waiting as it reads the release, and often it is not
// yet: the platform would then see a key-up for every repetition.  So a
// release that Qt does not mark is held back for a moment.  A press of the
// same key with the same time stamp makes both a repetition (the release
// is dropped); any other key event, or the end of the moment, hands the
// release on first.
namespace {

constexpr int HeldReleaseWait = 30;  // ms; the pair comes together, a repetition every 25 ms or more
std::unique_ptr<QKeyEvent> HeldRelease;
QPointer<QWidget> HeldReleaseTarget;
unsigned HeldReleaseNumber = 0;
bool ReleasingHeld = false;

bool HoldKeyRelease(QWidget* Target, QKeyEvent* Event) {
  if (ReleasingHeld || Event->isAutoRepeat() || Event->timestamp() == 0 ||
      QGuiApplication::platformName() != QLatin1String("xcb"))
    return false;
  ReleaseHeldKey();
  HeldRelease.reset(static_cast<QKeyEvent*>(Event->clone()));
  HeldReleaseTarget = Target;
  const unsigned number = ++HeldReleaseNumber;
  QTimer::singleShot(HeldReleaseWait, QCoreApplication::instance(), [number] {
    if (number == HeldReleaseNumber) ReleaseHeldKey();
  });
  return true;
}

// True when Press is the second half of a repetition; its release is dropped.
bool PairsWithHeldRelease(const QKeyEvent* Press) {
  if (!HeldRelease || HeldRelease->key() != Press->key() || HeldRelease->timestamp() != Press->timestamp() ||
      HeldRelease->nativeScanCode() != Press->nativeScanCode())
    return false;
  HeldRelease.reset();
  HeldReleaseTarget = nullptr;
  return true;
}

}  // namespace

void ReleaseHeldKey() {
  std::unique_ptr<QKeyEvent> release = std::move(HeldRelease);
  QPointer<QWidget> target = HeldReleaseTarget;
  HeldReleaseTarget = nullptr;
  if (!release || !target) return;
  ReleasingHeld = true;
  QCoreApplication::sendEvent(target, release.get());
  ReleasingHeld = false;
}

bool WidgetPeer::HandleEvent(QEvent* Event) {
  return HandleEventFrom(Widget(), Event, [this](QEvent* e) { return NativeEvent(e); });
}

bool WidgetPeer::HandleEventFrom(QWidget* Source, QEvent* Event, const NativeFn& Native) {
  if (!FControl) return Native(Event);
  switch (Event->type()) {
    case QEvent::KeyPress: {
      if (PairsWithHeldRelease(static_cast<QKeyEvent*>(Event))) return DispatchKey(Event, Native, true, true);
      if (HeldRelease) {
        const QPointer<QWidget> source = Source;
        ReleaseHeldKey();
        if (!source || !FControl) return true;
      }
      return DispatchKey(Event, Native, true);
    }
    case QEvent::KeyRelease:
      if (HoldKeyRelease(Source, static_cast<QKeyEvent*>(Event))) {
        Event->accept();
        return true;
      }
      return DispatchKey(Event, Native, false);
    case QEvent::ShortcutOverride: {
      // Keys go to the control first; Qt's shortcuts do not take them.
      Event->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return DispatchMouse(Source, Event, Native);
    case QEvent::Paint:
      if (Source == Widget()) return DispatchPaint(Event);
      return Native(Event);
    case QEvent::FocusIn: {
      const bool r = Native(Event);
      auto* fe = static_cast<QFocusEvent*>(Event);
      if (fe->reason() != Qt::PopupFocusReason)
        if (TWinControl* wc = WinControl())
          if (TCustomForm* f = GetParentForm(wc)) f->FocusMovedTo(wc);
      return r;
    }
    case QEvent::ContextMenu: {
      auto* ce = static_cast<QContextMenuEvent*>(Event);
      TMessage m;
      m.Msg = WM_CONTEXTMENU;
      m.WParam = reinterpret_cast<WPARAM>(FHandle);
      m.LParam = MakePointLParam(ce->globalPos().x(), ce->globalPos().y());
      if (!SendAsCurrent(Event, Native, m)) Event->accept();
      return true;
    }
    case QEvent::Enter:
    case QEvent::Leave: {
      TControl* c = FControl;
      const UINT msg = Event->type() == QEvent::Enter ? CM_MOUSEENTER : CM_MOUSELEAVE;
      Guarded([&] { c->Perform(msg, 0, 0); });
      return Native(Event);
    }
    case QEvent::Resize: return WindowGeometryChanged(Source, Event, Native, WM_SIZE);
    case QEvent::Move: return WindowGeometryChanged(Source, Event, Native, WM_MOVE);
    case QEvent::Close: {
      if (auto* f = dynamic_cast<TCustomForm*>(FControl)) {
        Event->ignore();
        Guarded([&] { f->Close(); });
        return true;
      }
      return Native(Event);
    }
    case QEvent::WindowActivate: {
      const bool r = Native(Event);
      if (auto* f = dynamic_cast<TCustomForm*>(FControl)) Guarded([&] { f->Activated(); });
      return r;
    }
    case QEvent::WindowDeactivate: {
      const bool r = Native(Event);
      if (auto* f = dynamic_cast<TCustomForm*>(FControl)) Guarded([&] { f->Deactivated(); });
      return r;
    }
    default: return Native(Event);
  }
}

bool WidgetPeer::WindowGeometryChanged(QWidget* Source, QEvent* Event, const NativeFn& Native, UINT Msg) {
  const bool r = Native(Event);
  TControl* c = FControl;
  if (!c || Source != Widget() || !Widget()->isWindow()) return r;
  const bool size = Msg == WM_SIZE;
  const QPoint now = size ? QPoint(Widget()->width(), Widget()->height()) : Widget()->pos();
  int& x = size ? c->FWidth : c->FLeft;
  int& y = size ? c->FHeight : c->FTop;
  if (now.x() == x && now.y() == y) return r;
  x = now.x();
  y = now.y();
  Guarded([&] { c->Perform(Msg, 0, MakePointLParam(now.x(), now.y())); });
  return r;
}

// ---------------------------------------------------------------- keys

// One key event on its way through the control's messages.
struct WidgetPeer::KeyStroke {
  QKeyEvent* Event;
  const NativeFn& Native;
  KeyInfo Key;
  LPARAM KeyData;  // repeat count 1, bit 29 Alt, bit 30 down before, bit 31 up
  TWinControl* Control;
  HWND Handle;
};

bool WidgetPeer::DispatchKey(QEvent* Event, const NativeFn& Native, bool Press, bool Repeat) {
  auto* ke = static_cast<QKeyEvent*>(Event);
  const KeyInfo k = TranslateKey(ke);
  CurrentShift = k.Shift;
  if (k.Alt) CurrentShift << ssAlt;
  TWinControl* wc = WinControl();
  if (!wc) return Native(Event);
  // Under X11 a held key arrives as pairs of a release and a press, both
  // marked auto-repeated.  The platform knows only repeated key-downs (bit 30:
  // the key was down already) and one key-up when the key is let go: an
  // auto-repeated release is no WM_KEYUP, and the native control does not
  // see it either.
  if (!Press && ke->isAutoRepeat()) {
    Event->accept();
    return true;
  }
  const bool repeated = Press && (ke->isAutoRepeat() || Repeat);
  const LPARAM keyData = 1 | (k.Alt ? (1 << 29) : 0) | (repeated ? (static_cast<LPARAM>(1) << 30) : 0) |
                         (Press ? 0 : (static_cast<LPARAM>(3) << 30));
  Event->accept();
  const KeyStroke stroke{ke, Native, k, keyData, wc, FHandle};
  return Press ? KeyDown(stroke) : KeyUp(stroke);
}

bool WidgetPeer::SendKeyMessage(const KeyStroke& S, TMessage& M) {
  bool& passed = M.Msg == WM_CHAR ? FCharPassed : FKeyDownPassed;
  passed = false;
  {
    CurrentEventScope scope(*this, S.Event, M.Msg, S.Native);
    Guarded([&] { S.Control->WndProc(M); });
  }
  // The handler may have destroyed the control or its window.
  const bool alive = ControlOfHandle(S.Handle) == S.Control && S.Control->Peer() == this;
  return alive && passed;
}

void WidgetPeer::RunNative(const KeyStroke& S, QEvent* Event) {
  if (ControlOfHandle(S.Handle) != S.Control || S.Control->Peer() != this) return;
  S.Native(Event);
  // Handled here: an ignored key must not travel on to the parent's window.
  Event->accept();
  S.Event->accept();
}

bool WidgetPeer::KeyUp(const KeyStroke& S) {
  TMessage m;
  m.Msg = S.Key.Alt ? WM_SYSKEYUP : WM_KEYUP;
  m.WParam = S.Key.Key;
  m.LParam = S.KeyData;
  if (SendKeyMessage(S, m) && FKeyPassed == S.Key.Key) RunNative(S, S.Event);
  S.Event->accept();
  return true;
}

bool WidgetPeer::KeyDown(const KeyStroke& S) {
  TMessage m;
  m.Msg = S.Key.Alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  m.WParam = S.Key.Key;
  m.LParam = S.KeyData;
  if (!SendKeyMessage(S, m)) return true;
  const WORD key = FKeyPassed;
  if (key == VK_TAB && TabMovesFocus(S)) return true;
  if (key != S.Key.Key) {
    ReplayChangedKey(S, key);
  } else if (S.Key.HasChar) {
    CharOfKey(S);
  } else {
    RunNative(S, S.Event);
  }
  return true;
}

bool WidgetPeer::TabMovesFocus(const KeyStroke& S) {
  if (S.Key.Shift.Contains(ssCtrl) || S.Key.Alt) return false;
  LRESULT code = 0;
  Guarded([&] { code = S.Control->Perform(WM_GETDLGCODE, 0, 0); });
  if (ControlOfHandle(S.Handle) != S.Control || S.Control->Peer() != this) return true;
  if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
  if (TCustomForm* f = GetParentForm(S.Control)) Guarded([&] { f->Perform(CM_DIALOGKEY, VK_TAB, S.KeyData); });
  return true;
}

void WidgetPeer::CharOfKey(const KeyStroke& S) {
  TMessage c;
  c.Msg = WM_CHAR;
  c.WParam = static_cast<unsigned char>(S.Key.Char);
  c.LParam = S.KeyData;
  if (!SendKeyMessage(S, c)) return;
  const char ch = FCharPassedValue;
  if (ch == S.Key.Char) {
    RunNative(S, S.Event);
    return;
  }
  // The handler changed the character: Qt gets a key press of the new one.
  const QString text = ToQString(AnsiString(1, ch));
  int qtKey = text.isEmpty() ? 0 : text.at(0).toUpper().unicode();
  if (ch == VK_RETURN) qtKey = Qt::Key_Return;
  if (ch == VK_BACK) qtKey = Qt::Key_Backspace;
  if (ch == VK_ESCAPE) qtKey = Qt::Key_Escape;
  if (ch == VK_TAB) qtKey = Qt::Key_Tab;
  QKeyEvent changed(QEvent::KeyPress, qtKey, S.Event->modifiers() & ~Qt::ControlModifier, text);
  RunNative(S, &changed);
}

void WidgetPeer::ReplayChangedKey(const KeyStroke& S, WORD Key) {
  int qtKey = 0;
  switch (Key) {
    case VK_LEFT: qtKey = Qt::Key_Left; break;
    case VK_RIGHT: qtKey = Qt::Key_Right; break;
    case VK_UP: qtKey = Qt::Key_Up; break;
    case VK_DOWN: qtKey = Qt::Key_Down; break;
    case VK_HOME: qtKey = Qt::Key_Home; break;
    case VK_END: qtKey = Qt::Key_End; break;
    case VK_DELETE: qtKey = Qt::Key_Delete; break;
    case VK_RETURN: qtKey = Qt::Key_Return; break;
    case VK_TAB: qtKey = Qt::Key_Tab; break;
    default:
      if (Key >= 'A' && Key <= 'Z') qtKey = Qt::Key_A + (Key - 'A');
      if (Key >= '0' && Key <= '9') qtKey = Qt::Key_0 + (Key - '0');
      break;
  }
  if (!qtKey) return;
  QKeyEvent changed(QEvent::KeyPress, qtKey, S.Event->modifiers());
  RunNative(S, &changed);
}

// A windowless control has no window of its own: the hit test goes to the
// windowed parent that holds it, and that parent moves or sizes.  A window
// of its own (a form) is moved and sized by the window system.
TWinControl* WidgetPeer::HitTestTarget() {
  if (Widget()->isWindow()) return nullptr;
  TWinControl* target = WinControl();
  if (!target) target = FControl->Parent();
  if (!target || (target->Peer() && target->Peer()->Widget()->isWindow())) return nullptr;
  return target;
}

bool WidgetPeer::AskHitTest(TWinControl* Target, const QPoint& Global, LRESULT& Code) {
  const HWND h = Target->Handle();
  Code = HTCLIENT;
  Guarded([&] { Code = Target->Perform(WM_NCHITTEST, 0, MakePointLParam(Global.x(), Global.y())); });
  return FControl && FindControl(h) == Target;
}

// As the platform shows it: over a border that the hit test gives for
// sizing, the sizing cursor of that border, elsewhere the control's own.
void WidgetPeer::ShowHitTestCursor(const QPoint& Global) {
  TWinControl* target = HitTestTarget();
  LRESULT code = HTCLIENT;
  if (target && !AskHitTest(target, Global, code)) return;
  TCursor cursor = FControl->Cursor();
  switch (code) {
    case HTLEFT:
    case HTRIGHT: cursor = crSizeWE; break;
    case HTTOP:
    case HTBOTTOM: cursor = crSizeNS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: cursor = crSizeNWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: cursor = crSizeNESW; break;
    default: break;
  }
  SetWidgetCursor(Widget(), cursor);
}

// The platform's move and size loop: a left press where the control's
// WM_NCHITTEST answers a caption or border code moves or sizes it until
// the release, within the limits of WM_GETMINMAXINFO.
bool WidgetPeer::DragMouse(QEvent* Event, const QPoint& Global) {
  auto* me = static_cast<QMouseEvent*>(Event);
  if (Event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
    TWinControl* target = HitTestTarget();
    if (!target) return false;
    LRESULT code = HTCLIENT;
    if (!AskHitTest(target, Global, code)) return true;
    if (code == HTCAPTION || (code >= HTLEFT && code <= HTBOTTOMRIGHT)) {
      FDragCode = code;
      FDragTarget = target->Handle();
      FDragStart = Global;
      FDragBounds = target->BoundsRect();
      return true;
    }
    return false;
  }
  if (!FDragCode) {
    if (Event->type() == QEvent::MouseMove && me->buttons() == Qt::NoButton) ShowHitTestCursor(Global);
    return false;
  }
  if (Event->type() == QEvent::MouseButtonRelease) {
    FDragCode = 0;
    FDragTarget = nullptr;
    return true;
  }
  if (Event->type() != QEvent::MouseMove) return true;
  TWinControl* c = FindControl(FDragTarget);
  if (!c) {
    FDragCode = 0;
    return true;
  }
  const int dx = Global.x() - FDragStart.x(), dy = Global.y() - FDragStart.y();
  TRect r = FDragBounds;
  if (FDragCode == HTCAPTION) {
    OffsetRect(r, dx, dy);
  } else {
    const bool left = FDragCode == HTLEFT || FDragCode == HTTOPLEFT || FDragCode == HTBOTTOMLEFT;
    const bool right = FDragCode == HTRIGHT || FDragCode == HTTOPRIGHT || FDragCode == HTBOTTOMRIGHT;
    const bool top = FDragCode == HTTOP || FDragCode == HTTOPLEFT || FDragCode == HTTOPRIGHT;
    const bool bottom = FDragCode == HTBOTTOM || FDragCode == HTBOTTOMLEFT || FDragCode == HTBOTTOMRIGHT;
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = POINT{1, 1};
    mmi.ptMaxTrackSize = POINT{1 << 15, 1 << 15};
    Guarded([&] { c->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi)); });
    if (FindControl(FDragTarget) != c) return true;
    auto clampW = [&](int w) {
      return std::clamp(w, static_cast<int>(mmi.ptMinTrackSize.x),
                        static_cast<int>(std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x)));
    };
    auto clampH = [&](int h) {
      return std::clamp(h, static_cast<int>(mmi.ptMinTrackSize.y),
                        static_cast<int>(std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y)));
    };
    if (right) r.Right = r.Left + clampW(FDragBounds.Width() + dx);
    if (left) r.Left = r.Right - clampW(FDragBounds.Width() - dx);
    if (bottom) r.Bottom = r.Top + clampH(FDragBounds.Height() + dy);
    if (top) r.Top = r.Bottom - clampH(FDragBounds.Height() - dy);
  }
  Guarded([&] { c->SetBoundsRect(r); });
  return true;
}

bool WidgetPeer::DispatchMouse(QWidget* Source, QEvent* Event, const NativeFn& Native) {
  auto* me = static_cast<QMouseEvent*>(Event);
  // A disabled control takes no mouse input: the window system gives it to
  // the enabled window under the pointer, its parent (Qt passes an event
  // left unhandled on to the parent widget).
  if (!Widget()->isEnabled() && !FDragCode) {
    Event->ignore();
    return false;
  }
  if (DragMouse(Event, me->globalPosition().toPoint())) {
    Event->accept();
    return true;
  }
  if (!FControl) return true;
  QPoint pos = me->position().toPoint();
  if (Source != Widget()) pos = Source->mapTo(Widget(), pos);
  TShiftState s = ShiftOf(me->modifiers(), me->buttons());
  if (Event->type() == QEvent::MouseButtonRelease) {
    if (me->button() == Qt::LeftButton) s >> ssLeft;
    if (me->button() == Qt::RightButton) s >> ssRight;
    if (me->button() == Qt::MiddleButton) s >> ssMiddle;
  }
  CurrentShift = s;
  if ((Event->type() == QEvent::MouseButtonPress || Event->type() == QEvent::MouseButtonDblClick) &&
      me->button() == Qt::LeftButton) {
    // Focus by click: only a left press, only on a control that takes the
    // focus so, before the control's hooks see the press.  (Qt's own focus
    // by click never applies: no peer has Qt::ClickFocus.)
    QWidget* w = Widget();
    TWinControl* wc = WinControl();
    if (wc && wc->TakesFocusOnClick() && !w->hasFocus() && QApplication::focusWidget() != Source &&
        w->window()->isActiveWindow())
      w->setFocus(Qt::MouseFocusReason);
    if (!FControl) return true;
  }
  UINT msg = WM_MOUSEMOVE;
  const Qt::MouseButton b = me->button();
  switch (Event->type()) {
    case QEvent::MouseButtonPress:
      msg = b == Qt::RightButton ? WM_RBUTTONDOWN : b == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
      break;
    case QEvent::MouseButtonRelease:
      msg = b == Qt::RightButton ? WM_RBUTTONUP : b == Qt::MiddleButton ? WM_MBUTTONUP : WM_LBUTTONUP;
      break;
    case QEvent::MouseButtonDblClick:
      msg = b == Qt::RightButton ? WM_RBUTTONDBLCLK : b == Qt::MiddleButton ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK;
      break;
    default: break;
  }
  TMessage m;
  m.Msg = msg;
  m.WParam = MouseKeys(s);
  m.LParam = MakePointLParam(pos.x(), pos.y());
  SendAsCurrent(Event, Native, m);
  Event->accept();
  return true;
}

std::vector<std::pair<WidgetPeer*, HDC>>& PaintDCs() {
  static std::vector<std::pair<WidgetPeer*, HDC>> v;
  return v;
}

HDC PaintDCOf(WidgetPeer* p) {
  HDC dc = CreatePainterDC(p->PaintPainter(), p->Widget());
  PaintDCs().emplace_back(p, dc);
  return dc;
}

bool WidgetPeer::DispatchPaint(QEvent* Event) {
  TControl* c = FControl;
  ++PaintDepth;
  const bool savedPainting = FPainting;
  FPainting = true;
  {
    CurrentEventScope scope(*this, Event, WM_PAINT, [this](QEvent* e) { return NativeEvent(e); });
    c->FInPaint = true;
    TMessage m;
    m.Msg = WM_PAINT;
    Guarded([&] { c->WndProc(m); });
    if (FControl) FControl->FInPaint = false;
  }
  auto& dcs = PaintDCs();
  for (auto it = dcs.begin(); it != dcs.end();) {
    if (it->first == this) {
      DeleteAnyDC(it->second);
      it = dcs.erase(it);
    } else {
      ++it;
    }
  }
  delete FPainter;
  FPainter = nullptr;
  FPainting = savedPainting;
  --PaintDepth;
  return true;
}

// ---------------------------------------------------------------- sub-widgets

namespace {

class ForwardFilter : public QObject {
public:
  ForwardFilter(QWidget* child, TWinControl* control) : QObject(child), FChild(child), FControl(control) {
    FHandle = control->Handle();
  }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (obj != FChild || FBypass) return false;
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::FocusIn:
      case QEvent::ContextMenu: break;
      default: return false;
    }
    TWinControl* c = ControlOfHandle(FHandle);
    if (c != FControl || !c->Peer()) return false;
    QPointer<QWidget> child = FChild;
    const bool handled = c->Peer()->HandleEventFrom(FChild, e, [this, child](QEvent* ev) {
      if (!child) return false;
      FBypass = true;
      const bool r = static_cast<QObject*>(child.data())->event(ev);
      FBypass = false;
      return r;
    });
    // Mouse input the control left (it is disabled) goes its usual way: the
    // part passes it on to the parent.
    if (!handled && dynamic_cast<QMouseEvent*>(e)) return false;
    return true;
  }

private:
  QWidget* FChild;
  TWinControl* FControl;
  HWND FHandle;
  bool FBypass = false;
};

}  // namespace

void ForwardEvents(QWidget* Child, TWinControl* Control) {
  if (!Child || !Control) return;
  Child->installEventFilter(new ForwardFilter(Child, Control));
}

// ---------------------------------------------------------------- owner draw

void SendDrawItem(TWinControl* Control, QPainter* Painter, const QRect& ItemRect, int ItemIndex, UINT ItemState,
                  UINT CtlType, ULONG_PTR ItemData) {
  if (!Control || !Painter) return;
  HDC dc = CreatePainterDC(Painter, nullptr);
  DRAWITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.itemID = static_cast<UINT>(ItemIndex);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = ItemState;
  dis.hwndItem = Control->HandleAllocated() ? Control->Handle() : nullptr;
  dis.hDC = dc;
  dis.rcItem = FromQRect(ItemRect);
  dis.itemData = ItemData;
  Painter->save();
  ++PaintDepth;
  Guarded([&] { Control->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)); });
  --PaintDepth;
  Painter->restore();
  ReleasePainterDC(dc);
}

int SendMeasureItem(TWinControl* Control, int ItemIndex, int Height, UINT CtlType) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = CtlType;
  mis.itemID = static_cast<UINT>(ItemIndex);
  mis.itemHeight = static_cast<UINT>(Height);
  Guarded([&] { Control->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)); });
  return static_cast<int>(mis.itemHeight);
}

}  // namespace platform
