// The Qt side of the class library.  Only .cpp files of platform/gui
// include this header; public headers never do.
//
// A control's native window is a Qt widget that derives from Peer<QtClass>
// (below): its event() hands every Qt event to WidgetPeer::HandleEvent,
// which turns it into the control's messages (WM_KEYDOWN/WM_CHAR/WM_KEYUP,
// mouse messages, WM_PAINT, CM_ENTER/CM_EXIT, WM_MOVE/WM_SIZE,
// WM_CONTEXTMENU ...) under the exception guard.  When a message reaches
// the control's DefaultHandler, the layer lets the Qt class handle the
// original event (NativeEvent); a key or character that a handler changed
// reaches Qt as the changed key, one set to 0 never reaches it.
//
// Sub-widgets of a native control that take keys or mouse presses (the
// line edit and popup view of a QComboBox, the viewport of a list) are
// hooked with ForwardEvents, which routes their events through the same
// path.
#pragma once

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"

namespace platform {

// ---------------------------------------------------------------- conversions at the Qt edge

QString ToQString(const AnsiString& S);    // Windows-1252 -> Unicode (own table)
AnsiString FromQString(const QString& S);  // unmappable characters become '?'
QColor ToQColor(TColor Color);             // system colours through the fixed table
TColor FromQColor(const QColor& Color);
QFont ToQFont(const TFont* Font);  // pixel size from the height, name mapped
QFont FontOfHandle(HFONT Font);
int FontEscapement(HFONT Font);  // tenths of a degree
// Windows rectangles exclude right and bottom, QRect includes them.
inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
inline TRect FromQRect(const QRect& R) { return Bounds(R.x(), R.y(), R.width(), R.height()); }

// Virtual key, shift state and ANSI character of Qt's key event; Char is
// 0 when the key gives none (navigation keys, Alt+key).
struct KeyInfo {
  WORD Key = 0;
  TShiftState Shift;
  char Char = 0;
  bool HasChar = false;
  bool Alt = false;
};
KeyInfo TranslateKey(const class QKeyEvent* Event);
TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);

// ---------------------------------------------------------------- cursors

Qt::CursorShape CursorShapeOf(TCursor Cursor);
// Shows the cursor over the widget; crDefault: the widget has none of its
// own (its parent's shows).
void SetWidgetCursor(QWidget* Widget, TCursor Cursor);

// ---------------------------------------------------------------- exception guard

// Runs Fn; an exception goes to Application->HandleException.  Every entry
// from Qt into library code runs inside it.
void Guarded(const std::function<void()>& Fn);

// ---------------------------------------------------------------- the peer

class WidgetPeer {
public:
  // The native handling of an event (the Qt class's own, or a sub-widget's).
  using NativeFn = std::function<bool(QEvent*)>;

  explicit WidgetPeer(TControl* Control);
  virtual ~WidgetPeer();
  WidgetPeer(const WidgetPeer&) = delete;
  WidgetPeer& operator=(const WidgetPeer&) = delete;

  virtual QWidget* Widget() = 0;
  // The Qt class's own handling of the event.
  virtual bool NativeEvent(QEvent* Event) = 0;

  TControl* Control() const { return FControl; }
  TWinControl* WinControl() const;
  HWND Handle() const { return FHandle; }
  void Detach();  // the control goes first

  // Entry from event(): the message path, then (where the control lets it)
  // NativeEvent.
  bool HandleEvent(QEvent* Event);
  // The same for events of a sub-widget hooked by ForwardEvents; Native
  // lets the sub-widget handle the event.
  bool HandleEventFrom(QWidget* Source, QEvent* Event, const NativeFn& Native);

  // While a Qt event is being turned into messages: the event, and the
  // native handling for it (used by DefaultHandler).
  QEvent* CurrentEvent() const { return FCurrent; }
  bool InPaint() const { return FPainting; }
  // The painter of the paint event under way (opened on first use, after
  // the native painting); nullptr outside painting.
  QPainter* PaintPainter();
  // A control's DefaultHandler: hands the message to the native widget.
  // For the message that stands for the current Qt event the widget
  // handles that event (a key or character as the handlers left it);
  // for any other, NativeMessage.
  void PassToNative(TMessage& Message);
  // The native processing of a message that the program sent
  // (WM_CUT/WM_COPY/WM_PASTE/WM_CLEAR/WM_SETTEXT ... on the native
  // control, as far as the layer knows them).  Returns true when handled.
  virtual bool NativeMessage(TMessage& Message);

private:
  class CurrentEventScope;
  struct KeyStroke;
  // Repeat: a press that the layer found to be an auto-repeat that Qt did
  // not mark as one (see HoldKeyRelease).
  bool DispatchKey(QEvent* Event, const NativeFn& Native, bool Press, bool Repeat = false);
  bool KeyUp(const KeyStroke& S);
  bool KeyDown(const KeyStroke& S);
  // Tab that the control does not want: the form moves the focus.
  bool TabMovesFocus(const KeyStroke& S);
  void CharOfKey(const KeyStroke& S);
  // A key that a handler replaced with another reaches Qt as that key.
  void ReplayChangedKey(const KeyStroke& S, WORD Key);
  void RunNative(const KeyStroke& S, QEvent* Event);
  // Sends M to the control as the message that stands for Event; true when
  // the control passed it to the native widget.
  bool SendKeyMessage(const KeyStroke& S, TMessage& M);
  bool DispatchMouse(QWidget* Source, QEvent* Event, const NativeFn& Native);
  bool DispatchPaint(QEvent* Event);
  // Resize or Move of a top-level window that the user or the window
  // system made: the control's bounds follow, with WM_SIZE or WM_MOVE.
  bool WindowGeometryChanged(QWidget* Source, QEvent* Event, const NativeFn& Native, UINT Msg);
  // Sends M to the control as the message that stands for Event, with
  // Native as its native handling; true when PassToNative ran Native.
  bool SendAsCurrent(QEvent* Event, const NativeFn& Native, TMessage& M);

