#include "main_window/saved_work.h"

#include <algorithm>

#include "files/project_file.h"

namespace lumora {

namespace {

bool IsProgramOf(const SequenceWork& sequence, const ProgramMemory& programs) {
  for (int k = 1; k <= kPrograms; ++k) {
    if (programs.SceneCountOf(k) == sequence.SceneCount &&
        programs.EffectModeOf(k) == sequence.EffectMode &&
        std::ranges::equal(programs.ProgramScenes(k), sequence.Cells)) {
      return true;
    }
  }
  return false;
}

}  // namespace

SequenceWork SequenceWorkOf(const SequenceEditor& editor) {
  const SceneStore& store = editor.Store();
  const auto sequence = store.Sequence();
  SequenceWork work{store.SceneCount, store.EffectMode, {sequence.begin(), sequence.end()}};
  const int slot = store.CurrentScene - 1;
  if (editor.ScreenHoldsCurrentScene() && slot >= 0 && slot < store.SceneCount) {
    std::ranges::copy(store.WorkingScene, work.Cells.begin() + slot * kCellsPerScene);
  }
  return work;
}

bool operator==(const ProjectWork& a, const ProjectWork& b) {
  return a.Programs == b.Programs &&
         std::equal(a.AutoTable.begin(), a.AutoTable.begin() + kProjectAutoValues,
                    b.AutoTable.begin());
}

ProjectWork ProjectWorkOf(const ControllerConfig& config) {
  return {config.Programs(), config.Autos().AutoTable};
}

UnsavedWork SavedWork::Unsaved(const SequenceWork& sequence, const ProjectWork& project) const {
  if (givenUp_ && givenUp_->first == sequence && givenUp_->second == project) return {};
  return {.Sequence = !(sequence == sequence_) && !IsProgramOf(sequence, project.Programs),
          .Project = !(project == project_)};
}

}  // namespace lumora
