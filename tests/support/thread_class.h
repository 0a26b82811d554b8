#pragma once

// The calling thread as the timer's start report names it, on each platform.
#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#include <unistd.h>
#endif

#include <sys/types.h>

namespace lumora::testing {

inline pid_t ThisThreadId() {
#ifdef _WIN32
  return static_cast<pid_t>(GetCurrentThreadId());
#else
  return gettid();
#endif
}

// Whether the calling thread runs in the class the timer thread asks for: SCHED_FIFO, or on
// Windows the time-critical priority.
inline bool ThisThreadIsRealTime() {
#ifdef _WIN32
  return GetThreadPriority(GetCurrentThread()) == THREAD_PRIORITY_TIME_CRITICAL;
#else
  return sched_getscheduler(0) == SCHED_FIFO;
#endif
}

}  // namespace lumora::testing
