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

}  // namespace platform
