#include "app/ui_thread_broker.h"

namespace lumora {

void UiThreadBroker::TimerThreadStarted(const TimerThreadStart& start) {
  QMetaObject::invokeMethod(
      &uiThread_, [this, start] { broker_.TimerThreadStarted(start); }, Qt::QueuedConnection);
}

}  // namespace lumora
