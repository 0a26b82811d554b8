#include "main_window/program_store.h"

#include <algorithm>

namespace lumora {

int ProgramMemory::ProgramStart(int k) const {
  int start = 0;
  for (int j = 1; j < k && j <= kPrograms; ++j) start += SceneCountOf(j);
  return start;
}

void ProgramMemory::ResizeProgram(int k, int n) {
  if (!ValidProgram(k)) return;
  const int old = SceneCountOf(k);
  const int used = UsedScenes();
  if (n < old) {
    // Shrinking copies upward through the store so nothing is overwritten before it is read.
    const int d = old - n;
    auto* cells = ProgramStore.data();
    std::copy(cells + ProgramStart(k + 1) * kCellsPerScene, cells + used * kCellsPerScene,
              cells + (ProgramStart(k + 1) - d) * kCellsPerScene);
  } else if (n > old && used + (n - old) <= StoreCapacity) {
    // Growing copies from the top down; program k's own old scenes move too and are
    // overwritten by the store that follows.
    const int d = n - old;
    auto* cells = ProgramStore.data();
    std::copy_backward(cells + ProgramStart(k) * kCellsPerScene, cells + used * kCellsPerScene,
                       cells + (used + d) * kCellsPerScene);
  }
}

void ProgramMemory::StoreProgram(int k, std::span<const CellColour> sequence) {
  if (!ValidProgram(k)) return;
  const std::size_t offset = static_cast<std::size_t>(ProgramStart(k)) * kCellsPerScene;
  const std::size_t count = std::min(sequence.size(), ProgramStore.size() - offset);
  std::copy_n(sequence.begin(), count, ProgramStore.begin() + offset);
}

std::span<const CellColour> ProgramMemory::ProgramScenes(int k) const {
  const std::size_t offset = static_cast<std::size_t>(ProgramStart(k)) * kCellsPerScene;
  const std::size_t size =
      static_cast<std::size_t>(std::clamp(SceneCountOf(k), 0, MaxScenes)) * kCellsPerScene;
  if (offset + size > ProgramStore.size()) return {};
  return std::span<const CellColour>(ProgramStore).subspan(offset, size);
}

void ProgramMemory::SetProgram(int k, int sceneCount, int effectMode) {
  if (!ValidProgram(k)) return;
  ProgramTable[2 * (k - 1)] = sceneCount;
  ProgramTable[2 * (k - 1) + 1] = effectMode;
}

}  // namespace lumora
