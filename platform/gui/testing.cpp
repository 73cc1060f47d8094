// Support for tests: the offscreen application, synthetic input, looks into
// the native widgets, rendering.  Only the tests and benchmarks link it.
#include "platform/gui/testing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleFactory>
#include <QWindow>

#include <cstdlib>

#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/timer_internal.h"
#include "platform/rtl/codepage.h"

namespace platform {

void SetCursorOverride(int x, int y);

void InitTestApplication(int& argc, char** argv) {
  InstallOsLayer();
  // Offscreen unless a run asks for a real display (ZEL_TEST_QPA=xcb under
  // Xvfb), where window activation and focus are those of an X server.
  const char* qpa = std::getenv("ZEL_TEST_QPA");
  ::setenv("QT_QPA_PLATFORM", qpa && *qpa ? qpa : "offscreen", 1);
  if (!QCoreApplication::instance()) {
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
  }
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  InstallWindowHooks();
  FlushOrphanedPosts();
}

namespace {

// The window the test made active last.
QPointer<QWidget> ActivatedByTest;

// Tests on a real display run on Xvfb without a window manager. There a
// window whose X focus went back to the root (a closed popup had it, or a
// window that was destroyed) gets it back from nobody, and Qt deactivates
// it. The test support stands in for the manager: the window the test made
// active is made active again while no window of the program is.
void GiveBackActivation() {
  if (!ActivatedByTest || !ActivatedByTest->isVisible()) return;
  if (QApplication::activeWindow() || QApplication::activePopupWidget() || QApplication::activeModalWidget())
    return;
  QApplication::setActiveWindow(ActivatedByTest);
  ActivatedByTest->activateWindow();
}

}  // namespace

void ProcessPendingMessages() {
  if (!QCoreApplication::instance()) return;
  // On a real display the window system answers asynchronously (focus and
  // activation after a popup closes, for one): a round trip to it first, so
  // that what it did for the requests so far is handled here too.
  const bool RealDisplay = QGuiApplication::platformName() != QLatin1String("offscreen");
  for (int round = 0; round < 20; ++round) {
    if (RealDisplay) QGuiApplication::sync();
    FlushOrphanedPosts();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ReleaseHeldKey();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (RealDisplay) GiveBackActivation();
    if (!HasPostedItems()) break;
  }
}

void ShowAndActivate(TCustomForm* Form) {
  if (!Form) return;
  Form->Show();
  QWidget* w = WidgetOf(Form);
  if (!w) return;
  w->show();
  ActivatedByTest = w;
  QApplication::setActiveWindow(w);
  w->activateWindow();
  ProcessPendingMessages();
  // A real display maps, exposes and activates the window in its own time:
  // wait for that (a bounded wait on the window system, not on a clock of
  // the test's), so that painting and focus work from here on.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    QElapsedTimer waited;
    waited.start();
    while (!(w->windowHandle() && w->windowHandle()->isExposed() && QApplication::activeWindow() == w) &&
           waited.elapsed() < 10000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      ProcessPendingMessages();
    }
  }
}

