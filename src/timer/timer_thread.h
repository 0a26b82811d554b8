#pragma once

#include <cstdint>

#include "timer/timer_service.h"

namespace lumora {

// What a timer's own thread asks of the system, one file per platform.

// Names the thread where the system lists thread names (Linux), asks for wake-ups precise to
// resolutionMs (0: the best there is) and for a scheduling class above the ordinary threads;
// says what it got.
TimerThreadStart PrepareTimerThread(std::uint32_t resolutionMs);

// Gives back, as the thread ends, what PrepareTimerThread asked of the whole system.
void FinishTimerThread(std::uint32_t resolutionMs);

}  // namespace lumora
