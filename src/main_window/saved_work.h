#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "common/program_tables.h"
#include "main_window/controller_config.h"
#include "main_window/program_memory.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// What a sequence file holds of the editor: the sequence's scenes, with the scene on screen
// stored into its place as "Zapisz" stores it, and its effect mode.
struct SequenceWork {
  std::int32_t SceneCount = 0;
  std::int32_t EffectMode = 0;
  std::vector<CellColour> Cells;  // SceneCount scenes

  bool operator==(const SequenceWork&) const = default;
};
SequenceWork SequenceWorkOf(const SequenceEditor& editor);

// What a project file holds: the programs and the automatic table's values it keeps.
struct ProjectWork {
  ProgramMemory Programs;
  AutoTableArray AutoTable{};

  friend bool operator==(const ProjectWork& a, const ProjectWork& b);
};
ProjectWork ProjectWorkOf(const ControllerConfig& config);

// Which parts of the work hold changes that are in no file.
struct UnsavedWork {
  bool Sequence = false;
  bool Project = false;

  bool Any() const { return Sequence || Project; }
  bool operator==(const UnsavedWork&) const = default;
};

// The sequence and the project as they were last opened or saved. The work holds changes that
// are in no file while it differs from them, whatever steps led there: an undo back to a saved
// state leaves no changes. A sequence that is one of the project's programs is the project's
// (a program played or the first program of a project opened), so the project's changes
// cover it. Work that a close let go unsaved has no changes until it changes again.
class SavedWork {
 public:
  void MarkSequence(SequenceWork sequence) { sequence_ = std::move(sequence); }
  void MarkProject(ProjectWork project) { project_ = std::move(project); }
  void GiveUp(SequenceWork sequence, ProjectWork project) {
    givenUp_.emplace(std::move(sequence), std::move(project));
  }

  UnsavedWork Unsaved(const SequenceWork& sequence, const ProjectWork& project) const;

 private:
  SequenceWork sequence_;
  ProjectWork project_;
  std::optional<std::pair<SequenceWork, ProjectWork>> givenUp_;
};

}  // namespace lumora
