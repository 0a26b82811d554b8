#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

class EditHistoryTest : public ModelFixture {
 protected:
  EditHistoryTest() {
    SetSequence({A, B, C}, 2);
    model.SelectPaintColour(2);
  }

  std::string SequenceFile(int scenes, CellColour colour) {
    const std::string path =
        folder.File("s" + std::to_string(scenes) + "_" + std::to_string(colour) + ".sqx");
    EXPECT_TRUE(SaveSequenceFile(path, scenes, 1,
                                 std::vector<CellColour>(scenes * kCellsPerScene, colour)));
    return path;
  }
  void Answer(const std::string& path) { dialogs.answers.push_back(path); }

  // What a step takes back, the scene on screen and the squares included; not the chain's
  // progress.
  struct Work {
    SceneStore store;
    ProgramMemory programs;
    AutoTableArray autoTable;
    int selectedAuto;
    std::array<CellColour, kPrograms> slotColours;
    bool operator==(const Work&) const = default;
  };
  Work Now() {
    model.RefreshDisplay();
    SceneStore store = Store();
    store.ClipboardScene = {};
    return {store, Programs(), Autos().AutoTable, Autos().SelectedAuto,
            model.Config().SlotColours()};
  }

  TempFolder folder;
};

TEST_F(EditHistoryTest, EachRecordedCommandIsOneStepBackAndForth) {
  const std::string three = SequenceFile(3, D);
  struct Case {
    const char* name;
    std::function<void()> command;
  };
  const std::vector<Case> cases = {
      {"left stroke",
       [&] {
         model.CellMouseDown(5, MouseButton::Left);
         model.CellMouseMove(5);
         model.CellMouseUp(MouseButton::Left);
       }},
      {"brush",
       [&] {
         model.SelectBrush();
         model.CellMouseDown(9, MouseButton::Left);
         model.CellMouseUp(MouseButton::Left);
       }},
      {"hover run",
       [&] {
         model.SelectPaintColour(5);
         model.CellMouseDown(1, MouseButton::Right);
         model.CellMouseUp(MouseButton::Right);
         for (int cell = 10; cell < 20; ++cell) model.CellMouseMove(cell);
         model.CellMouseDown(30, MouseButton::Middle);  // the next press ends the run
       }},
      {"Dodaj", [&] { model.AddScene(); }},
      {"Usuń", [&] { model.DeleteScene(); }},
      {"wklej",
       [&] {
         model.CopyScene();
         model.PasteScene();
       }},
      {"effect mode", [&] { model.SelectEffectMode(EffectWave2); }},
      {"Otwórz",
       [&] {
         Answer(three);
         model.OpenSequence();
       }},
      {"program assignment",
       [&] {
         Answer(three);
         model.ProgramSlotMouseDown(4, MouseButton::Right);
       }},
      {"Prg Start", [&] { model.AutoStartClick(9); }},
      {"Prg End", [&] { model.AutoEndClick(12); }},
      {"Prg Loop", [&] { model.AutoLoopClick(3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    model.SelectPencil();
    const Work before = Now();
    const int steps = model.History().UndoSteps();
    c.command();
    if (model.PreviewRunning()) model.Stop();  // as undo would stop it
    const Work after = Now();
    ASSERT_NE(after, before);
    EXPECT_EQ(model.History().UndoSteps(), steps + 1);

    EXPECT_TRUE(model.Undo());
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(view.cells, Store().WorkingScene);
    EXPECT_EQ(view.currentLabel, Store().CurrentScene);
    EXPECT_TRUE(model.Redo());
    EXPECT_EQ(Now(), after);
    EXPECT_EQ(view.cells, Store().WorkingScene);
    EXPECT_EQ(view.slotColours, model.Config().SlotColours());
    EXPECT_EQ(view.autoSpinners[0], Autos().AutoStart);
  }
}

TEST_F(EditHistoryTest, CommandsThatChangeNothingAreNotRecorded) {
  const Work before = Now();
  model.OpenSequence();  // cancelled
  WriteBytes(folder.File("bad.sqx"), "3 128 1 128 1 2");
  Answer(folder.File("bad.sqx"));
  model.OpenSequence();  // refused
  model.CellMouseDown(3, MouseButton::Middle);
  model.CellMouseDown(3, MouseButton::Right);  // a hover run that paints nothing
  model.CellMouseDown(3, MouseButton::Left);   // the paint colour onto itself...
  model.CellMouseUp(MouseButton::Left);
  model.CellMouseDown(3, MouseButton::Left);  // ...the second time
  model.CellMouseUp(MouseButton::Left);
  model.SelectEffectMode(EffectNormal);
  model.AutoStartClick(1);
  model.OpenProject();                        // cancelled
  EXPECT_EQ(model.History().UndoSteps(), 1);  // the first click on cell 3
  model.Undo();
  EXPECT_EQ(Now(), before);
  EXPECT_FALSE(model.Undo());
  EXPECT_EQ(Now(), before);
}

TEST_F(EditHistoryTest, UndoStopsThePreviewAndNeverTakesBackAFrame) {
  model.AddScene();  // A B C B
  model.SelectEffectMode(EffectWave1);
  model.CellMouseDown(0, MouseButton::Right);
  model.Play();
  for (int tick = 0; tick < 70; ++tick) model.PreviewTick();
  ASSERT_TRUE(model.ScreenShowsPreviewFrame());
  // Painting on a preview frame is lost to the next frame, so it is no step of its own.
  model.CellMouseMove(7);
  model.CellMouseDown(8, MouseButton::Left);
  model.CellMouseUp(MouseButton::Left);
  ASSERT_TRUE(model.Undo());  // the effect mode
  EXPECT_FALSE(model.PreviewRunning());
  EXPECT_FALSE(view.timerEnabled);
  EXPECT_EQ(Store().EffectMode, EffectNormal);
  EXPECT_EQ(view.checkedEffect, EffectNormal);
  EXPECT_FALSE(model.Editor().Paint().HoverPaint);
  EXPECT_EQ(model.Editor().Paint().PaintColor, kPalette[2]);  // the tools stay
  // The state undone from was the preview left at scene 1, as an editing command leaves it.
  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Shown(), A);
  model.NextScene();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B, C, B}));
}

