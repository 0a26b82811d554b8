// Prints: start-up to the main window shown, resident memory afterwards, the cost of
// RedrawGrid plus RefreshDisplay, and the repaints caused by writing unchanged values.
// Targets: start-up under 150 ms, RSS under 45 MB, redraw+refresh under 0.5 ms.
//
// With --window [ROUNDS] it runs on the desktop's display (e.g. under Xvfb) and starts the
// program, a bare Qt window of 128 frames and the same with a number in each frame in turn,
// ROUNDS (10) times each, measuring from outside the time from exec to the window mapped and
// the resident memory two seconds later, and compares the medians with each bare window.
// Targets: at most 1.15 times the bare window's time, at most 4 MiB above its memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_dialogs.h"
#include "app/tube_grid.h"
#include "app/user_file_dialogs.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/beside_program.h"
#include "support/paint_counter.h"
#include "timer/mm_timer.h"
#include "window_runs.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long kilobytes = 0;
      status >> kilobytes;
      return kilobytes;
    }
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

// Average time of one call of body over count calls, with pending paints done each time.
template <typename Body>
double PerCall(int count, Body body) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    body(i);
    QCoreApplication::processEvents();
  }
  return Microseconds(Clock::now() - start) / count;
}

int WindowedRun(int rounds) {
  struct Figures {
    const char* label;
    std::vector<std::string> argv;
    std::vector<double> ms, processorMs, mib;
  };
  std::vector<Figures> programs = {
      {"bare window", {lumora::testing::BesideProgram(BARE_WINDOW_FROM_BENCH)}, {}, {}, {}},
      {"bare, numbered frames",
       {lumora::testing::BesideProgram(BARE_WINDOW_FROM_BENCH), "--captions"},
       {},
       {},
       {}},
      {"Lumora", {lumora::testing::BesideProgram(LUMORA_FROM_BENCH)}, {}, {}, {}}};
  for (int round = 0; round < rounds; ++round) {
    for (Figures& program : programs) {
      bench::ProgramRun run(program.argv);
      program.ms.push_back(run.SecondsToWindow() * 1000);
      program.processorMs.push_back(run.ProcessorToWindow() * 1000);
      std::this_thread::sleep_for(std::chrono::seconds(2));
      program.mib.push_back(bench::ResidentMiB(run.Pid()));
    }
  }
  std::printf("%d rounds, least / median / most\n", rounds);
  for (const Figures& program : programs) {
    std::printf("  %-24s exec to window mapped %s ms (processor time %s ms), resident %s MiB\n",
                program.label, bench::Spread(program.ms, "%.1f").c_str(),
                bench::Spread(program.processorMs, "%.1f").c_str(),
                bench::Spread(program.mib, "%.1f").c_str());
  }
  const Figures& lumora = programs.back();
  for (std::size_t anchor = 0; anchor + 1 < programs.size(); ++anchor) {
    const Figures& bare = programs[anchor];
    std::printf("  Lumora against \"%s\": %.2f x the time (%.2f x the processor time), %+.1f MiB\n",
                bare.label, bench::Median(lumora.ms) / bench::Median(bare.ms),
                bench::Median(lumora.processorMs) / bench::Median(bare.processorMs),
                bench::Median(lumora.mib) - bench::Median(bare.mib));
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc > 1 && std::strcmp(argv[1], "--window") == 0) {
    return WindowedRun(argc > 2 ? std::atoi(argv[2]) : 10);
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto start = Clock::now();
  QApplication application(argc, argv);
  lumora::UserFileDialogs files;
  lumora::QtMessageBoxes messages;
  lumora::TForm1 form1(files.dialogs, messages);
  lumora::TForm2 form2(std::make_unique<lumora::VirtualAdapter>(),
                       std::make_unique<lumora::TMMTimer>(), messages, &form1);
  form1.SetProgrammingWindow([&form2]() -> lumora::TForm2& { return form2; });
  form1.show();
  QCoreApplication::processEvents();
  const double startupMs = Microseconds(Clock::now() - start) / 1000.0;
  std::printf("start-up to main window shown: %.1f ms (target < 150 ms)\n", startupMs);
  std::printf("resident memory after start-up: %.1f MB (target < 45 MB)\n",
              ResidentKilobytes() / 1024.0);

  lumora::MainWindowModel& model = form1.Model();
  constexpr int kCalls = 2000;
  const double unchanged = PerCall(kCalls, [&](int) {
    model.Editor().RedrawGrid();
    model.RefreshDisplay();
  });
  std::printf("RedrawGrid + RefreshDisplay, nothing changed: %.2f us per call (target < 500 us)\n",
              unchanged);
  // Every cell changes on every call, as in a "normal" preview of alternating scenes.
  std::vector<lumora::CellColour> redBlue(lumora::kCellsPerScene, lumora::colour::Red);
  redBlue.insert(redBlue.end(), lumora::kCellsPerScene, lumora::colour::Blue);
  model.Editor().LoadSequence(2, lumora::EffectNormal, redBlue);
  const double changed = PerCall(kCalls / 10, [&](int) {
    model.NextScene();  // stores the scene back and redraws the grid with the other one
    model.RefreshDisplay();
  });
  std::printf("scene step + RefreshDisplay + repaint, all 128 cells changed: %.2f us per call\n",
              changed);

  // The first cell ("Panel25" of the panel-per-cell window); the picture paints it.
  auto* grid = form1.findChild<lumora::TubeGrid*>();
  QCoreApplication::processEvents();
  lumora::testing::PaintCounter counter(grid);
  for (int i = 0; i < 100; ++i) {
    grid->SetCellColour(0, *grid->Colour(0));
    model.Editor().RedrawGrid();
    model.RefreshDisplay();
    QCoreApplication::processEvents();
  }
  std::printf("repaints of the grid after 100 unchanged writes and refreshes: %d (expected 0)\n",
              counter.paints);
  grid->SetCellColour(0, lumora::colour::Green);
  QCoreApplication::processEvents();
  std::printf("repaints of the grid after one change of a cell's colour: %d (expected 1)\n",
              counter.paints);
  return 0;
}
