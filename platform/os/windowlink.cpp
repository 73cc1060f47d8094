// Windows of other programs: found by the Unix-domain socket they publish,
// sent WM_COPYDATA over it with a time-out.  Messages to the program's own
// windows go to the hooks of the GUI layer.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/os/oscore_internal.h"

namespace {

struct ForeignWindow {
  std::string socketPath;
  // From a send that timed out until the window has answered again and no
  // message handed to it waits for its answer any more.
  bool hung = false;
  // Connections whose message went over but whose answer is still to come;
  // the oldest are let go beyond a bound (their messages still arrive).
  std::deque<int> unanswered;
};

constexpr std::size_t kMaxUnanswered = 64;

std::mutex g_windowMutex;

// Handed-out handles stay valid for the life of the process, also while
// static objects are destroyed at its end: the tables are never freed.
struct WindowTables {
  std::map<std::string, ForeignWindow*> byPath;
  std::set<HWND> foreign;
};
WindowTables& Tables() {
  static WindowTables* tables = new WindowTables;
  return *tables;
}

std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> g_sendHook;
std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> g_postHook;
std::function<BOOL(HWND)> g_isWindowHook;
std::atomic<long long> g_timeoutMs{500};

using Clock = std::chrono::steady_clock;

std::string Hex(const std::string& s) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.size() * 2);
  for (unsigned char c : s) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string Fnv1a64(const std::string& s) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// The foreign window behind a handle, or nullptr for any other handle.
ForeignWindow* Foreign(HWND h) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  return Tables().foreign.count(h) ? reinterpret_cast<ForeignWindow*>(h) : nullptr;
}

// Takes the answers that came late, under g_windowMutex.  Answered means
// that the window just answered a message; it stops counting as hung once
// it has answered and nothing handed to it waits any more.  A connection
// that the window closed without an answer counts as taken.
void CollectAnswers(ForeignWindow& w, bool answered) {
  for (auto it = w.unanswered.begin(); it != w.unanswered.end();) {
    std::int64_t answer = 0;
    const ssize_t r = ::recv(*it, &answer, sizeof answer, MSG_DONTWAIT);
    if (r < 0 && (errno == EAGAIN || errno == EINTR)) {
      ++it;
      continue;
    }
    ::close(*it);
    it = w.unanswered.erase(it);
    answered = true;
  }
  if (answered && w.unanswered.empty()) w.hung = false;
}

// A send to the window timed out; fd, when not -1, is the connection whose
// message went over and whose answer may still come.
void TimedOut(ForeignWindow& w, int fd) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  w.hung = true;
  if (fd < 0) return;
  w.unanswered.push_back(fd);
  if (w.unanswered.size() > kMaxUnanswered) {
    ::close(w.unanswered.front());
    w.unanswered.pop_front();
  }
}

int MillisLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

// Connects to a published window before the deadline; -1 when nobody
// listens there (ERROR_INVALID_WINDOW_HANDLE) or the time ran out.
int Connect(const std::string& path, Clock::time_point deadline) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return -1;
  }
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    platform::SetLastErrorFromErrno(errno);
    return -1;
  }
  for (;;) {
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
    if (errno == EINTR) continue;
    if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, MillisLeft(deadline)) == 1) {
        int err = 0;
        socklen_t len = sizeof err;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        if (err == 0) return fd;
      }
      break;
    }
    if (errno == EAGAIN && MillisLeft(deadline) > 0) {  // its queue is full: wait a little
      ::usleep(2000);
      continue;
    }
    break;
  }
  const bool timedOut = errno == EAGAIN || errno == EINPROGRESS;
  ::close(fd);
  SetLastError(timedOut ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE);
  return -1;
}

// A window is there when somebody listens on its socket; a full queue
// still means a listener.
bool Listening(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int rc;
  do rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  while (rc != 0 && errno == EINTR);
  const bool there = rc == 0 || errno == EAGAIN || errno == EINPROGRESS;
  ::close(fd);
  return there;
}

bool SendAll(int fd, const char* data, std::size_t n, Clock::time_point deadline) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t w = ::send(fd, data + done, n - done, MSG_NOSIGNAL);
    if (w > 0) {
      done += static_cast<std::size_t>(w);
      continue;
    }
    if (w < 0 && errno == EINTR) continue;
    if (w < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, MillisLeft(deadline)) == 1) continue;
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    SetLastError(ERROR_BROKEN_PIPE);
    return false;
  }
  return true;
}

bool ReceiveAll(int fd, char* data, std::size_t n, Clock::time_point deadline) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::recv(fd, data + done, n - done, 0);
    if (r > 0) {
      done += static_cast<std::size_t>(r);
      continue;
    }
    if (r == 0) {
      SetLastError(ERROR_BROKEN_PIPE);
      return false;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, MillisLeft(deadline)) == 1) continue;
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    SetLastError(ERROR_BROKEN_PIPE);
    return false;
  }
  return true;
}

