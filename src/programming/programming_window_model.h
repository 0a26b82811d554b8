#pragma once

#include <atomic>

#include "common/dialogs.h"
#include "common/program_tables.h"
#include "programming/programming_link.h"
#include "programming/programming_settings.h"
#include "programming/programming_transfer.h"
#include "programming/programming_view.h"
#include "programming/usb_adapter.h"
#include "timer/mm_timer.h"

namespace lumora {

// Tick periods of the two programmers, in ms.
inline constexpr int kUsbTickMs = 50;
inline constexpr int kStandardTickMs = 300;

// The programming window's logic: settings, adapter link and transfer. The handlers run on
// the user-interface thread, MMTimerMMTimer on the timer's thread. Whatever reconfigures or
// closes the adapter first closes the timer gate and waits for a running tick, so the two
// threads never use the adapter at once. The adapter, timer, view, message boxes and image
// outlive the model; its destructor stops the ticks and closes the adapter.
class ProgrammingWindowModel {
 public:
  ProgrammingWindowModel(UsbAdapter& adapter, TMMTimer& timer, ProgrammingView& view,
                         MessageBoxes& messages, const ControllerImageArray& image);
  ~ProgrammingWindowModel();
  ProgrammingWindowModel(const ProgrammingWindowModel&) = delete;
  ProgrammingWindowModel& operator=(const ProgrammingWindowModel&) = delete;

  // Once, when the window is created: initial widget states and the timer's handler.
  void FormCreate();
  // Each time the window is shown: opens and configures the adapter.
  void FormActivate();
  // When the window is hidden: stops the ticks and closes the adapter.
  void FormClose();

  void RadioButton1Click();  // "Wszystkie sterowniki"
  void RadioButton2Click();  // "Sterownik o adresie równym:"
  void RadioButton3Click();  // "Program"
  void RadioButton4Click();  // "Auto"
  void RadioButton5Click();  // "Brightwave USB"
  void RadioButton6Click();  // "Standard programator"
  // Spinner handlers take the spinner's new position.
  void UpDown1Click(int position);  // DMX address
  void UpDown1MouseUp();
  void UpDown2Click(int position);  // DMX program
  void UpDown3Click(int position);  // speed
  void UpDown4Click(int position);  // number of tubes
  void UpDown5Click(int position);  // auto program
  void SpeedButton1Click();         // "Programuj sterownik"

  // One tick of the timer thread.
  void MMTimerMMTimer();

  const ProgrammingSettings& Settings() const { return settings_; }
  TransferState State() const { return transfer_.State(); }

 private:
  void SelectUsbProgrammerOnActivation();
  void OpenGateFor(ProgrammerKind kind, int tickMs);
  void CloseGateAndWait();
  void UsbTick();
  void StandardTick();
  void ShowProgress(int position);
  void AbandonTransfer();

  TMMTimer& timer_;
  ProgrammingView& view_;
  MessageBoxes& messages_;
  const ControllerImageArray& image_;
  ProgrammingSettings settings_;
  ProgrammingLink link_;
  ProgrammingTransfer transfer_;
  // Set while the user-interface thread closes the gate: a standard burst stops after the
  // frame it is sending instead of holding the window for the rest of the transfer.
  std::atomic<bool> closing_{false};
};

}  // namespace lumora
