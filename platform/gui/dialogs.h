// Message boxes.  They go through a presenter that tests replace: the
// default shows a modal Qt message box; a test presenter records the text
// and answers at once.  On a platform without a screen (offscreen,
// minimal), where nobody could answer, the default presenter writes the box
// to the standard error output as one line 'Meldung [caption]: text' and
// answers with the box's default button.
#pragma once

#include <functional>

#include "platform/os/windows.h"
#include "platform/rtl/system.h"

// (MB_OK and the MB_ICON* values are in platform/os/windows.h.)
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A modal message box; the answer is the ID of the button pressed.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
// A box with the text and an OK button, titled with the application's title.
void ShowMessage(const AnsiString& Msg);

namespace platform {

// Text and caption are Windows-1252.  The presenter returns the answer.
using MessageBoxPresenter =
    std::function<int(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags)>;
// Installs a presenter and returns the one before; nullptr restores the
// default (the Qt message box).
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter Presenter);

}  // namespace platform
