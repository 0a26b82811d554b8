// Drives the main window's logic with a long random run of every command and checks the
// model's invariants after each step. LUMORA_RANDOM_STEPS sets a longer run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/controller_image.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

struct SequenceOnDisk {
  std::string path;
  bool valid;
  std::vector<CellColour> cells;
};

class RandomUseTest : public ModelFixture {
 protected:
  RandomUseTest() {
    std::string table;
    for (int i = 0; i < kTableFileValues; ++i) table += std::to_string(i * 7 % 300) + " ";
    WriteBytes(folder.File("str.tab"), table);
    model.Output().SetTableFile(folder.File("str.tab"));
    std::mt19937 make(7);
    for (int n : {1, 2, 5, 17, 60, 99}) {
      std::vector<CellColour> cells(static_cast<std::size_t>(n) * kCellsPerScene);
      for (auto& c : cells) c = kPalette[make() % kPalette.size()];
      const std::string path = folder.File("s" + std::to_string(n) + ".sqx");
      EXPECT_TRUE(SaveSequenceFile(path, n, 1 + n % 3, cells));
      files.push_back({path, true, cells});
    }
    WriteBytes(folder.File("bad.sqx"), "3 128 1 128 1 2");
    files.push_back({folder.File("bad.sqx"), false, {}});
    files.push_back({folder.File("missing.sqx"), false, {}});
  }

  const SequenceOnDisk& AnswerWithFile(std::mt19937& random) {
    const auto& file = files[random() % files.size()];
    dialogs.answers.push_back(file.path);
    return file;
  }

  void CheckInvariants(int step) {
    const SceneStore& store = Store();
    ASSERT_GE(store.SceneCount, 1) << step;
    ASSERT_LE(store.SceneCount, MaxScenes) << step;
    if (!model.PreviewRunning()) {
      ASSERT_GE(store.CurrentScene, 1) << step;
      ASSERT_LE(store.CurrentScene, store.SceneCount) << step;
    }
    int used = 0;
    for (int k = 1; k <= kPrograms; ++k) {
      ASSERT_GE(Programs().SceneCountOf(k), 0) << step;
      ASSERT_LE(Programs().SceneCountOf(k), MaxScenes) << step;
      used += Programs().SceneCountOf(k);
    }
    ASSERT_LE(used, StoreCapacity) << step;
  }

  void CheckPrograms(int step) {
    for (int k = 1; k <= kPrograms; ++k) {
      const auto scenes = Programs().ProgramScenes(k);
      ASSERT_TRUE(
          std::equal(scenes.begin(), scenes.end(), programs[k - 1].begin(), programs[k - 1].end()))
          << "program " << k << " at step " << step;
    }
  }

  void CheckImage(int step) {
    const auto& image = model.Output().Image();
    for (int i = 0; i < kAutoTableSize; ++i) ASSERT_EQ(image[i], Autos().AutoTable[i] - 1) << step;
    for (int i = 0; i < kProgramTableSize; ++i) {
      ASSERT_EQ(image[kImageProgramTable + i], Programs().Table()[i]) << step;
    }
    auto packed = std::make_unique<PackedScenesArray>();
    PackScenes(Programs().Store(), *packed);
    ASSERT_TRUE(std::equal(packed->begin(), packed->end(), image.begin() + kImagePackedScenes))
        << step;
    ASSERT_EQ(image[kImageTableFile + 1], 7) << step;
  }

  TempFolder folder;
  std::vector<SequenceOnDisk> files;
  std::array<std::vector<CellColour>, kPrograms> programs;
  // The programs of the states the history holds, as the steps were recorded.
  std::deque<std::array<std::vector<CellColour>, kPrograms>> undoPrograms, redoPrograms;
};

