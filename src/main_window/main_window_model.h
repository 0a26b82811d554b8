#pragma once

#include <optional>

#include "main_window/auto_programs.h"
#include "common/dialogs.h"
#include "main_window/effect_steps.h"
#include "main_window/main_window_view.h"
#include "main_window/painting.h"
#include "main_window/program_store.h"
#include "main_window/scene_store.h"

namespace lumora {

// The main window's logic: the scene store, painting, editing commands, effect modes and
// the preview. The widgets forward their events here and show what the view is told.
class MainWindowModel {
 public:
  MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages);

  void FormCreate();

  // Scene store operations that also reach the screen.
  void StoreScene(int slot) { store.StoreScene(slot); }
  // Copies a slot to the screen; a scene of the store replaces any preview frame.
  void LoadScene(int slot);
  void RedrawGrid();
  void ShowSceneCounters();
  void ShowEffectMode();

  // Painting.
  void SelectPaintColour(int paletteIndex);  // 0..7, top to bottom
  void SelectPencil() { paint.ReplaceMode = false; }
  void SelectBrush() { paint.ReplaceMode = true; }
  void CellMouseDown(int cell, MouseButton button);
  void CellMouseMove(int cell);
  // Colour a click on a tube's frame gives it, or nothing for tubes without the click.
  std::optional<CellColour> TubeFrameColour(int tube) const;

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
  void PreviewTick();
  void RefreshDisplay();
  bool PreviewRunning() const { return previewRunning_; }
  // The grid shows a frame of the preview, not a scene of the store.
  bool ScreenShowsPreviewFrame() const { return screenShowsPreviewFrame_; }

  // DMX program slots.
  void ProgramSlotMouseDown(int k, MouseButton button);  // the 56 program squares
  void PlayProgram(int k);
  void AssignProgramFromFile(int k);
  // Takes program k into the editor; an empty program changes nothing.
  void LoadProgram(int k);
  // Recolours the slot colours with program k highlighted; the colour for slot k.
  CellColour MarkProgramSlots(int k);
  void ShowMemoryUse();

  // Sequence, export, project and listing files.
  void OpenSequence();  // "Otwórz"
  // Loads a sequence file chosen in the dialog and plays it; false when cancelled or refused.
  bool OpenSequenceFile();
  void SaveSequence();        // "Zapisz"
  void ExportSequence();      // "Export"
  void OpenProject();         // "Otwórz projekt"
  void SaveProject();         // "Zapisz projekt"
  void SaveFullListing();     // "save all"
  void SaveAutoListing();     // "save tab auto"
  void SaveProgramListing();  // "save tab prg"
  void SaveSceneListing();    // "save tab sc_prg"

  // Controller image.
  // "Wyślij do sterownika": builds the image and halts the preview; whether the programming
  // window may open.
  bool SendToController();
  void BuildControllerImage();
  void PackScenes();

  // Automatic programs.
  void AutoPanelMouseDown(int k);  // the 7 automatic squares, any button
  void SelectAuto(int k);
  void AutoStep();
  void AutoStartClick(int position);  // "Prg Start" spinner
  void AutoEndClick(int position);    // "Prg End" spinner
  void AutoLoopClick(int position);   // "Prg Loop" spinner
  void TabChanged() { autos.StopAuto(); }

  // Stores the scene on screen into its slot before the sequence is handed on, unless the
  // screen shows a preview frame rather than a scene of the store.
  void StoreBackBeforeHandOff();

  SceneStore store;
  PaintState paint;
  PreviewState preview;
  ProgramMemory programs;
  AutoPrograms autos;
  std::array<CellColour, kPrograms> SlotPanelColor{};
  PackedScenesArray PackedScenes{};
  ControllerImageArray ControllerImage{};
  bool ImageReady = false;

 private:
  // Editing commands first rewind a running or halted preview, so no preview frame is ever
  // stored into the sequence.
  void LeavePreview();
  // Stores the scene on screen and shows the one delta away, wrapping at the ends.
  void StepScene(int delta);
  void PaintCell(int cell);
  // Every slot colour from the program table: occupied sky blue, empty button face.
  void ColourOccupiedSlots();
  // Asks for a file name to save under; nothing when the user cancelled.
  std::optional<std::string> AskSavePath(FileKind kind);
  void ReportSave(bool saved);

  MainWindowView& view_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
  bool previewRunning_ = false;
  bool screenShowsPreviewFrame_ = false;
};

}  // namespace lumora
