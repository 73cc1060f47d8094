// Support for tests of the GUI class library (no Qt in this header): the
// Qt application on the offscreen platform, key and mouse input in the
// class library's terms, a recorder of drawing calls and the pixels of a
// rendered control.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/drawop.h"
#include "platform/gui/graphics.h"

class TCustomComboBox;
class TCustomListBox;
class TCustomForm;
class TTimer;

namespace platform {

// The start-up of a test or benchmark program, as the program's main is
// the program's: installs the operating-system layer (InstallOsLayer) and
// creates the Qt application on the offscreen platform with the Fusion
// style (once; later calls do nothing).
void InitTestApplication(int& argc, char** argv);

// Handles every posted message and Qt event waiting (a few rounds, so that
// messages posted by handlers run too).
void ProcessPendingMessages();

// Shows the form and makes it the active window, so that focus can move.
void ShowAndActivate(TCustomForm* Form);

// A key press and release on the focused control (WM_KEYDOWN, WM_CHAR when
// the key gives a character, WM_KEYUP); Shift may hold ssShift, ssCtrl,
// ssAlt.  Posted messages run afterwards.  False when nothing has focus.
bool SendKey(WORD Key, TShiftState Shift = TShiftState());
// The Enter key of the numeric keypad (VK_RETURN too).
bool SendKeypadEnter();
// Only the press, only the release.
bool SendKeyDown(WORD Key, TShiftState Shift = TShiftState());
bool SendKeyUp(WORD Key, TShiftState Shift = TShiftState());
// Types Windows-1252 text character by character (as the keys that give
// those characters on a German keyboard).
bool TypeText(const AnsiString& Text);

// A windowed control whose native window is a plain single-line edit (its
// Text is the edit's text), for tests of the key pipeline.
TWinControl* CreateLineEditControl(TComponent* Owner);

// The current row of a combo box's open list, the entry Enter there takes
// (-1 while the list is closed).
int DroppedListRow(TCustomComboBox* Box);

// What the native list of a list box went through while Action ran: how
// often rows were inserted into it (one insertion may hold many rows), and
// its rows, current row and selected rows afterwards, as they are when the
// list is next used.
struct NativeListWatch {
  int Insertions = 0;
  std::vector<AnsiString> Rows;
  int CurrentRow = -1;
  std::vector<int> SelectedRows;
};
NativeListWatch WatchNativeList(TCustomListBox* Box, const std::function<void()>& Action);

// How often the timer was (re)started since it was made.
unsigned TimerStarts(TTimer* Timer);
// Runs a running timer's tick now, as if its interval had passed (the
// interval starts again); false when the timer is not running.
bool FireTimerNow(TTimer* Timer);
// While on, a timer that is started counts as running but never fires by
// itself, only by FireTimerNow; so no test races a real interval.  It
// applies to timers started while it is on.
void SetManualTimers(bool On);

// Mouse input at client coordinates of Control.
void SendMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = TShiftState());
void SendMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = TShiftState());
void SendMouseMove(TControl* Control, int X, int Y, TShiftState Shift = TShiftState());
void SendClick(TControl* Control, int X, int Y);
void SendDblClick(TControl* Control, int X, int Y);
// Moves the mouse pointer (GetCursorPos reports it) to client coordinates.
void SetMousePos(TControl* Control, int X, int Y);
// Moves the mouse, no button held, to client coordinates of Control as the
// window system does: the move goes to the control's top-level window,
// and Qt hands it to the widget under the pointer.
void MoveMouseOver(TControl* Control, int X, int Y);
// The cursor that the control's native window shows: crDefault when it has
// none of its own (its parent's shows).
TCursor ShownCursor(TControl* Control);
// Drags Windows-1252 text over the control from outside and drops it at
// client coordinates (drag enter, drag move, drop), offering copy and move.
void SendTextDrop(TControl* Control, int X, int Y, const AnsiString& Text);

// Input through the window system, as the platform plugin hands over the
// X server's events: Qt picks the widget under the point, gives the focus
// by click by its own rules, makes double clicks out of quick presses and
// delivers every event as spontaneous, to the window's focus widget for
// keys.  Coordinates are client coordinates of Control; each call lets the
// posted messages run afterwards.  Presses more than a double-click time
// apart unless DoubleClick says otherwise.
void InputMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = TShiftState(),
                    bool DoubleClick = false);
void InputMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = TShiftState());
// A move with the buttons now held (pressed by InputMouseDown).
void InputMouseMove(TControl* Control, int X, int Y, TShiftState Shift = TShiftState());
void InputClick(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = TShiftState());
// One key event to the active window; AutoRepeat marks it as the keyboard's
// repetition.  False when no window is active.
bool InputKey(WORD Key, bool Press, bool AutoRepeat = false, TShiftState Shift = TShiftState());
// A key held down while the keyboard repeats it Repeats times, then let go,
// as X11 delivers it: the press, then per repetition a release and a press
// both marked auto-repeated, then the real release.  BetweenRepeats (when
// given) runs after each repetition with its number (1, 2, ...).
bool InputHeldKey(WORD Key, int Repeats, TShiftState Shift = TShiftState(),
                  const std::function<void(int)>& BetweenRepeats = nullptr);

// While set, every drawing call on any DC is reported (in device
// coordinates of its surface).  Returns the recorder before.
DrawRecorder SetDrawRecorder(DrawRecorder Recorder);

// The pixels of an image as TColor ($00BBGGRR).
struct PixelImage {
  int Width = 0;
  int Height = 0;
  std::vector<TColor> Pixels;
  TColor At(int X, int Y) const {
    return (X < 0 || Y < 0 || X >= Width || Y >= Height) ? clNone
                                                         : Pixels[static_cast<std::size_t>(Y) * Width + X];
  }
};
// Paints the control (and its children) into an image of its size.
PixelImage RenderControl(TControl* Control);
// The pixels of a canvas made by CreateImageCanvas.
PixelImage CanvasPixels(TCanvas* Canvas);

}  // namespace platform
