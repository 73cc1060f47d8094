// TTimer over QTimer.
#include "platform/gui/timer.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/gui/qt_internal.h"
#include "platform/gui/streaming.h"
#include "platform/gui/testing.h"

namespace platform {

namespace {
bool ManualTimers = false;
}  // namespace

void SetManualTimers(bool On) { ManualTimers = On; }

class TimerImpl {
public:
  explicit TimerImpl(TTimer* owner) : FOwner(owner) {}
  static TimerImpl* Of(TTimer* t) { return t->FImpl.get(); }
  void Start(int ms) {
    if (!QCoreApplication::instance() || ManualTimers) {
      if (FTimer) FTimer->stop();
      FPending = true;
      ++Starts;
      return;
    }
    if (!FTimer) {
      FTimer = std::make_unique<QTimer>();
      QObject::connect(FTimer.get(), &QTimer::timeout, [this] { Tick(); });
    }
    FPending = false;
    FTimer->start(ms);
    ++Starts;
  }
  unsigned Starts = 0;
  void Stop() {
    FPending = false;
    if (FTimer) FTimer->stop();
  }
  bool Running() const { return FPending || (FTimer && FTimer->isActive()); }
  void Tick() {
    TTimer* t = FOwner;
    Guarded([t] { t->Timer(); });
  }

private:
  TTimer* FOwner;
  std::unique_ptr<QTimer> FTimer;
  bool FPending = false;
};

bool FireTimerNow(TTimer* Timer) {
  if (!Timer || !Timer->Running()) return false;
  TimerImpl* impl = TimerImpl::Of(Timer);
  impl->Start(static_cast<int>(Timer->Interval()));
  impl->Tick();
  return true;
}

unsigned TimerStarts(TTimer* Timer) { return Timer ? TimerImpl::Of(Timer)->Starts : 0; }

}  // namespace platform

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<platform::TimerImpl>(this)) {
  UpdateTimer();
}

TTimer::~TTimer() { FImpl->Stop(); }

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;  // enabling a running timer does not restart it
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

bool TTimer::Running() const { return FImpl->Running(); }

void TTimer::UpdateTimer() {
  FImpl->Stop();
  if (FEnabled && FInterval > 0 && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning))
    FImpl->Start(static_cast<int>(FInterval));
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

namespace {
const bool registered = platform::RegisterClass<TTimer>("TTimer", "TComponent")
                            .Bool("Enabled", &TTimer::SetEnabled, true)
                            .Int("Interval", [](TTimer* t, int v) { t->SetInterval(static_cast<Cardinal>(v)); }, 1000)
                            .Event("OnTimer", &TTimer::OnTimer)
                            .Done();
}
