// TTimer: fires OnTimer every Interval milliseconds while Enabled (and
// Interval is above 0).  Enabling a running timer does not restart it;
// changing Interval of a running timer does.  The event runs from the
// message loop; an exception in it goes to Application->HandleException.
#pragma once

#include <memory>

#include "platform/rtl/classes.h"

namespace platform {
class TimerImpl;
}

class TTimer : public TComponent {
  ZEL_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer;

  // Whether the timer is counting now.
  bool Running() const;

protected:
  virtual void Timer();
  void Loaded() override;

private:
  friend class platform::TimerImpl;
  void UpdateTimer();
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  std::unique_ptr<platform::TimerImpl> FImpl;
};
