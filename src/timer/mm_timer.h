#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "timer/ticker.h"
#include "timer/timer_service.h"

namespace lumora {

enum class TimerEventType { etOneShot = 0, etPeriodic = 1 };

// The multimedia timer component. Its system timer runs from construction to destruction;
// Enabled is only a gate that decides whether a tick reaches OnMMTimer. While the gate is
// closed the system timer's thread sleeps with no deadline and leaves its real-time class, so
// that a timer kept for later costs nothing; the ticks stay on the grid of its last restart.
// The handler runs on the timer's own thread, never on the caller's; the component is
// destroyed from any other. As a Ticker, Start attaches the tick, restarts the system timer
// at the period and opens the gate; Stop is DisableAndWait.
class TMMTimer : public Ticker {
 public:
  using Handler = std::function<void(TMMTimer& sender)>;
  using ThreadStartHandler = std::function<void(const TimerThreadStart& start)>;

  // In design mode no system timer is ever started. onThreadStart is called each time a
  // system timer thread starts delivering ticks (as the gate opens, or as a setter starts a
  // new thread behind an open gate), on that thread and before its next tick, so it should
  // return at once.
  explicit TMMTimer(bool designMode = false, ThreadStartHandler onThreadStart = {});
  ~TMMTimer() override;
  TMMTimer(const TMMTimer&) = delete;
  TMMTimer& operator=(const TMMTimer&) = delete;

  // Called on each tick while Enabled. Attach it while the gate is closed: the timer thread
  // reads it only after finding the gate open.
  Handler OnMMTimer;

  // The gate, set from any thread. Closing it stops later ticks from doing work but does not
  // wait for a tick already running; DisableAndWait does.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  int Interval() const { return interval_; }
  int Resolution() const { return resolution_; }
  TimerEventType Type() const { return type_; }
  // Each setter restarts the system timer, even with the value it already has.
  void SetInterval(int value);
  void SetResolution(int value);
  void SetType(TimerEventType value);
  // Id of the running system timer, 0 when none could be started.
  std::uint32_t TimerId() const;

  // Closes the gate and, unless called from inside the handler, waits until a handler that
  // is running has returned. When it returns the gate is closed, whatever the handler did.
  void DisableAndWait();

  void Start(int periodMs, Tick tick) override;
  void Stop() override { DisableAndWait(); }

  // The system timer's callback; user is the component.
  static void MMTimerCallbackProc(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                                  std::uintptr_t reserved1, std::uintptr_t reserved2);
  static void ThreadStartProc(std::uint32_t timerId, const TimerThreadStart& start,
                              std::uintptr_t user);

 private:
  // Called with timerMutex_ held.
  std::uint32_t StartTimer();
  void RestartTimer();
  void KillTimer();

  const bool designMode_;
  const ThreadStartHandler onThreadStart_;
  // Keeps the system timer's gate in step with enabled_ while setters replace the timer.
  mutable std::mutex timerMutex_;
  std::uint32_t timerId_ = 0;
  std::atomic<bool> enabled_{false};
  int interval_ = 10;
  int resolution_ = 0;
  TimerEventType type_ = TimerEventType::etPeriodic;
  // Held while a tick checks the gate and runs the handler.
  std::mutex tickMutex_;
  std::atomic<std::thread::id> tickThread_{};
};

}  // namespace lumora
