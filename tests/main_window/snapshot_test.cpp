#include <gtest/gtest.h>

#include <vector>

#include "files/sequence_file.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

using SnapshotTest = ModelFixture;

TEST_F(SnapshotTest, EditorTakesBackItsStateAndShowsIt) {
  SetSequence({A, B, C}, 2, EffectWave1);
  model.SelectPaintColour(3);
  model.SelectBrush();
  model.CellMouseDown(0, MouseButton::Right);  // hover painting on
  model.CopyScene();
  model.Play();
  for (int tick = 0; tick < 130; ++tick) model.PreviewTick();  // mid-wave, scene 2 feeding
  const SequenceSnapshot before = model.Editor().Snapshot();
  const Scene shown = view.cells;

  model.Stop();
  model.DeleteScene();
  model.SelectPaintColour(1);
  model.CellMouseDown(5, MouseButton::Left);
  model.SelectEffectMode(EffectNormal);
  model.Play();
  model.PreviewTick();
  ASSERT_NE(model.Editor().Snapshot(), before);

  model.Editor().Restore(before);
  EXPECT_EQ(model.Editor().Snapshot(), before);
  EXPECT_EQ(view.cells, shown);
  EXPECT_EQ(view.sceneLabel, 3);
  EXPECT_TRUE(view.timerEnabled);
  // The restored preview goes on where it was, and its frame is still never stored.
  model.PreviewTick();
  model.NextScene();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B, C}));
  // About 50 KB each: a plain copy.
  EXPECT_LT(sizeof(SequenceSnapshot), 52 * 1024u);
}

class ConfigSnapshotTest : public ModelFixture {
 protected:
  void Assign(int k, int scenes, CellColour colour) {
    const std::string path = folder.File("p" + std::to_string(k) + ".sqx");
    ASSERT_TRUE(SaveSequenceFile(path, scenes, 1,
                                 std::vector<CellColour>(scenes * kCellsPerScene, colour)));
    dialogs.answers.push_back(path);
    model.ProgramSlotMouseDown(k, MouseButton::Right);
  }
  TempFolder folder;
};

TEST_F(ConfigSnapshotTest, SnapshotsShareTheProgramMemoryUntilItChanges) {
  Assign(1, 3, A);
  model.AutoPanelMouseDown(2);
  model.AutoStartClick(4);
  const ConfigSnapshot before = model.Config().Snapshot();
  const ProgramStoreArray* memory = &Programs().Store();
  EXPECT_EQ(&before.programs.Store(), memory);  // taking a snapshot copies no scene

  Assign(2, 2, B);  // the memory is written: the configuration takes a copy of its own
  model.AutoLoopClick(5);
  model.TabChanged();
  EXPECT_NE(&Programs().Store(), memory);
  EXPECT_EQ(&before.programs.Store(), memory);
  EXPECT_EQ(before.programs.SceneCountOf(2), 0);
  EXPECT_TRUE(before.programs.ProgramScenes(1).size() == 3u * kCellsPerScene &&
              before.programs.ProgramScenes(1)[0] == A);

  model.Config().Restore(before);
  EXPECT_EQ(model.Config().Snapshot(), before);
  EXPECT_EQ(&Programs().Store(), memory);  // shared again, not copied back
  EXPECT_EQ(Programs().UsedScenes(), 3);
  EXPECT_EQ(Autos().AutoTable[3], 4);
  EXPECT_EQ(Autos().AutoTable[5], 1);
  EXPECT_EQ(view.autoSpinners, (std::array<int, 3>{4, 4, 1}));
  model.RefreshDisplay();
  EXPECT_EQ(view.slotColours[0], slot_colour::Green);
  EXPECT_EQ(view.slotColours[1], slot_colour::ButtonFace);
  EXPECT_EQ(view.autoColours[1], slot_colour::Red);
  // A snapshot holds the tables and a pointer, never the 450 KB memory.
  EXPECT_LT(sizeof(ConfigSnapshot), 2048u);
}

}  // namespace
}  // namespace lumora::testing
