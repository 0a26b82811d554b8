#include "timer/timer_service.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "support/wait_for.h"
#include "timer/timer_thread_probe.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::Ended;
using testing::Policy;
using testing::SleepsWithoutDeadline;
using testing::WaitFor;

TEST(NextTickDeadlineTest, NextPointOfTheGridAfterNow) {
  const Clock::time_point origin{};
  const Clock::duration period = 10ms;
  struct Case {
    Clock::duration now, next;
  };
  for (const Case& c : {Case{0ms, 10ms}, Case{9ms, 10ms}, Case{10ms, 20ms}, Case{11ms, 20ms},
                        // an overrun skips the ticks it missed instead of catching up
                        Case{25ms, 30ms}, Case{1003ms, 1010ms}}) {
    EXPECT_EQ(NextTickDeadline(origin, period, origin + c.now), origin + c.next) << c.now.count();
  }
}

// Counts the callbacks and the reports of a timer's thread, and remembers the thread.
struct Ticks {
  std::atomic<int> count = 0;
  std::atomic<pid_t> thread = 0;
  std::mutex mutex;
  std::vector<TimerThreadStart> starts;

  std::size_t StartCount() {
    std::lock_guard lock(mutex);
    return starts.size();
  }
  TimerThreadStart LastStart() {
    std::lock_guard lock(mutex);
    return starts.back();
  }
};

void Count(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
  auto& ticks = *reinterpret_cast<Ticks*>(user);
  ticks.thread = gettid();
  ++ticks.count;
}

void Started(std::uint32_t, const TimerThreadStart& start, std::uintptr_t user) {
  auto& ticks = *reinterpret_cast<Ticks*>(user);
  std::lock_guard lock(ticks.mutex);
  ticks.starts.push_back(start);
}

TEST(TimerServiceTest, RefusesBadArgumentsAndUnknownIds) {
  Ticks ticks;
  const auto user = reinterpret_cast<std::uintptr_t>(&ticks);
  EXPECT_EQ(timeSetEvent(0, 0, Count, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(kMaxTimerDelayMs + 1, 0, Count, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 0, nullptr, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 0, Count, user, 7), 0u);
  EXPECT_EQ(timeSetEvent(10, 0, Count, user, TIME_ONESHOT | TIME_GATE_CLOSED), 0u);
  EXPECT_EQ(timeKillEvent(0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(timeGateEvent(0, true), MMSYSERR_INVALPARAM);

  const std::uint32_t id = timeSetEvent(1000, 0, Count, user, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
  EXPECT_EQ(timeGateEvent(id, true), MMSYSERR_INVALPARAM);
  EXPECT_EQ(ticks.count, 0);

  const std::uint32_t shot = timeSetEvent(1000, 0, Count, user, TIME_ONESHOT);
  ASSERT_NE(shot, 0u);
  EXPECT_EQ(timeGateEvent(shot, false), MMSYSERR_INVALPARAM);  // a one-shot has no gate
  EXPECT_EQ(timeKillEvent(shot), TIMERR_NOERROR);
}

// The thread ends after its one shot, so no second can follow.
TEST(TimerServiceTest, OneShotFiresOnceAndItsThreadEnds) {
  Ticks ticks;
  const std::uint32_t id =
      timeSetEvent(5, 0, Count, reinterpret_cast<std::uintptr_t>(&ticks), TIME_ONESHOT);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(WaitFor([&] { return ticks.count > 0; }));
  EXPECT_TRUE(WaitFor([&] { return Ended(ticks.thread); }));
  EXPECT_EQ(ticks.count, 1);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
}

// While its gate is closed the thread waits with no deadline, so it cannot tick, and holds no
// real-time class; opening it brings the ticks and the report back.
TEST(TimerServiceTest, ClosedGateSleepsWithoutDeadlineInTheOrdinaryClass) {
  Ticks ticks;
  const auto before = testing::TimerThreads();
  const std::uint32_t id = timeSetEvent(1, 0, Count, reinterpret_cast<std::uintptr_t>(&ticks),
                                        TIME_PERIODIC | TIME_GATE_CLOSED, Started);
  ASSERT_NE(id, 0u);
  pid_t thread = 0;
  ASSERT_TRUE(WaitFor([&] { return (thread = testing::NewTimerThread(before)) != 0; }));
  ASSERT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
  EXPECT_EQ(ticks.count, 0);
  EXPECT_EQ(ticks.StartCount(), 0u);
  EXPECT_EQ(Policy(thread), SCHED_OTHER);

  for (std::size_t opening = 1; opening <= 2; ++opening) {
    const int counted = ticks.count;
    EXPECT_EQ(timeGateEvent(id, true), TIMERR_NOERROR);
    ASSERT_TRUE(WaitFor([&] { return ticks.count >= counted + 3; }));
    ASSERT_EQ(ticks.StartCount(), opening);
    const TimerThreadStart start = ticks.LastStart();
    EXPECT_EQ(start.threadId, thread);
    EXPECT_EQ(ticks.thread, thread);
    EXPECT_EQ(Policy(thread), start.realTime ? SCHED_FIFO : SCHED_OTHER);

    EXPECT_EQ(timeGateEvent(id, false), TIMERR_NOERROR);
    ASSERT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
    EXPECT_EQ(Policy(thread), SCHED_OTHER);
  }
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_TRUE(Ended(thread));
}

struct SlowTick {
  std::promise<void> entered;
  std::atomic<bool> left = false;
  std::atomic<int> calls = 0;
  std::atomic<pid_t> thread = 0;
};

void EnterAndLinger(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                    std::uintptr_t) {
  auto& tick = *reinterpret_cast<SlowTick*>(user);
  if (tick.calls++ == 0) {
    tick.thread = gettid();
    tick.entered.set_value();
    std::this_thread::sleep_for(30ms);
    tick.left = true;
  }
}

// The kill returns after the callback and the thread have ended, so none can follow.
TEST(TimerServiceTest, KillWaitsForTheRunningCallbackAndTheThread) {
  SlowTick tick;
  const std::uint32_t id =
      timeSetEvent(1, 0, EnterAndLinger, reinterpret_cast<std::uintptr_t>(&tick), TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  tick.entered.get_future().wait();
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_TRUE(tick.left);
  EXPECT_TRUE(Ended(tick.thread));
}

struct SelfKill {
  std::atomic<std::uint32_t> id = 0;
  std::atomic<int> calls = 0;
  std::atomic<pid_t> thread = 0;
  std::atomic<MMRESULT> result = MMSYSERR_INVALPARAM;
};

void KillOwnTimer(std::uint32_t timerId, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                  std::uintptr_t) {
  auto& self = *reinterpret_cast<SelfKill*>(user);
  self.thread = gettid();
  if (self.calls++ == 0) self.result = timeKillEvent(timerId);
}

TEST(TimerServiceTest, KillFromInsideTheCallbackReturnsAndEndsTheThread) {
  SelfKill self;
  self.id =
      timeSetEvent(2, 0, KillOwnTimer, reinterpret_cast<std::uintptr_t>(&self), TIME_PERIODIC);
  ASSERT_NE(self.id.load(), 0u);
  ASSERT_TRUE(WaitFor([&] { return self.calls > 0; }));
  EXPECT_TRUE(WaitFor([&] { return Ended(self.thread); }));
  EXPECT_EQ(self.calls, 1);
  EXPECT_EQ(self.result, TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(self.id), MMSYSERR_INVALPARAM);
}

}  // namespace
}  // namespace lumora
