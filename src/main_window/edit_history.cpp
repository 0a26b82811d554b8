#include "main_window/edit_history.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace lumora {

namespace {

std::size_t HashCells(const CellColour* cells) {
  return std::hash<std::string_view>{}(
      std::string_view(reinterpret_cast<const char*>(cells), sizeof(Scene)));
}

using Piece = std::shared_ptr<const Scene>;

bool SameCells(const CellColour* cells, const Piece& piece) {
  return std::equal(cells, cells + kCellsPerScene, piece->begin());
}

// One shared scene for each run of cells, taken from the neighbouring steps where they hold
// the same cells. A scene is mostly where it was in a neighbour, so that is looked at first;
// only the scenes that moved or changed are looked up by their cells, among the neighbours'
// scenes at those places and the ones made here.
std::vector<Piece> ShareScenes(const std::vector<const CellColour*>& cells,
                               const std::vector<const std::vector<Piece>*>& neighbours) {
  std::vector<Piece> scenes(cells.size());
  std::vector<std::size_t> changed;
  for (std::size_t place = 0; place < cells.size(); ++place) {
    for (const auto* neighbour : neighbours) {
      if (SameCells(cells[place], (*neighbour)[place])) {
        scenes[place] = (*neighbour)[place];
        break;
      }
    }
    if (!scenes[place]) changed.push_back(place);
  }
  std::unordered_map<std::size_t, Piece> byCells;
  for (const auto* neighbour : neighbours) {
    for (std::size_t place : changed) {
      byCells.try_emplace(HashCells((*neighbour)[place]->data()), (*neighbour)[place]);
    }
  }
  for (std::size_t place : changed) {
    auto [found, fresh] = byCells.try_emplace(HashCells(cells[place]));
    if (!fresh && SameCells(cells[place], found->second)) {
      scenes[place] = found->second;
      continue;
    }
    auto piece = std::make_shared<Scene>();
    std::copy_n(cells[place], kCellsPerScene, piece->begin());
    if (fresh) found->second = piece;
    scenes[place] = std::move(piece);
  }
  return scenes;
}

}  // namespace

bool SameWork(const EditState& a, const EditState& b) {
  const SceneStore& x = a.sequence.store;
  const SceneStore& y = b.sequence.store;
  return x.SceneSlots == y.SceneSlots && x.WorkingScene == y.WorkingScene &&
         x.SceneCount == y.SceneCount && x.CurrentScene == y.CurrentScene &&
         x.EffectMode == y.EffectMode && a.config.programs == b.config.programs &&
         a.config.autos.AutoTable == b.config.autos.AutoTable &&
         a.config.autos.SelectedAuto == b.config.autos.SelectedAuto &&
         a.config.slotColours == b.config.slotColours;
}

void EditHistory::Record(const EditState& before, const EditState& after) {
  if (SameWork(before, after)) return;
  Push(undo_, Keep(before));
  redo_.clear();
  ++recorded_;
}

std::optional<EditState> EditHistory::Undo(const EditState& current) {
  return Step(undo_, redo_, current);
}

std::optional<EditState> EditHistory::Redo(const EditState& current) {
  return Step(redo_, undo_, current);
}

std::optional<EditState> EditHistory::Step(std::vector<Kept>& from, std::vector<Kept>& to,
                                           const EditState& current) {
  if (from.empty()) return std::nullopt;
  Push(to, Keep(current));
  EditState taken = Unpack(from.back(), current);
  from.pop_back();
  return taken;
}

void EditHistory::Push(std::vector<Kept>& stack, Kept kept) {
  stack.push_back(std::move(kept));
  if (stack.size() > static_cast<std::size_t>(kMaxSteps)) stack.erase(stack.begin());
}

EditHistory::Kept EditHistory::Keep(const EditState& state) const {
  std::vector<const std::vector<Piece>*> neighbours;
  if (!undo_.empty()) neighbours.push_back(&undo_.back().scenes);
  if (!redo_.empty()) neighbours.push_back(&redo_.back().scenes);
  const SceneStore& store = state.sequence.store;
  std::vector<const CellColour*> cells;
  cells.reserve(kPieces);
  cells.push_back(store.WorkingScene.data());
  cells.push_back(store.ClipboardScene.data());
  for (int s = 0; s < MaxScenes; ++s) cells.push_back(store.Slot(s).data());
  const ProgramStoreArray& memory = state.config.programs.Store();
  for (int s = 0; s < StoreCapacity; ++s) cells.push_back(memory.data() + s * kCellsPerScene);
  Kept kept;
  kept.scenes = ShareScenes(cells, neighbours);
  kept.sceneCount = store.SceneCount;
  kept.currentScene = store.CurrentScene;
  kept.effectMode = store.EffectMode;
  kept.paint = state.sequence.paint;
  kept.preview = state.sequence.preview;
  kept.previewRunning = state.sequence.previewRunning;
  kept.screenShowsPreviewFrame = state.sequence.screenShowsPreviewFrame;
  kept.programTable = state.config.programs.Table();
  kept.autos = state.config.autos;
  kept.slotColours = state.config.slotColours;
  return kept;
}

EditState EditHistory::Unpack(const Kept& kept, const EditState& current) {
  EditState state{.sequence = {}, .config = current.config};
  SceneStore& store = state.sequence.store;
  store.WorkingScene = *kept.scenes[0];
  store.ClipboardScene = *kept.scenes[1];
  for (int s = 0; s < MaxScenes; ++s) std::ranges::copy(*kept.scenes[2 + s], store.Slot(s).begin());
  store.SceneCount = kept.sceneCount;
  store.CurrentScene = kept.currentScene;
  store.EffectMode = kept.effectMode;
  state.sequence.paint = kept.paint;
  state.sequence.preview = kept.preview;
  state.sequence.previewRunning = kept.previewRunning;
  state.sequence.screenShowsPreviewFrame = kept.screenShowsPreviewFrame;
  // Most steps leave the programs alone: the memory of the current state is taken as it is.
  const auto* program = kept.scenes.data() + 2 + MaxScenes;
  const ProgramStoreArray& now = current.config.programs.Store();
  bool same = kept.programTable == current.config.programs.Table();
  for (int s = 0; same && s < StoreCapacity; ++s) {
    same = std::equal(program[s]->begin(), program[s]->end(), now.begin() + s * kCellsPerScene);
  }
  if (!same) {
    auto memory = std::make_unique_for_overwrite<ProgramStoreArray>();
    for (int s = 0; s < StoreCapacity; ++s) {
      std::ranges::copy(*program[s], memory->begin() + s * kCellsPerScene);
    }
    state.config.programs.Replace(kept.programTable, *memory);
  }
  state.config.autos = kept.autos;
  state.config.slotColours = kept.slotColours;
  return state;
}

std::size_t EditHistory::Bytes() const {
  std::unordered_set<const Scene*> scenes;
  std::size_t bytes = 0;
  for (const auto* stack : {&undo_, &redo_}) {
    for (const Kept& kept : *stack) {
      bytes += sizeof(Kept) + kept.scenes.capacity() * sizeof(Piece);
      for (const Piece& piece : kept.scenes) scenes.insert(piece.get());
    }
  }
  // A shared scene and its count, as make_shared lays them out.
  return bytes + scenes.size() * (sizeof(Scene) + 2 * sizeof(long));
}

}  // namespace lumora
