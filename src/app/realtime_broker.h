#pragma once

#include "timer/timer_service.h"

namespace lumora {

// Something that may give a timer thread the real-time class the thread could not take
// itself, such as the desktop's real-time service. Told of every timer thread that starts.
class RealtimeBroker {
 public:
  virtual ~RealtimeBroker() = default;
  virtual void TimerThreadStarted(const TimerThreadStart& start) = 0;
};

}  // namespace lumora
