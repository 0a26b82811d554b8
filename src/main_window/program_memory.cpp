#include "main_window/program_memory.h"

#include <algorithm>

namespace lumora {

namespace {

// The empty memory every configuration starts from, shared by all of them and never written
// (WritableStore copies first, as this holds a share of its own). In static storage it is zero
// without a byte being written, so its 450 KB take no memory until a program is stored.
const std::shared_ptr<ProgramStoreArray>& BlankStore() {
  static ProgramStoreArray blank{};
  static const std::shared_ptr<ProgramStoreArray> shared(&blank, [](ProgramStoreArray*) {});
  return shared;
}

}  // namespace

ProgramMemory::ProgramMemory() : store_(BlankStore()) {}

ProgramStoreArray& ProgramMemory::WritableStore() {
  if (store_.use_count() > 1) store_ = std::make_shared<ProgramStoreArray>(*store_);
  return *store_;
}

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
    auto* cells = WritableStore().data();
    std::copy(cells + ProgramStart(k + 1) * kCellsPerScene, cells + used * kCellsPerScene,
              cells + (ProgramStart(k + 1) - d) * kCellsPerScene);
  } else if (n > old && used + (n - old) <= StoreCapacity) {
    // Growing copies from the top down; program k's own old scenes move too and are
    // overwritten by the store that follows.
    const int d = n - old;
    auto* cells = WritableStore().data();
    std::copy_backward(cells + ProgramStart(k) * kCellsPerScene, cells + used * kCellsPerScene,
                       cells + (used + d) * kCellsPerScene);
  }
}

void ProgramMemory::StoreProgram(int k, std::span<const CellColour> sequence) {
  if (!ValidProgram(k)) return;
  const std::size_t offset = static_cast<std::size_t>(ProgramStart(k)) * kCellsPerScene;
  const std::size_t count = std::min(sequence.size(), store_->size() - offset);
  std::copy_n(sequence.begin(), count, WritableStore().begin() + offset);
}

std::span<const CellColour> ProgramMemory::ProgramScenes(int k) const {
  const std::size_t offset = static_cast<std::size_t>(ProgramStart(k)) * kCellsPerScene;
  const std::size_t size =
      static_cast<std::size_t>(std::clamp(SceneCountOf(k), 0, MaxScenes)) * kCellsPerScene;
  if (offset + size > store_->size()) return {};
  return std::span<const CellColour>(*store_).subspan(offset, size);
}

void ProgramMemory::SetProgram(int k, int sceneCount, int effectMode) {
  if (!ValidProgram(k)) return;
  table_[2 * (k - 1)] = sceneCount;
  table_[2 * (k - 1) + 1] = effectMode;
}

void ProgramMemory::Replace(const ProgramTableArray& table, const ProgramStoreArray& store) {
  table_ = table;
  store_ = std::make_shared<ProgramStoreArray>(store);
}

}  // namespace lumora
