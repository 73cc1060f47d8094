// Text and code-page aids of the toolkit, and the state that the controls
// share.
//
// Escaped text: in an 8-bit caption or message, "\x" followed by up to four
// hexadecimal digits stands for one UTF-16 code unit ("\x0104" is U+0104).
// Only a lower-case "x" opens an escape.  A malformed escape (no digit, a
// non-hexadecimal character among the four, or the value 0) is dropped: the
// backslash and the "x" vanish and the next character is taken as plain text.
// Every other byte is widened by its value (E4 gives U+00E4).  With
// LanguageId 9 the Polish letters of code page 1250 become their Unicode
// letters (Cp1250Letter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gui/graphics.h"
#include "platform/os/windows.h"
#include "platform/rtl/system.h"

class TComponent;
class TWinControl;

namespace platform {

class TControlRefWatcher;

// A reference to a windowed control that does not own it and reads as none
// once the control is destroyed.  Assigning a control asks it for a free
// notification; the reference forgets the control when it goes.
class TControlRef {
public:
  TControlRef();
  ~TControlRef();
  TControlRef(const TControlRef&) = delete;
  TControlRef& operator=(const TControlRef&) = delete;

  TControlRef& operator=(TWinControl* Control);
  TControlRef& operator=(std::nullptr_t) {
    Clear();
    return *this;
  }
  // Forgets the control.
  void Clear();

  TWinControl* Get() const { return FControl; }
  operator TWinControl*() const { return FControl; }
  TWinControl* operator->() const { return FControl; }
  explicit operator bool() const { return FControl != nullptr; }

private:
  friend class TControlRefWatcher;
  void Forget(TComponent* Component);

  TWinControl* FControl = nullptr;
  TComponent* FComponent = nullptr;  // the same object as FControl
  std::unique_ptr<TControlRefWatcher> FWatcher;
};

}  // namespace platform

// Language of the program; only 9 has an effect (the code-page-1250 letters).
extern std::int32_t LanguageId;
// True when the operating system reports the NT platform: escaped text is
// then drawn with the wide-character call.
extern bool IsWinNT;
// Flat frames for the combo box, the list box and the masked edit.
extern bool FlatLook;
// The last control that recorded itself on losing the focus (not owned).
extern platform::TControlRef LastExitControl;

// The code-page-1250 Polish letter for a byte (Ś, Ź, ś, ź, Ł, Ą, Ż, ł, ą,
// ż, Ć, Ę, Ń, Ó, ć, ę, ń, ó); every other value comes back unchanged.
std::int32_t Cp1250Letter(std::int32_t Code);

// Converts S into W; true when anything changed (an escape was decoded or a
// byte mapped to another code point).  Reads LanguageId at each call.
bool AnsiToWideEsc(const AnsiString& S, WideString& W);
// The two entry points: W and the changed flag, or W only.
bool EscapedToWide(const AnsiString& S, WideString& W);
void EscapedWideText(const AnsiString& S, WideString& W);
// W only, as a result.
WideString EscapedWideText(const AnsiString& S);

// Draws Text into Rect: with DrawTextW when IsWinNT and Text held an escape
// (or a mapped letter), otherwise with DrawTextA as it was given.  Rect goes
// through to the call, so DT_CALCRECT measures on the path that draws.
void DrawEscapedText(HDC DC, RECT& Rect, const AnsiString& Text, UINT Format);

// Each of the red, green and blue channels times Factor, rounded half to
// even and capped at 255; a negative product gives 0.  A system colour is
// resolved with GetSysColor first.  The list box and the grids darken their
// selection colour with 0.9.
TColor ScaleColor(TColor Color, long double Factor);

// The module's start-up and shut-down steps.
void language_initialization();
void language_finalization();
