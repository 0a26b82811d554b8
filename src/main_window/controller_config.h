#pragma once

#include "common/dialogs.h"
#include "files/project_file.h"
#include "main_window/auto_programs.h"
#include "main_window/main_window_view.h"
#include "main_window/paint_state.h"
#include "main_window/program_memory.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// Everything of the controller configuration an undo step would take back. The program
// memory is shared with the configuration until one of them changes it, so a snapshot costs
// a few hundred bytes, not 450 KB.
struct ConfigSnapshot {
  ProgramMemory programs;
  AutoPrograms autos;
  std::array<CellColour, kPrograms> slotColours{};

  bool operator==(const ConfigSnapshot&) const = default;
};

// What goes into the controller: the 56 DMX programs and their squares, the seven automatic
// programs and their chain, and the project file that holds them. It takes sequences from
// the editor and plays programs in it; the editor knows nothing of it.
class ControllerConfig {
 public:
  ControllerConfig(SequenceEditor& editor, MainWindowView& view, FileDialogs& dialogs,
                   MessageBoxes& messages);

  // Empty squares, the default automatic table, automatic program 1 selected but idle.
  void Start();
  // The program and automatic squares, the automatic values and the memory gauge.
  void Refresh();

  // DMX program slots.
  void ProgramSlotMouseDown(int k, MouseButton button);  // the 56 program squares
  void PlayProgram(int k);
  void AssignProgramFromFile(int k);
  // Takes program k into the editor; an empty program changes nothing.
  void LoadProgram(int k);

  // Automatic programs.
  void AutoPanelMouseDown(int k);  // the 7 automatic squares, any button
  // Before each frame of the preview: begins the armed chain or moves it on at the end of
  // the sequence.
  void AutoStep();
  void AutoStartClick(int position);  // "Prg Start" spinner
  void AutoEndClick(int position);    // "Prg End" spinner
  void AutoLoopClick(int position);   // "Prg Loop" spinner
  // The chain ends and no automatic square is marked.
  void StopChain() { autos_.StopAuto(); }
  // The chain ends and is not begun by the next preview tick; the squares stay as they are.
  void DisarmChain();

  // Project file: false when cancelled, refused or failed.
  bool OpenProject();  // "Otwórz projekt"
  bool SaveProject();  // "Zapisz projekt"
  // Takes a project's programs and automatic table: every square shows its program, automatic
  // program 1 selected. The editor stays as it is.
  void TakeProject(const ProjectFileData& project);

  const ProgramMemory& Programs() const { return programs_; }
  const AutoPrograms& Autos() const { return autos_; }
  const std::array<CellColour, kPrograms>& SlotColours() const { return slotColours_; }
  ConfigSnapshot Snapshot() const;
  void Restore(const ConfigSnapshot& snapshot);

 private:
  void SelectAuto(int k);
  void ShowAutoSpinners();
  // Every slot colour from the program table: occupied sky blue, empty button face.
  void ColourOccupiedSlots();
  // Recolours the slot colours with program k highlighted; the colour for slot k.
  CellColour MarkProgramSlots(int k);
  void ShowMemoryUse();

  SequenceEditor& editor_;
  MainWindowView& view_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
  ProgramMemory programs_;
  AutoPrograms autos_;
  std::array<CellColour, kPrograms> slotColours_{};
};

}  // namespace lumora
