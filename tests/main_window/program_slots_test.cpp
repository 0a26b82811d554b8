#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "files/sequence_file.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

// Every scene of the store carries its program and scene number, so moved scenes can be
// traced back.
CellColour Mark(int program, int scene) {
  return static_cast<CellColour>(program << 8 | scene);
}

void FillPrograms(ProgramMemory& memory, const std::vector<int>& counts) {
  for (int k = 1; k <= static_cast<int>(counts.size()); ++k) {
    memory.SetProgram(k, counts[k - 1], 1);
    std::vector<CellColour> cells;
    for (int s = 0; s < counts[k - 1]; ++s) cells.insert(cells.end(), kCellsPerScene, Mark(k, s));
    memory.StoreProgram(k, cells);  // right after the programs before it
  }
}

std::vector<CellColour> Scenes(const ProgramMemory& memory, int k) {
  std::vector<CellColour> out;
  const auto cells = memory.ProgramScenes(k);
  for (std::size_t i = 0; i < cells.size(); i += kCellsPerScene) out.push_back(cells[i]);
  return out;
}

TEST(ProgramMemoryTest, ResizeMovesEveryOtherProgramIntact) {
  const std::vector<int> counts = {80, 97, 98, 95, 90, 96, 99, 98, 99, 9};  // 861 of 880
  struct Case {
    int k, n;
  };
  // Shrink, grow (up to a full store) and equal, for the first, a middle and the last program.
  const Case cases[] = {{1, 60}, {1, 99}, {1, 80},  {5, 40}, {5, 99},
                        {5, 90}, {10, 1}, {10, 28}, {10, 9}};
  for (const auto& c : cases) {
    auto memory = std::make_unique<ProgramMemory>();
    FillPrograms(*memory, counts);
    auto before = std::make_unique<ProgramMemory>(*memory);
    memory->ResizeProgram(c.k, c.n);
    std::vector<CellColour> replacement(static_cast<std::size_t>(c.n) * kCellsPerScene, 0xABC);
    memory->StoreProgram(c.k, replacement);
    memory->SetProgram(c.k, c.n, 2);
    for (int k = 1; k <= kPrograms; ++k) {
      if (k == c.k) continue;
      EXPECT_EQ(Scenes(*memory, k), Scenes(*before, k)) << "program " << k << " after " << c.k;
    }
    EXPECT_EQ(Scenes(*memory, c.k), std::vector<CellColour>(c.n, 0xABC));
    EXPECT_EQ(memory->UsedScenes(), 861 - counts[c.k - 1] + c.n);
  }
}

TEST(ProgramMemoryTest, EmptySlotBetweenProgramsTakesTheNewScenes) {
  auto memory = std::make_unique<ProgramMemory>();
  FillPrograms(*memory, {2, 0, 3});
  memory->ResizeProgram(2, 4);
  memory->StoreProgram(2, std::vector<CellColour>(4 * kCellsPerScene, 0x77));
  memory->SetProgram(2, 4, 1);
  EXPECT_EQ(memory->ProgramStart(3), 6);
  EXPECT_EQ(Scenes(*memory, 1), (std::vector<CellColour>{Mark(1, 0), Mark(1, 1)}));
  EXPECT_EQ(Scenes(*memory, 3), (std::vector<CellColour>{Mark(3, 0), Mark(3, 1), Mark(3, 2)}));
}

// Every new memory starts from one shared empty store; storing must copy it, never write it.
TEST(ProgramMemoryTest, StoringLeavesTheNextNewMemoryEmpty) {
  for (int round = 0; round < 2; ++round) {
    auto written = std::make_unique<ProgramMemory>();
    FillPrograms(*written, {3, 2});
    written->ResizeProgram(1, 5);
    const auto fresh = std::make_unique<ProgramMemory>();
    EXPECT_TRUE(std::ranges::all_of(fresh->Store(), [](CellColour c) { return c == 0; }));
    EXPECT_FALSE(*fresh == *written);
  }
}

TEST(ProgramMemoryTest, OddProgramNumbersReadEmpty) {
  auto memory = std::make_unique<ProgramMemory>();
  FillPrograms(*memory, {2});
  EXPECT_EQ(memory->SceneCountOf(0), 0);
  EXPECT_EQ(memory->SceneCountOf(57), 0);
  EXPECT_TRUE(memory->ProgramScenes(57).empty());
  memory->SetProgram(0, 5, 1);
  memory->ResizeProgram(-3, 9);
  EXPECT_EQ(memory->UsedScenes(), 2);
}

