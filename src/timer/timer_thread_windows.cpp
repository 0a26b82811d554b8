// Ours first: its names are those of the multimedia timer API, which the system's header
// then defines as macros.
#include "timer/timer_thread.h"

#include <windows.h>
// The timer resolution calls, which the lean <windows.h> leaves out.
#include <mmsystem.h>

namespace lumora {

namespace {

// The system's timer resolution asked for: the one given, at least 1 ms.
UINT Period(std::uint32_t resolutionMs) {
  return resolutionMs == 0 ? 1 : resolutionMs;
}

}  // namespace

// Shown by debuggers and process viewers. Looked up at run time: the call came with Windows 10.
void NameTimerThread() {
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  const auto set = reinterpret_cast<SetDescription>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (set != nullptr) set(GetCurrentThread(), L"mmtimer");
}

TimerThreadStart TakeTimerPrecision(std::uint32_t resolutionMs) {
  // Waits end on the system's timer interrupt, every 15.6 ms unless a program asks for a finer
  // one; it stays asked while ticks are delivered.
  timeBeginPeriod(Period(resolutionMs));
  // Every process may raise its own threads to time-critical, the highest of the ordinary
  // class, above the user-interface thread and everything of normal priority.
  const bool raised = SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) &&
                      GetThreadPriority(GetCurrentThread()) == THREAD_PRIORITY_TIME_CRITICAL;
  return TimerThreadStart{static_cast<pid_t>(GetCurrentThreadId()), raised};
}

void ReleaseTimerPrecision(std::uint32_t resolutionMs) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  timeEndPeriod(Period(resolutionMs));
}

}  // namespace lumora