namespace {

struct QtKey {
  int key = 0;
  QString text;
  Qt::KeyboardModifiers mods;
};

QtKey FromVirtualKey(WORD vk, TShiftState shift) {
  QtKey k;
  const bool sh = shift.Contains(ssShift);
  if (sh) k.mods |= Qt::ShiftModifier;
  if (shift.Contains(ssCtrl)) k.mods |= Qt::ControlModifier;
  if (shift.Contains(ssAlt)) k.mods |= Qt::AltModifier;
  if (vk >= 'A' && vk <= 'Z') {
    k.key = Qt::Key_A + (vk - 'A');
    // The offscreen platform gives Ctrl+C as "c" with the modifier; so do we.
    k.text = QString(QChar(sh ? vk : vk + 32));
    return k;
  }
  static const char* shifted = ")!@#$%^&*(";
  if (vk >= '0' && vk <= '9') {
    k.key = Qt::Key_0 + (vk - '0');
    k.text = QString(QChar(sh ? shifted[vk - '0'] : static_cast<char>(vk)));
    if (sh) k.key = QChar(shifted[vk - '0']).unicode();
    return k;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    k.key = Qt::Key_0 + (vk - VK_NUMPAD0);
    k.text = QString(QChar('0' + (vk - VK_NUMPAD0)));
    k.mods |= Qt::KeypadModifier;
    return k;
  }
  if (vk >= VK_F1 && vk <= VK_F12) {
    k.key = Qt::Key_F1 + (vk - VK_F1);
    return k;
  }
  switch (vk) {
    case VK_BACK:
      k.key = Qt::Key_Backspace;
      k.text = "\b";
      break;
    case VK_TAB:
      k.key = sh ? Qt::Key_Backtab : Qt::Key_Tab;
      k.text = "\t";
      break;
    case VK_RETURN:
      k.key = Qt::Key_Return;
      k.text = "\r";
      break;
    case VK_ESCAPE:
      k.key = Qt::Key_Escape;
      k.text = QChar(VK_ESCAPE);
      break;
    case VK_SPACE:
      k.key = Qt::Key_Space;
      k.text = " ";
      break;
    case VK_PRIOR: k.key = Qt::Key_PageUp; break;
    case VK_NEXT: k.key = Qt::Key_PageDown; break;
    case VK_END: k.key = Qt::Key_End; break;
    case VK_HOME: k.key = Qt::Key_Home; break;
    case VK_LEFT: k.key = Qt::Key_Left; break;
    case VK_UP: k.key = Qt::Key_Up; break;
    case VK_RIGHT: k.key = Qt::Key_Right; break;
    case VK_DOWN: k.key = Qt::Key_Down; break;
    case VK_INSERT: k.key = Qt::Key_Insert; break;
    case VK_DELETE:
      k.key = Qt::Key_Delete;
      k.text = "\x7f";
      break;
    case VK_SHIFT: k.key = Qt::Key_Shift; break;
    case VK_CONTROL: k.key = Qt::Key_Control; break;
    case VK_MENU: k.key = Qt::Key_Alt; break;
    case VK_OEM_PERIOD:
      k.key = sh ? Qt::Key_Greater : Qt::Key_Period;
      k.text = sh ? ">" : ".";
      break;
    case VK_OEM_COMMA:
      k.key = sh ? Qt::Key_Less : Qt::Key_Comma;
      k.text = sh ? "<" : ",";
      break;
    case VK_OEM_MINUS:
      k.key = sh ? Qt::Key_Underscore : Qt::Key_Minus;
      k.text = sh ? "_" : "-";
      break;
    case VK_OEM_PLUS:
      k.key = sh ? Qt::Key_Plus : Qt::Key_Equal;
      k.text = sh ? "+" : "=";
      break;
    case VK_OEM_1:
      k.key = sh ? Qt::Key_Colon : Qt::Key_Semicolon;
      k.text = sh ? ":" : ";";
      break;
    case VK_OEM_2:
      k.key = sh ? Qt::Key_Question : Qt::Key_Slash;
      k.text = sh ? "?" : "/";
      break;
    case VK_ADD:
      k.key = Qt::Key_Plus;
      k.text = "+";
      k.mods |= Qt::KeypadModifier;
      break;
    case VK_SUBTRACT:
      k.key = Qt::Key_Minus;
      k.text = "-";
      k.mods |= Qt::KeypadModifier;
      break;
    case VK_MULTIPLY:
      k.key = Qt::Key_Asterisk;
      k.text = "*";
      k.mods |= Qt::KeypadModifier;
      break;
    case VK_DIVIDE:
      k.key = Qt::Key_Slash;
      k.text = "/";
      k.mods |= Qt::KeypadModifier;
      break;
    case VK_DECIMAL:
      k.key = Qt::Key_Period;
      k.text = ".";
      k.mods |= Qt::KeypadModifier;
      break;
    default: k.key = 0; break;
  }
  if (shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) k.text.clear();
  return k;
}

bool Deliver(QEvent::Type type, const QtKey& k) {
  QWidget* target = QApplication::focusWidget();
  if (!target) return false;
  QKeyEvent e(type, k.key, k.mods, k.text);
  QApplication::sendEvent(target, &e);
  return true;
}

}  // namespace

bool SendKeyDown(WORD Key, TShiftState Shift) {
  const bool r = Deliver(QEvent::KeyPress, FromVirtualKey(Key, Shift));
  ProcessPendingMessages();
  return r;
}

