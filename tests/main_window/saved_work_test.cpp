// Which parts of the work hold changes in no file, counted through the undo steps, and the
// close that asks before losing them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "main_window/closing.h"
#include "model_fixture.h"
#include "support/fake_work_questions.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

constexpr UnsavedWork kNone{};
constexpr UnsavedWork kSequence{.Sequence = true};
constexpr UnsavedWork kProject{.Project = true};
constexpr UnsavedWork kBoth{.Sequence = true, .Project = true};

class SavedWorkTest : public ModelFixture {
 protected:
  std::string Path(const std::string& name) { return folder.File(name); }
  // Paints on a scene: a running preview, whose frames are no work, stops first.
  void Paint(int cell, int paletteIndex = 1) {
    model.Stop();
    model.SelectPaintColour(paletteIndex);
    model.CellMouseDown(cell, MouseButton::Left);
    model.CellMouseUp(MouseButton::Left);
  }
  // A sequence file of `count` scenes of one colour.
  std::string SequenceFile(const std::string& name, int count, CellColour colour) {
    const std::vector<CellColour> cells(count * kCellsPerScene, colour);
    EXPECT_TRUE(SaveSequenceFile(Path(name), count, EffectNormal, cells));
    return Path(name);
  }
  void Answer(const std::string& path) { dialogs.answers.push_back(path); }

  TempFolder folder;
  FakeWorkQuestions questions;
};

TEST_F(SavedWorkTest, TheStartHasNoChangesAndAnUndoBackToASavedStateHasNone) {
  EXPECT_EQ(model.Unsaved(), kNone);
  Paint(4);
  EXPECT_EQ(model.Unsaved(), kSequence);
  model.Undo();
  EXPECT_EQ(model.Unsaved(), kNone);
  model.Redo();
  EXPECT_EQ(model.Unsaved(), kSequence);

  Answer(Path("a.sqx"));
  ASSERT_TRUE(model.SaveSequence());
  EXPECT_EQ(model.Unsaved(), kNone);
  model.AddScene();
  EXPECT_EQ(model.Unsaved(), kSequence);
  model.Undo();  // back to the saved sequence
  EXPECT_EQ(model.Unsaved(), kNone);
  model.Undo();  // the start's sequence, in no file now
  EXPECT_EQ(model.Unsaved(), kSequence);
}

TEST_F(SavedWorkTest, HoverPaintingUnderWayIsAChange) {
  model.SelectPaintColour(2);
  model.CellMouseDown(0, MouseButton::Right);
  model.CellMouseMove(9);
  EXPECT_EQ(model.Unsaved(), kSequence);
}

// Opening marks what it opened; the work before it comes back with an undo, unsaved again.
TEST_F(SavedWorkTest, OpeningOverUnsavedChangesMarksTheFileAndUndoBringsThemBack) {
  Paint(7);
  Answer(SequenceFile("blue.sqx", 2, colour::Blue));
  model.OpenSequence();
  EXPECT_EQ(model.Unsaved(), kNone);
  EXPECT_EQ(Store().SceneCount, 2);
  model.Undo();
  EXPECT_EQ(Store().SceneCount, 1);
  EXPECT_EQ(model.CurrentSequence().Cells[7], colour::Red);
  EXPECT_EQ(model.Unsaved(), kSequence);

  Answer(Path("missing.sqx"));
  model.OpenSequence();  // refused: nothing marked
  EXPECT_EQ(model.Unsaved(), kSequence);
}

TEST_F(SavedWorkTest, OpeningAProjectOverUnsavedChangesMarksItAndUndoBringsThemBack) {
  Answer(SequenceFile("three.sqx", 3, colour::Green));
  model.ProgramSlotMouseDown(5, MouseButton::Right);
  ProgramMemory other;
  other.SetProgram(1, 1, EffectNormal);
  AutoTableArray autoTable;
  autoTable.fill(2);
  ASSERT_TRUE(SaveProjectFile(Path("other.prj"), other.Table(), other.Store(), autoTable));
  Answer(Path("other.prj"));
  model.OpenProject();
  EXPECT_EQ(model.Unsaved(), kNone);
  EXPECT_EQ(Programs().UsedScenes(), 1);
  model.Undo();
  EXPECT_EQ(Programs().SceneCountOf(5), 3);
  EXPECT_EQ(model.Unsaved(), kProject);
}

// The project is the programs and the automatic table; the squares' colours and the selected
// automatic program are no part of its file.
TEST_F(SavedWorkTest, TheProjectIsCountedApartFromTheSequence) {
  Answer(SequenceFile("three.sqx", 3, colour::Green));
  model.ProgramSlotMouseDown(5, MouseButton::Right);
  EXPECT_EQ(model.Unsaved(), kProject);  // the editor holds program 5
  Answer(Path("show.prj"));
  ASSERT_TRUE(model.SaveProject());
  EXPECT_EQ(model.Unsaved(), kNone);

  model.AutoPanelMouseDown(3);
  model.ProgramSlotMouseDown(5, MouseButton::Left);
  EXPECT_EQ(model.Unsaved(), kNone);
  model.Stop();
  model.AutoStartClick(4);
  EXPECT_EQ(model.Unsaved(), kProject);
  Paint(1);
  EXPECT_EQ(model.Unsaved(), kBoth);
  model.Undo();
  model.Undo();
  EXPECT_EQ(model.Unsaved(), kNone);
}

