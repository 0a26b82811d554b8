// Prints the processor time the main window takes: idle with its display refresh running,
// and playing a "fala1" sequence, each over ten seconds of its event loop; and one "fala1"
// preview tick including the repaint of the grid.
// Targets: idle under 0.5 % of a core, playing under 2 %, a tick under 0.5 ms.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "app/form1.h"
#include "app/qt_dialogs.h"

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

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  lumora::QtFileDialogs dialogs;
  lumora::QtMessageBoxes messages;
  lumora::TForm1 form1(dialogs, messages);
  form1.show();
  QCoreApplication::processEvents();

  lumora::MainWindowModel& model = form1.Model();
  std::vector<lumora::CellColour> cells(3 * lumora::kCellsPerScene);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i] = lumora::kPalette[i % lumora::kPalette.size()];
  }
  model.Editor().LoadSequence(3, lumora::EffectNormal, cells);
  model.SelectEffectMode(lumora::EffectWave1);
  model.Play();
  constexpr int kTicks = 2000;
  const auto start = Clock::now();
  for (int i = 0; i < kTicks; ++i) {
    model.PreviewTick();
    QCoreApplication::processEvents();
  }
  const double perTick =
      std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kTicks;
  std::printf("\"fala1\" preview tick with the repaint: %.1f us (target < 500 us)\n", perTick);
  model.Stop();
  std::printf("idle with the display refresh: %.2f %% of a core (target < 0.5 %%)\n",
              CoreShare(10000));

  model.Play();
  std::printf("playing \"fala1\": %.2f %% of a core (target < 2 %%)\n", CoreShare(10000));

  return 0;
}
