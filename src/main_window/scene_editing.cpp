#include "main_window/main_window_model.h"

namespace lumora {

void MainWindowModel::LeavePreview() {
  if (previewRunning_ || screenShowsPreviewFrame_) {
    StopPreview();
    LoadScene(0);
    ShowSceneCounters();
  }
}

void MainWindowModel::StepScene(int delta) {
  LeavePreview();
  store.StoreScene(store.CurrentScene - 1);
  store.CurrentScene += delta;
  // Wraps around at both ends of the sequence.
  if (store.CurrentScene < 1) store.CurrentScene = store.SceneCount;
  if (store.CurrentScene > store.SceneCount) store.CurrentScene = 1;
  LoadScene(store.CurrentScene - 1);
  ShowSceneCounters();
}

void MainWindowModel::AddScene() {
  LeavePreview();
  store.StoreScene(store.CurrentScene - 1);
  store.SceneCount += 1;
  if (store.SceneCount > MaxScenes) store.SceneCount = MaxScenes;
  // The scene on screen becomes the last scene; the grid already shows it.
  store.StoreScene(store.SceneCount - 1);
  store.CurrentScene = store.SceneCount;
  ShowSceneCounters();
}

void MainWindowModel::DeleteScene() {
  LeavePreview();
  // The scene on screen is the one being removed, so it is not stored first.
  store.SceneCount -= 1;
  if (store.SceneCount < 1) {
    store.SceneCount = 1;
  } else {
    if (store.SceneCount < store.CurrentScene) {
      store.CurrentScene = store.SceneCount;
    } else {
      for (int i = store.CurrentScene; i <= store.SceneCount; ++i) store.MoveScene(i - 1, i);
    }
    LoadScene(store.CurrentScene - 1);
  }
  if (store.SceneCount == 1) store.EffectMode = EffectNormal;
}

void MainWindowModel::CopyScene() {
  LeavePreview();
  store.StoreScene(store.CurrentScene - 1);
  store.CopyToClipboard();
}

void MainWindowModel::PasteScene() {
  LeavePreview();
  // Not stored first: painting on the scene on screen since it was stored is lost.
  if (store.SceneCount + 1 <= MaxScenes) {
    store.SceneCount += 1;
    for (int k = store.SceneCount; k >= store.CurrentScene + 1; --k) store.MoveScene(k - 1, k - 2);
    store.PasteToSlot(store.CurrentScene);
    store.CurrentScene += 1;
    LoadScene(store.CurrentScene - 1);
  }
  ShowSceneCounters();
}

void MainWindowModel::SelectEffectMode(int mode) {
  // A wave needs at least two scenes.
  store.EffectMode = (mode != EffectNormal && store.SceneCount == 1) ? EffectNormal : mode;
}

}  // namespace lumora
