// The Qt edge: text and colour conversions, the exception guard, window
// handles and the queue of posted messages.
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>

#include <cmath>
#include <deque>
#include <unordered_map>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/rtl/codepage.h"

namespace platform {

// ---------------------------------------------------------------- text

QString ToQString(const AnsiString& S) {
  const WideString w = AnsiToWide(S);
  return QString(reinterpret_cast<const QChar*>(w.data()), static_cast<qsizetype>(w.size()));
}

AnsiString FromQString(const QString& S) {
  WideString w(reinterpret_cast<const char16_t*>(S.utf16()), static_cast<std::size_t>(S.size()));
  return WideToAnsi(w);
}

// ---------------------------------------------------------------- colours and fonts

QColor ToQColor(TColor Color) {
  if (Color == clNone) return QColor(Qt::transparent);
  if (Color == clDefault) Color = clWindow;
  const TColor c = ColorToRGB(Color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& Color) {
  return static_cast<TColor>(RGB(Color.red(), Color.green(), Color.blue()));
}

namespace {

QString MapFamily(const AnsiString& Name) {
  const AnsiString n = AsciiLower(Name);
  if (n.find("courier") != AnsiString::npos || n.find("mono") != AnsiString::npos ||
      n.find("fixedsys") != AnsiString::npos || n.find("consol") != AnsiString::npos)
    return QStringLiteral("DejaVu Sans Mono");
  if (n.find("times") != AnsiString::npos || n.find("serif") == 0 || n.find("roman") != AnsiString::npos ||
      n.find("georgia") != AnsiString::npos)
    return QStringLiteral("DejaVu Serif");
  return QStringLiteral("DejaVu Sans");
}

}  // namespace

QFont MakeQFont(const AnsiString& Name, int Height, bool Bold, bool Italic, bool Underline,
                bool StrikeOut, int Weight) {
  QFont f(MapFamily(Name));
  int px = 11;
  if (Height < 0)
    px = -Height;
  else if (Height > 0)
    px = std::max(1, static_cast<int>(std::lround(Height / 1.164)));
  f.setPixelSize(std::max(1, px));
  if (Weight > 0)
    f.setWeight(static_cast<QFont::Weight>(std::clamp(Weight, 100, 900)));
  else
    f.setBold(Bold);
  f.setItalic(Italic);
  f.setUnderline(Underline);
  f.setStrikeOut(StrikeOut);
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  return f;
}

QFont ToQFont(const TFont* Font) {
  if (!Font) return MakeQFont("MS Sans Serif", -11, false, false, false, false, 0);
  const TFontStyles s = Font->Style();
  return MakeQFont(Font->Name(), Font->Height(), s.Contains(fsBold), s.Contains(fsItalic),
                   s.Contains(fsUnderline), s.Contains(fsStrikeOut), 0);
}

// ---------------------------------------------------------------- keys

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
    case Qt::Key_Enter: k.Char = '\r'; k.HasChar = true; return k;
    case Qt::Key_Backspace: k.Char = '\b'; k.HasChar = true; return k;
    case Qt::Key_Escape: k.Char = '\x1B'; k.HasChar = true; return k;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: k.Char = '\t'; k.HasChar = true; return k;
    default: break;
  }
  if (ctrl && !alt) {
    if (k.Key >= 'A' && k.Key <= 'Z') {
      k.Char = static_cast<char>(k.Key - 'A' + 1);
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

// ---------------------------------------------------------------- exception guard

void Guarded(const std::function<void()>& Fn) {
  try {
    Fn();
  } catch (...) {
    try {
      Application->HandleException(nullptr);
    } catch (...) {
    }
  }
}

// ---------------------------------------------------------------- handles

namespace {

struct HandleTable {
  std::unordered_map<HWND, TWinControl*> byHandle;
  std::uintptr_t next = 0x10000;
};
HandleTable& Handles() {
  static HandleTable t;
  return t;
}

}  // namespace

HWND NewHandle(TWinControl* Control) {
  InstallWindowHooks();
  HandleTable& t = Handles();
  t.next += 0x10;
  HWND h = reinterpret_cast<HWND>(t.next);
  t.byHandle[h] = Control;
  return h;
}

void FreeHandle(HWND Handle) { Handles().byHandle.erase(Handle); }

TWinControl* ControlOfHandle(HWND Handle) {
  if (!Handle) return nullptr;
  auto& m = Handles().byHandle;
  auto it = m.find(Handle);
  return it == m.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- posted messages

namespace {

constexpr QEvent::Type PostedEventType = static_cast<QEvent::Type>(QEvent::User + 0x5A1);

struct PostedItem {
  std::uint64_t Id = 0;
  MSG Msg;
  std::function<void()> Call;
};

struct PostQueue {
  std::deque<PostedItem> items;
  std::uint64_t nextId = 0;
};
PostQueue& Queue() {
  static PostQueue q;
  return q;
}

class PostedEvent : public QEvent {
public:
  explicit PostedEvent(std::uint64_t id) : QEvent(PostedEventType), Id(id) {}
  std::uint64_t Id;
};

void DeliverItem(PostedItem item) {
  if (item.Call) {
    Guarded(item.Call);
    return;
  }
  TWinControl* c = ControlOfHandle(item.Msg.hwnd);
  if (!c) return;
  Guarded([&] { c->Perform(item.Msg.message, item.Msg.wParam, item.Msg.lParam); });
}

class PostDispatcher : public QObject {
public:
  bool event(QEvent* e) override {
    if (e->type() != PostedEventType) return QObject::event(e);
    const std::uint64_t id = static_cast<PostedEvent*>(e)->Id;
    auto& items = Queue().items;
    for (auto it = items.begin(); it != items.end(); ++it) {
      if (it->Id == id) {
        PostedItem item = std::move(*it);
        items.erase(it);
        DeliverItem(std::move(item));
        break;
      }
    }
    return true;
  }
};

QObject* Dispatcher() {
  static QPointer<QObject> d;
  if (!d && QCoreApplication::instance()) d = new PostDispatcher();
  return d;
}

void Enqueue(PostedItem item) {
  PostQueue& q = Queue();
  item.Id = ++q.nextId;
  item.Msg.time = GetTickCount();
  const std::uint64_t id = item.Id;
  q.items.push_back(std::move(item));
  if (QObject* d = Dispatcher()) QCoreApplication::postEvent(d, new PostedEvent(id));
}

}  // namespace

void PostCall(std::function<void()> Fn) {
  PostedItem item;
  item.Call = std::move(Fn);
  Enqueue(std::move(item));
}

bool PostToQueue(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!ControlOfHandle(hWnd)) return false;
  PostedItem item;
  item.Msg.hwnd = hWnd;
  item.Msg.message = Msg;
  item.Msg.wParam = wParam;
  item.Msg.lParam = lParam;
  Enqueue(std::move(item));
  return true;
}

bool PeekQueue(MSG* Out, HWND hWnd, UINT Min, UINT Max, UINT Remove) {
  auto& items = Queue().items;
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (it->Call) continue;
    if (hWnd && it->Msg.hwnd != hWnd) continue;
    if ((Min || Max) && (it->Msg.message < Min || it->Msg.message > Max)) continue;
    if (Out) *Out = it->Msg;
    if (Remove & PM_REMOVE) items.erase(it);
    return true;
  }
  return false;
}

bool HasPostedItems() { return !Queue().items.empty(); }

// Delivers items that were queued while no Qt application existed.
void FlushOrphanedPosts() {
  if (!Dispatcher()) return;
  static std::uint64_t flushedUpTo = 0;
  for (auto& item : Queue().items)
    if (item.Id > flushedUpTo) {
      QCoreApplication::postEvent(Dispatcher(), new PostedEvent(item.Id));
      flushedUpTo = item.Id;
    }
}

// ---------------------------------------------------------------- the hooks of platform/os

void InstallWindowHooks() {
  // Called at run time (never from a static initialiser, whose order with
  // the hooks' own storage in platform/os is not fixed).
  static bool done = false;
  if (done) return;
  done = true;
  SetLocalSendMessageHook([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    return ::SendMessage(h, m, w, l);
  });
  SetLocalPostMessageHook([](HWND h, UINT m, WPARAM w, LPARAM l) -> BOOL {
    return ::PostMessage(h, m, w, l);
  });
  SetLocalIsWindowHook([](HWND h) -> BOOL { return ControlOfHandle(h) ? TRUE : FALSE; });
}


}  // namespace platform
