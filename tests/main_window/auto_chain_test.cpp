#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
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

// A project may hold any 32-bit automatic values, and any effect mode for a program: the
// chain plays what the values say where they make sense and never overflows where they do
// not (the sanitizer tree runs this). Before each row program 6 is in the editor.
TEST_F(AutoChainTest, AnyValuesFromAProject) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  struct Row {
    const char* what;
    std::array<std::int32_t, 3> values;  // start, end, loop
    Colours shown;
  };
  const Row rows[] = {
      {"end below start: the start program only", {4, 3, 1}, {4, 4, 4, 4}},
      {"loop 0: stays on the first program", {5, 6, 0}, {5, 5, 5, 5}},
      {"loop -1: stays on the first program", {5, 6, -1}, {5, 5, 5, 5}},
      {"loop INT_MIN: stays on the first program", {3, 5, kMin}, {3, 3, 3, 3}},
      {"loop INT_MAX: stays for its passes", {3, 5, kMax}, {3, 3, 3, 3}},
      {"program 0 does not exist: the editor keeps its sequence", {0, 0, 1}, {6, 6, 6}},
      {"from -1 up to 3, and round", {-1, 3, 1}, {6, 6, 1, 1, 3, 3, 3, 1}},
      {"start and end INT_MAX", {kMax, kMax, 1}, {6, 6, 6}},
      {"start and end INT_MIN", {kMin, kMin, 1}, {6, 6, 6}},
      {"INT_MAX to INT_MIN", {kMax, kMin, kMax}, {6, 6, 6}},
      {"up to INT_MAX: the programs in turn", {4, kMax, 1}, {4, 5, 6, 6, 6}},
      {"start INT_MAX, loop INT_MIN", {kMax, kMax, kMin}, {6, 6, 6}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    model.ProgramSlotMouseDown(6, MouseButton::Left);
    EditConfig([&row](ConfigSnapshot& state) {
      std::ranges::copy(row.values, state.autos.AutoTable.begin());
    });
    model.AutoPanelMouseDown(1);
    EXPECT_EQ(Play(static_cast<int>(row.shown.size())), row.shown);
  }
}

// A program in a mode the preview has no step for stands still and never reaches its end,
// so the chain stays on it, whatever the mode's value.
TEST_F(AutoChainTest, AProgramInAnUnknownModeHoldsTheChain) {
  for (const std::int32_t mode : {0, -1, 4, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max()}) {
    SCOPED_TRACE(mode);
    EditConfig([mode](ConfigSnapshot& state) {
      state.programs.SetProgram(4, 1, mode);
      state.autos.AutoTable = {4, 5, 1};
    });
    model.AutoPanelMouseDown(1);
    EXPECT_EQ(Play(4), (Colours{4, 4, 4, 4}));
  }
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
