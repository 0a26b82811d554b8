#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "main_window/controller_config.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// The whole state an undo step takes back: the sequence editor's and the configuration's.
struct EditState {
  SequenceSnapshot sequence;
  ConfigSnapshot config;
};

// Whether two states hold the same work: the sequence and its scene on screen, the programs,
// the automatic table and the squares' colours. The tools, the clipboard, the preview's and
// the chain's progress are not work of their own.
bool SameWork(const EditState& a, const EditState& b);

// The undo and redo steps, each a whole state. A state is kept as its scenes, each shared
// with the neighbouring step that holds the same cells, so a step costs about 16 KB and the
// scenes it really changed.
class EditHistory {
 public:
  static constexpr int kMaxSteps = 200;

  // Keeps `before` as an undo step when the command changed the work; a new step ends redo.
  void Record(const EditState& before, const EditState& after);
  // The state one step back, `current` kept for Redo; nothing when there is no step.
  std::optional<EditState> Undo(const EditState& current);
  std::optional<EditState> Redo(const EditState& current);

  int UndoSteps() const { return static_cast<int>(undo_.size()); }
  // Steps recorded since the start, the ones fallen off the end too.
  long Recorded() const { return recorded_; }
  int RedoSteps() const { return static_cast<int>(redo_.size()); }
  // The memory the steps hold, each shared scene counted once.
  std::size_t Bytes() const;

 private:
  using Piece = std::shared_ptr<const Scene>;
  // The working scene, the clipboard, the 99 slots, then the 880 scenes of program memory.
  static constexpr std::size_t kPieces = 2 + MaxScenes + StoreCapacity;
  struct Kept {
    std::vector<Piece> scenes;
    std::int32_t sceneCount = 0;
    std::int32_t currentScene = 0;
    std::int32_t effectMode = 0;
    PaintState paint;
    PreviewState preview;
    bool previewRunning = false;
    bool screenShowsPreviewFrame = false;
    ProgramTableArray programTable{};
    AutoPrograms autos;
    std::array<CellColour, kPrograms> slotColours{};
  };

  // Packs a state, sharing every scene the kept steps at the top of both stacks hold.
  Kept Keep(const EditState& state) const;
  static EditState Unpack(const Kept& kept, const EditState& current);
  static void Push(std::vector<Kept>& stack, Kept kept);
  // Takes the newest step off one stack, keeping the state it replaces on the other.
  std::optional<EditState> Step(std::vector<Kept>& from, std::vector<Kept>& to,
                                const EditState& current);

  std::vector<Kept> undo_;
  std::vector<Kept> redo_;
  long recorded_ = 0;
};

}  // namespace lumora
