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

// Hands out one shared scene per distinct run of cells among the neighbours' scenes and the
// ones it made. A scene is mostly where it was in a neighbour, so that is looked at first and
// the neighbours are hashed only when a scene moved or changed.
class ScenePool {
 public:
  using Piece = std::shared_ptr<const Scene>;

  void Offer(const std::vector<Piece>& scenes) { neighbours_.push_back(&scenes); }

  Piece Share(std::size_t place, const CellColour* cells) {
    const auto same = [cells](const Piece& piece) {
      return std::equal(cells, cells + kCellsPerScene, piece->begin());
    };
    for (const auto* scenes : neighbours_) {
      if (same((*scenes)[place])) return (*scenes)[place];
    }
    if (!hashed_) {
      for (const auto* scenes : neighbours_) {
        for (const Piece& piece : *scenes) pieces_.try_emplace(HashCells(piece->data()), piece);
      }
      hashed_ = true;
    }
    auto [found, fresh] = pieces_.try_emplace(HashCells(cells));
    if (!fresh && same(found->second)) return found->second;
    auto piece = std::make_shared<Scene>();
    std::copy_n(cells, kCellsPerScene, piece->begin());
    if (fresh) found->second = piece;
    return piece;
  }

 private:
  std::vector<const std::vector<Piece>*> neighbours_;
  std::unordered_map<std::size_t, Piece> pieces_;
  bool hashed_ = false;
};

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
  if (undo_.empty()) return std::nullopt;
  Push(redo_, Keep(current));
  EditState previous = Unpack(undo_.back());
  undo_.pop_back();
  return previous;
}

std::optional<EditState> EditHistory::Redo(const EditState& current) {
  if (redo_.empty()) return std::nullopt;
  Push(undo_, Keep(current));
  EditState next = Unpack(redo_.back());
  redo_.pop_back();
  return next;
}

void EditHistory::Push(std::vector<Kept>& stack, Kept kept) {
  stack.push_back(std::move(kept));
  if (stack.size() > static_cast<std::size_t>(kMaxSteps)) stack.erase(stack.begin());
}

EditHistory::Kept EditHistory::Keep(const EditState& state) const {
  ScenePool pool;
  if (!undo_.empty()) pool.Offer(undo_.back().scenes);
  if (!redo_.empty()) pool.Offer(redo_.back().scenes);
  const SceneStore& store = state.sequence.store;
  Kept kept;
  kept.scenes.reserve(kPieces);
  const auto share = [&](const CellColour* cells) {
    kept.scenes.push_back(pool.Share(kept.scenes.size(), cells));
  };
  share(store.WorkingScene.data());
  share(store.ClipboardScene.data());
  for (int s = 0; s < MaxScenes; ++s) share(store.Slot(s).data());
  const ProgramStoreArray& memory = state.config.programs.Store();
  for (int s = 0; s < StoreCapacity; ++s) share(memory.data() + s * kCellsPerScene);
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

EditState EditHistory::Unpack(const Kept& kept) {
  EditState state;
  SceneStore& store = state.sequence.store;
  store.WorkingScene = *kept.scenes[0];
  store.ClipboardScene = *kept.scenes[1];
  for (int s = 0; s < MaxScenes; ++s) std::ranges::copy(*kept.scenes[2 + s], store.Slot(s).begin());
  auto memory = std::make_unique<ProgramStoreArray>();
  for (int s = 0; s < StoreCapacity; ++s) {
    std::ranges::copy(*kept.scenes[2 + MaxScenes + s], memory->begin() + s * kCellsPerScene);
  }
  store.SceneCount = kept.sceneCount;
  store.CurrentScene = kept.currentScene;
  store.EffectMode = kept.effectMode;
  state.sequence.paint = kept.paint;
  state.sequence.preview = kept.preview;
  state.sequence.previewRunning = kept.previewRunning;
  state.sequence.screenShowsPreviewFrame = kept.screenShowsPreviewFrame;
  state.config.programs.Replace(kept.programTable, *memory);
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