TEST_F(EditHistoryTest, KeepsTwoHundredStepsAndANewStepEndsRedo) {
  for (int i = 0; i < EditHistory::kMaxSteps + 5; ++i) {
    model.SelectPaintColour(1 + i % 7);
    model.CellMouseDown(i % kCellsPerScene, MouseButton::Left);
    model.CellMouseUp(MouseButton::Left);
  }
  EXPECT_EQ(model.History().UndoSteps(), EditHistory::kMaxSteps);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(model.Undo());
  EXPECT_EQ(model.History().RedoSteps(), 3);
  model.AddScene();
  EXPECT_EQ(model.History().RedoSteps(), 0);
  EXPECT_FALSE(model.Redo());
  while (model.Undo()) {
  }
  // The oldest five strokes fell off the end; the sixth is the earliest one taken back.
  EXPECT_EQ(model.History().RedoSteps(), EditHistory::kMaxSteps - 2);
  for (int cell = 0; cell < 5; ++cell)
    EXPECT_EQ(Store().WorkingScene[cell], kPalette[1 + cell % 7]);
  EXPECT_EQ(Store().WorkingScene[5], B);
}

TEST_F(EditHistoryTest, StepsShareTheScenesTheyHaveInCommon) {
  for (int i = 0; i < 100; ++i) {
    model.CellMouseDown(i % kCellsPerScene, MouseButton::Left);
    model.CellMouseUp(MouseButton::Left);
    model.SelectPaintColour(i % 8);
  }
  // Each stroke changes one scene: a step is its table of scenes and that scene.
  EXPECT_LT(model.History().Bytes(), 100u * 20 * 1024);
}

TEST_F(EditHistoryTest, ProjectOpenIsOneStep) {
  const std::string path = folder.File("p.prj");
  auto project = std::make_unique<ProjectFileData>();
  project->ProgramTable[0] = 2;
  project->ProgramTable[1] = 1;
  std::fill_n(project->ProgramStore.begin(), 2 * kCellsPerScene, D);
  AutoTableArray autos;
  autos.fill(3);
  ASSERT_TRUE(SaveProjectFile(path, project->ProgramTable, project->ProgramStore, autos));
  const Work before = Now();
  Answer(path);
  model.OpenProject();
  ASSERT_EQ(Programs().SceneCountOf(1), 2);
  const Work after = Now();
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(view.memoryUse, 0);
  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(Now(), after);
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{D, D}));
}

}  // namespace
}  // namespace lumora::testing
