// The Win32 window calls on the program's own windows: focus, parent and
// rectangles, visibility and enabling, painting and device contexts, key
// state, messages.
#include "platform/gui/controls.h"

#include <QApplication>
#include <QWidget>

#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"

using platform::WidgetPeer;

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
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT: down = s.Contains(ssShift); break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: down = s.Contains(ssCtrl); break;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: down = s.Contains(ssAlt); break;
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
