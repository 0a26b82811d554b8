#include "app/ui_thread_broker.h"

namespace lumora {

void UiThreadBroker::TimerThreadStarted(const TimerThreadStart& start) {
  uiThread_.Post([this, start] { broker_.TimerThreadStarted(start); });
}

}  // namespace lumora
