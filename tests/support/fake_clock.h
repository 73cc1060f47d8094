// A GetTickCount that moves only when the test moves it.
#pragma once

#include "platform/os/windows.h"

namespace zeltest {

// GetTickCount answers Now while it lives.
class FakeClock {
public:
  explicit FakeClock(DWORD Start = 5000) : Now(Start) {
    platform::SetTickCountSource([this] { return Now; });
  }
  ~FakeClock() { platform::SetTickCountSource(nullptr); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;
  void Advance(DWORD Ms) { Now += Ms; }
  DWORD Now;
};

}  // namespace zeltest