// A sequence taken whole from the project (its first program as it opens, a program played)
// is in the project's file.
TEST_F(SavedWorkTest, ASequenceTakenFromTheProjectIsInItsFile) {
  Answer(SequenceFile("two.sqx", 2, colour::Cyan));
  model.ProgramSlotMouseDown(1, MouseButton::Right);
  Answer(SequenceFile("one.sqx", 1, colour::Yellow));
  model.ProgramSlotMouseDown(2, MouseButton::Right);
  Answer(Path("show.prj"));
  ASSERT_TRUE(model.SaveProject());
  Paint(3);
  Answer(Path("show.prj"));
  model.OpenProject();
  EXPECT_EQ(model.Unsaved(), kNone);
  model.ProgramSlotMouseDown(2, MouseButton::Left);
  EXPECT_EQ(model.Unsaved(), kNone);
  Paint(3);
  EXPECT_EQ(model.Unsaved(), kSequence);
}

TEST_F(SavedWorkTest, WorkLetGoHasNoChangesUntilItChangesAgain) {
  Paint(2);
  model.GiveUpUnsaved();
  EXPECT_EQ(model.Unsaved(), kNone);
  Paint(3);
  EXPECT_EQ(model.Unsaved(), kSequence);
  model.Undo();
  EXPECT_EQ(model.Unsaved(), kNone);
}

// The close: asked only with changes, and closing only when nothing is lost.
TEST_F(SavedWorkTest, CloseWithoutChangesClosesWithoutAsking) {
  EXPECT_TRUE(MayClose(model, questions));
  Paint(5);
  model.Undo();
  EXPECT_TRUE(MayClose(model, questions));
  EXPECT_TRUE(questions.asked.empty());
  EXPECT_TRUE(dialogs.kindsAsked.empty());
}

TEST_F(SavedWorkTest, CancelledCloseLeavesEverythingAsItWas) {
  Answer(SequenceFile("two.sqx", 2, colour::Cyan));
  model.ProgramSlotMouseDown(1, MouseButton::Right);
  model.Stop();
  model.SelectPaintColour(3);
  model.CellMouseDown(6, MouseButton::Right);
  model.CellMouseMove(7);  // hover painting goes on
  const EditState before{model.Editor().Snapshot(), model.Config().Snapshot()};
  const int steps = model.History().UndoSteps();
  questions.closeAnswers = {CloseAnswer::Cancel};
  EXPECT_FALSE(MayClose(model, questions));
  EXPECT_EQ(questions.asked, std::vector<UnsavedWork>{kBoth});
  EXPECT_EQ(model.Editor().Snapshot(), before.sequence);
  EXPECT_EQ(model.Config().Snapshot(), before.config);
  EXPECT_EQ(model.History().UndoSteps(), steps);
  EXPECT_EQ(model.Unsaved(), kBoth);
  EXPECT_EQ(dialogs.kindsAsked.size(), 1u);  // only the assignment's
}

TEST_F(SavedWorkTest, DontSaveClosesAndLetsTheChangesGo) {
  Paint(5);
  questions.closeAnswers = {CloseAnswer::DontSave};
  EXPECT_TRUE(MayClose(model, questions));
  EXPECT_EQ(model.Unsaved(), kNone);
  EXPECT_TRUE(dialogs.kindsAsked.empty());
}

// "Save" saves each unsaved part through its own dialog; a save cancelled or failed keeps the
// window open, and what was saved stays saved.
TEST_F(SavedWorkTest, SaveClosesOnlyWhenEveryUnsavedPartIsWritten) {
  const struct {
    const char* name;
    std::vector<std::optional<std::string>> answers;
    bool closes;
    std::vector<FileKind> dialogs;
    UnsavedWork after;
    bool error;
  } cases[] = {
      {"both saved",
       {"s.sqx", "p.prj"},
       true,
       {FileKind::Sequence, FileKind::Project},
       kNone,
       false},
      {"sequence dialog cancelled", {std::nullopt}, false, {FileKind::Sequence}, kBoth, false},
      {"project dialog cancelled",
       {"s.sqx", std::nullopt},
       false,
       {FileKind::Sequence, FileKind::Project},
       kProject,
       false},
      {"sequence save failed", {"no/such/folder/s.sqx"}, false, {FileKind::Sequence}, kBoth, true},
  };
  for (const auto& c : cases) {
    FakeDialogs caseDialogs;
    MainWindowModel caseModel(view, caseDialogs, caseDialogs);
    caseModel.FormCreate();
    caseModel.AutoStartClick(3);
    caseModel.SelectPaintColour(1);
    caseModel.CellMouseDown(0, MouseButton::Left);
    caseModel.CellMouseUp(MouseButton::Left);
    ASSERT_EQ(caseModel.Unsaved(), kBoth) << c.name;
    for (const auto& answer : c.answers) {
      caseDialogs.answers.push_back(answer ? std::optional(Path(*answer)) : std::nullopt);
    }
    FakeWorkQuestions caseQuestions;
    caseQuestions.closeAnswers = {CloseAnswer::Save};
    EXPECT_EQ(MayClose(caseModel, caseQuestions), c.closes) << c.name;
    EXPECT_EQ(std::vector<FileKind>(caseDialogs.kindsAsked.begin(), caseDialogs.kindsAsked.end()),
              c.dialogs)
        << c.name;
    EXPECT_EQ(caseModel.Unsaved(), c.after) << c.name;
    EXPECT_EQ(caseDialogs.errors.size(), c.error ? 1u : 0u) << c.name;
  }
  // The answers that were written hold the work.
  auto sequence = std::make_unique<SequenceFileData>();
  ASSERT_EQ(ReadSequenceFile(Path("s.sqx"), *sequence), ReadResult::Ok);
  EXPECT_EQ(sequence->SceneSlots[0], colour::Red);
  auto project = std::make_unique<ProjectFileData>();
  ASSERT_EQ(ReadProjectFile(Path("p.prj"), *project), ReadResult::Ok);
  EXPECT_EQ(project->AutoValues[0], 3);
}

}  // namespace
}  // namespace lumora::testing
