#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "support/wait_for.h"
#include "timer/mm_timer.h"

namespace lumora {
namespace {

using testing::WaitFor;

// On Windows every process may raise its own threads: the ticks run at time-critical
// priority, reported as the real-time class, and the thread goes back to normal priority when
// the gate closes, so that an idle programming window costs nothing.
TEST(WindowsTimerThread, TicksAtTimeCriticalPriorityAndSleepsAtNormalOnceTheGateCloses) {
  std::mutex mutex;
  std::vector<TimerThreadStart> starts;
  TMMTimer timer(/*designMode=*/false, [&](const TimerThreadStart& start) {
    std::lock_guard lock(mutex);
    starts.push_back(start);
  });
  std::atomic<DWORD> ticking = 0;
  std::atomic<int> priority = THREAD_PRIORITY_ERROR_RETURN;
  timer.OnMMTimer = [&](TMMTimer&) {
    priority = GetThreadPriority(GetCurrentThread());
    ticking = GetCurrentThreadId();
  };
  timer.SetInterval(5);
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return ticking != 0; }));
  EXPECT_EQ(priority, THREAD_PRIORITY_TIME_CRITICAL);
  {
    std::lock_guard lock(mutex);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(starts[0].realTime);
    EXPECT_EQ(static_cast<DWORD>(starts[0].threadId), ticking.load());
  }
  timer.DisableAndWait();
  const HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, ticking);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(WaitFor([&] { return GetThreadPriority(thread) == THREAD_PRIORITY_NORMAL; }));
  CloseHandle(thread);

  // Opening the gate again raises the same thread again.
  ticking = 0;
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return ticking != 0; }));
  EXPECT_EQ(priority, THREAD_PRIORITY_TIME_CRITICAL);
  timer.DisableAndWait();
  std::lock_guard lock(mutex);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[1].threadId, starts[0].threadId);
}

}  // namespace
}  // namespace lumora
