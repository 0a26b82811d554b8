#include <signal.h>

#include <atomic>

#include "cli/interruption.h"

namespace lumora::cli {

namespace {

std::atomic<Interruption> caught{Interruption::None};
static_assert(std::atomic<Interruption>::is_always_lock_free);

struct sigaction earlierInterrupt {};
struct sigaction earlierTerminate {};

// A signal handler may touch nothing but a lock-free atomic: no lock, no allocation, no output.
void Catch(int signal) {
  Interruption expected = Interruption::None;
  caught.compare_exchange_strong(
      expected, signal == SIGINT ? Interruption::Interrupt : Interruption::Terminate);
}

}  // namespace

InterruptionCatcher::InterruptionCatcher() {
  caught = Interruption::None;
  struct sigaction action {};
  action.sa_handler = Catch;
  sigemptyset(&action.sa_mask);
  // The handler gives way to the default after its first signal: a second Ctrl+C ends the
  // process at once, as a user pressing it again expects.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, &earlierInterrupt);
  sigaction(SIGTERM, &action, &earlierTerminate);
}

InterruptionCatcher::~InterruptionCatcher() {
  sigaction(SIGINT, &earlierInterrupt, nullptr);
  sigaction(SIGTERM, &earlierTerminate, nullptr);
}

Interruption InterruptionCatcher::Caught() const {
  return caught;
}

std::string_view NameOf(Interruption interruption) {
  return interruption == Interruption::Interrupt ? "SIGINT" : "SIGTERM";
}

}  // namespace lumora::cli
