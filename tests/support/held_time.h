// Time that stands still in a test: timers that fire only when the test
// fires them (platform::FireTimerNow), and a GetTickCount that moves only
// when the test moves it.  So a test on a busy machine never races a
// timer's interval or the type-ahead pause of a list.
#pragma once

#include "platform/gui/timer.h"
#include "platform/os/windows.h"

namespace platform::test {

class HeldTime {
public:
  explicit HeldTime(DWORD Start = 100000) : FNow(Start) {
    platform::SetManualTimers(true);
    platform::SetTickCountSource([this] { return FNow; });
  }
  ~HeldTime() {
    platform::SetTickCountSource(nullptr);
    platform::SetManualTimers(false);
  }
  HeldTime(const HeldTime&) = delete;
  HeldTime& operator=(const HeldTime&) = delete;
  void Advance(DWORD Ms) { FNow += Ms; }
  // Timers started after LetTimersRun (and before HoldTimers) count their
  // real interval: for a test of the interval itself.
  void LetTimersRun() { platform::SetManualTimers(false); }
  void HoldTimers() { platform::SetManualTimers(true); }

private:
  DWORD FNow;
};

}  // namespace platform::test
