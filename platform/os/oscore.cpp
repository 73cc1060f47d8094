// Last error, errno translation, clock, beep and the WinSock stubs.
#include "platform/os/oscore_internal.h"

#include <cerrno>
#include <ctime>
#include <mutex>

#include <unistd.h>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

std::mutex g_hookMutex;
std::function<DWORD()> g_tickSource;
std::function<void(UINT)> g_beepHook;

}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

namespace platform {

DWORD Win32ErrorFromErrno(int err) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENOTSUP: return ERROR_NOT_SUPPORTED;
    case EIO: return ERROR_GEN_FAILURE;
    default: return ERROR_GEN_FAILURE;
  }
}

void SetLastErrorFromErrno(int err) { SetLastError(Win32ErrorFromErrno(err)); }

void SetTickCountSource(std::function<DWORD()> source) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_tickSource = std::move(source);
}

void SetMessageBeepHook(std::function<void(UINT)> hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_beepHook = std::move(hook);
}

}  // namespace platform

DWORD GetTickCount() {
  std::function<DWORD()> source;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    source = g_tickSource;
  }
  if (source) return source();
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const std::uint64_t ms =
      static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);  // wraps like the Windows tick count
}

void Sleep(DWORD dwMilliseconds) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(dwMilliseconds / 1000);
  ts.tv_nsec = static_cast<long>(dwMilliseconds % 1000) * 1000000L;
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

BOOL MessageBeep(UINT uType) {
  std::function<void(UINT)> hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = g_beepHook;
  }
  if (hook) {
    hook(uType);
    return TRUE;
  }
  if (::isatty(STDERR_FILENO)) {
    const char bell = '\a';
    [[maybe_unused]] auto n = ::write(STDERR_FILENO, &bell, 1);
  }
  return TRUE;
}

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
  if (lpWSAData) {
    *lpWSAData = WSADATA{};
    lpWSAData->wVersion = wVersionRequested;
    lpWSAData->wHighVersion = MAKEWORD(2, 2);
  }
  return 0;
}

int WSACleanup() { return 0; }
