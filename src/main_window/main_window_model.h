#pragma once

#include <optional>

#include "common/dialogs.h"
#include "main_window/controller_config.h"
#include "main_window/controller_output.h"
#include "main_window/main_window_view.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// The main window's logic: the sequence editor, the controller configuration, which uses the
// editor, and what is made of both for the controller. The widgets forward their events
// here; what needs more than one part is put together here, everything else goes to the
// part it belongs to.
class MainWindowModel {
 public:
  MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages);

  void FormCreate();

  // Painting.
  void SelectPaintColour(int paletteIndex) { editor_.SelectPaintColour(paletteIndex); }
  void SelectPencil() { editor_.SelectPencil(); }
  void SelectBrush() { editor_.SelectBrush(); }
  void CellMouseDown(int cell, MouseButton button) { editor_.CellMouseDown(cell, button); }
  void CellMouseMove(int cell) { editor_.CellMouseMove(cell); }
  std::optional<CellColour> TubeFrameColour(int tube) const {
    return editor_.TubeFrameColour(tube);
  }

  // Editing commands.
  void PreviousScene() { editor_.PreviousScene(); }
  void NextScene() { editor_.NextScene(); }
  void AddScene() { editor_.AddScene(); }
  void DeleteScene() { editor_.DeleteScene(); }
  void CopyScene() { editor_.CopyScene(); }
  void PasteScene() { editor_.PasteScene(); }
  void SelectEffectMode(int mode) { editor_.SelectEffectMode(mode); }

  // Preview.
  void Play() { editor_.Play(); }
  void Stop() { editor_.Stop(); }
  // The automatic chain moves on first, then the frame steps.
  void PreviewTick();
  // Everything the 100 ms refresh shows.
  void RefreshDisplay();
  bool PreviewRunning() const { return editor_.PreviewRunning(); }
  bool ScreenShowsPreviewFrame() const { return editor_.ScreenShowsPreviewFrame(); }

  // DMX program slots and automatic programs.
  void ProgramSlotMouseDown(int k, MouseButton button) { config_.ProgramSlotMouseDown(k, button); }
  void AssignProgramFromFile(int k) { config_.AssignProgramFromFile(k); }
  void AutoPanelMouseDown(int k) { config_.AutoPanelMouseDown(k); }
  void AutoStartClick(int position) { config_.AutoStartClick(position); }
  void AutoEndClick(int position) { config_.AutoEndClick(position); }
  void AutoLoopClick(int position) { config_.AutoLoopClick(position); }
  void TabChanged() { config_.StopChain(); }

  // Files.
  // "Otwórz": also ends the automatic chain, even when cancelled.
  void OpenSequence();
  void SaveSequence() { editor_.SaveSequence(); }
  void ExportSequence() { output_.ExportSequence(); }
  void OpenProject() { config_.OpenProject(); }
  void SaveProject() { config_.SaveProject(); }
  void SaveFullListing() { output_.SaveFullListing(); }
  void SaveAutoListing() { output_.SaveAutoListing(); }
  void SaveProgramListing() { output_.SaveProgramListing(); }
  void SaveSceneListing() { output_.SaveSceneListing(); }

  bool SendToController() { return output_.SendToController(); }

  SequenceEditor& Editor() { return editor_; }
  const SequenceEditor& Editor() const { return editor_; }
  ControllerConfig& Config() { return config_; }
  const ControllerConfig& Config() const { return config_; }
  ControllerOutput& Output() { return output_; }
  const ControllerOutput& Output() const { return output_; }

 private:
  SequenceEditor editor_;
  ControllerConfig config_;
  ControllerOutput output_;
};

}  // namespace lumora
