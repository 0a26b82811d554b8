#include "timer/mm_timer.h"

#include <utility>

#include "timer/timer_service.h"

namespace lumora {

TMMTimer::TMMTimer(bool designMode, ThreadStartHandler onThreadStart)
    : designMode_(designMode), onThreadStart_(std::move(onThreadStart)) {
  timerId_ = StartTimer();
}

TMMTimer::~TMMTimer() {
  if (timerId_ != 0) timeKillEvent(timerId_);
  // A system timer killed from inside its own handler may still be finishing that handler.
  std::lock_guard wait(tickMutex_);
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
  if (timerId_ != 0) timeKillEvent(timerId_);
  timerId_ = StartTimer();
}

std::uint32_t TMMTimer::StartTimer() {
  if (designMode_) return 0;
  // Negative values become delays the service refuses, so no timer starts.
  return timeSetEvent(static_cast<std::uint32_t>(interval_),
                      static_cast<std::uint32_t>(resolution_), &TMMTimer::MMTimerCallbackProc,
                      reinterpret_cast<std::uintptr_t>(this),
                      type_ == TimerEventType::etOneShot ? TIME_ONESHOT : TIME_PERIODIC,
                      onThreadStart_ ? &TMMTimer::ThreadStartProc : nullptr);
}

void TMMTimer::DisableAndWait() {
  Enabled = false;
  if (tickThread_.load() == std::this_thread::get_id()) return;
  // Once the lock is ours no handler is running, and any later tick sees the gate closed.
  std::lock_guard wait(tickMutex_);
  Enabled = false;
}

// Called while stopped, so no tick reads the handler as it is replaced.
void TMMTimer::Start(int periodMs, Tick tick) {
  OnMMTimer = [tick = std::move(tick)](TMMTimer&) { tick(); };
  type_ = TimerEventType::etPeriodic;
  SetInterval(periodMs);
  Enabled = true;
}

void TMMTimer::MMTimerCallbackProc(std::uint32_t, std::uint32_t, std::uintptr_t user,
                                   std::uintptr_t, std::uintptr_t) {
  auto& timer = *reinterpret_cast<TMMTimer*>(user);
  std::lock_guard tick(timer.tickMutex_);
  if (!timer.Enabled || !timer.OnMMTimer) return;
  timer.tickThread_ = std::this_thread::get_id();
  timer.OnMMTimer(timer);
  timer.tickThread_ = std::thread::id{};
}

void TMMTimer::ThreadStartProc(std::uint32_t, const TimerThreadStart& start, std::uintptr_t user) {
  reinterpret_cast<TMMTimer*>(user)->onThreadStart_(start);
}

}  // namespace lumora
