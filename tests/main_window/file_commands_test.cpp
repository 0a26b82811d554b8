#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "model_fixture.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

class FileCommandsTest : public ModelFixture {
 protected:
  std::string Path(const std::string& name) { return folder.File(name); }
  TempFolder folder;
};

TEST_F(FileCommandsTest, SaveThenOpenRestoresTheSequenceAndPlays) {
  SetSequence({A, B, 0xFFFFFFFF}, 2);
  model.SelectEffectMode(EffectWave2);
  dialogs.answers.push_back(Path("a.sqx"));
  model.SaveSequence();
  EXPECT_TRUE(dialogs.errors.empty());

  SetSequence({C});
  dialogs.answers.push_back(Path("a.sqx"));
  model.OpenSequence();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B, 0xFFFFFFFF}));
  EXPECT_EQ(Store().EffectMode, EffectWave2);
  EXPECT_EQ(Shown(), A);
  EXPECT_EQ(view.sceneLabel, 3);
  EXPECT_EQ(view.currentLabel, 1);
  EXPECT_TRUE(model.PreviewRunning());
  EXPECT_EQ(dialogs.kindsAsked.back(), FileKind::Sequence);
}

TEST_F(FileCommandsTest, SaveStoresTheScreenBackEvenWhenCancelled) {
  SetSequence({A, B}, 2);
  model.SelectPaintColour(1);
  model.CellMouseDown(4, MouseButton::Left);
  model.SaveSequence();  // cancelled
  EXPECT_EQ(Store().Slot(1)[4], colour::Red);
}

TEST_F(FileCommandsTest, SaveDuringPreviewStoresNoFrame) {
  SetSequence({A, B});
  model.Play();
  model.PreviewTick();
  model.PreviewTick();  // B on screen, position 1
  dialogs.answers.push_back(Path("b.sqx"));
  model.SaveSequence();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B}));
  auto file = std::make_unique<SequenceFileData>();
  ASSERT_EQ(ReadSequenceFile(Path("b.sqx"), *file), ReadResult::Ok);
  EXPECT_EQ(file->SceneSlots[0], A);
}

TEST_F(FileCommandsTest, RefusedSequenceFileChangesNothing) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"check", "1 128 2 127 " + std::string(128 * 2, ' ')},
      {"zero scenes", "0 128 2 128 "},
      {"hundred scenes", "100 128 2 128 "},
      {"truncated", "2 128 2 128 1 2 3 "},
      {"garbage", "2 128 2 128 1 x 3"},
      {"empty", ""},
  };
  SetSequence({A, B, C}, 2);
  model.SelectEffectMode(EffectWave1);
  const auto slots = Store().SceneSlots;
  for (const auto& c : cases) {
    WriteBytes(Path("bad.sqx"), c.bytes);
    dialogs.answers.push_back(Path("bad.sqx"));
    model.OpenSequence();
    EXPECT_EQ(dialogs.errors.back(), "ERROR PLIK") << c.name;
    EXPECT_EQ(Store().SceneCount, 3) << c.name;
    EXPECT_EQ(Store().CurrentScene, 2) << c.name;
    EXPECT_EQ(Store().EffectMode, EffectWave1) << c.name;
    EXPECT_EQ(Store().SceneSlots, slots) << c.name;
    EXPECT_EQ(Shown(), B) << c.name;
  }
  dialogs.answers.push_back(Path("missing.sqx"));
  model.OpenSequence();
  EXPECT_EQ(dialogs.errors.size(), std::size(cases) + 1);
  EXPECT_EQ(Store().SceneSlots, slots);
}

// "Otwórz", "Otwórz projekt" and a right click on a program square, each handed something
// that is no file while a preview runs: "ERROR PLIK", and nothing changes, the preview
// included.
TEST_F(FileCommandsTest, WhatIsNoFileIsRefusedAndChangesNothing) {
  const struct {
    const char* name;
    void (*command)(MainWindowModel&);
  } commands[] = {
      {"Otwórz", [](MainWindowModel& m) { m.OpenSequence(); }},
      {"Otwórz projekt", [](MainWindowModel& m) { m.OpenProject(); }},
      {"program square", [](MainWindowModel& m) { m.ProgramSlotMouseDown(4, MouseButton::Right); }},
  };
  SetSequence({A, B, C}, 2);
  model.Play();
  const auto slots = Store().SceneSlots;
  const auto table = Programs().Table();
  for (const SpecialKind kind : kSpecialKinds) {
    const std::string path = Path("special" + std::to_string(static_cast<int>(kind)));
    ASSERT_TRUE(MakeSpecial(kind, path)) << Name(kind);
    for (const auto& c : commands) {
      dialogs.errors.clear();
      dialogs.answers.push_back(path);
      EXPECT_TRUE(FinishesWithoutWaiting(path, [&] { c.command(model); }))
          << c.name << " waits on a " << Name(kind);
      EXPECT_EQ(dialogs.errors, std::vector<std::string>{"ERROR PLIK"})
          << c.name << ", " << Name(kind);
      EXPECT_EQ(Store().SceneSlots, slots) << c.name << ", " << Name(kind);
      EXPECT_EQ(Programs().Table(), table) << c.name << ", " << Name(kind);
      EXPECT_TRUE(model.PreviewRunning()) << c.name << ", " << Name(kind);
    }
  }
}

