#pragma once

#include <sched.h>
#include <sys/syscall.h>
#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace lumora::testing {

// Looks at a timer's thread from outside through /proc, so that a test learns what the
// thread is doing from the kernel instead of guessing from the time that passed.

inline std::filesystem::path TaskFolder(pid_t thread) {
  return std::filesystem::path("/proc/self/task") / std::to_string(thread);
}

// Ids of the process's threads named as timer threads.
inline std::set<pid_t> TimerThreads() {
  std::set<pid_t> found;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == "mmtimer") {
      found.insert(static_cast<pid_t>(std::stol(task.path().filename().string())));
    }
  }
  return found;
}

// The one timer thread that is not among before, or 0.
inline pid_t NewTimerThread(const std::set<pid_t>& before) {
  pid_t added = 0;
  for (pid_t thread : TimerThreads()) {
    if (before.contains(thread)) continue;
    if (added != 0) return 0;
    added = thread;
  }
  return added;
}

// Whether the thread is blocked in a wait that has no deadline: it makes no wake-up of its
// own until another thread wakes it. A timed wait (a tick pending) does not count.
inline bool SleepsWithoutDeadline(pid_t thread) {
  std::ifstream file(TaskFolder(thread) / "syscall");
  long number = -1;
  if (!(file >> number) || number != SYS_futex) return false;
  std::string address, operation, value, timeout;
  file >> address >> operation >> value >> timeout;
  return timeout == "0x0";
}

inline bool Ended(pid_t thread) {
  return !std::filesystem::exists(TaskFolder(thread));
}

inline int Policy(pid_t thread) {
  return sched_getscheduler(thread);
}

}  // namespace lumora::testing
