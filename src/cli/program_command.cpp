#include "cli/program_command.h"

#include <chrono>
#include <memory>

#include "cli/controller_files.h"
#include "cli/exit_codes.h"
#include "cli/interruption.h"
#include "cli/kept_messages.h"
#include "cli/terminal_progress.h"
#include "programming/adapter_choice.h"
#include "programming/adapters/serial_device.h"
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

// Why --adapter gave no adapter, in the terminal's words.
std::string AdapterProblemText(const AdapterChoice& choice) {
  const std::string serial(kSerialAdapterPrefix);
  switch (choice.Problem) {
    case AdapterProblem::NoDirectory:
      return "no folder after \"virtual:\"";
    case AdapterProblem::DirectoryNotMade:
      return "cannot make the folder \"" + choice.Value + "\"";
    case AdapterProblem::DirectoryNotWritable:
      return "cannot write into the folder \"" + choice.Value + "\"";
    case AdapterProblem::NoUsbDriver:
      return "the USB driver is not available";
    case AdapterProblem::NoSerialDevice:
      return "no device after \"" + serial + "\"";
    case AdapterProblem::UnknownValue:
    case AdapterProblem::None:
      break;
  }
  return "unknown adapter; give usb, virtual, virtual:DIR or " + serial + "DEVICE";
}

// Why the programmer could not be opened: the window's first line, "Brak połączenia z
// programatorem", and the line below it for a present adapter or a missing driver.
std::string OpeningFailureText(FT_STATUS status) {
  if (status == kAdapterAccessDenied) {
    return "the programmer is plugged in, but this user may not open it: see the section "
           "\"Programming from a normal user account\" of the README";
  }
  if (status == kAdapterDriverMissing) {
    return "no programmer found: the USB adapter's driver library (FTD2XX.DLL) is not "
           "installed";
  }
  return "no programmer found: plug the programmer in, or give another --adapter";
}

// How far a transfer that did not complete came, for the line that says so.
std::string ProgressText(int packets) {
  return std::to_string(packets * 100 / kTransferPackets) + " % (" + std::to_string(packets) +
         " of " + std::to_string(kTransferPackets) + " packets sent)";
}

}  // namespace

int ProgramController(const ProgramRequest& request, std::ostream& out, std::ostream& err) {
  // Caught from here on: the transfer stops as it does when the programmer is lost.
  const InterruptionCatcher interruptions;
  const auto image = BuildImage(request.project, request.tableFile, err);
  if (!image) return kExitRefused;
  AdapterChoice choice =
      ChooseAdapter(request.adapter, MakeSystemUsbAdapter, request.reportLanguage);
  if (!choice.Adapter) {
    err << "--adapter " << request.adapter << ": " << AdapterProblemText(choice) << "\n";
    return kExitUsage;
  }
  TMMTimer timer;
  TerminalProgress view(out, request.terminal);
  KeptMessages messages;  // the programming window's, for the exit code
  bool opened = false;
  bool finished = false;
  FT_STATUS failure = FT_OK;
  Interruption interruption = Interruption::None;
  {
    ProgrammingWindowModel model(*choice.Adapter, timer, view, messages);
    model.FormCreate();
    model.HandOver(*image);
    model.Open();
    opened = messages.shown.empty();
    if (opened) {
      ApplySettings(request, model);
      view.Begin();
      model.StartTransfer();
      const auto deadline = std::chrono::steady_clock::now() + kTransferLimit;
      while (model.State() != TransferState::Finished && messages.shown.empty() &&
             interruptions.Caught() == Interruption::None &&
             std::chrono::steady_clock::now() < deadline) {
        view.RunPosted(100);
      }
      interruption = interruptions.Caught();
    }
    // Waits for the tick that sends the final packet, or for the one under way when the
    // transfer is given up: the adapter is closed between packets, the line left idle.
    model.Close();
    view.RunPosted(0);
    finished = model.State() == TransferState::Finished;
    failure = model.LinkFailure();
  }
  if (!opened) {
    err << OpeningFailureText(failure) << "\n";
    return kExitDeviceLost;
  }
  const bool complete = finished && messages.shown.empty();
  view.Finish(complete);
  if (complete) {
    out << "transfer complete\n";
    return kExitSuccess;
  }
  if (interruption != Interruption::None) {
    err << "interrupted by " << NameOf(interruption) << " at " << ProgressText(view.Packets())
        << ": the transfer was stopped, so the controller did not receive the image\n";
    return ExitCodeOf(interruption);
  }
  if (!messages.shown.empty()) {
    err << "programmer lost at " << ProgressText(view.Packets());
    if (failure == kLineStalled) {
      err << ": the line stalled: the programmer did not take a write within " << kLineTimeoutMs
          << " ms, so the controller did not receive the image\n";
    } else {
      err << ": the programmer went away, so the controller did not receive the image\n";
    }
    return kExitDeviceLost;
  }
  err << "programmer lost: the transfer did not complete within " << kTransferLimit.count()
      << " s\n";
  return kExitDeviceLost;
}

}  // namespace lumora::cli