LRESULT SendCopyData(ForeignWindow& w, WPARAM wParam, const COPYDATASTRUCT* cds, std::chrono::milliseconds timeout,
                     bool& answered) {
  answered = false;
  if (!cds || (cds->cbData > 0 && !cds->lpData)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto deadline = Clock::now() + timeout;
  const int fd = Connect(w.socketPath, deadline);
  if (fd < 0) {
    if (GetLastError() == ERROR_TIMEOUT) TimedOut(w, -1);
    return 0;
  }
  // Lines go only to a window of this user (or of the administrator), never
  // to a socket that somebody else put into a shared directory.
  ucred peer{};
  socklen_t peerLen = sizeof peer;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerLen) != 0 ||
      (peer.uid != ::geteuid() && peer.uid != 0)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  platform::CopyDataFrame frame{};
  frame.magic = platform::CopyDataMagic;
  frame.msg = WM_COPYDATA;
  frame.wParam = wParam;
  frame.dwData = cds->dwData;
  frame.cbData = cds->cbData;
  std::vector<char> bytes(sizeof frame + cds->cbData);
  std::memcpy(bytes.data(), &frame, sizeof frame);
  if (cds->cbData) std::memcpy(bytes.data() + sizeof frame, cds->lpData, cds->cbData);
  if (!SendAll(fd, bytes.data(), bytes.size(), deadline)) {
    // Part of a message is no message: the receiver sees it end early.
    const DWORD err = GetLastError();
    ::close(fd);
    if (err == ERROR_TIMEOUT) TimedOut(w, -1);
    SetLastError(err);
    return 0;
  }
  std::int64_t answer = 0;
  if (!ReceiveAll(fd, reinterpret_cast<char*>(&answer), sizeof answer, deadline)) {
    if (GetLastError() == ERROR_TIMEOUT) {
      TimedOut(w, fd);  // the message is the window's now; its answer may come later
      SetLastError(ERROR_TIMEOUT);
    } else {
      ::close(fd);
    }
    return 0;
  }
  ::close(fd);
  answered = true;
  SetLastError(ERROR_SUCCESS);
  return static_cast<LRESULT>(answer);
}

}  // namespace

namespace platform {

std::string WindowRuntimeDir() {
  for (const char* name : {"ZEL_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
    const char* v = std::getenv(name);
    if (v && *v) {
      std::string dir = v;
      while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
      return dir;
    }
  }
  return "/tmp";
}

std::string WindowSocketPath(const std::string& className, const std::string& title) {
  const std::string dir = WindowRuntimeDir();
  std::string path = dir + "/zel-window-" + Hex(className) + "-" + Hex(title) + ".sock";
  if (path.size() < sizeof(sockaddr_un{}.sun_path)) return path;
  return dir + "/zel-window-h" + Fnv1a64(className + std::string(1, '\0') + title) + ".sock";
}

void SetSendMessageTimeout(std::chrono::milliseconds timeout) { g_timeoutMs = timeout.count(); }
std::chrono::milliseconds SendMessageTimeout() { return std::chrono::milliseconds(g_timeoutMs.load()); }

void SetLocalSendMessageHook(std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> hook) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  g_sendHook = std::move(hook);
}

void SetLocalPostMessageHook(std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> hook) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  g_postHook = std::move(hook);
}

void SetLocalIsWindowHook(std::function<BOOL(HWND)> hook) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  g_isWindowHook = std::move(hook);
}

}  // namespace platform

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  if (!lpClassName || !lpWindowName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::string path = platform::WindowSocketPath(lpClassName, lpWindowName);
  if (!Listening(path)) return nullptr;
  std::lock_guard<std::mutex> lock(g_windowMutex);
  ForeignWindow*& w = Tables().byPath[path];
  if (!w) {
    w = new ForeignWindow;
    w->socketPath = path;
    Tables().foreign.insert(reinterpret_cast<HWND>(w));
  }
  return reinterpret_cast<HWND>(w);
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hWnd, Msg, wParam, lParam, SMTO_NORMAL,
                      static_cast<UINT>(platform::SendMessageTimeout().count()), &result);
  return static_cast<LRESULT>(result);
}

LRESULT SendMessageTimeoutA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                            PDWORD_PTR lpdwResult) {
  if (lpdwResult) *lpdwResult = 0;
  if (fuFlags != SMTO_NORMAL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (ForeignWindow* w = Foreign(hWnd)) {
    if (Msg != WM_COPYDATA) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return 0;
    }
    bool answered = false;
    const LRESULT r = SendCopyData(*w, wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam),
                                   std::chrono::milliseconds(uTimeout), answered);
    if (answered) {
      const DWORD err = GetLastError();
      std::lock_guard<std::mutex> lock(g_windowMutex);
      CollectAnswers(*w, true);
      SetLastError(err);
    }
    if (lpdwResult) *lpdwResult = static_cast<DWORD_PTR>(r);
    return answered ? TRUE : FALSE;
  }
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> hook;
  {
    std::lock_guard<std::mutex> lock(g_windowMutex);
    hook = g_sendHook;
  }
  const LRESULT r = hook ? hook(hWnd, Msg, wParam, lParam) : 0;
  if (lpdwResult) *lpdwResult = static_cast<DWORD_PTR>(r);
  return TRUE;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (Foreign(hWnd)) {
    SetLastError(ERROR_NOT_SUPPORTED);  // data cannot wait in a queue for another program
    return FALSE;
  }
  std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> hook;
  {
    std::lock_guard<std::mutex> lock(g_windowMutex);
    hook = g_postHook;
  }
  return hook ? hook(hWnd, Msg, wParam, lParam) : FALSE;
}

BOOL IsWindow(HWND hWnd) {
  if (ForeignWindow* w = Foreign(hWnd)) return Listening(w->socketPath) ? TRUE : FALSE;
  std::function<BOOL(HWND)> hook;
  {
    std::lock_guard<std::mutex> lock(g_windowMutex);
    hook = g_isWindowHook;
  }
  return hook ? hook(hWnd) : FALSE;
}

BOOL IsHungAppWindow(HWND hwnd) {
  ForeignWindow* w = Foreign(hwnd);
  if (!w) return FALSE;  // the program's own windows answer as they go
  std::lock_guard<std::mutex> lock(g_windowMutex);
  CollectAnswers(*w, false);
  return w->hung ? TRUE : FALSE;
}
