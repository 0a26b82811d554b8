#include "main_window/main_window_model.h"

namespace lumora {

MainWindowModel::MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages)
    : editor_(view, dialogs, messages),
      config_(editor_, view, dialogs, messages),
      output_(editor_, config_, dialogs, messages) {}

void MainWindowModel::FormCreate() {
  editor_.Start();
  config_.Start();
}

void MainWindowModel::PreviewTick() {
  config_.AutoStep();
  editor_.FrameStep();
}

void MainWindowModel::RefreshDisplay() {
  config_.Refresh();
  editor_.Refresh();
}

void MainWindowModel::OpenSequence() {
  config_.DisarmChain();
  editor_.OpenSequenceFile();
}

}  // namespace lumora
