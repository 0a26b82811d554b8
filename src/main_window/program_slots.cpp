#include "main_window/main_window_model.h"

#include <algorithm>

namespace lumora {

void MainWindowModel::ProgramSlotMouseDown(int k, MouseButton button) {
  autos.StopAuto();
  if (button == MouseButton::Left) PlayProgram(k);
  if (button == MouseButton::Right) AssignProgramFromFile(k);
}

void MainWindowModel::LoadProgram(int k) {
  const int count = programs.SceneCountOf(k);
  if (count < 1 || count > MaxScenes) return;
  store.SceneCount = count;
  store.EffectMode = programs.EffectModeOf(k);
  std::ranges::copy(programs.ProgramScenes(k), store.SceneSlots.begin());
  store.CurrentScene = 1;
  ShowSceneCounters();
  LoadScene(0);
}

void MainWindowModel::ColourOccupiedSlots() {
  for (int j = 1; j <= kPrograms; ++j) {
    SlotPanelColor[j - 1] =
        programs.SceneCountOf(j) != 0 ? slot_colour::SkyBlue : slot_colour::ButtonFace;
  }
}

CellColour MainWindowModel::MarkProgramSlots(int k) {
  if (programs.SceneCountOf(k) == 0) return slot_colour::ButtonFace;
  ColourOccupiedSlots();
  return slot_colour::Green;
}

void MainWindowModel::ShowMemoryUse() {
  view_.ShowMemoryUse(programs.UsedScenes());
}

void MainWindowModel::PlayProgram(int k) {
  if (!ProgramMemory::ValidProgram(k)) return;
  StopPreview();
  LoadProgram(k);
  SlotPanelColor[k - 1] = MarkProgramSlots(k);
  StartPreview();
}

void MainWindowModel::AssignProgramFromFile(int k) {
  if (!ProgramMemory::ValidProgram(k) || !OpenSequenceFile()) return;
  const int n = store.SceneCount;
  // The scenes the slot holds now count as used: a replacement is not credited with the
  // room it would free.
  if (!programs.Fits(n)) {
    StopPreview();
    LoadProgram(k);
    SlotPanelColor[k - 1] = MarkProgramSlots(k);
    StartPreview();
    messages_.ShowWarning(message::MemoryFull);
    return;
  }
  programs.ResizeProgram(k, n);
  programs.StoreProgram(k, store.Sequence());
  programs.SetProgram(k, n, store.EffectMode);
  SlotPanelColor[k - 1] = MarkProgramSlots(k);
  ShowMemoryUse();
}

}  // namespace lumora
