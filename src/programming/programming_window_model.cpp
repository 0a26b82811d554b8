#include "programming/programming_window_model.h"

namespace lumora {

ProgrammingWindowModel::ProgrammingWindowModel(UsbAdapter& adapter, TMMTimer& timer,
                                               ProgrammingView& view, MessageBoxes& messages,
                                               const ControllerImageArray& image)
    : timer_(timer), view_(view), messages_(messages), image_(image), link_(adapter) {}

ProgrammingWindowModel::~ProgrammingWindowModel() {
  CloseGateAndWait();
  timer_.OnMMTimer = nullptr;
  link_.CloseProgrammer();
}

void ProgrammingWindowModel::FormCreate() {
  view_.SetProgressPosition(0);
  view_.SetSpinnerEnabled(Spinner::Address, false);
  view_.SetSpinnerEnabled(Spinner::Auto, false);
  // The gate is closed from the timer's construction, so the handler can be attached now.
  timer_.OnMMTimer = [this](TMMTimer&) { MMTimerMMTimer(); };
  timer_.SetInterval(kUsbTickMs);
  timer_.SetType(TimerEventType::etPeriodic);
}

void ProgrammingWindowModel::FormActivate() {
  // Normally the window was closed before; an activation without a close first ends the
  // earlier link so its handle is not lost.
  CloseGateAndWait();
  link_.CloseProgrammer();
  link_.UseUsbLayout();
  if (!link_.OpenProgrammer(messages_)) {
    view_.SetProgramButtonEnabled(false);
    return;
  }
  transfer_.Activate(image_);
  SelectUsbProgrammerOnActivation();
  view_.SetProgramButtonEnabled(true);
}

void ProgrammingWindowModel::FormClose() {
  CloseGateAndWait();
  link_.CloseProgrammer();
}

void ProgrammingWindowModel::RadioButton1Click() {
  settings_.ChooseAllControllers();
  view_.SetSpinnerEnabled(Spinner::Address, false);
}

void ProgrammingWindowModel::RadioButton2Click() {
  settings_.ChooseAddress();
  view_.SetSpinnerEnabled(Spinner::Address, true);
}

void ProgrammingWindowModel::RadioButton3Click() {
  settings_.ChooseProgram();
  view_.SetSpinnerEnabled(Spinner::Program, true);
  view_.SetSpinnerEnabled(Spinner::Auto, false);
}

void ProgrammingWindowModel::RadioButton4Click() {
  settings_.ChooseAuto();
  view_.SetSpinnerEnabled(Spinner::Auto, true);
  view_.SetSpinnerEnabled(Spinner::Program, false);
}

void ProgrammingWindowModel::RadioButton5Click() {
  CloseGateAndWait();
  link_.ConfigureUsbProgrammer(true);
  OpenGateFor(ProgrammerKind::UsbProgrammer, kUsbTickMs);
}

void ProgrammingWindowModel::RadioButton6Click() {
  CloseGateAndWait();
  link_.ConfigureStandardProgrammer();
  OpenGateFor(ProgrammerKind::StandardProgrammer, kStandardTickMs);
}

void ProgrammingWindowModel::UpDown1Click(int position) {
  view_.SetAddressSpinnerStep(settings_.StepAddress(position));
}

void ProgrammingWindowModel::UpDown1MouseUp() {
  view_.SetAddressSpinnerStep(settings_.ReleaseAddressSpinner());
}

void ProgrammingWindowModel::UpDown2Click(int position) {
  settings_.StepProgram(position);
}

void ProgrammingWindowModel::UpDown3Click(int position) {
  settings_.StepSpeed(position);
}

void ProgrammingWindowModel::UpDown4Click(int position) {
  settings_.StepTubes(position);
}

void ProgrammingWindowModel::UpDown5Click(int position) {
  settings_.StepAuto(position);
}

void ProgrammingWindowModel::SpeedButton1Click() {
  transfer_.Request();
}

void ProgrammingWindowModel::SelectUsbProgrammerOnActivation() {
  const bool usbWasChecked = settings_.Kind() == ProgrammerKind::UsbProgrammer;
  link_.ConfigureUsbProgrammer(false);
  OpenGateFor(ProgrammerKind::UsbProgrammer, kUsbTickMs);
  view_.CheckUsbProgrammerButton();
  // Checking the button is a click on it when it was not checked.
  if (!usbWasChecked) RadioButton5Click();
}

// The kind is in place before the gate opens, so no tick ever meets the new gate with the
// old programmer.
void ProgrammingWindowModel::OpenGateFor(ProgrammerKind kind, int tickMs) {
  settings_.SetKind(kind);
  timer_.SetInterval(tickMs);
  timer_.Enabled = true;
}

void ProgrammingWindowModel::CloseGateAndWait() {
  closing_ = true;
  timer_.DisableAndWait();
  closing_ = false;
}

void ProgrammingWindowModel::MMTimerMMTimer() {
  if (settings_.Kind() == ProgrammerKind::UsbProgrammer) {
    UsbTick();
  } else {
    StandardTick();
  }
}

void ProgrammingWindowModel::UsbTick() {
  TransmitBufferArray& buffer = link_.TransmitBuffer();
  const bool sending = transfer_.State() == TransferState::Running;
  if (sending) {
    buffer[1] = 0x01;
    ShowProgress(transfer_.PrepareNextPacket(link_.Slots(), settings_.ForPacket()));
  }
  const FT_STATUS status = link_.UsbExchange();
  buffer[1] = 0x01;
  link_.ClearFrom(kUsbSlotBase);
  if (sending && status != FT_OK) AbandonTransfer();
}

void ProgrammingWindowModel::StandardTick() {
  if (transfer_.State() == TransferState::Finished) link_.ClearFrom(1);
  if (transfer_.State() != TransferState::Running) return;
  timer_.Enabled = false;
  for (int frame = 0; frame < kTransferPackets && !closing_; ++frame) {
    // Frames after the final packet repeat it.
    if (transfer_.State() == TransferState::Running) {
      ShowProgress(transfer_.PrepareNextPacket(link_.Slots(), settings_.ForPacket()));
    }
    if (link_.SendStandardFrame() != FT_OK) {
      AbandonTransfer();
      return;
    }
  }
  // A close that came during the burst closes the gate again once this tick is over.
  timer_.Enabled = true;
}

void ProgrammingWindowModel::ShowProgress(int position) {
  view_.PostToUiThread([this, position] { view_.SetProgressPosition(position); });
}

void ProgrammingWindowModel::AbandonTransfer() {
  timer_.Enabled = false;
  transfer_.Abandon();
  view_.PostToUiThread([this] {
    view_.SetProgressPosition(0);
    view_.SetProgramButtonEnabled(false);
    messages_.ShowError(message::NoProgrammer);
  });
}

}  // namespace lumora
