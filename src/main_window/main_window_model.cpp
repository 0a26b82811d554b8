#include "main_window/main_window_model.h"

namespace lumora {

MainWindowModel::MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages)
    : dialogs_(dialogs),
      editor_(view, dialogs_, messages),
      config_(editor_, view, dialogs_, messages),
      output_(editor_, config_, dialogs_, messages) {}

void MainWindowModel::FormCreate() {
  editor_.Start();
  config_.Start();
  saved_.MarkSequence(CurrentSequence());
  saved_.MarkProject(CurrentProject());
}

void MainWindowModel::PreviewTick() {
  config_.AutoStep();
  editor_.FrameStep();
}

void MainWindowModel::RefreshDisplay() {
  config_.Refresh();
  editor_.Refresh();
}

void MainWindowModel::Beat() {
  if (PreviewRunning()) PreviewTick();
  RefreshDisplay();
}

void MainWindowModel::OpenSequence() {
  Recorded([this] {
    config_.DisarmChain();
    if (editor_.OpenSequenceFile()) saved_.MarkSequence(CurrentSequence());
  });
}

void MainWindowModel::OpenGivenFile(FileKind kind, const std::string& path) {
  if (kind == FileKind::Sequence) {
    dialogs_.AnsweringOpen(kind, path, [this] { OpenSequence(); });
  } else if (kind == FileKind::Project) {
    dialogs_.AnsweringOpen(kind, path, [this] { OpenProject(); });
  }
}

bool MainWindowModel::SaveSequence() {
  if (!editor_.SaveSequence()) return false;
  saved_.MarkSequence(CurrentSequence());
  return true;
}

void MainWindowModel::OpenProject() {
  Recorded([this] {
    if (config_.OpenProject()) saved_.MarkProject(CurrentProject());
  });
}

bool MainWindowModel::SaveProject() {
  if (!config_.SaveProject()) return false;
  saved_.MarkProject(CurrentProject());
  return true;
}

void MainWindowModel::RestoreWork(const SequenceFileData* sequence,
                                  const ProjectFileData* project) {
  Recorded([&] {
    config_.DisarmChain();
    editor_.StopPreview();
    if (project) config_.TakeProject(*project);
    if (sequence) {
      editor_.LoadSequence(sequence->SceneCount, sequence->EffectMode, sequence->SceneSlots);
    } else {
      editor_.LoadScene(0);
    }
  });
  RefreshDisplay();
}

// Painting steps.

void MainWindowModel::CellMouseDown(int cell, MouseButton button) {
  EndStroke();
  if (button != MouseButton::Middle) stroke_ = CurrentState();
  editor_.CellMouseDown(cell, button);
}

void MainWindowModel::CellMouseUp(MouseButton button) {
  // Hover painting goes on after the right button's release.
  if (button == MouseButton::Left) EndStroke();
}

void MainWindowModel::EndStroke() {
  if (!stroke_) return;
  history_.Record(*stroke_, CurrentState());
  stroke_.reset();
}

void MainWindowModel::PreviousScene() {
  EndStroke();
  editor_.PreviousScene();
}

void MainWindowModel::NextScene() {
  EndStroke();
  editor_.NextScene();
}

// Undo and redo.

bool MainWindowModel::Undo() {
  EndStroke();
  const auto previous = history_.Undo(CurrentState());
  if (previous) Show(*previous);
  return previous.has_value();
}

bool MainWindowModel::Redo() {
  EndStroke();
  const auto next = history_.Redo(CurrentState());
  if (next) Show(*next);
  return next.has_value();
}

void MainWindowModel::Show(const EditState& state) {
  SequenceSnapshot sequence = state.sequence;
  sequence.paint = editor_.Paint();
  sequence.paint.HoverPaint = false;  // else the pointer would at once paint over it again
  sequence.store.ClipboardScene = editor_.Store().ClipboardScene;
  editor_.Restore(sequence);
  config_.Restore(state.config);
  RefreshDisplay();
}

}  // namespace lumora
