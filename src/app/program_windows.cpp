#include "app/program_windows.h"

#include <utility>

#include <QDBusConnection>

#include "timer/mm_timer.h"

namespace lumora {

ProgramWindows::ProgramWindows(std::unique_ptr<UsbAdapter> adapter)
    : realtimeKit_(QDBusConnection::systemBus()),
      realtime_(realtimeKit_),
      form1_(dialogs_, messages_),
      form2_(std::move(adapter),
             std::make_unique<TMMTimer>(
                 /*designMode=*/false,
                 [this](const TimerThreadStart& start) { realtime_.TimerThreadStarted(start); }),
             messages_, &form1_) {
  form1_.SetProgrammingWindow(&form2_);
}

}  // namespace lumora
