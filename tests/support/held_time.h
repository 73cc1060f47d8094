// Time that stands still in a test: timers that fire only when the test
// fires them (platform::FireTimerNow), and a GetTickCount that moves only
// when the test moves it.  So a test on a busy machine never races a
// timer's interval or the type-ahead pause of a list.
#pragma once

#include "platform/gui/testing.h"
#include "platform/gui/timer.h"
#include "tests/support/fake_clock.h"

namespace zeltest {

class HeldTime {
public:
  explicit HeldTime(DWORD Start = 100000) : FClock(Start) { platform::SetManualTimers(true); }
  ~HeldTime() { platform::SetManualTimers(false); }
  HeldTime(const HeldTime&) = delete;
  HeldTime& operator=(const HeldTime&) = delete;
  void Advance(DWORD Ms) { FClock.Advance(Ms); }
  // Timers started after LetTimersRun (and before HoldTimers) count their
  // real interval: for a test of the interval itself.
  void LetTimersRun() { platform::SetManualTimers(false); }
  void HoldTimers() { platform::SetManualTimers(true); }

private:
  FakeClock FClock;
};

}  // namespace zeltest
