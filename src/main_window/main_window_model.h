#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "main_window/controller_config.h"
#include "main_window/controller_output.h"
#include "main_window/edit_history.h"
#include "main_window/given_path_dialogs.h"
#include "main_window/main_window_view.h"
#include "main_window/saved_work.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// The main window's logic: the sequence editor, the controller configuration, which uses the
// editor, and what is made of both for the controller. The widgets forward their events
// here; what needs more than one part is put together here, everything else goes to the
// part it belongs to. The commands that change the work are recorded for Undo and Redo.
class MainWindowModel {
 public:
  MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages);

  void FormCreate();

  // Painting.
  void SelectPaintColour(int paletteIndex) { editor_.SelectPaintColour(paletteIndex); }
  void SelectPencil() { editor_.SelectPencil(); }
  void SelectBrush() { editor_.SelectBrush(); }
  // A press on a cell begins a painting step and ends the one before: a left stroke lasts
  // to its release, a hover run from its right press to the next press on a cell, or to the
  // next command that changes the sequence, the scene on screen or the preview, or an undo.
  void CellMouseDown(int cell, MouseButton button);
  void CellMouseMove(int cell) { editor_.CellMouseMove(cell); }
  void CellMouseUp(MouseButton button);
  std::optional<CellColour> TubeFrameColour(int tube) const {
    return editor_.TubeFrameColour(tube);
  }

  // Editing commands.
  void PreviousScene();
  void NextScene();
  void AddScene() {
    Recorded([this] { editor_.AddScene(); });
  }
  void DeleteScene() {
    Recorded([this] { editor_.DeleteScene(); });
  }
  void CopyScene() {
    EndStroke();
    editor_.CopyScene();
  }
  void PasteScene() {
    Recorded([this] { editor_.PasteScene(); });
  }
  void SelectEffectMode(int mode) {
    Recorded([this, mode] { editor_.SelectEffectMode(mode); });
  }

  // Undo and redo: the preview stops first and the taken-back state is shown; the tools and
  // the clipboard stay as they are and hover painting ends. Without a step nothing changes
  // and the answer is false.
  bool Undo();
  bool Redo();
  const EditHistory& History() const { return history_; }

  // Preview.
  void Play() {
    EndStroke();
    editor_.Play();
  }
  void Stop() {
    EndStroke();
    editor_.Stop();
  }
  // The automatic chain moves on first, then the frame steps.
  void PreviewTick();
  // Everything the 100 ms refresh shows.
  void RefreshDisplay();
  // The window's 100 ms beat: while the preview runs, its frame first, so that the refresh
  // shows the frame's counters in the same repaint.
  void Beat();
  bool PreviewRunning() const { return editor_.PreviewRunning(); }
  bool ScreenShowsPreviewFrame() const { return editor_.ScreenShowsPreviewFrame(); }

  // DMX program slots and automatic programs.
  void ProgramSlotMouseDown(int k, MouseButton button) {
    Recorded([this, k, button] { config_.ProgramSlotMouseDown(k, button); });
  }
  void AssignProgramFromFile(int k) {
    Recorded([this, k] { config_.AssignProgramFromFile(k); });
  }
  void AutoPanelMouseDown(int k) {
    EndStroke();
    config_.AutoPanelMouseDown(k);
  }
  void AutoStartClick(int position) {
    Recorded([this, position] { config_.AutoStartClick(position); });
  }
  void AutoEndClick(int position) {
    Recorded([this, position] { config_.AutoEndClick(position); });
  }
  void AutoLoopClick(int position) {
    Recorded([this, position] { config_.AutoLoopClick(position); });
  }
  void TabChanged() {
    EndStroke();
    config_.StopChain();
  }

  // Files. Opening and saving mark the sequence or the project as in its file; the saves say
  // whether the file was written.
  // "Otwórz": also ends the automatic chain, even when cancelled.
  void OpenSequence();
  bool SaveSequence();
  void ExportSequence() { output_.ExportSequence(); }
  void OpenProject();
  bool SaveProject();
  void SaveFullListing() { output_.SaveFullListing(); }
  void SaveAutoListing() { output_.SaveAutoListing(); }
  void SaveProgramListing() { output_.SaveProgramListing(); }
  void SaveSceneListing() { output_.SaveSceneListing(); }
  // Opens the sequence or project at path exactly as "Otwórz" or "Otwórz projekt" does when
  // the path is chosen in its dialog: a file given on the command line, dropped onto the
  // window or picked from the recent files. A listing is never opened.
  void OpenGivenFile(FileKind kind, const std::string& path);
  // The sequences or projects read or written last that are still there, newest first.
  std::vector<std::string> RecentFiles(FileKind kind) { return dialogs_.RecentFiles(kind); }

  bool SendToController() { return output_.SendToController(); }

  // Changes in no file: the sequence and the project as a file would hold them now, and the
  // parts that differ from their files.
  SequenceWork CurrentSequence() const { return SequenceWorkOf(editor_); }
  ProjectWork CurrentProject() const { return ProjectWorkOf(config_); }
  UnsavedWork Unsaved() const { return saved_.Unsaved(CurrentSequence(), CurrentProject()); }
  const SavedWork& Saved() const { return saved_; }
  // A close lets the changes go: the work as it is now has none.
  void GiveUpUnsaved() { saved_.GiveUp(CurrentSequence(), CurrentProject()); }
  // Takes back work kept for recovery, each part given as its file holds it, as one step: the
  // project's programs and automatic table, then the sequence, shown stopped at scene 1.
  void RestoreWork(const SequenceFileData* sequence, const ProjectFileData* project);

  SequenceEditor& Editor() { return editor_; }
  const SequenceEditor& Editor() const { return editor_; }
  ControllerConfig& Config() { return config_; }
  const ControllerConfig& Config() const { return config_; }
  ControllerOutput& Output() { return output_; }
  const ControllerOutput& Output() const { return output_; }

 private:
  // The state as a command finds it once it has left the preview.
  EditState CurrentState() const { return {editor_.EditingSnapshot(), config_.Snapshot()}; }
  // Runs the command and keeps the state before it as a step when it changed the work.
  template <typename Command>
  void Recorded(Command command) {
    EndStroke();
    const EditState before = CurrentState();
    command();
    history_.Record(before, CurrentState());
  }
  void EndStroke();
  void Show(const EditState& state);

  // The dialogs every part asks, which a file given from outside answers.
  GivenPathDialogs dialogs_;
  SequenceEditor editor_;
  ControllerConfig config_;
  ControllerOutput output_;
  EditHistory history_;
  // The state before the painting step under way.
  std::optional<EditState> stroke_;
  SavedWork saved_;
};

}  // namespace lumora