bool SendKeyUp(WORD Key, TShiftState Shift) {
  const bool r = Deliver(QEvent::KeyRelease, FromVirtualKey(Key, Shift));
  ProcessPendingMessages();
  return r;
}

bool SendKey(WORD Key, TShiftState Shift) {
  if (!SendKeyDown(Key, Shift)) return false;
  SendKeyUp(Key, Shift);
  // The stroke's modifier keys are let go with it.
  CurrentShift -= Shift * TShiftState{ssShift, ssCtrl, ssAlt};
  return true;
}

bool SendKeypadEnter() {
  QtKey k;
  k.key = Qt::Key_Enter;
  k.text = "\r";
  k.mods = Qt::KeypadModifier;
  if (!Deliver(QEvent::KeyPress, k)) return false;
  ProcessPendingMessages();
  Deliver(QEvent::KeyRelease, k);
  ProcessPendingMessages();
  return true;
}

bool TypeText(const AnsiString& Text) {
  for (char c : Text) {
    QtKey k;
    const QChar q(AnsiCharToWide(static_cast<unsigned char>(c)));
    k.text = QString(q);
    k.key = q.toUpper().unicode();
    if (c >= 'a' && c <= 'z') k.key = Qt::Key_A + (c - 'a');
    if (c >= 'A' && c <= 'Z') {
      k.key = Qt::Key_A + (c - 'A');
      k.mods = Qt::ShiftModifier;
    }
    if (c == ' ') k.key = Qt::Key_Space;
    if (c == '\r') k.key = Qt::Key_Return;
    if (!Deliver(QEvent::KeyPress, k)) return false;
    Deliver(QEvent::KeyRelease, k);
    if (k.mods & Qt::ShiftModifier) CurrentShift >> ssShift;  // let go with the letter
    ProcessPendingMessages();
  }
  return true;
}

// ---------------------------------------------------------------- mouse

namespace {

Qt::MouseButtons g_held;

void SendMouse(TControl* c, QEvent::Type type, Qt::MouseButton b, int x, int y, TShiftState s) {
  QWidget* w = WidgetOf(c);
  if (!w) return;
  Qt::KeyboardModifiers mods;
  if (s.Contains(ssShift)) mods |= Qt::ShiftModifier;
  if (s.Contains(ssCtrl)) mods |= Qt::ControlModifier;
  if (s.Contains(ssAlt)) mods |= Qt::AltModifier;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) g_held |= b;
  if (type == QEvent::MouseButtonRelease) g_held &= ~Qt::MouseButtons(b);
  const Qt::MouseButtons buttons = g_held;
  const QPointF local(x, y);
  const QPointF global = w->mapToGlobal(local.toPoint());
  SetCursorOverride(static_cast<int>(global.x()), static_cast<int>(global.y()));
  QMouseEvent e(type, local, global, b, buttons, mods);
  QApplication::sendEvent(w, &e);
  ProcessPendingMessages();
}

Qt::MouseButton QtButton(TMouseButton b) {
  return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

}  // namespace

void SendMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
  SendMouse(Control, QEvent::MouseButtonPress, QtButton(Button), X, Y, Shift);
}
void SendMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
  SendMouse(Control, QEvent::MouseButtonRelease, QtButton(Button), X, Y, Shift);
}
void SendMouseMove(TControl* Control, int X, int Y, TShiftState Shift) {
  SendMouse(Control, QEvent::MouseMove, Qt::NoButton, X, Y, Shift);
}
void SendClick(TControl* Control, int X, int Y) {
  SendMouseDown(Control, mbLeft, X, Y);
  SendMouseUp(Control, mbLeft, X, Y);
}
void SendDblClick(TControl* Control, int X, int Y) {
  SendClick(Control, X, Y);
  SendMouse(Control, QEvent::MouseButtonDblClick, Qt::LeftButton, X, Y, TShiftState());
  SendMouseUp(Control, mbLeft, X, Y);
}
void SetMousePos(TControl* Control, int X, int Y) {
  const TPoint p = Control->ClientToScreen(TPoint(X, Y));
  SetCursorOverride(p.X, p.Y);
}

