// Prints the processor time of the program's windows as a user starts them (ProgramWindows,
// as main makes them).
//
// Offscreen (no argument): idle with the display refresh running and playing a "fala1"
// sequence, each over ten seconds of the event loop; one "fala1" preview tick including the
// repaint of the grid (target at most 0.15 ms); an undo and a redo of a brush stroke over a
// 99-scene sequence with the repaint (under 1 ms).
//
// With --window [SECONDS] it runs on the desktop's display (e.g. under Xvfb) and measures
// from outside, in turn and in the same run: the program idle, as started and after its
// programming window was shown and closed, beside a bare Qt window of 128 frames with and
// without a 100 ms timer and a 50 ms timer thread; then the program playing a 99-scene
// "fala1" sequence beside the bare window recolouring its frames every 100 ms. Three rounds
// of SECONDS (20) each. Targets: idle at most 0.2 % of a core, playing at most 0.4 %.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "app/program_windows.h"
#include "app/qt_defaults.h"
#include "programming/adapter_choice.h"
#include "programming/adapters/ftdi_adapter.h"
#include "support/beside_program.h"
#include "window_runs.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Share of one core the process used while its event loop ran for the given time.
double CoreShare(int milliseconds) {
  const double before = ProcessorSeconds();
  const auto start = Clock::now();
  QTimer::singleShot(milliseconds, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  return (ProcessorSeconds() - before) / wall * 100.0;
}

// Scenes of palette colours in turn, shown with "fala1".
void LoadWave(lumora::MainWindowModel& model, int scenes) {
  std::vector<lumora::CellColour> cells(static_cast<std::size_t>(scenes) * lumora::kCellsPerScene);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i] = lumora::kPalette[i % lumora::kPalette.size()];
  }
  model.Editor().LoadSequence(scenes, lumora::EffectNormal, cells);
  model.SelectEffectMode(lumora::EffectWave1);
}

// The windows as main makes them, with the adapter a user gets by default.
std::unique_ptr<lumora::ProgramWindows> MakeProgramWindows() {
  lumora::AdapterChoice choice =
      lumora::ChooseAdapter("", [] { return std::make_unique<lumora::FtdiAdapter>(); });
  return std::make_unique<lumora::ProgramWindows>(std::move(choice.Adapter));
}

// Run by the windowed measurement: the program's windows playing "fala1" until stopped.
int PlayUntilStopped() {
  auto windows = MakeProgramWindows();
  lumora::TForm1& form1 = windows->MainWindow();
  LoadWave(form1.Model(), 99);
  form1.show();
  form1.Model().Play();
  return QCoreApplication::exec();
}

// Run by the windowed measurement: idle after the programming window was shown (its timer
// ticking at the USB pace) and closed again, until stopped.
int IdleAfterProgramming() {
  auto windows = MakeProgramWindows();
  windows->MainWindow().show();
  lumora::TForm2& programming = windows->ProgrammingWindow();
  programming.show();
  QTimer::singleShot(500, &programming, &QWidget::hide);
  return QCoreApplication::exec();
}

// Each program in turn, round after round, so that the machine's other work weighs on each
// alike.
void MeasureInTurn(const std::vector<std::pair<std::string, std::vector<std::string>>>& programs,
                   int rounds, std::chrono::milliseconds wall) {
  std::map<std::string, std::vector<double>> shares;
  for (int round = 0; round < rounds; ++round) {
    for (const auto& [label, argv] : programs) {
      bench::ProgramRun run(argv);
      std::this_thread::sleep_for(std::chrono::seconds(3));  // start-up settles
      shares[label].push_back(run.CoreShare(wall));
    }
  }
  for (const auto& [label, argv] : programs) {
    std::printf("  %-44s %s %% of a core\n", label.c_str(),
                bench::Spread(shares[label], "%.2f").c_str());
  }
}

