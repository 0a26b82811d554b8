// The recovery copy of the work: written while there are changes in no file, gone once there
// are none, and a copy left by a Lumora that is gone brought back byte for byte as one step.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "main_window/work_recovery.h"
#include "model_fixture.h"
#include "support/fake_work_questions.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

// A main window of its own, as another run of the program has one.
struct Session {
  explicit Session(const std::string& folder) : recoveryFolder(folder) { model.FormCreate(); }
  void Paint(int cell, int paletteIndex) {
    model.SelectPaintColour(paletteIndex);
    model.CellMouseDown(cell, MouseButton::Left);
    model.CellMouseUp(MouseButton::Left);
  }
  std::string SequenceBytes() const {
    const SequenceWork work = model.CurrentSequence();
    return FormatSequenceFile(work.SceneCount, work.EffectMode, work.Cells);
  }
  std::string ProjectBytes() const {
    const ProjectWork work = model.CurrentProject();
    return FormatProjectFile(work.Programs.Table(), work.Programs.Store(), work.AutoTable);
  }

  FakeMainWindowView view;
  FakeDialogs dialogs;
  MainWindowModel model{view, dialogs, dialogs};
  RecoveryFolder recoveryFolder;
  WorkRecovery recovery{model, recoveryFolder};
};

class WorkRecoveryTest : public ::testing::Test {
 protected:
  // The files of the folder's copies, by extension.
  std::vector<std::filesystem::path> Files(const char* extension) const {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder.Path() / "recovery", error)) {
      if (entry.path().extension() == extension) found.push_back(entry.path());
    }
    return found;
  }
  // A run with edits to both parts: three scenes, one painted, "fala2", and an assigned
  // program with its automatic values.
  void Edit(Session& run) {
    const std::vector<CellColour> cells(2 * kCellsPerScene, colour::Magenta);
    ASSERT_TRUE(SaveSequenceFile(folder.File("two.sqx"), 2, EffectWave1, cells));
    run.dialogs.answers.push_back(folder.File("two.sqx"));
    run.model.ProgramSlotMouseDown(4, MouseButton::Right);
    run.model.AutoPanelMouseDown(2);
    run.model.AutoEndClick(9);
    run.model.Stop();
    run.model.AddScene();
    run.Paint(17, 5);
    run.model.SelectEffectMode(EffectWave2);
    run.Paint(100, 6);
  }
  std::string RecoveryFolderPath() const { return (folder.Path() / "recovery").string(); }

  TempFolder folder;
};

TEST_F(WorkRecoveryTest, TheCopyIsDueWhileChangesAreInNoFileAndGoesOnceThereAreNone) {
  Session run(RecoveryFolderPath());
  EXPECT_FALSE(run.recovery.Notice());
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "recovery"));  // nothing made yet

  run.Paint(3, 2);
  EXPECT_TRUE(run.recovery.Notice());
  run.recovery.Keep();
  EXPECT_FALSE(run.recovery.Notice());
  ASSERT_EQ(Files(".sqx").size(), 1u);
  ASSERT_EQ(Files(".prj").size(), 1u);
  EXPECT_EQ(ReadBytes(Files(".sqx")[0].string()), run.SequenceBytes());
  EXPECT_EQ(ReadBytes(Files(".prj")[0].string()), run.ProjectBytes());

  // Only the part that changed is written again.
  std::filesystem::remove(Files(".prj")[0]);
  run.Paint(4, 3);
  EXPECT_TRUE(run.recovery.Notice());
  run.recovery.Keep();
  EXPECT_EQ(ReadBytes(Files(".sqx")[0].string()), run.SequenceBytes());
  EXPECT_TRUE(Files(".prj").empty());

  // Each way to no changes removes the copy at once, its lock too.
  const struct {
    const char* name;
    void (*reach)(Session&, const TempFolder&);
  } ways[] = {
      {"undone back to the start",
       [](Session& r, const TempFolder&) {
         while (r.model.Undo()) {
         }
       }},
      {"saved",
       [](Session& r, const TempFolder& f) {
         r.dialogs.answers.push_back(f.File("saved.sqx"));
         r.model.SaveSequence();
       }},
      {"let go", [](Session& r, const TempFolder&) { r.model.GiveUpUnsaved(); }},
  };
  for (const auto& way : ways) {
    Session other(RecoveryFolderPath() + "-" + way.name);
    other.Paint(5, 4);
    other.recovery.Keep();
    way.reach(other, folder);
    EXPECT_FALSE(other.recovery.Notice()) << way.name;
    EXPECT_TRUE(std::filesystem::is_empty(RecoveryFolderPath() + "-" + way.name)) << way.name;
  }
}