void MoveMouseOver(TControl* Control, int X, int Y) {
  QWidget* w = WidgetOf(Control);
  if (!w || !w->window()->windowHandle()) return;
  QWindow* window = w->window()->windowHandle();
  const QPoint global = w->mapToGlobal(QPoint(X, Y));
  const QPointF local = window->mapFromGlobal(global);
  SetCursorOverride(global.x(), global.y());
  QMouseEvent e(QEvent::MouseMove, local, local, QPointF(global), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QGuiApplication::sendEvent(window, &e);
  ProcessPendingMessages();
}

TCursor ShownCursor(TControl* Control) {
  QWidget* w = WidgetOf(Control);
  if (!w || !w->testAttribute(Qt::WA_SetCursor)) return crDefault;
  for (TCursor c = crNone; c >= crSizeAll; --c)
    if (CursorShapeOf(c) == w->cursor().shape()) return c;
  return crDefault;
}

void SendTextDrop(TControl* Control, int X, int Y, const AnsiString& Text) {
  QWidget* w = WidgetOf(Control);
  if (!w) return;
  QMimeData data;
  data.setText(ToQString(Text));
  const QPoint at(X, Y);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &enter);
  QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
  QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &drop);
  ProcessPendingMessages();
}

// ---------------------------------------------------------------- input through the window system

}  // namespace platform

// The entries of QtGui through which the platform plugins (and Qt's test
// library) hand input over.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* w, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);
QT_END_NAMESPACE

namespace platform {

namespace {

Qt::MouseButtons g_inputHeld;
int g_inputTime = 1000000;

Qt::KeyboardModifiers ModifiersOf(TShiftState s) {
  Qt::KeyboardModifiers mods;
  if (s.Contains(ssShift)) mods |= Qt::ShiftModifier;
  if (s.Contains(ssCtrl)) mods |= Qt::ControlModifier;
  if (s.Contains(ssAlt)) mods |= Qt::AltModifier;
  return mods;
}

void InputMouse(TControl* Control, QEvent::Type Type, Qt::MouseButton Button, int X, int Y, TShiftState Shift,
                int Delay) {
  QWidget* w = WidgetOf(Control);
  if (!w || !w->window()->windowHandle()) return;
  QWindow* window = w->window()->windowHandle();
  if (Type == QEvent::MouseButtonPress) g_inputHeld |= Button;
  if (Type == QEvent::MouseButtonRelease) g_inputHeld &= ~Qt::MouseButtons(Button);
  const QPoint global = w->mapToGlobal(QPoint(X, Y));
  SetCursorOverride(global.x(), global.y());
  g_inputTime += Delay;
  qt_handleMouseEvent(window, QPointF(window->mapFromGlobal(global)), QPointF(global), g_inputHeld, Button, Type,
                      ModifiersOf(Shift), g_inputTime);
  ProcessPendingMessages();
}

}  // namespace

void InputMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift, bool DoubleClick) {
  // Presses further apart than the double-click time are single clicks.
  InputMouse(Control, QEvent::MouseButtonPress, QtButton(Button), X, Y, Shift, DoubleClick ? 50 : 10000);
}
void InputMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
  InputMouse(Control, QEvent::MouseButtonRelease, QtButton(Button), X, Y, Shift, 20);
}
void InputMouseMove(TControl* Control, int X, int Y, TShiftState Shift) {
  InputMouse(Control, QEvent::MouseMove, Qt::NoButton, X, Y, Shift, 20);
}
void InputClick(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
  InputMouseDown(Control, Button, X, Y, Shift);
  InputMouseUp(Control, Button, X, Y, Shift);
}

bool InputKey(WORD Key, bool Press, bool AutoRepeat, TShiftState Shift) {
  QWindow* window = QGuiApplication::focusWindow();
  if (!window && QApplication::activeWindow()) window = QApplication::activeWindow()->windowHandle();
  if (!window) return false;
  const QtKey k = FromVirtualKey(Key, Shift);
  qt_handleKeyEvent(window, Press ? QEvent::KeyPress : QEvent::KeyRelease, k.key, k.mods, k.text, AutoRepeat, 1);
  ProcessPendingMessages();
  return true;
}

bool InputHeldKey(WORD Key, int Repeats, TShiftState Shift, const std::function<void(int)>& BetweenRepeats) {
  if (!InputKey(Key, true, false, Shift)) return false;
  for (int i = 1; i <= Repeats; ++i) {
    InputKey(Key, false, true, Shift);
    InputKey(Key, true, true, Shift);
    if (BetweenRepeats) BetweenRepeats(i);
  }
  return InputKey(Key, false, false, Shift);
}

