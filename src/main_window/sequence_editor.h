#pragma once

#include <optional>
#include <span>

#include "common/dialogs.h"
#include "main_window/effect_steps.h"
#include "main_window/main_window_view.h"
#include "main_window/paint_tools.h"
#include "main_window/scene_store.h"

namespace lumora {

// Everything of the sequence editor an undo step would take back: about 50 KB.
struct SequenceSnapshot {
  SceneStore store;
  PaintState paint;
  PreviewState preview;
  bool previewRunning = false;
  bool screenShowsPreviewFrame = false;

  bool operator==(const SequenceSnapshot&) const = default;
};

// The sequence being edited: the scene store, painting, the editing commands, effect modes,
// the preview and the sequence file. The grid shows what it is told.
class SequenceEditor {
 public:
  SequenceEditor(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages);

  // One black scene, shown.
  void Start();

  // Copies a slot to the screen; a scene of the store replaces any preview frame.
  void LoadScene(int slot);
  void RedrawGrid();
  void ShowSceneCounters();
  // The counters, the effect mode and the play button.
  void Refresh();
  // Takes count scenes of cells as the sequence and shows scene 1, as a file or a program
  // brings them; a count outside 1..99 or too few cells change nothing. Whether the preview
  // runs stays as it was.
  bool LoadSequence(int count, int effectMode, std::span<const CellColour> cells);

  // Painting on the scene on screen.
  void SelectPaintColour(int paletteIndex) { paint_.SelectPaintColour(paletteIndex); }
  void SelectPencil() { paint_.SelectPencil(); }
  void SelectBrush() { paint_.SelectBrush(); }
  void CellMouseDown(int cell, MouseButton button) {
    paint_.CellMouseDown(store_.WorkingScene, cell, button);
  }
  void CellMouseMove(int cell) { paint_.CellMouseMove(store_.WorkingScene, cell); }
  std::optional<CellColour> TubeFrameColour(int tube) const { return paint_.TubeFrameColour(tube); }

  // Editing commands.
  void PreviousScene() { StepScene(-1); }
  void NextScene() { StepScene(+1); }
  void AddScene();                  // "Dodaj"
  void DeleteScene();               // "Usuń"
  void CopyScene();                 // "kopiuj"
  void PasteScene();                // "wklej"
  void SelectEffectMode(int mode);  // the radio buttons "normal", "fala1", "fala2"

  // Preview.
  void Play();
  void Stop();
  void StartPreview();
  void StopPreview();
  // Stops the preview without rewinding: the frame on screen stays, and is never stored back.
  void HaltPreview();
  // One frame of the preview in the effect mode of the sequence.
  void FrameStep();
  // Whether the sequence has been played to its end since the last call; clears it.
  bool TakeSequenceEnd();
  bool PreviewRunning() const { return previewRunning_; }
  // The grid shows a frame of the preview, not a scene of the store.
  bool ScreenShowsPreviewFrame() const { return screenShowsPreviewFrame_; }

  // Sequence file.
  // Loads a sequence file chosen in the dialog and plays it; false when cancelled or refused.
  bool OpenSequenceFile();
  bool SaveSequence();  // "Zapisz": false when cancelled or failed

  // Stores the scene on screen into its slot before the sequence is handed on, unless the
  // screen shows a preview frame rather than a scene of the store.
  void StoreBackBeforeHandOff();
  bool ScreenHoldsCurrentScene() const { return !previewRunning_ && !screenShowsPreviewFrame_; }

  const SceneStore& Store() const { return store_; }
  const PaintState& Paint() const { return paint_.State(); }

  SequenceSnapshot Snapshot() const;
  // The state as an editing command finds it once it has left the preview: stopped, scene 1
  // shown from its slot. The editor itself stays as it is.
  SequenceSnapshot EditingSnapshot() const;
  // Takes the state back and shows it.
  void Restore(const SequenceSnapshot& snapshot);

 private:
  void ShowEffectMode();
  // Editing commands first rewind a running or halted preview, so no preview frame is ever
  // stored into the sequence.
  void LeavePreview();
  // Stores the scene on screen and shows the one delta away, wrapping at the ends.
  void StepScene(int delta);

  MainWindowView& view_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
  SceneStore store_;
  PaintTools paint_;
  PreviewState preview_;
  bool previewRunning_ = false;
  bool screenShowsPreviewFrame_ = false;
};

}  // namespace lumora
