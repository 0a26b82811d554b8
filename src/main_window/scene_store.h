#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/scene.h"

namespace lumora {

// The sequence being edited: the scene on screen, a one-scene clipboard and 99 slots.
// Slot numbers are 0-based; CurrentScene is 1-based. Every copy is guarded against a
// slot number outside 0..98, so odd values from a loader never reach past the arrays.
struct SceneStore {
  Scene WorkingScene{};
  Scene ClipboardScene{};
  // Slot-major: cell c of slot s is element 128 * s + c, so the first SceneCount * 128
  // elements are the whole sequence in playing order.
  std::array<CellColour, MaxScenes * kCellsPerScene> SceneSlots{};
  std::int32_t SceneCount = 0;
  std::int32_t CurrentScene = 0;
  std::int32_t EffectMode = 1;

  static bool ValidSlot(int slot) { return slot >= 0 && slot < MaxScenes; }
  std::span<CellColour, kCellsPerScene> Slot(int slot);
  std::span<const CellColour, kCellsPerScene> Slot(int slot) const;
  // The first SceneCount scenes as one run.
  std::span<const CellColour> Sequence() const;

  void StoreScene(int slot);
  // Copies the slot into WorkingScene; redrawing is the caller's.
  void LoadScene(int slot);
  void MoveScene(int destination, int source);
  void CopyToClipboard() { ClipboardScene = WorkingScene; }
  void PasteToSlot(int slot);

  bool operator==(const SceneStore&) const = default;
};

}  // namespace lumora
