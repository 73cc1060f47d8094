// Window handles: the table from a handle to its windowed control, and the
// hooks by which the window calls of platform/os reach the controls.
#include <cstdint>
#include <unordered_map>

#include "platform/gui/controls.h"
#include "platform/gui/gui_internal.h"
#include "platform/os/windows.h"

namespace platform {

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

// ---------------------------------------------------------------- the hooks of platform/os

void InstallWindowHooks() {
  // Called at run time (never from a static initialiser, whose order with
  // the hooks' own storage in platform/os is not fixed).
  static bool done = false;
  if (done) return;
  done = true;
  SetLocalSendMessageHook([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT { return ::SendMessage(h, m, w, l); });
  SetLocalPostMessageHook([](HWND h, UINT m, WPARAM w, LPARAM l) -> BOOL { return ::PostMessage(h, m, w, l); });
  SetLocalIsWindowHook([](HWND h) -> BOOL { return ControlOfHandle(h) ? TRUE : FALSE; });
}

}  // namespace platform
