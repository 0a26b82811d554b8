#include <windows.h>

#include <atomic>

#include "cli/interruption.h"

namespace lumora::cli {

namespace {

std::atomic<Interruption> caught{Interruption::None};
static_assert(std::atomic<Interruption>::is_always_lock_free);

// The console calls this on a thread of its own.
BOOL WINAPI Catch(DWORD event) {
  const Interruption interruption =
      event == CTRL_C_EVENT ? Interruption::Interrupt : Interruption::Terminate;
  Interruption expected = Interruption::None;
  // A second one of the same kind goes on to the default handler, which ends the process.
  if (!caught.compare_exchange_strong(expected, interruption) && expected == interruption) {
    return FALSE;
  }
  // The process ends when this returns for the console's closing, the user's logging off or
  // the system's shutting down: the command ends it itself once the transfer is stopped, within
  // the few seconds the system waits.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    Sleep(INFINITE);
  }
  return TRUE;
}

}  // namespace

InterruptionCatcher::InterruptionCatcher() {
  caught = Interruption::None;
  SetConsoleCtrlHandler(Catch, TRUE);
}

InterruptionCatcher::~InterruptionCatcher() {
  SetConsoleCtrlHandler(Catch, FALSE);
}

Interruption InterruptionCatcher::Caught() const {
  return caught;
}

std::string_view NameOf(Interruption interruption) {
  return interruption == Interruption::Interrupt ? "Ctrl+C" : "Ctrl+Break";
}

}  // namespace lumora::cli