  TControl* FControl;
  HWND FHandle = nullptr;
  QEvent* FCurrent = nullptr;
  UINT FCurrentMsg = 0;  // the message that stands for FCurrent
  NativeFn FCurrentNative;
  bool FNativeDone = false;
  bool FPainting = false;
  QPainter* FPainter = nullptr;
  // Moving or sizing by hit-test code (HTCAPTION, HTLEFT ... HTBOTTOMRIGHT).
  LRESULT FDragCode = 0;
  HWND FDragTarget = nullptr;  // the windowed control being moved or sized
  QPoint FDragStart;
  TRect FDragBounds;
  bool DragMouse(QEvent* Event, const QPoint& Global);
  // The control that answers WM_NCHITTEST for this widget; none for a form.
  TWinControl* HitTestTarget();
  // Its answer at a screen point; false when the handler destroyed the
  // target or this control.
  bool AskHitTest(TWinControl* Target, const QPoint& Global, LRESULT& Code);
  // The cursor that the hit-test answer at a screen point shows.
  void ShowHitTestCursor(const QPoint& Global);
  // Key pipeline state of the key event under way.
  bool FKeyDownPassed = false;
  WORD FKeyPassed = 0;
  bool FCharPassed = false;
  char FCharPassedValue = 0;
};

// A native window of the Qt class Base (QWidget, QLineEdit, QComboBox ...):
//     new platform::Peer<QLineEdit>(this)
// in the control's CreatePeer.  Override NativeMessage in a subclass for
// the native messages of the control (EM_GETSEL ...) or handle them in the
// control's DefaultHandler.
template <class Base>
class Peer : public Base, public WidgetPeer {
public:
  template <class... Args>
  explicit Peer(TControl* Control, Args&&... args) : Base(std::forward<Args>(args)...), WidgetPeer(Control) {
    this->setAttribute(Qt::WA_KeyCompression, false);
  }
  QWidget* Widget() override { return this; }
  bool NativeEvent(QEvent* Event) override {
    // A Tab that reached the native control is the control's own key:
    // QWidget::event would move the focus with it.
    if (Event->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(Event);
      if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
        Base::keyPressEvent(k);
        return true;
      }
    }
    return Base::event(Event);
  }

protected:
  bool event(QEvent* Event) override { return HandleEvent(Event); }
};

// A plain widget for windowless controls and containers.
class PlainPeer : public Peer<QWidget> {
public:
  using Peer::Peer;
};

// Routes keys, mouse, focus and context-menu events of Child (a part of
// Control's native control) through Control's message path.
void ForwardEvents(QWidget* Child, TWinControl* Control);

// The peer of a control's native window (nullptr without one).
WidgetPeer* PeerOf(const TControl* Control);
QWidget* WidgetOf(const TControl* Control);
// The control whose peer is this widget or contains it.
TControl* ControlOfWidget(const QWidget* Widget);

// ---------------------------------------------------------------- device contexts and owner draw

// A DC that paints with Painter (not owned), origin at the painter's
// current origin.  Release it before the painter ends.
HDC CreatePainterDC(QPainter* Painter, QWidget* Widget = nullptr);
void ReleasePainterDC(HDC DC);
QPainter* PainterOfDC(HDC DC);  // nullptr for a measuring DC

// Sends CN_DRAWITEM to Control for one item: builds the DRAWITEMSTRUCT with
// a DC over Painter, rcItem = ItemRect (in Painter's coordinates), runs
// the control's handler under the exception guard and releases the DC.
// ItemState: ODS_* flags.
void SendDrawItem(TWinControl* Control, QPainter* Painter, const QRect& ItemRect, int ItemIndex, UINT ItemState,
                  UINT CtlType, ULONG_PTR ItemData = 0);
// Sends CN_MEASUREITEM; returns the height the control gave (Height when
// it left it).
int SendMeasureItem(TWinControl* Control, int ItemIndex, int Height, UINT CtlType);

}  // namespace platform