int WindowedRun(const char* self, int seconds) {
  const std::chrono::milliseconds wall(seconds * 1000);
  constexpr int kRounds = 3;
  std::printf("%d rounds of %d s each, least / median / most\n", kRounds, seconds);
  std::printf("idle (target <= 0.2 %%):\n");
  MeasureInTurn(
      {{"bare window, 128 frames", {lumora::testing::BesideProgram(BARE_WINDOW_FROM_BENCH)}},
       {"bare + 100 ms UI timer + 50 ms timer thread",
        {lumora::testing::BesideProgram(BARE_WINDOW_FROM_BENCH), "--timers"}},
       {"Lumora as started", {lumora::testing::BesideProgram(LUMORA_FROM_BENCH)}},
       {"Lumora after the programming window closed", {self, "--programmed"}}},
      kRounds, wall);
  std::printf("playing a 99-scene \"fala1\" (target <= 0.4 %%):\n");
  MeasureInTurn({{"bare window recolouring 128 frames",
                  {lumora::testing::BesideProgram(BARE_WINDOW_FROM_BENCH), "--recolour"}},
                 {"Lumora playing \"fala1\"", {self, "--play"}}},
                kRounds, wall);
  return 0;
}

// Undo and redo of a brush stroke that recoloured a whole scene of 99, each with the grid's
// repaint.
void UndoFigures(lumora::MainWindowModel& model) {
  LoadWave(model, lumora::MaxScenes);
  model.SelectBrush();
  model.SelectPaintColour(3);
  model.CellMouseDown(0, lumora::MouseButton::Left);
  model.CellMouseUp(lumora::MouseButton::Left);
  constexpr int kSteps = 500;
  double undo = 0;
  double redo = 0;
  for (int i = 0; i < kSteps; ++i) {
    for (auto [step, total] : {std::pair{&lumora::MainWindowModel::Undo, &undo},
                               std::pair{&lumora::MainWindowModel::Redo, &redo}}) {
      const auto start = Clock::now();
      (model.*step)();
      QCoreApplication::processEvents();
      *total += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
  }
  std::printf(
      "undo / redo of a whole-scene stroke on 99 scenes with the repaint: %.1f / %.1f us "
      "(target < 1000 us)\n",
      undo / kSteps, redo / kSteps);
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool windowed = argc > 1 && std::strcmp(argv[1], "--window") == 0;
  const bool playing = argc > 1 && std::strcmp(argv[1], "--play") == 0;
  const bool programmed = argc > 1 && std::strcmp(argv[1], "--programmed") == 0;
  // The sequences loaded here are no user's work: their recovery copies, and those of the runs
  // started from here, go into a folder of the benchmark's own.
  QTemporaryDir state;
  if (!playing && !programmed) qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
  if (windowed) return WindowedRun(argv[0], argc > 2 ? std::atoi(argv[2]) : 20);
  if (!playing && !programmed) qputenv("QT_QPA_PLATFORM", "offscreen");
  lumora::ChooseQtDefaults();
  QApplication application(argc, argv);
  if (playing) return PlayUntilStopped();
  if (programmed) return IdleAfterProgramming();
  auto windows = MakeProgramWindows();
  lumora::TForm1& form1 = windows->MainWindow();
  form1.show();
  QCoreApplication::processEvents();
  lumora::MainWindowModel& model = form1.Model();
  LoadWave(model, 3);
  model.Play();
  constexpr int kTicks = 2000;
  const auto start = Clock::now();
  const double processorStart = ProcessorSeconds();
  for (int i = 0; i < kTicks; ++i) {
    model.PreviewTick();
    QCoreApplication::processEvents();
  }
  const double perTick =
      std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kTicks;
  // Processor time too: on a busy machine the wall time also counts other programs' turns.
  const double processorPerTick = (ProcessorSeconds() - processorStart) * 1e6 / kTicks;
  std::printf(
      "\"fala1\" preview tick with the repaint: %.1f us, %.1f us of processor time "
      "(target <= 150 us)\n",
      perTick, processorPerTick);
  model.Stop();
  UndoFigures(model);
  std::printf("idle with the display refresh: %.2f %% of a core (target < 0.5 %%)\n",
              CoreShare(10000));

  model.Play();
  std::printf("playing \"fala1\": %.2f %% of a core (target < 2 %%)\n", CoreShare(10000));

  return 0;
}
