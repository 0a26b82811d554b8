#pragma once

#include <functional>

#include "programming/programming_settings.h"

namespace lumora {

// What the programming window's logic asks of its widgets. Every method but PostToUiThread
// is called on the user-interface thread only.
class ProgrammingView {
 public:
  virtual ~ProgrammingView() = default;

  // Enables or disables a spinner and paints its number panel white (enabled) or grey.
  virtual void SetSpinnerEnabled(Spinner spinner, bool enabled) = 0;
  virtual void SetAddressSpinnerStep(int step) = 0;
  // "Programuj sterownik".
  virtual void SetProgramButtonEnabled(bool enabled) = 0;
  // Checks "Brightwave USB" without running its click handler.
  virtual void CheckUsbProgrammerButton() = 0;
  // Progress bar, 0..223.
  virtual void SetProgressPosition(int position) = 0;

  // Called from the timer thread (and possibly others). Runs task later on the
  // user-interface thread and returns at once: never runs it inline and never waits for it,
  // because the user-interface thread may itself be waiting for the tick that posts. Tasks
  // run in the order posted and are dropped once the window is gone. The Qt window uses a
  // queued call: QMetaObject::invokeMethod(window, task, Qt::QueuedConnection).
  virtual void PostToUiThread(std::function<void()> task) = 0;
};

}  // namespace lumora
