#pragma once

#include <chrono>
#include <thread>

namespace lumora::testing {

// Waits until done() holds, for states that no event announces (a thread's state in /proc, a
// count kept by another thread): it looks again every millisecond and returns as soon as the
// condition holds; false only when it still does not after limit, which is long because a
// loaded machine may run a thread late, and only a failing test waits it out.
template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::steady_clock::duration limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace lumora::testing
