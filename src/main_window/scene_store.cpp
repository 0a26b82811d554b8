#include "main_window/scene_store.h"

#include <algorithm>

namespace lumora {

std::span<CellColour, kCellsPerScene> SceneStore::Slot(int slot) {
  return std::span<CellColour, kCellsPerScene>(SceneSlots.data() + slot * kCellsPerScene,
                                               kCellsPerScene);
}

std::span<const CellColour, kCellsPerScene> SceneStore::Slot(int slot) const {
  return std::span<const CellColour, kCellsPerScene>(SceneSlots.data() + slot * kCellsPerScene,
                                                     kCellsPerScene);
}

std::span<const CellColour> SceneStore::Sequence() const {
  const int count = std::clamp(SceneCount, 0, MaxScenes);
  return std::span<const CellColour>(SceneSlots.data(),
                                     static_cast<std::size_t>(count) * kCellsPerScene);
}

void SceneStore::StoreScene(int slot) {
  if (ValidSlot(slot)) std::ranges::copy(WorkingScene, Slot(slot).begin());
}

void SceneStore::LoadScene(int slot) {
  if (ValidSlot(slot)) std::ranges::copy(Slot(slot), WorkingScene.begin());
}

void SceneStore::MoveScene(int destination, int source) {
  if (ValidSlot(destination) && ValidSlot(source) && destination != source) {
    std::ranges::copy(Slot(source), Slot(destination).begin());
  }
}

void SceneStore::PasteToSlot(int slot) {
  if (ValidSlot(slot)) std::ranges::copy(ClipboardScene, Slot(slot).begin());
}

}  // namespace lumora