TEST_F(FileCommandsTest, RefusedFileStopsARunningPreviewWithoutStoringItsFrame) {
  SetSequence({A, B});
  model.Play();
  model.PreviewTick();
  model.PreviewTick();
  WriteBytes(Path("bad.sqx"), "x");
  dialogs.answers.push_back(Path("bad.sqx"));
  model.OpenSequence();
  EXPECT_FALSE(model.PreviewRunning());
  model.NextScene();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B}));
}

TEST_F(FileCommandsTest, FailedSaveSaysSo) {
  dialogs.answers.push_back(Path("no/such/folder/a.sqx"));
  model.SaveSequence();
  dialogs.answers.push_back(Path("no/such/folder/a.prj"));
  model.SaveProject();
  dialogs.answers.push_back(Path("no/such/folder/e.sqx"));
  model.ExportSequence();
  dialogs.answers.push_back(Path("no/such/folder/l.sqx"));
  model.SaveFullListing();
  EXPECT_EQ(dialogs.errors, (std::vector<std::string>(4, "ERROR PLIK")));
}

TEST_F(FileCommandsTest, OpenSwitchesTheChainOffEvenWhenCancelled) {
  model.AutoPanelMouseDown(2);
  model.OpenSequence();
  EXPECT_FALSE(Autos().AutoActive);
  EXPECT_FALSE(Autos().AutoPending);
}

TEST_F(FileCommandsTest, ProjectRoundTripRestoresAllTables) {
  SetSequence({A, B});
  dialogs.answers.push_back(Path("s.sqx"));
  model.SaveSequence();
  for (int k : {2, 5}) {
    dialogs.answers.push_back(Path("s.sqx"));
    model.ProgramSlotMouseDown(k, MouseButton::Right);
  }
  model.AutoPanelMouseDown(4);
  model.AutoStartClick(2);
  model.AutoEndClick(5);
  model.AutoLoopClick(7);
  EditConfig([](ConfigSnapshot& state) { state.autos.AutoTable[21] = 42; });
  const auto programs = std::make_unique<ProgramMemory>(Programs());
  const auto autoTable = Autos().AutoTable;
  dialogs.answers.push_back(Path("p.prj"));
  model.SaveProject();
  EXPECT_EQ(dialogs.kindsAsked.back(), FileKind::Project);

  EditConfig([](ConfigSnapshot& state) {
    state.programs = ProgramMemory{};
    state.autos.ResetAutoTable();
    state.autos.AutoTable[21] = 9;
  });
  dialogs.answers.push_back(Path("p.prj"));
  model.OpenProject();
  EXPECT_EQ(Programs().Table(), programs->Table());
  EXPECT_EQ(Programs().Store(), programs->Store());
  for (int i = 0; i < 21; ++i) EXPECT_EQ(Autos().AutoTable[i], autoTable[i]) << i;
  EXPECT_EQ(Autos().AutoTable[21], 9);  // not part of a project
  EXPECT_EQ(Autos().SelectedAuto, 1);
  model.RefreshDisplay();
  EXPECT_EQ(view.autoColours[0], slot_colour::Red);
  // Program 1 is empty: every slot still follows the loaded table.
  EXPECT_EQ(view.slotColours[0], slot_colour::ButtonFace);
  EXPECT_EQ(view.slotColours[1], slot_colour::SkyBlue);
  EXPECT_EQ(view.slotColours[4], slot_colour::SkyBlue);
  EXPECT_EQ(view.memoryUse, 4);
}

