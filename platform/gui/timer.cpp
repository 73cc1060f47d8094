// TTimer over QTimer.
#include "platform/gui/timer.h"

#include <QCoreApplication>

#include "platform/gui/qt_internal.h"
#include "platform/gui/streaming.h"
#include "platform/gui/timer_internal.h"

namespace platform {

bool ManualTimersForTests = false;

void TimerImpl::Start(int ms) {
  if (!QCoreApplication::instance() || ManualTimersForTests) {
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

void TimerImpl::Stop() {
  FPending = false;
  if (FTimer) FTimer->stop();
}

bool TimerImpl::Running() const { return FPending || (FTimer && FTimer->isActive()); }

void TimerImpl::Tick() {
  TTimer* t = FOwner;
  Guarded([t] { t->Timer(); });
}

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
  if (FEnabled && FInterval > 0 && !ComponentState().Contains(csLoading) &&
      !ComponentState().Contains(csDesigning))
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
const bool registered =
    platform::RegisterClass<TTimer>("TTimer", "TComponent")
        .Bool("Enabled", &TTimer::SetEnabled, true)
        .Int(
            "Interval", [](TTimer* t, int v) { t->SetInterval(static_cast<Cardinal>(v)); }, 1000)
        .Event("OnTimer", &TTimer::OnTimer)
        .Done();
}
