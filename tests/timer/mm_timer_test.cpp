#include "timer/mm_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "support/thread_class.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

template <typename Predicate>
bool WaitFor(Predicate done, Clock::duration limit = 2s) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(TMMTimerTest, StartsRunningWithTheGateClosed) {
  TMMTimer timer;
  EXPECT_NE(timer.TimerId(), 0u);
  EXPECT_EQ(timer.Interval(), 10);
  EXPECT_EQ(timer.Resolution(), 0);
  EXPECT_EQ(timer.Type(), TimerEventType::etPeriodic);
  EXPECT_FALSE(timer.Enabled);

  TMMTimer designed(/*designMode=*/true);
  EXPECT_EQ(designed.TimerId(), 0u);
  designed.SetInterval(5);
  EXPECT_EQ(designed.TimerId(), 0u);
}

TEST(TMMTimerTest, GateAndHandlerDecideWhetherATickDoesWork) {
  TMMTimer timer;
  timer.SetInterval(2);
  std::atomic<int> ticks = 0;
  std::atomic<bool> otherThread = true;
  const auto caller = std::this_thread::get_id();
  timer.OnMMTimer = [&](TMMTimer& sender) {
    EXPECT_EQ(&sender, &timer);
    if (std::this_thread::get_id() == caller) otherThread = false;
    ++ticks;
  };
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(ticks, 0);  // gate closed while the system timer runs

  timer.Enabled = true;
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  EXPECT_TRUE(otherThread);

  timer.DisableAndWait();
  const int counted = ticks;
  timer.OnMMTimer = nullptr;
  timer.Enabled = true;  // open, but no handler: ticks do nothing
  std::this_thread::sleep_for(20ms);
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

TEST(TMMTimerTest, OneShotTypeFiresOnce) {
  TMMTimer timer;
  std::atomic<int> ticks = 0;
  timer.OnMMTimer = [&](TMMTimer&) { ++ticks; };
  timer.SetType(TimerEventType::etOneShot);
  timer.SetInterval(100);  // long enough for the gate to open before it fires
  timer.Enabled = true;
  ASSERT_TRUE(WaitFor([&] { return ticks > 0; }));
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(ticks, 1);
}

// As the programming window's ticker: Start opens the gate at the period, Stop closes it,
// and a tick may stop its own ticker without waiting for itself.
TEST(TMMTimerTest, AsATickerStartsAtThePeriodAndStops) {
  TMMTimer timer;
  Ticker& ticker = timer;
  std::atomic<int> ticks = 0;
  ticker.Start(2, [&] { ++ticks; });
  EXPECT_EQ(timer.Interval(), 2);
  EXPECT_EQ(timer.Type(), TimerEventType::etPeriodic);
  EXPECT_TRUE(timer.Enabled);
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  ticker.Stop();
  EXPECT_FALSE(timer.Enabled);
  int counted = ticks;
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(ticks, counted);

  ticker.Start(1, [&] {
    ++ticks;
    ticker.Stop();
  });
  EXPECT_TRUE(WaitFor([&] { return ticks > counted; }));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(ticks, counted + 1);
  EXPECT_FALSE(timer.Enabled);
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
  timer.Enabled = true;
  entered.get_future().wait();
  timer.DisableAndWait();
  EXPECT_TRUE(left);
  const int counted = calls;
  std::this_thread::sleep_for(10ms);
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
  timer.Enabled = true;
  EXPECT_TRUE(WaitFor([&] { return !timer.Enabled; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(timer.Interval(), 3);
}

// Each system timer thread tells who it is as it starts, so that another part of the program
// can ask for a real-time class on its behalf.
TEST(TMMTimerTest, EveryNewThreadReportsItsIdAndClassOnItself) {
  struct Report {
    TimerThreadStart start;
    pid_t reportedOn;
    bool realTime;
  };
  std::mutex mutex;
  std::vector<Report> reports;
  auto reportCount = [&] {
    std::lock_guard lock(mutex);
    return reports.size();
  };
  TMMTimer timer(/*designMode=*/false, [&](const TimerThreadStart& start) {
    std::lock_guard lock(mutex);
    reports.push_back({start, testing::ThisThreadId(), testing::ThisThreadIsRealTime()});
  });
  std::atomic<pid_t> ticking = 0;
  timer.OnMMTimer = [&](TMMTimer&) { ticking = testing::ThisThreadId(); };
  timer.Enabled = true;
  ASSERT_TRUE(WaitFor([&] { return reportCount() == 1 && ticking != 0; }));
  timer.SetInterval(3);
  ASSERT_TRUE(WaitFor([&] { return reportCount() == 2; }));
  ASSERT_TRUE(WaitFor([&] { return ticking == reports[1].start.threadId; }));
  timer.DisableAndWait();

  EXPECT_NE(reports[0].start.threadId, reports[1].start.threadId);
  for (const Report& r : reports) {
    EXPECT_EQ(r.start.threadId, r.reportedOn);
    EXPECT_NE(r.start.threadId, testing::ThisThreadId());
    EXPECT_EQ(r.start.realTime, r.realTime);
  }

  bool reported = false;
  TMMTimer designed(/*designMode=*/true, [&](const TimerThreadStart&) { reported = true; });
  designed.SetInterval(5);
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
  timer.Enabled = true;
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
