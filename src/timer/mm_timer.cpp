#include "timer/mm_timer.h"

#include <utility>

#include "timer/timer_service.h"

namespace lumora {

TMMTimer::TMMTimer(bool designMode, ThreadStartHandler onThreadStart)
    : designMode_(designMode), onThreadStart_(std::move(onThreadStart)) {
  std::lock_guard lock(timerMutex_);
  timerId_ = StartTimer();
}

TMMTimer::~TMMTimer() {
  KillTimer();
  // A system timer killed from inside its own handler may still be finishing that handler.
  std::lock_guard wait(tickMutex_);
}

std::uint32_t TMMTimer::TimerId() const {
  std::lock_guard lock(timerMutex_);
  return timerId_;
}

void TMMTimer::SetEnabled(bool value) {
  std::lock_guard lock(timerMutex_);
  enabled_ = value;
  if (timerId_ != 0) timeGateEvent(timerId_, value);
}

// The running system timer never reads the fields, so storing before the kill is the same as
// storing after it.
void TMMTimer::SetInterval(int value) {
  interval_ = value;
  RestartTimer();
}

void TMMTimer::SetResolution(int value) {
  resolution_ = value;
  RestartTimer();
}

void TMMTimer::SetType(TimerEventType value) {
  type_ = value;
  RestartTimer();
}

void TMMTimer::RestartTimer() {
  KillTimer();
  std::lock_guard lock(timerMutex_);
  timerId_ = StartTimer();
}

// The kill waits for a running handler, which may set the gate, so it runs unlocked.
void TMMTimer::KillTimer() {
  std::uint32_t id = 0;
  {
    std::lock_guard lock(timerMutex_);
    std::swap(id, timerId_);
  }
  if (id != 0) timeKillEvent(id);
}

std::uint32_t TMMTimer::StartTimer() {
  if (designMode_) return 0;
  // A one-shot timer fires once whatever the gate; the tick checks the gate itself.
  std::uint32_t kind = TIME_ONESHOT;
  if (type_ == TimerEventType::etPeriodic) {
    kind = enabled_ ? TIME_PERIODIC : TIME_PERIODIC | TIME_GATE_CLOSED;
  }
  // Negative values become delays the service refuses, so no timer starts.
  return timeSetEvent(static_cast<std::uint32_t>(interval_),
                      static_cast<std::uint32_t>(resolution_), &TMMTimer::MMTimerCallbackProc,
                      reinterpret_cast<std::uintptr_t>(this), kind,
                      onThreadStart_ ? &TMMTimer::ThreadStartProc : nullptr);
}

void TMMTimer::DisableAndWait() {
  SetEnabled(false);
  if (tickThread_.load() == std::this_thread::get_id()) return;
  // Once the lock is ours no handler is running, and any later tick sees the gate closed.
  std::lock_guard wait(tickMutex_);
  SetEnabled(false);
}

// Called while stopped, so no tick reads the handler as it is replaced.
void TMMTimer::Start(int periodMs, Tick tick) {
  OnMMTimer = [tick = std::move(tick)](TMMTimer&) { tick(); };
  type_ = TimerEventType::etPeriodic;
  SetInterval(periodMs);
  SetEnabled(true);
}

void TMMTimer::MMTimerCallbackProc(std::uint32_t, std::uint32_t, std::uintptr_t user,
                                   std::uintptr_t, std::uintptr_t) {
  auto& timer = *reinterpret_cast<TMMTimer*>(user);
  std::lock_guard tick(timer.tickMutex_);
  if (!timer.enabled_ || !timer.OnMMTimer) return;
  timer.tickThread_ = std::this_thread::get_id();
  timer.OnMMTimer(timer);
  timer.tickThread_ = std::thread::id{};
}

void TMMTimer::ThreadStartProc(std::uint32_t, const TimerThreadStart& start, std::uintptr_t user) {
  reinterpret_cast<TMMTimer*>(user)->onThreadStart_(start);
}

}  // namespace lumora
