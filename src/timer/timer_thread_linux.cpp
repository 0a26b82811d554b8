#include "timer/timer_thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace lumora {

void NameTimerThread() {
  // Shown by ps -L and in /proc/PID/task.
  pthread_setname_np(pthread_self(), "mmtimer");
}

TimerThreadStart TakeTimerPrecision(std::uint32_t resolutionMs) {
  // Without real-time rights the kernel may defer wake-ups by the thread's timer slack; keep
  // that within the resolution asked (a slack of 0 would mean the default, so at least 1 ns).
  const unsigned long slackNs = resolutionMs == 0 ? 1UL : resolutionMs * 1'000'000UL;
  prctl(PR_SET_TIMERSLACK, slackNs, 0UL, 0UL, 0UL);
  sched_param param{};
  param.sched_priority = kTimerThreadPriority;
  // Refused without the privilege; the timer then runs in the ordinary class.
  const bool realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
  return TimerThreadStart{gettid(), realTime};
}

void ReleaseTimerPrecision(std::uint32_t) {
  // Leaving a real-time class needs no privilege, whoever granted it. A slack of 0 restores
  // the process's default.
  const sched_param param{};
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
  prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
}

}  // namespace lumora
