// The message queue: messages posted to windows (PostMessage) and calls
// posted for later (PostCall), each delivered by a Qt event under the
// exception guard, and PeekMessage over the messages waiting.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

#include "platform/gui/controls.h"
#include "platform/gui/gui_internal.h"
#include "platform/gui/qt_internal.h"
#include "platform/os/windows.h"

namespace platform {

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
