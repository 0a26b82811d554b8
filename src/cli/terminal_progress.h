#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <ostream>

#include "cli/progress_bar.h"
#include "programming/programming_view.h"

namespace lumora::cli {

// The programming window's view on a terminal: the progress as a bar that redraws itself
// on a terminal, as "NN %" lines otherwise; the buttons and spinners have nothing to show.
// A transfer only moves forward, so the window's bar going back to 0 after the final packet
// or a lost programmer is not shown: Complete or the error says how it ended. Nothing is
// shown before the transfer begins, so that a programmer not found shows no progress at all.
// Tasks posted from the ticker's thread wait in a queue until the command's thread runs
// them.
class TerminalProgress : public ProgrammingView {
 public:
  TerminalProgress(std::ostream& out, bool terminal) : bar_(out, terminal) {}

  void SetSpinnerEnabled(Spinner, bool) override {}
  void SetAddressSpinnerStep(int) override {}
  void SetProgramButtonEnabled(bool) override {}
  void CheckUsbProgrammerButton() override {}
  void SetProgressPosition(int position) override;
  void PostToUiThread(std::function<void()> task) override;

  // As the transfer is started: from now on the progress is shown, from 0 %.
  void Begin();
  // The most packets the progress has shown.
  int Packets() const { return packets_; }
  // Runs the tasks posted so far; waits up to timeoutMs for one when none is there.
  void RunPosted(int timeoutMs);
  // Shows 100 % for a complete transfer, and ends a bar's line.
  void Finish(bool complete) { bar_.Finish(complete); }

 private:
  ProgressBar bar_;
  bool begun_ = false;
  int packets_ = 0;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace lumora::cli
