// Prints how long the main window's heavier model operations take: a "fala1" preview tick,
// an assignment into a nearly full program memory, the recovery copy's look at the work on
// each beat, building the controller image and writing the "save all" listing; and the memory
// and time of the undo history.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/controller_listing.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/main_window_model.h"
#include "main_window/work_recovery.h"

namespace {

using Clock = std::chrono::steady_clock;

struct NullView : lumora::MainWindowView {
  void ShowCell(int, lumora::CellColour) override {}
  void ShowSceneCounters(int, int) override {}
  void ShowEffectMode(int) override {}
  void ShowPreviewRunning(bool) override {}
  void EnablePreviewTimer(bool) override {}
  void ShowProgramSlots(const std::array<lumora::CellColour, lumora::kPrograms>&) override {}
  void ShowAutoPanels(const std::array<lumora::CellColour, lumora::kAutoPrograms>&) override {}
  void ShowAutoValues(int, int, int) override {}
  void SetAutoSpinners(int, int, int) override {}
  void ShowMemoryUse(int) override {}
};

struct Answers : lumora::FileDialogs, lumora::MessageBoxes {
  std::optional<std::string> GetOpenFileName(lumora::FileKind) override { return path; }
  std::optional<std::string> GetSaveFileName(lumora::FileKind) override { return path; }
  void ShowError(std::string_view text) override {
    std::printf("error: %.*s\n", int(text.size()), text.data());
  }
  void ShowWarning(std::string_view text) override {
    std::printf("warning: %.*s\n", int(text.size()), text.data());
  }
  std::string path;
};

template <typename F>
double MicrosecondsPerCall(int calls, F&& f) {
  const auto start = Clock::now();
  for (int i = 0; i < calls; ++i) f();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

double Megabytes(std::size_t bytes) {
  return bytes / (1024.0 * 1024.0);
}

// The history's memory at 200 steps in its two heaviest uses, and the time of a step.
void HistoryFigures(const std::filesystem::path& folder, NullView& view, Answers& answers) {
  std::mt19937 random(1);
  std::vector<lumora::CellColour> sequence(lumora::MaxScenes * lumora::kCellsPerScene);
  const auto randomCells = [&] {
    for (auto& cell : sequence) cell = lumora::kPalette[random() % lumora::kPalette.size()];
  };
  {
    // 200 strokes on a 99-scene sequence, each on a scene of its own.
    auto model = std::make_unique<lumora::MainWindowModel>(view, answers, answers);
    model->FormCreate();
    randomCells();
    model->Editor().LoadSequence(lumora::MaxScenes, lumora::EffectNormal, sequence);
    double stroke = 0;
    for (int i = 0; i < lumora::EditHistory::kMaxSteps; ++i) {
      model->NextScene();
      model->SelectPaintColour(i % 8);
      const auto start = Clock::now();
      model->CellMouseDown(i % lumora::kCellsPerScene, lumora::MouseButton::Left);
      model->CellMouseUp(lumora::MouseButton::Left);
      stroke += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
    std::printf(
        "history of 200 painting strokes on 99 scenes: %.1f MB (target < 20 MB), "
        "a stroke recorded in %.1f us\n",
        Megabytes(model->History().Bytes()), stroke / lumora::EditHistory::kMaxSteps);
    const double undo = MicrosecondsPerCall(100, [&] { model->Undo(); });
    const double redo = MicrosecondsPerCall(100, [&] { model->Redo(); });
    std::printf("undo / redo of a stroke on 99 scenes (model): %.1f / %.1f us\n", undo, redo);
  }
  {
    // 200 assignments of 99 scenes each never seen before, seven programs replaced in turn
    // (a replacement needs room for the new scenes beside the old ones).
    auto model = std::make_unique<lumora::MainWindowModel>(view, answers, answers);
    model->FormCreate();
    answers.path = (folder / "ninety_nine.sqx").string();
    for (int i = 0; i < lumora::EditHistory::kMaxSteps; ++i) {
      randomCells();
      lumora::SaveSequenceFile(answers.path, lumora::MaxScenes, 1, sequence);
      model->AssignProgramFromFile(1 + i % 7);
    }
    std::printf("history of 200 assignments of 99 new scenes: %.1f MB (target < 20 MB)\n",
                Megabytes(model->History().Bytes()));
  }
}

}  // namespace

int main() {
  const auto folder =
      std::filesystem::temp_directory_path() / ("lumora_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);

  NullView view;
  Answers answers;
  auto model = std::make_unique<lumora::MainWindowModel>(view, answers, answers);
  model->FormCreate();

  // "fala1" preview tick on 99 scenes (model side; the widgets' repaint is measured apart).
  std::vector<lumora::CellColour> sequence(lumora::MaxScenes * lumora::kCellsPerScene);
  for (std::size_t i = 0; i < sequence.size(); ++i) sequence[i] = lumora::CellColour(i);
  model->Editor().LoadSequence(lumora::MaxScenes, lumora::EffectWave1, sequence);
  model->Play();
  std::printf("preview tick (fala1, model): %.2f us\n",
              MicrosecondsPerCall(10000, [&] { model->PreviewTick(); }));

  // An assignment of 20 scenes before 860 others, filling the store to exactly 880.
  lumora::ControllerConfig& config = model->Config();
  {
    lumora::ConfigSnapshot state = config.Snapshot();
    for (int k = 2; k <= 10; ++k) state.programs.SetProgram(k, 95, 1);
    state.programs.SetProgram(11, 5, 1);
    config.Restore(state);
  }
  std::vector<lumora::CellColour> cells(20 * lumora::kCellsPerScene, lumora::colour::White);
  answers.path = (folder / "twenty.sqx").string();
  lumora::SaveSequenceFile(answers.path, 20, 1, cells);
  double assign = 0;
  const int assigns = 200;
  for (int i = 0; i < assigns; ++i) {
    {
      // Every later program moves up by 20 scenes. The state goes before the clock starts,
      // so the memory is not shared with it and is written in place.
      lumora::ConfigSnapshot state = config.Snapshot();
      state.programs.SetProgram(1, 0, 1);
      config.Restore(state);
    }
    const auto start = Clock::now();
    model->AssignProgramFromFile(1);
    assign += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  }
  std::printf("assignment into a nearly full store (incl. reading the file): %.1f us\n",
              assign / assigns);

  // What the window's 100 ms beat adds for the recovery copy while nothing changes: 99 scenes
  // and a full program memory, their copy written.
  {
    model->Editor().LoadSequence(lumora::MaxScenes, lumora::EffectWave1, sequence);
    model->Stop();
    lumora::RecoveryFolder recoveryFolder((folder / "recovery").string());
    lumora::WorkRecovery recovery(*model, recoveryFolder);
    recovery.Keep();
    std::printf("recovery copy's look at unchanged work, per beat: %.2f us\n",
                MicrosecondsPerCall(10000, [&] { recovery.Notice(); }));
  }

  std::string table;
  for (int i = 0; i < lumora::kTableFileValues; ++i) table += std::to_string(i % 256) + " ";
  std::ofstream("str.tab") << table;
  std::printf("BuildControllerImage (packing and str.tab): %.1f us\n",
              MicrosecondsPerCall(500, [&] { model->Output().BuildControllerImage(); }));

  answers.path = (folder / "all.sqx").string();
  std::printf("\"save all\" listing: %.1f us\n",
              MicrosecondsPerCall(200, [&] { model->SaveFullListing(); }));

  HistoryFigures(folder, view, answers);

  std::filesystem::current_path("/");
  std::filesystem::remove_all(folder);
}
