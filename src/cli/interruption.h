#pragma once

#include <string_view>

namespace lumora::cli {

// What asked the process to stop: Ctrl+C (SIGINT), or a request to end it (SIGTERM; on
// Windows Ctrl+Break or the console closing).
enum class Interruption { None, Interrupt, Terminate };

// While one lives, the interruptions are caught instead of ending the process at once, and
// the work in hand looks at Caught() to stop as it would on a lost device. A second one of the
// same kind ends the process as it normally would. The handler only stores a lock-free
// atomic, the one thing a signal handler may safely do. One platform file each.
class InterruptionCatcher {
 public:
  InterruptionCatcher();
  ~InterruptionCatcher();
  InterruptionCatcher(const InterruptionCatcher&) = delete;
  InterruptionCatcher& operator=(const InterruptionCatcher&) = delete;

  // The first interruption caught, None while there was none.
  Interruption Caught() const;
};

// The exit code a shell gives a process ended by the interruption: 128 + the signal's number,
// 130 for SIGINT and 143 for SIGTERM, on every platform.
inline int ExitCodeOf(Interruption interruption) {
  return interruption == Interruption::Interrupt ? 130 : 143;
}

// The system's name of the interruption, for the message that tells it.
std::string_view NameOf(Interruption interruption);

}  // namespace lumora::cli
