#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "common/dialogs.h"
#include "common/program_tables.h"
#include "programming/adapters/usb_adapter.h"
#include "programming/programming_link.h"
#include "programming/programming_packet.h"
#include "programming/programming_settings.h"
#include "programming/programming_transfer.h"
#include "programming/programming_view.h"
#include "timer/ticker.h"

namespace lumora {

// Tick periods of the two programmers, in ms.
inline constexpr int kUsbTickMs = 50;
inline constexpr int kStandardTickMs = 300;

// The programming window's logic: settings, adapter link and transfer. The commands run on
// the user-interface thread, Tick on the ticker's. Whatever reconfigures or closes the
// adapter first stops the ticker and waits for a running tick, so the two threads never use
// the adapter at once. That wait stays short on a stalled line: each write gives up at the
// line's time-out, and the write that fails ends the tick. The adapter, ticker, view and message
// boxes outlive the model; its destructor stops the ticks and closes the adapter.
class ProgrammingWindowModel {
 public:
  ProgrammingWindowModel(UsbAdapter& adapter, Ticker& ticker, ProgrammingView& view,
                         MessageBoxes& messages);
  ~ProgrammingWindowModel();
  ProgrammingWindowModel(const ProgrammingWindowModel&) = delete;
  ProgrammingWindowModel& operator=(const ProgrammingWindowModel&) = delete;

  // Once, when the window is created: initial widget states.
  void FormCreate();
  // "Wyślij do sterownika", while the window is hidden: the image the next opening sends.
  void HandOver(const ControllerImageArray& image) { transfer_.HandOver(image); }
  // Each time the window is shown: opens and configures the adapter.
  void Open();
  // When the window is hidden: stops the ticks and closes the adapter.
  void Close();

  void ChooseAllControllers();
  void ChooseAddress();
  void ChooseProgram();
  void ChooseAuto();
  void ChooseUsbProgrammer();
  void ChooseStandardProgrammer();
  // The spinners' new positions.
  void SetAddress(int position);
  void ReleaseAddressSpinner();
  void SetProgram(int position);
  void SetSpeed(int position);
  void SetTubeCount(int position);
  void SetAutoProgram(int position);
  // "Programuj sterownik".
  void StartTransfer() { transfer_.Request(); }

  // One tick of the ticker's thread.
  void Tick();

  const ProgrammingSettings& Settings() const { return settings_; }
  TransferState State() const { return transfer_.State(); }
  // The status of the adapter call that failed the last opening (kAdapterAccessDenied for a
  // present adapter the user may not open) or ended the last transfer (kLineStalled for a line
  // that stopped taking bytes); FT_OK while none has failed since the last opening.
  FT_STATUS LinkFailure() const { return linkFailure_; }

 private:
  void SelectUsbProgrammerOnOpening();
  void StartTicks(ProgrammerKind kind, int tickMs);
  void StopTicksAndWait();
  void UsbTick();
  void StandardTick();
  void ShowProgress(int position);
  void AbandonTransfer(FT_STATUS failure);

  Ticker& ticker_;
  ProgrammingView& view_;
  MessageBoxes& messages_;
  ProgrammingSettings settings_;
  ProgrammingLink link_;
  ProgrammingTransfer transfer_;
  // Timer thread only: the packet being sent, repeated by the frames after the final one.
  std::array<std::uint8_t, kPacketSlots> packet_{};
  // Set while the user-interface thread stops the ticks: a standard burst stops after the
  // frame it is sending instead of holding the window for the rest of the transfer.
  std::atomic<bool> closing_{false};
  // Written by the tick that ends a transfer and by the opening, read from any thread.
  std::atomic<FT_STATUS> linkFailure_{FT_OK};
};

}  // namespace lumora
