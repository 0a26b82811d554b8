#include "cli/program_command.h"

#include <chrono>
#include <memory>

#include "cli/controller_files.h"
#include "cli/exit_codes.h"
#include "cli/kept_messages.h"
#include "cli/terminal_progress.h"
#include "programming/adapter_choice.h"
#include "programming/adapters/system_usb_adapter.h"
#include "programming/programming_window_model.h"
#include "timer/mm_timer.h"

namespace lumora::cli {

namespace {

// No transfer takes this long: the USB programmer needs about 11 s.
constexpr auto kTransferLimit = std::chrono::seconds(120);

// The window's controls, in the order a person would set them before "Programuj sterownik".
void ApplySettings(const ProgramRequest& request, ProgrammingWindowModel& model) {
  if (request.programmer == ProgrammerChoice::Standard) model.ChooseStandardProgrammer();
  if (request.address) {
    model.ChooseAddress();
    model.SetAddress(*request.address);
    model.ReleaseAddressSpinner();
  } else {
    model.ChooseAllControllers();
  }
  if (request.soloAuto) {
    model.ChooseAuto();
    model.SetAutoProgram(*request.soloAuto);
  } else {
    model.ChooseProgram();
    if (request.soloProgram) model.SetProgram(*request.soloProgram);
  }
  if (request.speed) model.SetSpeed(*request.speed);
  if (request.tubes) model.SetTubeCount(*request.tubes);
}

}  // namespace

int ProgramController(const ProgramRequest& request, std::ostream& out, std::ostream& err) {
  const auto image = BuildImage(request.project, request.tableFile, err);
  if (!image) return kExitRefused;
  AdapterChoice choice = ChooseAdapter(request.adapter, MakeSystemUsbAdapter);
  if (!choice.Adapter) {
    err << "--adapter " << request.adapter << ": " << choice.Error << "\n";
    return kExitUsage;
  }
  TMMTimer timer;
  TerminalProgress view(out, request.terminal);
  KeptMessages messages;  // the programming window's, for the exit code and the terminal
  bool finished = false;
  FT_STATUS failure = FT_OK;
  {
    ProgrammingWindowModel model(*choice.Adapter, timer, view, messages);
    model.FormCreate();
    model.HandOver(*image);
    model.Open();
    if (messages.shown.empty()) {
      ApplySettings(request, model);
      model.StartTransfer();
      const auto deadline = std::chrono::steady_clock::now() + kTransferLimit;
      while (model.State() != TransferState::Finished && messages.shown.empty() &&
             std::chrono::steady_clock::now() < deadline) {
        view.RunPosted(100);
      }
      // Waits for the tick that sends the final packet.
      model.Close();
      view.RunPosted(0);
      finished = model.State() == TransferState::Finished;
      failure = model.LinkFailure();
    }
  }
  view.Finish(finished && messages.shown.empty());
  if (!messages.shown.empty()) {
    err << "programmer lost: " << messages.shown.front() << "\n";
    if (failure == kLineStalled) {
      err << "the line stalled: the programmer did not take a write within " << kLineTimeoutMs
          << " ms, so the controller did not receive the image\n";
    }
    return kExitDeviceLost;
  }
  if (!finished) {
    err << "programmer lost: the transfer did not complete within " << kTransferLimit.count()
        << " s\n";
    return kExitDeviceLost;
  }
  out << "transfer complete\n";
  return kExitSuccess;
}

}  // namespace lumora::cli
