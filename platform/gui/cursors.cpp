// Cursors: the Qt shape of each TCursor, the cursor a widget shows, and the
// cursor position (GetCursorPos, SetCursorPos).
#include "platform/gui/controls.h"

#include <QCursor>
#include <QPoint>
#include <QWidget>

#include "platform/gui/qt_internal.h"

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
