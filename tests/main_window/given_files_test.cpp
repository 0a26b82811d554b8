// Files given from outside (the command line, a drop, the recent files) and what the commands
// tell the dialogs of the files they read and wrote.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

using Used = std::vector<std::pair<FileKind, std::string>>;

class GivenFilesTest : public ModelFixture {
 protected:
  std::string Path(const std::string& name) { return folder.File(name); }
  TempFolder folder;
};

// A given sequence opens as "Otwórz" opens it, without a dialog: the sequence plays from scene
// 1, the automatic chain is off, and one undo takes it back.
TEST_F(GivenFilesTest, AGivenSequenceOpensAsTheButtonOpensIt) {
  SetSequence({A, B}, 2);
  dialogs.answers.push_back(Path("s.sqx"));
  model.SaveSequence();
  SetSequence({C});
  model.AutoPanelMouseDown(2);
  dialogs.used.clear();

  model.OpenGivenFile(FileKind::Sequence, Path("s.sqx"));
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B}));
  EXPECT_EQ(Shown(), A);
  EXPECT_TRUE(model.PreviewRunning());
  EXPECT_FALSE(Autos().AutoPending);
  EXPECT_EQ(dialogs.kindsAsked.size(), 1u);  // the save's only
  EXPECT_EQ(dialogs.used, (Used{{FileKind::Sequence, Path("s.sqx")}}));

  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(Sequence(), std::vector<CellColour>{C});
  // The answer was for that command only: the button asks again.
  model.OpenSequence();
  EXPECT_EQ(dialogs.kindsAsked.size(), 2u);
}

TEST_F(GivenFilesTest, AGivenProjectOpensAsTheButtonOpensIt) {
  ProgramMemory memory;
  memory.SetProgram(1, 1, EffectWave2);
  memory.StoreProgram(1, std::vector<CellColour>(kCellsPerScene, D));
  AutoTableArray autoTable;
  autoTable.fill(1);
  ASSERT_TRUE(SaveProjectFile(Path("p.prj"), memory.Table(), memory.Store(), autoTable));
  const auto before = Programs().Table();

  model.OpenGivenFile(FileKind::Project, Path("p.prj"));
  EXPECT_EQ(Programs().Table(), memory.Table());
  EXPECT_EQ(Shown(), D);  // program 1 in the editor
  EXPECT_TRUE(dialogs.kindsAsked.empty());
  EXPECT_EQ(dialogs.used, (Used{{FileKind::Project, Path("p.prj")}}));
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(Programs().Table(), before);
}

// The usual message; nothing changes, no step, nothing kept as used. A sequence given as a
// project is refused by the project reader, as in its dialog.
TEST_F(GivenFilesTest, ABadGivenFileIsRefusedAsInTheDialog) {
  SetSequence({A, B}, 2);
  dialogs.answers.push_back(Path("s.sqx"));
  model.SaveSequence();
  WriteBytes(Path("inny.prj"), "PROJCS[\"ETRS89 / Poland CS92\",GEOGCS[\"ETRS89\"]]");
  dialogs.used.clear();
  const std::pair<FileKind, std::string> cases[] = {
      {FileKind::Sequence, Path("brak.sqx")},
      {FileKind::Project, Path("inny.prj")},
      {FileKind::Project, Path("s.sqx")},
  };
  for (const auto& [kind, path] : cases) {
    dialogs.errors.clear();
    model.OpenGivenFile(kind, path);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"ERROR PLIK"}) << path;
    EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B})) << path;
  }
  EXPECT_EQ(model.History().UndoSteps(), 0);
  EXPECT_TRUE(dialogs.used.empty());
  EXPECT_EQ(dialogs.kindsAsked.size(), 1u);
}

// Every file read or written is told to the dialogs with its kind: the export line and the
// listings as listings, never as sequences. Cancelled and failed ones are not.
TEST_F(GivenFilesTest, TheDialogsAreToldEveryFileReadOrWrittenWithItsKind) {
  const struct {
    const char* name;
    void (*command)(MainWindowModel&);
    FileKind kind;
  } commands[] = {
      {"s.sqx", [](MainWindowModel& m) { m.SaveSequence(); }, FileKind::Sequence},
      {"s.sqx", [](MainWindowModel& m) { m.OpenSequence(); }, FileKind::Sequence},
      {"s.sqx", [](MainWindowModel& m) { m.ProgramSlotMouseDown(3, MouseButton::Right); },
       FileKind::Sequence},
      {"p.prj", [](MainWindowModel& m) { m.SaveProject(); }, FileKind::Project},
      {"p.prj", [](MainWindowModel& m) { m.OpenProject(); }, FileKind::Project},
      {"e.sqx", [](MainWindowModel& m) { m.ExportSequence(); }, FileKind::Listing},
      {"all.sqx", [](MainWindowModel& m) { m.SaveFullListing(); }, FileKind::Listing},
      {"auto.sqx", [](MainWindowModel& m) { m.SaveAutoListing(); }, FileKind::Listing},
      {"prg.sqx", [](MainWindowModel& m) { m.SaveProgramListing(); }, FileKind::Listing},
      {"sc.sqx", [](MainWindowModel& m) { m.SaveSceneListing(); }, FileKind::Listing},
  };
  for (const auto& c : commands) {
    dialogs.used.clear();
    c.command(model);  // cancelled
    dialogs.answers.push_back(Path("no/such/folder/") + c.name);
    c.command(model);  // failed
    dialogs.answers.push_back(Path(c.name));
    c.command(model);
    EXPECT_EQ(dialogs.kindsAsked.back(), c.kind) << c.name;
    EXPECT_EQ(dialogs.used, (Used{{c.kind, Path(c.name)}})) << c.name;
  }
}

}  // namespace
}  // namespace lumora::testing
