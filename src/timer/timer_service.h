#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>

namespace lumora {

// A periodic timer service with the calls of the multimedia timer API. Each timer runs on a
// thread of its own, paced by absolute deadlines on the monotonic clock, and asks for a
// real-time scheduling class where the system permits it while it delivers ticks. A periodic
// timer may be gated: while its gate is closed its thread sleeps with no deadline, in the
// ordinary class, so that a timer kept for later costs nothing.

using MMRESULT = std::uint32_t;
inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

// Kinds of timer event.
inline constexpr std::uint32_t TIME_ONESHOT = 0;
inline constexpr std::uint32_t TIME_PERIODIC = 1;
// Added to TIME_PERIODIC: the timer starts with its gate closed (see timeGateEvent).
inline constexpr std::uint32_t TIME_GATE_CLOSED = 0x1000;

// Longest delay a timer accepts, in ms.
inline constexpr std::uint32_t kMaxTimerDelayMs = 1'000'000;

// Real-time priority wanted for the timer threads: above every ordinary thread, below the
// system's own real-time work.
inline constexpr int kTimerThreadPriority = 10;

// What a timer's thread found as it started delivering ticks: its kernel thread id and
// whether it got the SCHED_FIFO class itself (on Windows: the time-critical priority). A thread
// without it may still be given a real-time class by a service that has the rights; it leaves the
// class, whoever gave it, when its gate closes.
struct TimerThreadStart {
  pid_t threadId;
  bool realTime;
};

// Called on the timer's own thread with the timer id, a message (always 0), the user value
// and two reserved values (always 0).
using TimerCallback = void (*)(std::uint32_t timerId, std::uint32_t message, std::uintptr_t user,
                               std::uintptr_t reserved1, std::uintptr_t reserved2);
// Called on the timer's own thread each time it starts delivering ticks (as it starts, and
// each time its gate opens again), after it asked for its class and before its next tick.
using ThreadStartCallback = void (*)(std::uint32_t timerId, const TimerThreadStart& start,
                                     std::uintptr_t user);

// Starts a timer that calls callback every delayMs (TIME_PERIODIC) or once after delayMs
// (TIME_ONESHOT). resolutionMs is the accuracy asked for, 0 the best available. started, when
// given, hears from the timer's thread with the same user value. Returns the timer id, or 0
// when the timer cannot be started (delay outside 1..kMaxTimerDelayMs, unknown kind, no
// thread).
std::uint32_t timeSetEvent(std::uint32_t delayMs, std::uint32_t resolutionMs,
                           TimerCallback callback, std::uintptr_t user, std::uint32_t kind,
                           ThreadStartCallback started = nullptr);

// Stops a timer. From any thread but the timer's own it returns only after a callback that
// is running has returned; from inside the callback it returns at once and the callback's
// thread ends when the callback returns. MMSYSERR_INVALPARAM for an unknown id.
MMRESULT timeKillEvent(std::uint32_t timerId);

// Opens or closes a periodic timer's gate. The ticks stay on the grid of the timer's start:
// the first after opening comes at the next point of it. Closing does not wait for a
// callback already under way, but none starts after it. MMSYSERR_INVALPARAM for an unknown
// id or a one-shot timer.
MMRESULT timeGateEvent(std::uint32_t timerId, bool open);

// The deadline of the next tick: the first point origin + k * period (k >= 1) after now.
// A tick that overran its period is not followed by catch-up ticks.
std::chrono::steady_clock::time_point NextTickDeadline(std::chrono::steady_clock::time_point origin,
                                                       std::chrono::steady_clock::duration period,
                                                       std::chrono::steady_clock::time_point now);

}  // namespace lumora
