#include "main_window/controller_config.h"

#include <algorithm>
#include <memory>

#include "main_window/save_dialog.h"

namespace lumora {

ControllerConfig::ControllerConfig(SequenceEditor& editor, MainWindowView& view,
                                   FileDialogs& dialogs, MessageBoxes& messages)
    : editor_(editor), view_(view), dialogs_(dialogs), messages_(messages) {}

void ControllerConfig::Start() {
  slotColours_.fill(slot_colour::ButtonFace);
  autos_.AutoPending = false;
  autos_.ResetAutoTable();
  SelectAuto(1);
  autos_.MarkAutoPanels(1);
  // The chain is armed but not followed: the first preview tick only restarts the preview.
  autos_.AutoActive = false;
}

void ControllerConfig::Refresh() {
  view_.ShowProgramSlots(slotColours_);
  view_.ShowAutoPanels(autos_.AutoPanelColor);
  view_.ShowAutoValues(autos_.AutoStart, autos_.AutoEnd, autos_.AutoLoop);
  ShowMemoryUse();
}

// DMX program slots.

void ControllerConfig::ProgramSlotMouseDown(int k, MouseButton button) {
  autos_.StopAuto();
  if (button == MouseButton::Left) PlayProgram(k);
  if (button == MouseButton::Right) AssignProgramFromFile(k);
}

void ControllerConfig::LoadProgram(int k) {
  editor_.LoadSequence(programs_.SceneCountOf(k), programs_.EffectModeOf(k),
                       programs_.ProgramScenes(k));
}

void ControllerConfig::ColourOccupiedSlots() {
  for (int j = 1; j <= kPrograms; ++j) {
    slotColours_[j - 1] =
        programs_.SceneCountOf(j) != 0 ? slot_colour::SkyBlue : slot_colour::ButtonFace;
  }
}

CellColour ControllerConfig::MarkProgramSlots(int k) {
  if (programs_.SceneCountOf(k) == 0) return slot_colour::ButtonFace;
  ColourOccupiedSlots();
  return slot_colour::Green;
}

void ControllerConfig::ShowMemoryUse() {
  view_.ShowMemoryUse(programs_.UsedScenes());
}

void ControllerConfig::PlayProgram(int k) {
  if (!ProgramMemory::ValidProgram(k)) return;
  editor_.StopPreview();
  LoadProgram(k);
  slotColours_[k - 1] = MarkProgramSlots(k);
  editor_.StartPreview();
}

void ControllerConfig::AssignProgramFromFile(int k) {
  if (!ProgramMemory::ValidProgram(k) || !editor_.OpenSequenceFile()) return;
  const SceneStore& sequence = editor_.Store();
  const int n = sequence.SceneCount;
  // The scenes the slot holds now count as used: a replacement is not credited with the
  // room it would free. The slot's own program goes back into the editor.
  if (!programs_.Fits(n)) {
    PlayProgram(k);
    messages_.ShowWarning(message::MemoryFull);
    return;
  }
  programs_.ResizeProgram(k, n);
  programs_.StoreProgram(k, sequence.Sequence());
  programs_.SetProgram(k, n, sequence.EffectMode);
  slotColours_[k - 1] = MarkProgramSlots(k);
  ShowMemoryUse();
}

// Automatic programs.

void ControllerConfig::AutoPanelMouseDown(int k) {
  if (k < 1 || k > kAutoPrograms) return;
  editor_.StopPreview();
  SelectAuto(k);
  autos_.MarkAutoPanels(k);
  autos_.AutoPending = true;
  editor_.StartPreview();
}

void ControllerConfig::SelectAuto(int k) {
  autos_.SelectAuto(k);
  ShowAutoSpinners();
}

void ControllerConfig::ShowAutoSpinners() {
  view_.SetAutoSpinners(autos_.AutoStart, autos_.AutoEnd, autos_.AutoLoop);
}

void ControllerConfig::AutoStep() {
  if (autos_.AutoPending) {
    autos_.AutoCurrent = autos_.AutoStart;
    PlayProgram(autos_.AutoCurrent);
    autos_.AutoPending = false;
    editor_.TakeSequenceEnd();  // the program begins afresh
  }
  if (autos_.AutoActive && editor_.TakeSequenceEnd() && autos_.CountLoop()) {
    autos_.NextProgram();
    PlayProgram(autos_.AutoCurrent);
  }
}

void ControllerConfig::AutoStartClick(int position) {
  autos_.SetStart(position);
  ShowAutoSpinners();
}

void ControllerConfig::AutoEndClick(int position) {
  autos_.SetEnd(position);
  ShowAutoSpinners();
}

void ControllerConfig::AutoLoopClick(int position) {
  autos_.SetLoop(position);
}

void ControllerConfig::DisarmChain() {
  autos_.AutoActive = false;
  autos_.AutoPending = false;
}

// Project file.

bool ControllerConfig::SaveProject() {
  return SaveThroughDialog(dialogs_, messages_, FileKind::Project, [this](const std::string& path) {
    return SaveProjectFile(path, programs_.Table(), programs_.Store(), autos_.AutoTable);
  });
}

bool ControllerConfig::OpenProject() {
  const auto path = dialogs_.GetOpenFileName(FileKind::Project);
  if (!path) return false;
  auto file = std::make_unique<ProjectFileData>();
  if (ReadProjectFile(*path, *file) != ReadResult::Ok) {
    messages_.ShowError(message::FileError);
    return false;
  }
  TakeProject(*file);
  LoadProgram(1);
  slotColours_[0] = MarkProgramSlots(1);
  dialogs_.FileUsed(FileKind::Project, *path);
  return true;
}

void ControllerConfig::TakeProject(const ProjectFileData& project) {
  programs_.Replace(project.ProgramTable, project.ProgramStore);
  std::ranges::copy(project.AutoValues, autos_.AutoTable.begin());
  // Every slot follows the loaded table, also when program 1 is empty.
  ColourOccupiedSlots();
  SelectAuto(1);
  autos_.MarkAutoPanels(1);
}

// Snapshots.

ConfigSnapshot ControllerConfig::Snapshot() const {
  return {programs_, autos_, slotColours_};
}

void ControllerConfig::Restore(const ConfigSnapshot& snapshot) {
  programs_ = snapshot.programs;
  autos_ = snapshot.autos;
  slotColours_ = snapshot.slotColours;
  ShowAutoSpinners();
}

}  // namespace lumora
