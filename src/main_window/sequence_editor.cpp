#include "main_window/sequence_editor.h"

#include <algorithm>
#include <memory>

#include "files/sequence_file.h"
#include "main_window/save_dialog.h"

namespace lumora {

SequenceEditor::SequenceEditor(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages)
    : view_(view), dialogs_(dialogs), messages_(messages), paint_(view) {
  store_.EffectMode = EffectNormal;
}

void SequenceEditor::Start() {
  store_.SceneCount = 1;
  store_.CurrentScene = 1;
  ShowSceneCounters();
  RedrawGrid();
}

void SequenceEditor::LoadScene(int slot) {
  store_.LoadScene(slot);
  screenShowsPreviewFrame_ = false;
  RedrawGrid();
}

void SequenceEditor::RedrawGrid() {
  view_.ShowScene(store_.WorkingScene);
}

void SequenceEditor::ShowSceneCounters() {
  view_.ShowSceneCounters(store_.SceneCount, store_.CurrentScene);
}

void SequenceEditor::ShowEffectMode() {
  if (store_.EffectMode >= EffectNormal && store_.EffectMode <= EffectWave2) {
    view_.ShowEffectMode(store_.EffectMode);
  }
}

void SequenceEditor::Refresh() {
  ShowSceneCounters();
  ShowEffectMode();
  view_.ShowPreviewRunning(previewRunning_);
}

bool SequenceEditor::LoadSequence(int count, int effectMode, std::span<const CellColour> cells) {
  if (count < 1 || count > MaxScenes) return false;
  const auto size = static_cast<std::size_t>(count) * kCellsPerScene;
  if (cells.size() < size) return false;
  store_.SceneCount = count;
  store_.EffectMode = effectMode;
  std::copy_n(cells.begin(), size, store_.SceneSlots.begin());
  store_.CurrentScene = 1;
  ShowSceneCounters();
  LoadScene(0);
  return true;
}

// Editing commands.

void SequenceEditor::LeavePreview() {
  if (previewRunning_ || screenShowsPreviewFrame_) {
    StopPreview();
    LoadScene(0);
    ShowSceneCounters();
  }
}

void SequenceEditor::StepScene(int delta) {
  LeavePreview();
  store_.StoreScene(store_.CurrentScene - 1);
  store_.CurrentScene += delta;
  // Wraps around at both ends of the sequence.
  if (store_.CurrentScene < 1) store_.CurrentScene = store_.SceneCount;
  if (store_.CurrentScene > store_.SceneCount) store_.CurrentScene = 1;
  LoadScene(store_.CurrentScene - 1);
  ShowSceneCounters();
}

void SequenceEditor::AddScene() {
  LeavePreview();
  store_.StoreScene(store_.CurrentScene - 1);
  store_.SceneCount += 1;
  if (store_.SceneCount > MaxScenes) store_.SceneCount = MaxScenes;
  // The scene on screen becomes the last scene; the grid already shows it.
  store_.StoreScene(store_.SceneCount - 1);
  store_.CurrentScene = store_.SceneCount;
  ShowSceneCounters();
}

void SequenceEditor::DeleteScene() {
  LeavePreview();
  // The scene on screen is the one being removed, so it is not stored first.
  store_.SceneCount -= 1;
  if (store_.SceneCount < 1) {
    store_.SceneCount = 1;
  } else {
    if (store_.SceneCount < store_.CurrentScene) {
      store_.CurrentScene = store_.SceneCount;
    } else {
      for (int i = store_.CurrentScene; i <= store_.SceneCount; ++i) store_.MoveScene(i - 1, i);
    }
    LoadScene(store_.CurrentScene - 1);
  }
  if (store_.SceneCount == 1) store_.EffectMode = EffectNormal;
}

void SequenceEditor::CopyScene() {
  LeavePreview();
  store_.StoreScene(store_.CurrentScene - 1);
  store_.CopyToClipboard();
}

void SequenceEditor::PasteScene() {
  LeavePreview();
  // Not stored first: painting on the scene on screen since it was stored is lost.
  if (store_.SceneCount + 1 <= MaxScenes) {
    store_.SceneCount += 1;
    for (int k = store_.SceneCount; k >= store_.CurrentScene + 1; --k) {
      store_.MoveScene(k - 1, k - 2);
    }
    store_.PasteToSlot(store_.CurrentScene);
    store_.CurrentScene += 1;
    LoadScene(store_.CurrentScene - 1);
  }
  ShowSceneCounters();
}

void SequenceEditor::SelectEffectMode(int mode) {
  // A wave needs at least two scenes.
  store_.EffectMode = (mode != EffectNormal && store_.SceneCount == 1) ? EffectNormal : mode;
}

// Preview.

void SequenceEditor::StartPreview() {
  preview_.RestartPending = true;
  store_.CurrentScene = 1;
  previewRunning_ = true;
  view_.EnablePreviewTimer(true);
}

void SequenceEditor::StopPreview() {
  previewRunning_ = false;
  view_.EnablePreviewTimer(false);
  store_.CurrentScene = 1;
}

void SequenceEditor::HaltPreview() {
  previewRunning_ = false;
  view_.EnablePreviewTimer(false);
  // "fala2" moves its position one past the last scene before it restarts; a halted editor
  // still names a scene of its sequence.
  store_.CurrentScene = std::clamp(store_.CurrentScene, 1, store_.SceneCount);
}

void SequenceEditor::Play() {
  // Pressed while running, the preview restarts from scene 1 without a store-back.
  StoreBackBeforeHandOff();
  StartPreview();
}

void SequenceEditor::Stop() {
  StopPreview();
  LoadScene(store_.CurrentScene - 1);
  ShowSceneCounters();
}

void SequenceEditor::FrameStep() {
  switch (store_.EffectMode) {
    case EffectWave1:
      Wave1Step(store_, preview_);
      break;
    case EffectNormal:
      NormalStep(store_, preview_);
      ShowSceneCounters();
      break;
    case EffectWave2:
      Wave2Step(store_, preview_);
      break;
    default:
      return;  // an unknown mode leaves the grid still
  }
  RedrawGrid();
  screenShowsPreviewFrame_ = true;
}

bool SequenceEditor::TakeSequenceEnd() {
  const bool ended = preview_.SequenceEnded;
  preview_.SequenceEnded = false;
  return ended;
}

void SequenceEditor::StoreBackBeforeHandOff() {
  if (ScreenHoldsCurrentScene()) store_.StoreScene(store_.CurrentScene - 1);
}

// Sequence file.

bool SequenceEditor::OpenSequenceFile() {
  const auto path = dialogs_.GetOpenFileName(FileKind::Sequence);
  if (!path) return false;
  auto file = std::make_unique<SequenceFileData>();
  const ReadResult result = ReadSequenceFile(*path, *file);
  // Only a file that could be opened for reading stops the preview, even when it is refused.
  const bool opened = result == ReadResult::Ok || result == ReadResult::Invalid;
  if (opened && previewRunning_) StopPreview();
  // A refused file changes nothing of the sequence or the screen.
  if (result != ReadResult::Ok ||
      !LoadSequence(file->SceneCount, file->EffectMode, file->SceneSlots)) {
    messages_.ShowError(message::FileError);
    return false;
  }
  dialogs_.FileUsed(FileKind::Sequence, *path);
  StartPreview();
  return true;
}

bool SequenceEditor::SaveSequence() {
  StoreBackBeforeHandOff();
  return SaveThroughDialog(
      dialogs_, messages_, FileKind::Sequence, [this](const std::string& path) {
        return SaveSequenceFile(path, store_.SceneCount, store_.EffectMode, store_.Sequence());
      });
}

// Snapshots.

SequenceSnapshot SequenceEditor::Snapshot() const {
  return {store_, paint_.State(), preview_, previewRunning_, screenShowsPreviewFrame_};
}

SequenceSnapshot SequenceEditor::EditingSnapshot() const {
  SequenceSnapshot snapshot = Snapshot();
  if (snapshot.previewRunning || snapshot.screenShowsPreviewFrame) {
    // What LeavePreview does: stop at scene 1 and show its slot.
    snapshot.previewRunning = false;
    snapshot.screenShowsPreviewFrame = false;
    snapshot.store.CurrentScene = 1;
    snapshot.store.LoadScene(0);
  }
  return snapshot;
}

void SequenceEditor::Restore(const SequenceSnapshot& snapshot) {
  store_ = snapshot.store;
  paint_.Restore(snapshot.paint);
  preview_ = snapshot.preview;
  previewRunning_ = snapshot.previewRunning;
  screenShowsPreviewFrame_ = snapshot.screenShowsPreviewFrame;
  view_.EnablePreviewTimer(previewRunning_);
  RedrawGrid();
  ShowSceneCounters();
}

}  // namespace lumora