TEST_F(FileCommandsTest, ProjectOpenTakesProgramOneIntoTheEditor) {
  ProgramMemory memory;
  memory.SetProgram(1, 2, EffectWave1);
  std::vector<CellColour> scenes(2 * kCellsPerScene, colour::Black);
  scenes[0] = C;
  scenes[128] = D;
  memory.StoreProgram(1, scenes);
  AutoTableArray autoTable;
  autoTable.fill(1);
  ASSERT_TRUE(SaveProjectFile(Path("one.prj"), memory.Table(), memory.Store(), autoTable));
  SetSequence({A, B, A}, 3);
  dialogs.answers.push_back(Path("one.prj"));
  model.OpenProject();
  EXPECT_EQ(Store().SceneCount, 2);
  EXPECT_EQ(Store().EffectMode, EffectWave1);
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Shown(), C);
  EXPECT_EQ(Store().Slot(1)[0], D);
  model.RefreshDisplay();
  EXPECT_EQ(view.slotColours[0], slot_colour::Green);
}

// A project holds any 32-bit automatic values; the window opens it, plays every automatic
// program of it and sends their low bytes, as stored files and the controller expect. One
// row a square; under the sanitizers no step of the chain may overflow.
TEST_F(FileCommandsTest, AProjectOfAnyAutomaticValuesOpensPlaysAndIsSent) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::array<std::array<std::int32_t, 3>, kAutoPrograms> rows = {{
      {kMin, kMin, kMin},
      {kMax, kMax, kMax},
      {0, 0, 0},
      {-1, -1, -1},
      {1, kMax, kMin},
      {kMax, 1, -1},
      {-1, 0, kMax},
  }};
  ProgramMemory memory;
  for (int k = 1; k <= 3; ++k) {
    memory.SetProgram(k, 1, EffectNormal);
    memory.StoreProgram(k, std::vector<CellColour>(kCellsPerScene, CellColour(k)));
  }
  AutoTableArray autoTable{};
  for (int k = 0; k < kAutoPrograms; ++k) std::ranges::copy(rows[k], autoTable.begin() + 3 * k);
  ASSERT_TRUE(SaveProjectFile(Path("odd.prj"), memory.Table(), memory.Store(), autoTable));
  dialogs.answers.push_back(Path("odd.prj"));
  model.OpenProject();
  ASSERT_TRUE(dialogs.errors.empty());
  for (int k = 1; k <= kAutoPrograms; ++k) {
    SCOPED_TRACE(k);
    model.AutoPanelMouseDown(k);
    for (int tick = 0; tick < 4; ++tick) model.PreviewTick();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Autos().AutoTable[3 * (k - 1) + i], rows[k - 1][i]);
  }
  std::string table;
  for (int i = 0; i < kTableFileValues; ++i) table += "0 ";
  WriteBytes(Path("str.tab"), table);
  model.Output().SetTableFile(Path("str.tab"));
  ASSERT_TRUE(model.SendToController());
  for (int i = 0; i < 3 * kAutoPrograms; ++i) {
    EXPECT_EQ(model.Output().Image()[i] & 0xFF, (autoTable[i] - std::int64_t{1}) & 0xFF) << i;
  }
}

TEST_F(FileCommandsTest, RefusedProjectChangesNothing) {
  dialogs.answers.push_back(Path("s.sqx"));
  model.SaveSequence();
  dialogs.answers.push_back(Path("s.sqx"));
  model.ProgramSlotMouseDown(3, MouseButton::Right);
  const auto table = Programs().Table();
  const auto autoTable = Autos().AutoTable;
  for (const std::string bytes : {"1 128 1 128 ", "5 112640 1 1 ", ""}) {
    WriteBytes(Path("bad.prj"), bytes);
    dialogs.answers.push_back(Path("bad.prj"));
    model.OpenProject();
    EXPECT_EQ(dialogs.errors.back(), "ERROR PLIK");
    EXPECT_EQ(Programs().Table(), table);
    EXPECT_EQ(Autos().AutoTable, autoTable);
  }
}

TEST_F(FileCommandsTest, ExportWritesTheLine) {
  SetSequence({A, B});
  EditConfig([](ConfigSnapshot& state) { state.programs.SetProgram(1, 2, 3); });
  dialogs.answers.push_back(Path("e.sqx"));
  model.ExportSequence();
  std::string expected = "2, 64, 2, 3, ";
  for (int i = 0; i < 110; ++i) expected += "0, ";
  EXPECT_EQ(ReadBytes(Path("e.sqx")), expected);
}

}  // namespace
}  // namespace lumora::testing
