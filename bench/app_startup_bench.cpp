// Prints: start-up to the main window shown, resident memory afterwards, the cost of
// RedrawGrid plus RefreshDisplay, and the repaints caused by writing unchanged values.
// Targets: start-up under 150 ms, RSS under 45 MB, redraw+refresh under 0.5 ms.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qt_dialogs.h"
#include "app/tube_grid.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/paint_counter.h"
#include "timer/mm_timer.h"

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

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto start = Clock::now();
  QApplication application(argc, argv);
  lumora::QtFileDialogs dialogs;
  lumora::QtMessageBoxes messages;
  lumora::TForm1 form1(dialogs, messages);
  lumora::TForm2 form2(std::make_unique<lumora::VirtualAdapter>(),
                       std::make_unique<lumora::TMMTimer>(), messages, &form1);
  form1.SetProgrammingWindow(&form2);
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
