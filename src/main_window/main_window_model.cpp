#include "main_window/main_window_model.h"

namespace lumora {

MainWindowModel::MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages)
    : view_(view), dialogs_(dialogs), messages_(messages) {
  store.EffectMode = EffectNormal;
}

void MainWindowModel::FormCreate() {
  store.SceneCount = 1;
  store.CurrentScene = 1;
  ShowSceneCounters();
  RedrawGrid();
  SlotPanelColor.fill(slot_colour::ButtonFace);
  autos.AutoPending = false;
  autos.ResetAutoTable();
  SelectAuto(1);
  autos.MarkAutoPanels(1);
  // The chain is armed but not followed: the first preview tick only restarts the preview.
  autos.AutoActive = false;
}

void MainWindowModel::LoadScene(int slot) {
  store.LoadScene(slot);
  screenShowsPreviewFrame_ = false;
  RedrawGrid();
}

void MainWindowModel::RedrawGrid() {
  for (int cell = 0; cell < kCellsPerScene; ++cell) view_.ShowCell(cell, store.WorkingScene[cell]);
}

void MainWindowModel::ShowSceneCounters() {
  view_.ShowSceneCounters(store.SceneCount, store.CurrentScene);
}

void MainWindowModel::ShowEffectMode() {
  if (store.EffectMode >= EffectNormal && store.EffectMode <= EffectWave2) {
    view_.ShowEffectMode(store.EffectMode);
  }
}

void MainWindowModel::StoreBackBeforeHandOff() {
  if (!previewRunning_ && !screenShowsPreviewFrame_) store.StoreScene(store.CurrentScene - 1);
}

}  // namespace lumora
