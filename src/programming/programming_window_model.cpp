#include "programming/programming_window_model.h"

#include <string>

namespace lumora {

ProgrammingWindowModel::ProgrammingWindowModel(UsbAdapter& adapter, Ticker& ticker,
                                               ProgrammingView& view, MessageBoxes& messages)
    : ticker_(ticker), view_(view), messages_(messages), link_(adapter) {}

ProgrammingWindowModel::~ProgrammingWindowModel() {
  StopTicksAndWait();
  link_.CloseProgrammer();
}

void ProgrammingWindowModel::FormCreate() {
  view_.SetProgressPosition(0);
  view_.SetSpinnerEnabled(Spinner::Address, false);
  view_.SetSpinnerEnabled(Spinner::Auto, false);
}

void ProgrammingWindowModel::Open() {
  // Normally the window was closed before; an opening without a close first ends the
  // earlier link so its handle is not lost.
  StopTicksAndWait();
  link_.CloseProgrammer();
  if (const FT_STATUS status = link_.OpenProgrammer(); status != FT_OK) {
    linkFailure_ = status;
    // A present adapter the user may not open, or a missing driver library, is told apart
    // from a missing adapter on the lines below.
    std::string text(message::NoProgrammer);
    if (status == kAdapterAccessDenied) text += "\n" + std::string(message::NoAccessToProgrammer);
    if (status == kAdapterDriverMissing) text += "\n" + std::string(message::NoAdapterDriver);
    messages_.ShowError(text);
    view_.SetProgramButtonEnabled(false);
    return;
  }
  linkFailure_ = FT_OK;
  transfer_.Activate();
  SelectUsbProgrammerOnOpening();
  view_.SetProgramButtonEnabled(true);
}

void ProgrammingWindowModel::Close() {
  StopTicksAndWait();
  link_.CloseProgrammer();
}

void ProgrammingWindowModel::ChooseAllControllers() {
  settings_.ChooseAllControllers();
  view_.SetSpinnerEnabled(Spinner::Address, false);
}

void ProgrammingWindowModel::ChooseAddress() {
  settings_.ChooseAddress();
  view_.SetSpinnerEnabled(Spinner::Address, true);
}

void ProgrammingWindowModel::ChooseProgram() {
  settings_.ChooseProgram();
  view_.SetSpinnerEnabled(Spinner::Program, true);
  view_.SetSpinnerEnabled(Spinner::Auto, false);
}

void ProgrammingWindowModel::ChooseAuto() {
  settings_.ChooseAuto();
  view_.SetSpinnerEnabled(Spinner::Auto, true);
  view_.SetSpinnerEnabled(Spinner::Program, false);
}

void ProgrammingWindowModel::ChooseUsbProgrammer() {
  StopTicksAndWait();
  link_.ConfigureUsbProgrammer(true);
  StartTicks(ProgrammerKind::UsbProgrammer, kUsbTickMs);
}

void ProgrammingWindowModel::ChooseStandardProgrammer() {
  StopTicksAndWait();
  link_.ConfigureStandardProgrammer();
  StartTicks(ProgrammerKind::StandardProgrammer, kStandardTickMs);
}

void ProgrammingWindowModel::SetAddress(int position) {
  view_.SetAddressSpinnerStep(settings_.StepAddress(position));
}

void ProgrammingWindowModel::ReleaseAddressSpinner() {
  view_.SetAddressSpinnerStep(settings_.ReleaseAddressSpinner());
}

void ProgrammingWindowModel::SetProgram(int position) {
  settings_.StepProgram(position);
}

void ProgrammingWindowModel::SetSpeed(int position) {
  settings_.StepSpeed(position);
}

void ProgrammingWindowModel::SetTubeCount(int position) {
  settings_.StepTubes(position);
}

void ProgrammingWindowModel::SetAutoProgram(int position) {
  settings_.StepAuto(position);
}

void ProgrammingWindowModel::SelectUsbProgrammerOnOpening() {
  const bool usbWasChecked = settings_.Kind() == ProgrammerKind::UsbProgrammer;
  link_.ConfigureUsbProgrammer(false);
  StartTicks(ProgrammerKind::UsbProgrammer, kUsbTickMs);
  view_.CheckUsbProgrammerButton();
  // Checking the button is a click on it when it was not checked.
  if (!usbWasChecked) ChooseUsbProgrammer();
}

// The kind is in place before the ticks start, so no tick ever meets the new pace with the
// old programmer.
void ProgrammingWindowModel::StartTicks(ProgrammerKind kind, int tickMs) {
  settings_.SetKind(kind);
  ticker_.Start(tickMs, [this] { Tick(); });
}

void ProgrammingWindowModel::StopTicksAndWait() {
  closing_ = true;
  ticker_.Stop();
  closing_ = false;
}

void ProgrammingWindowModel::Tick() {
  if (settings_.Kind() == ProgrammerKind::UsbProgrammer) {
    UsbTick();
  } else {
    StandardTick();
  }
}

void ProgrammingWindowModel::UsbTick() {
  if (transfer_.State() != TransferState::Running) {
    link_.SendIdleBlock();
    return;
  }
  ShowProgress(transfer_.PrepareNextPacket(packet_, settings_.ForPacket()));
  if (const FT_STATUS status = link_.SendPacket(packet_); status != FT_OK) {
    AbandonTransfer(status);
  }
}

// The whole transfer as one burst of frames; the ticks only look for a transfer to send.
void ProgrammingWindowModel::StandardTick() {
  if (transfer_.State() != TransferState::Running) return;
  for (int frame = 0; frame < kTransferPackets && !closing_; ++frame) {
    // Frames after the final packet repeat it.
    if (transfer_.State() == TransferState::Running) {
      ShowProgress(transfer_.PrepareNextPacket(packet_, settings_.ForPacket()));
    }
    if (const FT_STATUS status = link_.SendPacket(packet_); status != FT_OK) {
      AbandonTransfer(status);
      return;
    }
  }
}

void ProgrammingWindowModel::ShowProgress(int position) {
  view_.PostToUiThread([this, position] { view_.SetProgressPosition(position); });
}

// A page cut short or lost on the way leaves the controller with an image it cannot use: the
// transfer ends and the next one starts from page 0, never past a page that did not arrive.
void ProgrammingWindowModel::AbandonTransfer(FT_STATUS failure) {
  ticker_.Stop();
  linkFailure_ = failure;
  transfer_.Abandon();
  view_.PostToUiThread([this] {
    view_.SetProgressPosition(0);
    view_.SetProgramButtonEnabled(false);
    messages_.ShowError(message::NoProgrammer);
  });
}

}  // namespace lumora
