#include "timer/mm_timer.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <mutex>
#include <set>
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

// A tick as the system timer delivers it, made by hand.
void TickByHand(TMMTimer& timer) {
  TMMTimer::MMTimerCallbackProc(timer.TimerId(), 0, reinterpret_cast<std::uintptr_t>(&timer), 0, 0);
}

// The system timer's thread waits with the gate closed, without a deadline of its own.
TEST(TMMTimerTest, StartsRunningWithTheGateClosedAndItsThreadAsleep) {
  const auto before = testing::TimerThreads();
  TMMTimer timer;
  EXPECT_NE(timer.TimerId(), 0u);
  EXPECT_EQ(timer.Interval(), 10);
  EXPECT_EQ(timer.Resolution(), 0);
  EXPECT_EQ(timer.Type(), TimerEventType::etPeriodic);
  EXPECT_FALSE(timer.Enabled());
  pid_t thread = 0;
  ASSERT_TRUE(WaitFor([&] { return (thread = testing::NewTimerThread(before)) != 0; }));
  EXPECT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
  EXPECT_EQ(Policy(thread), SCHED_OTHER);

  TMMTimer designed(/*designMode=*/true);
  EXPECT_EQ(designed.TimerId(), 0u);
  designed.SetInterval(5);
  EXPECT_EQ(designed.TimerId(), 0u);
}

TEST(TMMTimerTest, GateAndHandlerDecideWhetherATickDoesWork) {
  TMMTimer timer;
  timer.SetInterval(2);
  std::atomic<int> ticks = 0;
  std::atomic<pid_t> thread = 0;
  timer.OnMMTimer = [&](TMMTimer& sender) {
    EXPECT_EQ(&sender, &timer);
    thread = gettid();
    ++ticks;
  };
  TickByHand(timer);
  EXPECT_EQ(ticks, 0);  // gate closed

  timer.SetEnabled(true);
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  EXPECT_NE(thread, gettid());

  timer.DisableAndWait();
  const int counted = ticks;
  TickByHand(timer);
  EXPECT_EQ(ticks, counted);  // closed again
  EXPECT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
  timer.OnMMTimer = nullptr;
  timer.SetEnabled(true);  // open, but no handler: ticks do nothing
  TickByHand(timer);
  EXPECT_EQ(ticks, counted);
}

TEST(TMMTimerTest, EverySetterRestartsTheSystemTimer) {
  TMMTimer timer;
  std::set<std::uint32_t> ids = {timer.TimerId()};
  timer.SetInterval(10);  // same value
  ids.insert(timer.TimerId());
  timer.SetResolution(1);
  ids.insert(timer.TimerId());
  timer.SetType(TimerEventType::etPeriodic);
  ids.insert(timer.TimerId());
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_EQ(ids.count(0), 0u);

  timer.SetInterval(-1);  // refused by the service: no ticks, nothing reported
  EXPECT_EQ(timer.TimerId(), 0u);
  timer.SetInterval(5);
  EXPECT_NE(timer.TimerId(), 0u);
}

// The one-shot's thread ends after its tick, so no second can follow.
TEST(TMMTimerTest, OneShotTypeFiresOnce) {
  TMMTimer timer;
  std::atomic<int> ticks = 0;
  std::atomic<pid_t> thread = 0;
  timer.OnMMTimer = [&](TMMTimer&) {
    thread = gettid();
    ++ticks;
  };
  timer.SetType(TimerEventType::etOneShot);
  timer.SetInterval(100);  // long enough for the gate to open before it fires
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return ticks > 0; }));
  EXPECT_TRUE(WaitFor([&] { return Ended(thread); }));
  EXPECT_EQ(ticks, 1);
}

// As the programming window's ticker: Start opens the gate at the period, Stop closes it and
// puts the thread to sleep, and a tick may stop its own ticker without waiting for itself.
TEST(TMMTimerTest, AsATickerStartsAtThePeriodAndStops) {
  TMMTimer timer;
  Ticker& ticker = timer;
  std::atomic<int> ticks = 0;
  std::atomic<pid_t> thread = 0;
  ticker.Start(2, [&] {
    thread = gettid();
    ++ticks;
  });
  EXPECT_EQ(timer.Interval(), 2);
  EXPECT_EQ(timer.Type(), TimerEventType::etPeriodic);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  ticker.Stop();
  EXPECT_FALSE(timer.Enabled());
  EXPECT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
  const int counted = ticks;

  ticker.Start(1, [&] {
    thread = gettid();
    ++ticks;
    ticker.Stop();
  });
  ASSERT_TRUE(WaitFor([&] { return ticks > counted; }));
  // Asleep after its first tick, so that tick was its last.
  EXPECT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(thread); }));
  EXPECT_EQ(ticks, counted + 1);
  EXPECT_FALSE(timer.Enabled());
}

