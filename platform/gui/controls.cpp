// The controls' unit: the lookups between controls and widgets, the shift
// states of messages, cursors, the canvas controls (TCustomControl,
// TGraphicControl) and the Win32 window calls.  The classes live in files
// of their own: control.cpp, wincontrol.cpp and widgetpeer.cpp (the peer).
#include "platform/gui/controls.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

#include "platform/gui/forms.h"
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

// ---------------------------------------------------------------- lookups and Win32 calls

TWinControl* FindControl(HWND Handle) { return platform::ControlOfHandle(Handle); }

TWinControl* FindVCLWindow(const TPoint& Pos) {
  QWidget* w = QApplication::widgetAt(QPoint(Pos.X, Pos.Y));
  return dynamic_cast<TWinControl*>(platform::ControlOfWidget(w));
}
