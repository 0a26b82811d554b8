#include "timer/timer_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waits until counter reaches 1 (a loaded machine may start a thread late), then a little
// longer to see whether more ticks follow.
int SettledCount(const std::atomic<int>& counter) {
  const auto deadline = Clock::now() + 2s;
  while (counter == 0 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(30ms);
  return counter;
}

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

void Count(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
  ++*reinterpret_cast<std::atomic<int>*>(user);
}

TEST(TimerServiceTest, RefusesBadArgumentsAndUnknownIds) {
  std::atomic<int> ticks = 0;
  const auto user = reinterpret_cast<std::uintptr_t>(&ticks);
  EXPECT_EQ(timeSetEvent(0, 0, Count, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(kMaxTimerDelayMs + 1, 0, Count, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 0, nullptr, user, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 0, Count, user, 7), 0u);
  EXPECT_EQ(timeKillEvent(0), MMSYSERR_INVALPARAM);

  const std::uint32_t id = timeSetEvent(1000, 0, Count, user, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
  EXPECT_EQ(ticks, 0);
}

TEST(TimerServiceTest, OneShotFiresOnce) {
  std::atomic<int> ticks = 0;
  const std::uint32_t id =
      timeSetEvent(5, 0, Count, reinterpret_cast<std::uintptr_t>(&ticks), TIME_ONESHOT);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(SettledCount(ticks), 1);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
}

struct SlowTick {
  std::promise<void> entered;
  std::atomic<bool> left = false;
  std::atomic<int> calls = 0;
};

void EnterAndLinger(std::uint32_t, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                    std::uintptr_t) {
  auto& tick = *reinterpret_cast<SlowTick*>(user);
  if (tick.calls++ == 0) {
    tick.entered.set_value();
    std::this_thread::sleep_for(30ms);
    tick.left = true;
  }
}

TEST(TimerServiceTest, KillWaitsForTheRunningCallback) {
  SlowTick tick;
  const std::uint32_t id =
      timeSetEvent(1, 0, EnterAndLinger, reinterpret_cast<std::uintptr_t>(&tick), TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  tick.entered.get_future().wait();
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_TRUE(tick.left);
  const int calls = tick.calls;
  std::this_thread::sleep_for(10ms);
  EXPECT_EQ(tick.calls, calls);
}

struct SelfKill {
  std::atomic<std::uint32_t> id = 0;
  std::atomic<int> calls = 0;
  std::atomic<MMRESULT> result = MMSYSERR_INVALPARAM;
};

void KillOwnTimer(std::uint32_t timerId, std::uint32_t, std::uintptr_t user, std::uintptr_t,
                  std::uintptr_t) {
  auto& self = *reinterpret_cast<SelfKill*>(user);
  if (self.calls++ == 0) self.result = timeKillEvent(timerId);
}

TEST(TimerServiceTest, KillFromInsideTheCallbackReturnsAndStopsTheTimer) {
  SelfKill self;
  self.id =
      timeSetEvent(2, 0, KillOwnTimer, reinterpret_cast<std::uintptr_t>(&self), TIME_PERIODIC);
  ASSERT_NE(self.id.load(), 0u);
  EXPECT_EQ(SettledCount(self.calls), 1);
  EXPECT_EQ(self.result, TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(self.id), MMSYSERR_INVALPARAM);
}

}  // namespace
}  // namespace lumora
