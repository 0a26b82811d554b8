#include "main_window/main_window_model.h"

namespace lumora {

void MainWindowModel::StartPreview() {
  preview.RestartPending = true;
  store.CurrentScene = 1;
  previewRunning_ = true;
  view_.EnablePreviewTimer(true);
}

void MainWindowModel::StopPreview() {
  previewRunning_ = false;
  view_.EnablePreviewTimer(false);
  store.CurrentScene = 1;
}

void MainWindowModel::Play() {
  // Pressed while running, the preview restarts from scene 1 without a store-back.
  StoreBackBeforeHandOff();
  StartPreview();
}

void MainWindowModel::Stop() {
  StopPreview();
  LoadScene(store.CurrentScene - 1);
  ShowSceneCounters();
}

void MainWindowModel::PreviewTick() {
  AutoStep();
  switch (store.EffectMode) {
    case EffectWave1:
      Wave1Step(store, preview);
      break;
    case EffectNormal:
      NormalStep(store, preview);
      ShowSceneCounters();
      break;
    case EffectWave2:
      Wave2Step(store, preview);
      break;
    default:
      return;  // an unknown mode leaves the grid still
  }
  RedrawGrid();
  screenShowsPreviewFrame_ = true;
}

void MainWindowModel::RefreshDisplay() {
  view_.ShowProgramSlots(SlotPanelColor);
  view_.ShowAutoPanels(autos.AutoPanelColor);
  view_.ShowAutoValues(autos.AutoStart, autos.AutoEnd, autos.AutoLoop);
  ShowSceneCounters();
  ShowEffectMode();
  ShowMemoryUse();
  view_.ShowPreviewRunning(previewRunning_);
}

}  // namespace lumora
