#pragma once

#include "app/posted_tasks.h"
#include "app/realtime_broker.h"

namespace lumora {

// Tells a broker of each timer thread from the user-interface thread, not the timer's: the
// broker's questions go over the system bus, whose answers the user-interface thread's event
// loop brings, and asking must never hold back a tick; the thread runs in the ordinary class
// until the answer comes. Made on the user-interface thread; the broker outlives it, and news
// still queued when it goes is dropped.
class UiThreadBroker final : public RealtimeBroker {
 public:
  explicit UiThreadBroker(RealtimeBroker& broker) : broker_(broker) {}

  // Called on the timer's thread; returns at once.
  void TimerThreadStarted(const TimerThreadStart& start) override;

 private:
  RealtimeBroker& broker_;
  PostedTasks uiThread_;
};

}  // namespace lumora
