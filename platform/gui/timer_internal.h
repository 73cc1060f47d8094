// The native side of a TTimer, over a QTimer.  Only timer.cpp and the test
// support (which counts a timer's starts, fires it and holds timers back)
// include this header.
#pragma once

#include <QTimer>

#include <memory>

#include "platform/gui/timer.h"

namespace platform {

// While true, a timer that is started counts as running but never fires by
// itself: false in the program; the test support sets it (SetManualTimers).
extern bool ManualTimersForTests;

class TimerImpl {
public:
  explicit TimerImpl(TTimer* owner) : FOwner(owner) {}
  static TimerImpl* Of(TTimer* t) { return t->FImpl.get(); }
  void Start(int ms);
  void Stop();
  bool Running() const;
  void Tick();

  // How often Start ran since the timer was made.
  unsigned Starts = 0;

private:
  TTimer* FOwner;
  std::unique_ptr<QTimer> FTimer;
  bool FPending = false;
};

}  // namespace platform