TEST(TMMTimerTest, DisableAndWaitWaitsForTheRunningHandler) {
  TMMTimer timer;
  timer.SetInterval(1);
  std::promise<void> entered;
  std::atomic<int> calls = 0;
  std::atomic<bool> left = false;
  timer.OnMMTimer = [&](TMMTimer&) {
    if (calls++ == 0) {
      entered.set_value();
      std::this_thread::sleep_for(30ms);
      left = true;
    }
  };
  timer.SetEnabled(true);
  entered.get_future().wait();
  timer.DisableAndWait();
  EXPECT_TRUE(left);
  const int counted = calls;
  TickByHand(timer);
  EXPECT_EQ(calls, counted);
}

TEST(TMMTimerTest, HandlerMayCloseTheGateOrRestartTheTimer) {
  TMMTimer timer;
  timer.SetInterval(2);
  std::atomic<int> calls = 0;
  timer.OnMMTimer = [&](TMMTimer& sender) {
    if (++calls == 1) {
      sender.SetInterval(3);  // kills its own system timer from inside the tick
    } else {
      sender.DisableAndWait();
    }
  };
  timer.SetEnabled(true);
  EXPECT_TRUE(WaitFor([&] { return !timer.Enabled(); }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(timer.Interval(), 3);
}

// Each system timer thread tells who it is as it starts delivering ticks, so that another
// part of the program can ask for a real-time class on its behalf; it holds the class only
// while the gate is open.
TEST(TMMTimerTest, ThreadReportsItsIdAndClassWheneverTicksBegin) {
  struct Report {
    TimerThreadStart start;
    pid_t reportedOn;
    int policy;
  };
  std::mutex mutex;
  std::vector<Report> reports;
  auto reportCount = [&] {
    std::lock_guard lock(mutex);
    return reports.size();
  };
  TMMTimer timer(/*designMode=*/false, [&](const TimerThreadStart& start) {
    std::lock_guard lock(mutex);
    reports.push_back({start, gettid(), Policy(0)});
  });
  std::atomic<pid_t> ticking = 0;
  timer.OnMMTimer = [&](TMMTimer&) { ticking = gettid(); };
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return reportCount() == 1 && ticking != 0; }));
  timer.SetInterval(3);  // a new thread behind the open gate
  ASSERT_TRUE(WaitFor([&] { return reportCount() == 2; }));
  ASSERT_TRUE(WaitFor([&] { return ticking == reports[1].start.threadId; }));
  timer.DisableAndWait();
  ASSERT_TRUE(WaitFor([&] { return SleepsWithoutDeadline(ticking); }));
  EXPECT_EQ(Policy(ticking), SCHED_OTHER);
  EXPECT_EQ(reportCount(), 2u);
  timer.SetEnabled(true);  // the same thread again
  ASSERT_TRUE(WaitFor([&] { return reportCount() == 3; }));
  timer.DisableAndWait();

  EXPECT_NE(reports[0].start.threadId, reports[1].start.threadId);
  EXPECT_EQ(reports[2].start.threadId, reports[1].start.threadId);
  for (const Report& r : reports) {
    EXPECT_EQ(r.start.threadId, r.reportedOn);
    EXPECT_NE(r.start.threadId, gettid());
    EXPECT_EQ(r.start.realTime, r.policy == SCHED_FIFO);
  }

  bool reported = false;
  TMMTimer designed(/*designMode=*/true, [&](const TimerThreadStart&) { reported = true; });
  designed.SetInterval(5);
  designed.SetEnabled(true);
  EXPECT_FALSE(reported);
}

// Periods measured on a loaded machine vary; the bound is generous, but absolute deadlines
// keep the mean period on the nominal value however late single ticks come.
TEST(TMMTimerTest, HundredTicksKeepTheNominalPeriod) {
  TMMTimer timer;
  std::vector<Clock::time_point> stamps;
  stamps.reserve(101);
  std::mutex mutex;
  timer.OnMMTimer = [&](TMMTimer&) {
    std::lock_guard lock(mutex);
    if (stamps.size() < 101) stamps.push_back(Clock::now());
  };
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor(
      [&] {
        std::lock_guard lock(mutex);
        return stamps.size() == 101;
      },
      5s));
  timer.DisableAndWait();
  const double meanMs =
      std::chrono::duration<double, std::milli>(stamps.back() - stamps.front()).count() / 100;
  EXPECT_NEAR(meanMs, 10.0, 1.0);
}

}  // namespace
}  // namespace lumora
