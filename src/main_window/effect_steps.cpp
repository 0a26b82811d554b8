#include "main_window/effect_steps.h"

namespace lumora {

namespace {

// A source slot outside the sequence (left behind by an edit or a mode change during the
// preview, or a wave on a one-scene sequence) counts as the end of the sequence.
bool InSequence(const SceneStore& store, int slot) {
  return slot >= 0 && slot < store.SceneCount && SceneStore::ValidSlot(slot);
}

// Both waves begin again with scene 1 loaded whole.
void RestartWave(SceneStore& store, PreviewState& preview) {
  store.CurrentScene = 1;
  store.LoadScene(0);
  preview.RestartPending = false;
  preview.StreamPos = 0;
}

void EndIfRestartPending(PreviewState& preview) {
  if (preview.RestartPending) preview.SequenceEnded = true;
}

}  // namespace

void NormalStep(SceneStore& store, PreviewState& preview) {
  store.LoadScene(store.CurrentScene - 1);
  store.CurrentScene += 1;
  if (store.CurrentScene >= store.SceneCount + 1 || store.CurrentScene < 1) {
    store.CurrentScene = 1;
    preview.SequenceEnded = true;
  }
}

void Wave1Step(SceneStore& store, PreviewState& preview) {
  Scene& chain = store.WorkingScene;
  if (preview.RestartPending) RestartWave(store, preview);
  for (int i = kCellsPerScene - 1; i >= 1; --i) chain[i] = chain[i - 1];

  const int source = store.CurrentScene;
  if (!InSequence(store, source)) {
    preview.RestartPending = true;
  } else {
    chain[0] = store.Slot(source)[preview.StreamPos];
    preview.StreamPos += 1;
    if (preview.StreamPos >= kCellsPerScene) {
      preview.StreamPos = 0;
      store.CurrentScene += 1;
      if (store.CurrentScene >= store.SceneCount) preview.RestartPending = true;
    }
  }
  EndIfRestartPending(preview);
}

void Wave2Step(SceneStore& store, PreviewState& preview) {
  Scene& cells = store.WorkingScene;
  auto& buffer = preview.TubeBuffer;
  if (preview.RestartPending) {
    RestartWave(store, preview);
    store.CurrentScene = 2;
    preview.FeedReversed = true;
  }
  // Each tube takes the tube below it in reversed index order, which on the serpentine
  // picture keeps every cell at the same horizontal place.
  for (int t = 1; t <= kTubes - 1; ++t) {
    for (int k = 0; k < kCellsPerTube; ++k) buffer[k] = cells[kCellsPerTube * t + k];
    for (int k = 0; k < kCellsPerTube; ++k) cells[kCellsPerTube * (t - 1) + k] = buffer[7 - k];
  }

  const int source = store.CurrentScene - 1;
  if (!InSequence(store, source) || preview.StreamPos < 0 ||
      preview.StreamPos > kCellsPerScene - kCellsPerTube) {
    preview.RestartPending = true;
  } else {
    const auto scene = store.Slot(source);
    const int p = preview.StreamPos;
    for (int k = 0; k < kCellsPerTube; ++k) {
      buffer[k] = preview.FeedReversed ? scene[p + k] : scene[p + 7 - k];
    }
    preview.FeedReversed = !preview.FeedReversed;
    preview.StreamPos = p + kCellsPerTube;
    for (int k = 0; k < kCellsPerTube; ++k) {
      cells[kCellsPerScene - kCellsPerTube + k] = buffer[7 - k];
    }
    if (preview.StreamPos >= kCellsPerScene) {
      preview.StreamPos = 0;
      store.CurrentScene += 1;
      if (store.CurrentScene > store.SceneCount) preview.RestartPending = true;
    }
  }
  EndIfRestartPending(preview);
}

}  // namespace lumora
