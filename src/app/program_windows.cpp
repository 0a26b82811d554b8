#include "app/program_windows.h"

#include <utility>

#include "app/state_folder.h"
#include "app/system_realtime.h"
#include "timer/mm_timer.h"

namespace lumora {

ProgramWindows::ProgramWindows(std::unique_ptr<UsbAdapter> adapter)
    : adapter_(std::move(adapter)),
      form1_(files_.dialogs, messages_),
      workKeeper_(form1_, UserStateFolder() + "/recovery", closeQuestion_) {
  form1_.SetProgrammingWindow([this]() -> TForm2& { return ProgrammingWindow(); });
}

void ProgramWindows::OfferLeftWork() {
  QtRecoveryQuestions questions(&form1_);
  workKeeper_.OfferLeftWork(questions);
}

TForm2& ProgramWindows::ProgrammingWindow() {
  if (!form2_) {
    systemRealtime_ = SystemRealtimeBroker();
    realtime_ = std::make_unique<UiThreadBroker>(*systemRealtime_);
    form2_ = std::make_unique<TForm2>(
        std::move(adapter_),
        std::make_unique<TMMTimer>(
            /*designMode=*/false,
            [this](const TimerThreadStart& start) { realtime_->TimerThreadStarted(start); }),
        messages_, &form1_);
  }
  return *form2_;
}

}  // namespace lumora