TEST_F(RandomUseTest, InvariantsHoldUnderEveryCommand) {
  const char* env = std::getenv("LUMORA_RANDOM_STEPS");
  const int steps = env ? std::atoi(env) : 100000;
  std::mt19937 random(20261210);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const MouseButton buttons[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle};

  for (int step = 0; step < steps; ++step) {
    const bool previewFrame = model.PreviewRunning() || model.ScreenShowsPreviewFrame();
    const auto slotsBefore = Store().SceneSlots;
    bool handOff = false;  // a step that must never store a preview frame
    long recorded = model.History().Recorded();
    const auto programsBefore = programs;
    // Each step the history recorded holds the programs from before the command.
    auto followRecords = [&] {
      for (; recorded < model.History().Recorded(); ++recorded) {
        undoPrograms.push_back(programsBefore);
        if (undoPrograms.size() > EditHistory::kMaxSteps) undoPrograms.pop_front();
        redoPrograms.clear();
      }
    };
    const int command = pick(27);
    switch (command) {
      case 0:
      case 1:
        model.CellMouseDown(pick(kCellsPerScene), buttons[pick(3)]);
        break;
      case 2:
        model.CellMouseMove(pick(kCellsPerScene));
        break;
      case 3:
        model.SelectPaintColour(pick(8));
        pick(2) ? model.SelectBrush() : model.SelectPencil();
        break;
      case 4:
        model.PreviousScene();
        break;
      case 5:
        model.NextScene();
        break;
      case 6:
        model.AddScene();
        break;
      case 7:
        model.DeleteScene();
        break;
      case 8:
        model.CopyScene();
        break;
      case 9:
        model.PasteScene();
        break;
      case 10:
        model.SelectEffectMode(1 + pick(3));
        break;
      case 11:
        handOff = model.PreviewRunning();
        model.Play();
        break;
      case 12:
        model.Stop();
        break;
      case 13:
      case 14:
      case 15:
        handOff = true;
        model.PreviewTick();
        model.RefreshDisplay();
        break;
      case 16:
        if (pick(4) == 0) AnswerWithFile(random);
        model.OpenSequence();
        break;
      case 17: {
        const int k = 1 + pick(kPrograms);
        const MouseButton button = buttons[pick(3)];
        const SequenceOnDisk* file =
            button == MouseButton::Right ? &AnswerWithFile(random) : nullptr;
        const auto warnings = dialogs.warnings.size();
        model.ProgramSlotMouseDown(k, button);
        if (file && file->valid && dialogs.warnings.size() == warnings)
          programs[k - 1] = file->cells;
        CheckPrograms(step);
        break;
      }
      case 18:
        model.AutoPanelMouseDown(1 + pick(kAutoPrograms));
        break;
      case 19:
        model.AutoStartClick(1 + pick(kPrograms));
        model.AutoEndClick(1 + pick(kPrograms));
        model.AutoLoopClick(1 + pick(3));
        break;
      case 20:
        model.TabChanged();
        break;
      case 21:
        handOff = true;
        model.SendToController();
        CheckImage(step);
        break;
      case 22:
        handOff = true;
        if (pick(50) == 0) dialogs.answers.push_back(folder.File("out.sqx"));
        model.SaveSequence();
        break;
      case 23:
        handOff = true;
        model.Output().PackScenes();
        break;
      case 24:
        model.CellMouseUp(buttons[pick(3)]);
        break;
      case 25:
      case 26: {
        const bool undo = command == 25;
        auto& from = undo ? undoPrograms : redoPrograms;
        auto& to = undo ? redoPrograms : undoPrograms;
        const bool done = undo ? model.Undo() : model.Redo();
        followRecords();  // a painting step the command ended is recorded before it runs
        ASSERT_EQ(done, !from.empty()) << step;
        if (done) {
          to.push_back(programs);
          programs = from.back();
          from.pop_back();
        }
        ASSERT_FALSE(done && (model.PreviewRunning() || model.ScreenShowsPreviewFrame())) << step;
        CheckPrograms(step);
        break;
      }
    }
    followRecords();
    ASSERT_EQ(model.History().UndoSteps(), static_cast<int>(undoPrograms.size())) << step;
    ASSERT_EQ(model.History().RedoSteps(), static_cast<int>(redoPrograms.size())) << step;
    if (handOff && previewFrame && Store().SceneSlots != slotsBefore) {
      // Only the automatic chain may change the sequence then, by loading a whole program.
      const auto program = Programs().ProgramScenes(Autos().AutoCurrent);
      const auto sequence = Store().Sequence();
      ASSERT_TRUE(std::equal(sequence.begin(), sequence.end(), program.begin(), program.end()))
          << "a preview frame was stored at step " << step;
    }
    CheckInvariants(step);
    if (HasFatalFailure()) return;
  }
  CheckPrograms(steps);
}

}  // namespace
}  // namespace lumora::testing
