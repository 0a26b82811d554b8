#include "app/system_realtime.h"

namespace lumora {

namespace {

// Windows lets every process raise the priority of its own threads, so a timer thread has
// whatever class it could get already; there is no service to ask for more.
class NoRealtimeService final : public RealtimeBroker {
 public:
  void TimerThreadStarted(const TimerThreadStart&) override {}
};

}  // namespace

std::unique_ptr<RealtimeBroker> SystemRealtimeBroker() {
  return std::make_unique<NoRealtimeService>();
}

}  // namespace lumora
