#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "fake_main_window_view.h"
#include "main_window/main_window_model.h"

namespace lumora::testing {

// A started main window whose sequence is made of uniformly coloured scenes, so a scene is
// named by its colour (A = 0xA, B = 0xB, ...).
class ModelFixture : public ::testing::Test {
 protected:
  ModelFixture() { model.FormCreate(); }

  // Loads the sequence as a file brings it (in its current effect mode unless one is given)
  // and steps forward to scene `current`.
  void SetSequence(const std::vector<CellColour>& scenes, int current = 1,
                   std::optional<int> mode = std::nullopt) {
    std::vector<CellColour> cells;
    for (CellColour c : scenes) cells.insert(cells.end(), kCellsPerScene, c);
    ASSERT_TRUE(model.Editor().LoadSequence(static_cast<int>(scenes.size()),
                                            mode.value_or(Store().EffectMode), cells));
    for (int s = 1; s < current; ++s) model.NextScene();
  }

  // The colour of each scene of the sequence (cell 0 stands for the whole scene).
  std::vector<CellColour> Sequence() const {
    std::vector<CellColour> out;
    for (int s = 0; s < Store().SceneCount; ++s) out.push_back(Store().Slot(s)[0]);
    return out;
  }

  CellColour Shown() const { return view.cells[0]; }
  const SceneStore& Store() const { return model.Editor().Store(); }
  const ProgramMemory& Programs() const { return model.Config().Programs(); }
  const AutoPrograms& Autos() const { return model.Config().Autos(); }

  // Starting states no command of the window reaches, such as odd values from elsewhere,
  // handed in as a state the configuration takes back.
  template <typename Edit>
  void EditConfig(Edit edit) {
    ConfigSnapshot state = model.Config().Snapshot();
    edit(state);
    model.Config().Restore(state);
  }

  FakeMainWindowView view;
  FakeDialogs dialogs;
  MainWindowModel model{view, dialogs, dialogs};
};

inline constexpr CellColour A = 0xA, B = 0xB, C = 0xC, D = 0xD;

}  // namespace lumora::testing
