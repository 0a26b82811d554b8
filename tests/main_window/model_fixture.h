#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "fake_main_window_view.h"
#include "main_window/main_window_model.h"

namespace lumora::testing {

// A started main window whose sequence is made of uniformly coloured scenes, so a scene is
// named by its colour (A = 0xA, B = 0xB, ...).
class ModelFixture : public ::testing::Test {
 protected:
  ModelFixture() { model.FormCreate(); }

  void SetSequence(std::initializer_list<CellColour> scenes, int current = 1) {
    int slot = 0;
    for (CellColour c : scenes) std::ranges::fill(model.store.Slot(slot++), c);
    model.store.SceneCount = static_cast<int>(scenes.size());
    model.store.CurrentScene = current;
    model.LoadScene(current - 1);
  }

  // The colour of each scene of the sequence (cell 0 stands for the whole scene).
  std::vector<CellColour> Sequence() const {
    std::vector<CellColour> out;
    for (int s = 0; s < model.store.SceneCount; ++s) out.push_back(model.store.Slot(s)[0]);
    return out;
  }

  CellColour Shown() const { return view.cells[0]; }

  FakeMainWindowView view;
  FakeDialogs dialogs;
  MainWindowModel model{view, dialogs, dialogs};
};

inline constexpr CellColour A = 0xA, B = 0xB, C = 0xC, D = 0xD;

}  // namespace lumora::testing