// ---------------------------------------------------------------- a native edit for tests

namespace {

class LineEditPeer : public Peer<QLineEdit> {
public:
  using Peer::Peer;
};

class TLineEditControl : public TWinControl {
public:
  using TWinControl::TWinControl;

protected:
  WidgetPeer* CreatePeer() override { return new LineEditPeer(this); }
  bool TakesFocusOnClick() const override { return true; }
  AnsiString GetText() override {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetOf(this))) return FromQString(e->text());
    return TWinControl::GetText();
  }
  void SetTextValue(const AnsiString& Value) override {
    TWinControl::SetTextValue(Value);
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetOf(this))) e->setText(ToQString(Value));
  }
};

}  // namespace

TWinControl* CreateLineEditControl(TComponent* Owner) {
  auto* c = new TLineEditControl(Owner);
  c->SetTabStop(true);
  return c;
}

// ---------------------------------------------------------------- the native widgets

int DroppedListRow(TCustomComboBox* Box) {
  auto* box = dynamic_cast<QComboBox*>(WidgetOf(Box));
  QAbstractItemView* list = box ? box->view() : nullptr;
  if (!list || !list->window()->isVisible()) return -1;
  const QModelIndex i = list->currentIndex();
  return i.isValid() ? i.row() : -1;
}

NativeListWatch WatchNativeList(TCustomListBox* Box, const std::function<void()>& Action) {
  NativeListWatch W;
  auto list = [Box] { return dynamic_cast<QAbstractItemView*>(WidgetOf(Box)); };
  QMetaObject::Connection Watch;
  if (QAbstractItemView* L = list())
    Watch = QObject::connect(L->model(), &QAbstractItemModel::rowsInserted, [&W] { ++W.Insertions; });
  Action();
  QObject::disconnect(Watch);
  // As the list is when it is next used.
  Box->SyncNative();
  if (QAbstractItemView* L = list()) {
    for (int I = 0; I < L->model()->rowCount(); ++I) {
      const QModelIndex Row = L->model()->index(I, 0);
      W.Rows.push_back(FromQString(Row.data().toString()));
      if (L->selectionModel()->isSelected(Row)) W.SelectedRows.push_back(I);
    }
    W.CurrentRow = L->currentIndex().row();
  }
  return W;
}

unsigned TimerStarts(TTimer* Timer) { return Timer ? TimerImpl::Of(Timer)->Starts : 0; }

bool FireTimerNow(TTimer* Timer) {
  if (!Timer || !Timer->Running()) return false;
  TimerImpl* impl = TimerImpl::Of(Timer);
  impl->Start(static_cast<int>(Timer->Interval()));
  impl->Tick();
  return true;
}

void SetManualTimers(bool On) { ManualTimersForTests = On; }

DrawRecorder SetDrawRecorder(DrawRecorder Recorder) {
  DrawRecorder old = std::move(DrawRecorderForTests());
  DrawRecorderForTests() = std::move(Recorder);
  return old;
}

// ---------------------------------------------------------------- rendering

namespace {

PixelImage PixelsOf(const QImage& Image) {
  PixelImage r;
  r.Width = Image.width();
  r.Height = Image.height();
  r.Pixels.resize(static_cast<std::size_t>(r.Width) * r.Height);
  for (int y = 0; y < r.Height; ++y)
    for (int x = 0; x < r.Width; ++x)
      r.Pixels[static_cast<std::size_t>(y) * r.Width + x] = FromQColor(Image.pixelColor(x, y));
  return r;
}

}  // namespace

PixelImage RenderControl(TControl* Control) {
  QWidget* w = WidgetOf(Control);
  if (!w) return PixelImage();
  QImage img(std::max(1, w->width()), std::max(1, w->height()), QImage::Format_RGB32);
  img.fill(Qt::white);
  w->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return PixelsOf(img);
}

PixelImage CanvasPixels(TCanvas* Canvas) {
  QImage* img = Canvas ? ImageOfDC(Canvas->Handle()) : nullptr;
  return img ? PixelsOf(*img) : PixelImage();
}

}  // namespace platform
