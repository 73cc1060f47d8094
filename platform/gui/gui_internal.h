// Internal helpers shared by the .cpp files of platform/gui (Qt allowed).
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/drawop.h"
#include "platform/gui/graphics.h"

namespace platform {

QFont MakeQFont(const AnsiString& Name, int Height, bool Bold, bool Italic, bool Underline, bool StrikeOut,
                int Weight);

HWND NewHandle(TWinControl* Control);
void FreeHandle(HWND Handle);
TWinControl* ControlOfHandle(HWND Handle);
bool PostToQueue(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
bool PeekQueue(MSG* Out, HWND hWnd, UINT Min, UINT Max, UINT Remove);
bool HasPostedItems();
void FlushOrphanedPosts();
// Hands a key release that waits for its pair (a held key under X11) on to
// its widget at once.
void ReleaseHeldKey();
void InstallWindowHooks();

// Paints under way (geometry changes of peers wait until none is).
extern int PaintDepth;
// The shift state of the key or mouse event under way (or the last one).
extern TShiftState CurrentShift;

// The handler that shows a control's popup menu (SetPopupMenuHandler).
std::function<void(TPopupMenu*, int, int)>& PopupHandler();

// DCs handed out by GetDC/BeginPaint during a paint; they go with it.
std::vector<std::pair<WidgetPeer*, HDC>>& PaintDCs();
// A DC over the painter of the peer's paint under way, released with the
// paint (GetDC during WM_PAINT).
HDC PaintDCOf(WidgetPeer* p);

// Device contexts.
HDC CreateImageDC(int Width, int Height, TColor Background);
QImage* ImageOfDC(HDC DC);
HDC CreateMeasureDC();
void DeleteAnyDC(HDC DC);
// Whom every drawing call is reported to: nobody in the program; the test
// support sets it (SetDrawRecorder).
DrawRecorder& DrawRecorderForTests();

}  // namespace platform
