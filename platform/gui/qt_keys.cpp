// Keys at the Qt edge: the virtual key, shift state and ANSI character of
// Qt's key events.
#include <QApplication>
#include <QKeyEvent>

#include "platform/gui/qt_internal.h"
#include "platform/rtl/codepage.h"

namespace platform {

TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
  TShiftState s;
  if (Modifiers & Qt::ShiftModifier) s << ssShift;
  if (Modifiers & Qt::ControlModifier) s << ssCtrl;
  if (Modifiers & Qt::AltModifier) s << ssAlt;
  if (Buttons & Qt::LeftButton) s << ssLeft;
  if (Buttons & Qt::RightButton) s << ssRight;
  if (Buttons & Qt::MiddleButton) s << ssMiddle;
  return s;
}

namespace {

WORD VirtualKeyOfQtKey(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<WORD>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    if (keypad) return static_cast<WORD>(VK_NUMPAD0 + (key - Qt::Key_0));
    return static_cast<WORD>('0' + (key - Qt::Key_0));
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : WORD('8');
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return keypad ? VK_SEPARATOR : VK_OEM_COMMA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Udiaeresis: return VK_OEM_1;
    case Qt::Key_Odiaeresis: return VK_OEM_3;
    case Qt::Key_Adiaeresis: return VK_OEM_7;
    case Qt::Key_ssharp: return VK_OEM_4;
    case Qt::Key_Exclam: return WORD('1');
    case Qt::Key_At: return WORD('2');
    case Qt::Key_NumberSign: return WORD('3');
    case Qt::Key_Dollar: return WORD('4');
    case Qt::Key_Percent: return WORD('5');
    case Qt::Key_AsciiCircum: return WORD('6');
    case Qt::Key_Ampersand: return WORD('7');
    case Qt::Key_ParenLeft: return WORD('9');
    case Qt::Key_ParenRight: return WORD('0');
    default: return 0xDF;  // VK_OEM_8: a key of its own without a Win32 name here
  }
}

}  // namespace

KeyInfo TranslateKey(const QKeyEvent* Event) {
  KeyInfo k;
  const Qt::KeyboardModifiers mods = Event->modifiers();
  const bool keypad = mods & Qt::KeypadModifier;
  k.Shift = ShiftOf(mods, QApplication::mouseButtons());
  const int key = Event->key();
  k.Key = VirtualKeyOfQtKey(key, keypad);
  if (key == Qt::Key_Backtab) k.Shift << ssShift;
  const bool ctrl = mods & Qt::ControlModifier;
  const bool alt = mods & Qt::AltModifier;
  k.Alt = alt && !ctrl;
  if (k.Alt) return k;  // Alt+key: WM_SYSKEYDOWN, no character
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      k.Char = static_cast<char>(VK_RETURN);
      k.HasChar = true;
      return k;
    case Qt::Key_Backspace:
      k.Char = static_cast<char>(VK_BACK);
      k.HasChar = true;
      return k;
    case Qt::Key_Escape:
      k.Char = static_cast<char>(VK_ESCAPE);
      k.HasChar = true;
      return k;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      k.Char = static_cast<char>(VK_TAB);
      k.HasChar = true;
      return k;
    default: break;
  }
  if (ctrl && !alt) {
    if (k.Key >= 'A' && k.Key <= 'Z') {
      k.Char = CtrlChar(static_cast<char>(k.Key));
      k.HasChar = true;
    }
    return k;
  }
  const QString text = Event->text();
  if (!text.isEmpty()) {
    const char16_t w = text.at(0).unicode();
    if (w >= 0x20 && w != 0x7F) {
      char c = '?';
      if (!WideCharToAnsi(w, c)) c = '?';
      k.Char = c;
      k.HasChar = true;
    }
  }
  return k;
}

}  // namespace platform
