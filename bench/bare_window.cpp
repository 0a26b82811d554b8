// The anchor the application's figures are compared with: the least a Qt program showing the
// same 128 cells does. Plain, it shows 128 raised frames and waits; --timers adds a 100 ms
// user-interface timer and a thread waking every 50 ms, as a program with a display refresh
// and a timer thread would; --recolour recolours all the frames every 100 ms, as a preview;
// --captions writes a number in each frame, as the tube picture does, and sizes each frame to
// hold its number before the window shows, so that the window measures and draws text (fonts
// found and loaded, glyphs shaped) as any window that lays out its captions must.
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {

constexpr int kCells = 128;

class FrameWindow : public QWidget {
 public:
  FrameWindow(bool recolour, bool captions) {
    setFixedSize(576, 546);
    for (int k = 0; k < kCells; ++k) {
      QFrame* frame = captions ? new QLabel(QString::number(k + 1), this) : new QFrame(this);
      frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
      frame->setAutoFillBackground(true);
      frame->setGeometry(QRect(QPoint(72 + 24 * (k % 8), 40 + 24 * (k / 8)),
                               frame->sizeHint().expandedTo(QSize(25, 25))));
      frames_.push_back(frame);
    }
    if (!recolour) return;
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { Recolour(); });
    timer_.start();
  }

 private:
  void Recolour() {
    ++step_;
    for (int k = 0; k < kCells; ++k) {
      QPalette palette = frames_[k]->palette();
      palette.setColor(QPalette::Window, QColor::fromHsv((k + step_) * 23 % 360, 255, 255));
      frames_[k]->setPalette(palette);
    }
  }

  std::vector<QFrame*> frames_;
  QTimer timer_;
  int step_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const bool timers = argc > 1 && std::strcmp(argv[1], "--timers") == 0;
  FrameWindow window(argc > 1 && std::strcmp(argv[1], "--recolour") == 0,
                     argc > 1 && std::strcmp(argv[1], "--captions") == 0);
  QTimer refresh;
  std::atomic<bool> quit = false;
  std::thread waker;
  if (timers) {
    refresh.start(100);
    waker = std::thread([&] {
      while (!quit) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
  }
  window.show();
  const int code = QApplication::exec();
  quit = true;
  if (waker.joinable()) waker.join();
  return code;
}