TEST_F(WorkRecoveryTest, ACopyThatCannotBeWrittenIsTriedAgainOnlyAfterTheNextChange) {
  WriteBytes(RecoveryFolderPath(), "a file where the folder should be");
  Session run(RecoveryFolderPath());
  run.Paint(3, 2);
  EXPECT_TRUE(run.recovery.Notice());
  run.recovery.Keep();
  EXPECT_FALSE(run.recovery.Notice());
  run.Paint(4, 2);
  EXPECT_TRUE(run.recovery.Notice());
}

// Restored, the work saves to the very bytes it would have saved to, and one undo takes the
// restoring back.
TEST_F(WorkRecoveryTest, ACopyLeftBehindComesBackByteForByteAsOneStep) {
  std::string sequenceBytes;
  std::string projectBytes;
  {
    Session gone(RecoveryFolderPath());
    Edit(gone);
    gone.recovery.Keep();
    sequenceBytes = gone.SequenceBytes();
    projectBytes = gone.ProjectBytes();

    // Still running: a second start leaves its copy alone.
    Session second(RecoveryFolderPath());
    FakeWorkQuestions questions;
    second.recovery.OfferLeftWork(questions);
    EXPECT_EQ(questions.offers, 0);
  }
  Session next(RecoveryFolderPath());
  FakeWorkQuestions questions;
  next.recovery.OfferLeftWork(questions);
  EXPECT_EQ(questions.offers, 1);
  EXPECT_EQ(next.SequenceBytes(), sequenceBytes);
  EXPECT_EQ(next.ProjectBytes(), projectBytes);
  EXPECT_EQ(next.model.Unsaved(), (UnsavedWork{.Sequence = true, .Project = true}));
  EXPECT_FALSE(next.model.PreviewRunning());
  EXPECT_EQ(next.model.Editor().Store().CurrentScene, 1);
  EXPECT_EQ(next.view.sceneLabel, 3);
  EXPECT_EQ(next.view.memoryUse, 2);

  // The restored work has a copy of its own; the one left behind is gone, offered once.
  ASSERT_EQ(Files(".sqx").size(), 1u);
  EXPECT_EQ(ReadBytes(Files(".sqx")[0].string()), sequenceBytes);
  Session third(RecoveryFolderPath());
  third.recovery.OfferLeftWork(questions);
  EXPECT_EQ(questions.offers, 1);

  EXPECT_EQ(next.model.History().UndoSteps(), 1);
  next.model.Undo();
  EXPECT_EQ(next.model.Unsaved(), UnsavedWork{});
  EXPECT_EQ(next.model.Editor().Store().SceneCount, 1);
}

TEST_F(WorkRecoveryTest, ADiscardedCopyGoesAndChangesNothing) {
  {
    Session gone(RecoveryFolderPath());
    Edit(gone);
    gone.recovery.Keep();
  }
  Session next(RecoveryFolderPath());
  FakeWorkQuestions questions;
  questions.restore = false;
  next.recovery.OfferLeftWork(questions);
  EXPECT_EQ(questions.offers, 1);
  EXPECT_EQ(next.model.Unsaved(), UnsavedWork{});
  EXPECT_EQ(next.model.History().UndoSteps(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(RecoveryFolderPath()));
}

// A copy cut short, garbled or not a file is reported and set aside, never offered, and the
// start goes on with its own work.
TEST_F(WorkRecoveryTest, ACopyThatCannotBeReadIsReportedAndSetAside) {
  const struct {
    const char* name;
    const char* extension;
    std::string bytes;
    bool folder = false;
  } cases[] = {
      {"truncated sequence", ".sqx", "2 128 1 128 0 0 0"},
      {"garbled sequence", ".sqx", "2 128 1 128 x"},
      {"empty project", ".prj", ""},
      {"truncated project", ".prj", "112640 112640 2 1"},
      {"a folder for a sequence", ".sqx", "", true},
  };
  for (const auto& c : cases) {
    const std::filesystem::path recovery = folder.Path() / c.name;
    std::filesystem::create_directories(recovery);
    const std::filesystem::path copy = recovery / (std::string("0badc0de") + c.extension);
    if (c.folder) {
      std::filesystem::create_directory(copy);
    } else {
      WriteBytes(copy.string(), c.bytes);
    }
    Session next(recovery.string());
    FakeWorkQuestions questions;
    next.recovery.OfferLeftWork(questions);
    EXPECT_EQ(questions.offers, 0) << c.name;
    ASSERT_EQ(questions.damaged.size(), 1u) << c.name;
    EXPECT_EQ(std::filesystem::path(questions.damaged[0]), recovery / "damaged") << c.name;
    EXPECT_TRUE(std::filesystem::exists(recovery / "damaged" / copy.filename())) << c.name;
    EXPECT_FALSE(std::filesystem::exists(copy)) << c.name;
    EXPECT_EQ(next.model.History().UndoSteps(), 0) << c.name;

    next.recovery.OfferLeftWork(questions);
    EXPECT_EQ(questions.damaged.size(), 1u) << c.name;
  }
}

}  // namespace
}  // namespace lumora::testing
