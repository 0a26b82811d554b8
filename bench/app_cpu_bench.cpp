// Prints the processor time the main window takes on the offscreen platform: idle with its
// display refresh running, and playing a "fala1" sequence, each over ten seconds of its event
// loop; and one "fala1" preview tick including the repaint of the grid.
// Targets: idle under 0.5 % of a core, playing under 2 %, a tick at most 0.15 ms. Also an
// undo and a redo of a brush stroke over a 99-scene sequence with the repaint: under 1 ms.
//
// With --window it runs on the desktop's display instead (e.g. under xvfb-run) and compares,
// in one run, a bare Qt window recolouring 128 frames every 100 ms with the main window
// playing a 99-scene "fala1" sequence, twenty seconds each. Target: at most 0.7 % of a core.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QTimer>
#include <QtTest/QTest>

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

// Scenes of palette colours in turn, shown with "fala1".
void LoadWave(lumora::MainWindowModel& model, int scenes) {
  std::vector<lumora::CellColour> cells(static_cast<std::size_t>(scenes) * lumora::kCellsPerScene);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i] = lumora::kPalette[i % lumora::kPalette.size()];
  }
  model.Editor().LoadSequence(scenes, lumora::EffectNormal, cells);
  model.SelectEffectMode(lumora::EffectWave1);
}

// The least a Qt program showing the same changes does: 128 raised frames, all recoloured
// every 100 ms.
class FrameWindow : public QWidget {
 public:
  FrameWindow() {
    setFixedSize(576, 546);
    for (int k = 0; k < lumora::kCellsPerScene; ++k) {
      auto* frame = new QFrame(this);
      frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
      frame->setAutoFillBackground(true);
      frame->setGeometry(72 + 24 * (k % 8), 40 + 24 * (k / 8), 25, 25);
      frames_.push_back(frame);
    }
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { Recolour(); });
    timer_.start();
  }

 private:
  void Recolour() {
    ++step_;
    for (int k = 0; k < lumora::kCellsPerScene; ++k) {
      QPalette palette = frames_[k]->palette();
      const lumora::CellColour colour = lumora::kPalette[(k + step_) % lumora::kPalette.size()];
      palette.setColor(QPalette::Window, QColor(colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16));
      frames_[k]->setPalette(palette);
    }
  }

  std::vector<QFrame*> frames_;
  QTimer timer_;
  int step_ = 0;
};

int WindowedRun() {
  constexpr int kMeasureMs = 20000;
  std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
  {
    FrameWindow bare;
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare)) return 1;
    std::printf("bare Qt window recolouring 128 frames every 100 ms: %.2f %% of a core\n",
                CoreShare(kMeasureMs));
  }
  lumora::QtFileDialogs dialogs;
  lumora::QtMessageBoxes messages;
  lumora::TForm1 form1(dialogs, messages);
  form1.show();
  if (!QTest::qWaitForWindowExposed(&form1)) return 1;
  LoadWave(form1.Model(), 99);
  form1.Model().Play();
  std::printf(
      "main window playing a 99-scene \"fala1\" sequence: %.2f %% of a core "
      "(target <= 0.7 %%)\n",
      CoreShare(kMeasureMs));
  // The bridge to the accessibility bus connects while the event loop runs.
  std::printf("accessibility %s\n", QAccessible::isActive() ? "active" : "inactive");
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
  if (!windowed) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (windowed) return WindowedRun();
  lumora::QtFileDialogs dialogs;
  lumora::QtMessageBoxes messages;
  lumora::TForm1 form1(dialogs, messages);
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
