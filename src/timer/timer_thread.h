#pragma once

#include <cstdint>

#include "timer/timer_service.h"

namespace lumora {

// What a timer's thread asks of the operating system, one file per platform.

// Names the calling thread so that it can be found among the process's threads.
void NameTimerThread();

// Asks for the real-time class at kTimerThreadPriority and wake-ups within resolutionMs
// (0: the best available) for the calling thread. Reports the thread's id and whether it got
// the class itself.
TimerThreadStart TakeTimerPrecision(std::uint32_t resolutionMs);

// Returns the calling thread to the ordinary class and wake-up accuracy, and gives back what
// TakeTimerPrecision(resolutionMs) asked of the whole system.
void ReleaseTimerPrecision(std::uint32_t resolutionMs);

}  // namespace lumora
