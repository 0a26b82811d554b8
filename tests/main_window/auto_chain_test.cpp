#include <gtest/gtest.h>

#include <vector>

#include "model_fixture.h"

namespace lumora::testing {
namespace {

// Programs 1..6 of one "normal" scene each, coloured with their number, so every tick of the
// preview shows which program plays.
class AutoChainTest : public ModelFixture {
 protected:
  AutoChainTest() {
    EditConfig([](ConfigSnapshot& state) {
      for (int k = 1; k <= 6; ++k) {
        if (k == 2) continue;  // program 2 stays empty
        state.programs.ResizeProgram(k, 1);
        state.programs.StoreProgram(k, std::vector<CellColour>(kCellsPerScene, CellColour(k)));
        state.programs.SetProgram(k, 1, EffectNormal);
      }
    });
  }
  void Chain(int autoProgram, int start, int end, int loop) {
    model.AutoPanelMouseDown(autoProgram);
    model.AutoStartClick(start);
    model.AutoEndClick(end);
    model.AutoLoopClick(loop);
    model.AutoPanelMouseDown(autoProgram);
  }
  std::vector<CellColour> Play(int ticks) {
    std::vector<CellColour> shown;
    for (int i = 0; i < ticks; ++i) {
      model.PreviewTick();
      shown.push_back(Shown());
    }
    return shown;
  }
  using Colours = std::vector<CellColour>;
};

TEST_F(AutoChainTest, PlaysEachProgramLoopTimesThenWraps) {
  Chain(2, 3, 5, 2);
  EXPECT_EQ(Play(8), (Colours{3, 3, 4, 4, 5, 5, 3, 3}));
  model.RefreshDisplay();
  EXPECT_EQ(view.autoColours[1], slot_colour::Red);
  EXPECT_EQ(view.autoValues, (std::array<int, 3>{3, 5, 2}));
}

TEST_F(AutoChainTest, EmptyProgramReplaysThePreviousOne) {
  Chain(1, 1, 3, 1);
  EXPECT_EQ(Play(4), (Colours{1, 1, 3, 1}));
}

TEST_F(AutoChainTest, OddValuesFromAProject) {
  // end below start: the start program only
  EditConfig([](ConfigSnapshot& state) { state.autos.AutoTable = {4, 3, 1}; });
  model.AutoPanelMouseDown(1);
  EXPECT_EQ(Play(4), (Colours{4, 4, 4, 4}));
  EditConfig([](ConfigSnapshot& state) {  // loop 0: stays on the first program
    state.autos.AutoTable[3] = 5;
    state.autos.AutoTable[4] = 6;
    state.autos.AutoTable[5] = 0;
  });
  model.AutoPanelMouseDown(2);
  EXPECT_EQ(Play(5), (Colours{5, 5, 5, 5, 5}));
  // program 0 does not exist: the editor keeps its sequence
  EditConfig([](ConfigSnapshot& state) { state.autos.AutoTable[6] = 0; });
  model.AutoPanelMouseDown(3);
  EXPECT_EQ(Play(2), (Colours{5, 5}));
}

TEST_F(AutoChainTest, LoopCountChangeTakesEffectAtTheNextProgram) {
  Chain(1, 3, 4, 1);
  EXPECT_EQ(Play(2), (Colours{3, 4}));
  model.AutoLoopClick(3);
  EXPECT_EQ(Play(5), (Colours{3, 3, 3, 4, 4}));
}

TEST_F(AutoChainTest, SpinnersKeepStartNotAboveEndAndWriteThrough) {
  model.AutoPanelMouseDown(3);
  model.AutoStartClick(7);
  EXPECT_EQ(view.autoSpinners, (std::array<int, 3>{7, 7, 1}));
  model.AutoEndClick(4);
  EXPECT_EQ(view.autoSpinners, (std::array<int, 3>{4, 4, 1}));
  model.AutoLoopClick(9);
  model.AutoPanelMouseDown(5);
  EXPECT_EQ(view.autoSpinners, (std::array<int, 3>{1, 1, 1}));
  model.AutoPanelMouseDown(3);
  EXPECT_EQ(view.autoSpinners, (std::array<int, 3>{4, 4, 9}));
  EXPECT_EQ(Autos().AutoTable[6], 4);
  EXPECT_EQ(Autos().AutoTable[7], 4);
  EXPECT_EQ(Autos().AutoTable[8], 9);
  EXPECT_EQ(Store().CurrentScene, 1);
}

TEST_F(AutoChainTest, TabChangeAndProgramSquaresEndTheChain) {
  Chain(1, 3, 4, 1);
  Play(1);
  model.TabChanged();
  EXPECT_EQ(Play(3), (Colours{3, 3, 3}));
  model.RefreshDisplay();
  std::array<CellColour, kAutoPrograms> allSkyBlue;
  allSkyBlue.fill(slot_colour::SkyBlue);
  EXPECT_EQ(view.autoColours, allSkyBlue);
  Chain(1, 3, 4, 1);
  model.ProgramSlotMouseDown(6, MouseButton::Middle);
  EXPECT_EQ(Play(3), (Colours{3, 3, 3}));
}

TEST_F(AutoChainTest, FirstTickAfterStartOnlyRestartsThePreview) {
  model.RefreshDisplay();
  EXPECT_EQ(view.autoColours[0], slot_colour::Red);
  EXPECT_EQ(view.autoValues, (std::array<int, 3>{1, 1, 1}));
  model.Play();
  EXPECT_EQ(Play(3), (Colours{1, 1, 1}));  // program 1 is loaded by the armed chain
  EXPECT_FALSE(Autos().AutoActive);
}

}  // namespace
}  // namespace lumora::testing
