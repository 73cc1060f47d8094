// Plays a window of another program for tests: publishes a window of the
// given class and title (by default the debug viewer "TKuvoDebugForm" /
// "Debug") in platform::WindowRuntimeDir(), so that FindWindowA finds it,
// and collects the WM_COPYDATA messages that SendMessageA sends to it.
//
// Point ZEL_RUNTIME_DIR at a test's own temporary directory before creating
// one, so that tests running side by side do not meet.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/windows.h"

namespace zeltest {

class DebugReceiver {
public:
  struct Message {
    UINT msg = 0;
    WPARAM wParam = 0;
    ULONG_PTR dwData = 0;
    DWORD cbData = 0;
    std::string bytes;  // the cbData bytes as sent
  };

  enum class Mode {
    Reads,      // takes every message and answers it
    NeverReads  // listens but never takes a message (a hung viewer)
  };

  explicit DebugReceiver(std::string className = "TKuvoDebugForm", std::string title = "Debug",
                         Mode mode = Mode::Reads);
  ~DebugReceiver();
  DebugReceiver(const DebugReceiver&) = delete;
  DebugReceiver& operator=(const DebugReceiver&) = delete;

  const std::string& socketPath() const { return FPath; }
  // What the receiver answers to each message (default TRUE).
  void setAnswer(LRESULT answer);
  // A viewer busy for a while: from now on it takes no message for that
  // long, then takes every message that waited, in order.
  void pauseFor(std::chrono::milliseconds busy);

  // Messages received so far, in order.
  std::vector<Message> messages() const;
  // Their texts: the bytes up to the first NUL.
  std::vector<std::string> lines() const;
  // Waits until at least n messages arrived or the time-out passed; true
  // when they are there.
  bool waitForLines(std::size_t n, std::chrono::milliseconds timeout) const;

private:
  void run();
  std::chrono::milliseconds busyFor() const;
  void serve(int fd);

  std::string FPath;
  Mode FMode;
  int FListen = -1;
  int FWake[2] = {-1, -1};
  std::thread FThread;
  mutable std::mutex FMutex;
  mutable std::condition_variable FChanged;
  std::vector<Message> FMessages;
  LRESULT FAnswer = TRUE;
  std::chrono::steady_clock::time_point FBusyUntil{};
};

}  // namespace zeltest
