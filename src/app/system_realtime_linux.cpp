#include <QDBusConnection>

#include "app/realtime_kit.h"
#include "app/system_realtime.h"

namespace lumora {

// The desktop's real-time service on the system bus.
std::unique_ptr<RealtimeBroker> SystemRealtimeBroker() {
  return std::make_unique<RealtimeKit>(QDBusConnection::systemBus());
}

}  // namespace lumora
