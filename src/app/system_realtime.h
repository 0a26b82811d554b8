#pragma once

#include <memory>

#include "app/realtime_broker.h"

namespace lumora {

// What the system offers to give a timer thread the real-time class it could not take
// itself; one file per platform says what that is.
std::unique_ptr<RealtimeBroker> SystemRealtimeBroker();

}  // namespace lumora
