// The controls' unit: what the area's files share (the paint depth, the
// shift state of the event under way, the popup-menu handler), the lookups
// between handles, widgets and controls, and the shift states of messages.
// The classes and calls live in files of their own: basecontrol.cpp
// (TControl), wincontrol.cpp, controlcanvas.cpp (TCustomControl,
// TGraphicControl), widgetpeer.cpp (the peer), cursors.cpp and
// windowcalls.cpp (the Win32 window calls).
#include "platform/gui/controls.h"

#include <QApplication>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <utility>

#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

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

// ---------------------------------------------------------------- lookups

TWinControl* FindControl(HWND Handle) { return platform::ControlOfHandle(Handle); }

TWinControl* FindVCLWindow(const TPoint& Pos) {
  QWidget* w = QApplication::widgetAt(QPoint(Pos.X, Pos.Y));
  return dynamic_cast<TWinControl*>(platform::ControlOfWidget(w));
}