class ProgramSlotsTest : public ModelFixture {
 protected:
  // A sequence file of n scenes, each scene filled with `colour`.
  std::string SequenceFile(int n, CellColour colour, int mode = 1) {
    std::vector<CellColour> cells(static_cast<std::size_t>(n) * kCellsPerScene, colour);
    const std::string path = folder.File("seq" + std::to_string(files++) + ".sqx");
    EXPECT_TRUE(SaveSequenceFile(path, n, mode, cells));
    return path;
  }
  void Assign(int k, const std::string& path) {
    dialogs.answers.push_back(path);
    model.ProgramSlotMouseDown(k, MouseButton::Right);
  }

  TempFolder folder;
  int files = 0;
};

TEST_F(ProgramSlotsTest, AssignPacksProgramsAndPlays) {
  Assign(3, SequenceFile(2, A, 2));
  Assign(1, SequenceFile(3, B));
  EXPECT_EQ(Programs().SceneCountOf(1), 3);
  EXPECT_EQ(Programs().SceneCountOf(3), 2);
  EXPECT_EQ(Programs().EffectModeOf(3), 2);
  EXPECT_EQ(Programs().ProgramStart(3), 3);
  EXPECT_EQ(Scenes(Programs(), 3), (std::vector<CellColour>{A, A}));
  EXPECT_TRUE(model.PreviewRunning());  // the opened file plays
  model.RefreshDisplay();
  EXPECT_EQ(view.memoryUse, 5);
  EXPECT_EQ(view.slotColours[0], slot_colour::Green);
  EXPECT_EQ(view.slotColours[2], slot_colour::SkyBlue);
  EXPECT_EQ(view.slotColours[1], slot_colour::ButtonFace);

  model.ProgramSlotMouseDown(3, MouseButton::Left);
  EXPECT_EQ(Store().SceneCount, 2);
  EXPECT_EQ(Store().EffectMode, 2);
  EXPECT_EQ(Shown(), A);
  model.RefreshDisplay();
  EXPECT_EQ(view.slotColours[0], slot_colour::SkyBlue);
  EXPECT_EQ(view.slotColours[2], slot_colour::Green);
}

TEST_F(ProgramSlotsTest, MemoryBudgetCountsTheSlotsOwnScenesAsUsed) {
  // 800 scenes used, 90 of them in program 5.
  EditConfig([](ConfigSnapshot& state) {
    for (int k : {1, 2, 3, 4, 6, 7, 8}) state.programs.SetProgram(k, 99, 1);
    state.programs.SetProgram(5, 90, 1);
    state.programs.SetProgram(9, 17, 1);
    state.programs.StoreProgram(5, std::vector<CellColour>(90 * kCellsPerScene, C));
  });
  ASSERT_EQ(Programs().UsedScenes(), 800);
  const auto table = Programs().Table();

  Assign(5, SequenceFile(95, A));  // 800 + 95 > 880 although the result would fit
  EXPECT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings.back(), "Brak wolnej pamięci w sterowniku");
  EXPECT_EQ(Programs().Table(), table);
  EXPECT_EQ(Store().SceneCount, 90);  // the slot's program is back in the editor
  EXPECT_EQ(Shown(), C);

  Assign(10, SequenceFile(81, B));  // 881 on an empty slot: the opened file stays
  EXPECT_EQ(dialogs.warnings.size(), 2u);
  EXPECT_EQ(Programs().SceneCountOf(10), 0);
  EXPECT_EQ(Store().SceneCount, 81);
  EXPECT_EQ(Shown(), B);

  Assign(10, SequenceFile(80, D));  // exactly 880 is accepted
  EXPECT_EQ(dialogs.warnings.size(), 2u);
  EXPECT_EQ(Programs().UsedScenes(), 880);
  EXPECT_EQ(Scenes(Programs(), 5), std::vector<CellColour>(90, C));
}

TEST_F(ProgramSlotsTest, CancelOrRefusedFileStoresNothing) {
  Assign(1, SequenceFile(2, A));
  const auto table = Programs().Table();
  model.ProgramSlotMouseDown(2, MouseButton::Right);  // dialog cancelled
  const std::string bad = folder.File("bad.sqx");
  WriteBytes(bad, "1 128 1 127 ");
  Assign(2, bad);
  EXPECT_EQ(Programs().Table(), table);
  EXPECT_EQ(dialogs.errors.size(), 1u);
}

TEST_F(ProgramSlotsTest, LeftClickOnEmptySlotRestartsThePreviewOnly) {
  Assign(1, SequenceFile(2, A));
  SetSequence({B, C});
  model.RefreshDisplay();
  const auto colours = view.slotColours;
  model.ProgramSlotMouseDown(7, MouseButton::Left);
  EXPECT_TRUE(model.PreviewRunning());
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{B, C}));
  model.RefreshDisplay();
  EXPECT_EQ(view.slotColours, colours);
}

}  // namespace
}  // namespace lumora::testing
