// Works the real lumora program's windows inside the emulated-chip guest as a person would:
// loaded into the program as a Qt input plugin (`lumora -plugin lumorawindowdriver:FOLDER`),
// it waits for each window, clicks the controls and types into the file dialog with Qt Test's
// events, which reach the windows through Qt's window system as a pointer's and a keyboard's
// do. It opens FOLDER/show.prj, programs the controller through the chip, programs again
// until the chip is pulled, reopens the programming window on the chip plugged back in and
// programs once more. Lines beginning "lumora-guest: " on standard error tell the host what
// happens and ask it to plug the chip back in; pictures of the screen go into FOLDER. The
// program's exit code is 0 when every window did what a person expects, 1 otherwise.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include "common/program_tables.h"

namespace {

// What the driver waits for, what it then does, and how long it may take.
struct Step {
  const char* awaited;
  std::function<bool()> ready;
  std::function<void()> act;
  int limitMs;
};

constexpr int kPollMs = 20;
// Within the host's 90 s of silence, so that the driver says what it waited for.
constexpr int kWindowMs = 60'000;      // a window or dialog showing, the program starting
constexpr int kTransferMs = 80'000;    // a whole transfer under emulation
constexpr int kDeviceNodeMs = 10'000;  // the kernel's serial driver taking the chip back

void Say(const std::string& line) {
  std::fprintf(stderr, "lumora-guest: %s\n", line.c_str());
  std::fflush(stderr);
}

template <typename Widget = QWidget>
Widget* Named(QWidget* parent, const char* name) {
  return parent ? parent->findChild<Widget*>(QLatin1String(name)) : nullptr;
}

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String(name)) return widget;
  }
  return nullptr;
}

// A click in the middle of the control, made after the driver's own step has returned: a
// click that opens a modal window returns only when that window closes.
void Click(QWidget* control) {
  QTimer::singleShot(0, control, [control] {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
  });
}

// Whether the chip is on the guest's USB bus.
bool ChipPresent() {
  std::error_code error;
  for (const auto& device : std::filesystem::directory_iterator("/sys/bus/usb/devices", error)) {
    std::ifstream vendor(device.path() / "idVendor");
    std::string id;
    if (vendor >> id && id == "0403") return true;
  }
  return false;
}

// Whether the kernel's serial driver has a chip: it gives it a device node.
bool SerialDeviceNode() {
  std::error_code error;
  for (const auto& node : std::filesystem::directory_iterator("/dev", error)) {
    if (node.path().filename().string().starts_with("ttyUSB")) return true;
  }
  return false;
}

class WindowDriver : public QObject {
 public:
  explicit WindowDriver(const QString& folder) : folder_(folder) {
    BuildSteps();
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    poll_.start(kPollMs);
    clock_.start();
  }

 private:
  QWidget* Form1() const { return TopLevel("Form1"); }
  QWidget* Form2() const { return TopLevel("Form2"); }
  QProgressBar* Progress() const { return Named<QProgressBar>(Form2(), "ProgressBar1"); }
  QAbstractButton* ProgramButton() const { return Named<QAbstractButton>(Form2(), "SpeedButton1"); }
  bool ProgrammingWindowReady() const {
    return QApplication::activeModalWidget() == Form2() && ProgramButton() &&
           ProgramButton()->isEnabled();
  }
  static QMessageBox* MessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  }
  // The transfer has run to its final packet: the bar went up to its last page and back to
  // 0, with no message.
  bool TransferDone() const {
    return highestProgress_ == lumora::kTransferPackets - 1 && Progress()->value() == 0 &&
           ProgramButton()->isEnabled() && MessageBox() == nullptr;
  }
  void StartTransfer(const std::string& name) {
    highestProgress_ = 0;
    Click(ProgramButton());
    Say("start " + name);
  }

  void BuildSteps() {
    steps_ = {
        {"the main window", [this] { return Form1() && Form1()->isVisible(); },
         [this] {
           auto* tabs = Form1()->findChild<QTabBar*>();
           QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
         },
         kWindowMs},
        {"the configuration tab", [this] { return Named(Form1(), "SpeedButton9")->isVisible(); },
         [this] { Click(Named(Form1(), "SpeedButton9")); }, kWindowMs},
        {"the file dialog of \"Otwórz projekt\"",
         [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; },
         [this] {
           // The dialog opens in the working folder, the run's folder.
           auto* name = Named<QLineEdit>(QApplication::activeModalWidget(), "fileNameEdit");
           QTest::keyClicks(name, QStringLiteral("show.prj"));
           QTest::keyClick(name, Qt::Key_Return);
         },
         kWindowMs},
        // The memory gauge fills up with the project's 880 scenes.
        {"the project's 880 scenes",
         [this] {
           auto* gauge = Named<QProgressBar>(Form1(), "ProgressBar1");
           return !QApplication::activeModalWidget() && gauge->value() == lumora::StoreCapacity;
         },
         [this] { Click(Named(Form1(), "SpeedButton14")); }, kWindowMs},
        {"the programming window with the chip open", [this] { return ProgrammingWindowReady(); },
         [this] { Picture("opened"); }, kWindowMs},
        // libftdi has taken the chip from the kernel's serial driver, whose device node goes.
        {"the chip's /dev/ttyUSB* gone", [] { return !SerialDeviceNode(); },
         [this] {
           Say("ttyUSB window-open absent");
           StartTransfer("window-complete");
         },
         kDeviceNodeMs},
        {"the first transfer to its end", [this] { return TransferDone(); },
         [this] {
           Say("done window-complete");
           StartTransfer("window-cut");
         },
         kTransferMs},
        {"the lost-programmer message", [] { return MessageBox() != nullptr; },
         [this] {
           Say("message window-cut " + MessageBox()->text().replace('\n', " | ").toStdString());
           Picture("unplugged");
           Click(MessageBox()->button(QMessageBox::Ok));
         },
         kTransferMs},
        {"the programming window after the message",
         [this] { return QApplication::activeModalWidget() == Form2(); },
         [this] {
           Say("after window-cut progress " + std::to_string(Progress()->value()) +
               ", \"Programuj sterownik\" " +
               (ProgramButton()->isEnabled() ? "enabled" : "disabled"));
           QTest::keyClick(Form2(), Qt::Key_Escape);
         },
         kWindowMs},
        {"the programming window closed", [this] { return !Form2()->isVisible(); }, [] {},
         kWindowMs},
        {"the chip gone from the bus", [] { return !ChipPresent(); },
         [] { Say("plug window-again"); }, kWindowMs},
        {"the chip plugged in again", [] { return ChipPresent(); },
         [this] { Click(Named(Form1(), "SpeedButton14")); }, kWindowMs},
        {"the programming window with the new chip open",
         [this] { return ProgrammingWindowReady(); }, [this] { StartTransfer("window-again"); },
         kWindowMs},
        {"the transfer after the plug-in to its end", [this] { return TransferDone(); },
         [this] {
           Picture("programmed");
           Say("done window-again");
           QTest::keyClick(Form2(), Qt::Key_Escape);
         },
         kTransferMs},
        {"the programming window closed again", [this] { return !Form2()->isVisible(); }, [] {},
         kWindowMs},
        // ... and gives it back when the window closes.
        {"the chip's /dev/ttyUSB* back", [] { return SerialDeviceNode(); },
         [this] {
           Say("ttyUSB window-closed back");
           Form1()->close();
         },
         kDeviceNodeMs},
    };
  }

  void Poll() {
    // Qt Test's events run the event loop themselves: an action's own events come first.
    if (acting_) return;
    if (QProgressBar* progress = Progress()) {
      highestProgress_ = std::max(highestProgress_, progress->value());
    }
    if (step_ >= steps_.size()) return;
    // Steps advance before they act: an action may open a modal window, whose event loop
    // runs the next polls.
    const Step& step = steps_[step_];
    if (step.ready()) {
      std::fprintf(stderr, "window driver: %s after %lld ms\n", step.awaited,
                   static_cast<long long>(clock_.elapsed()));
      ++step_;
      clock_.restart();
      acting_ = true;
      step.act();
      acting_ = false;
    } else if (clock_.elapsed() > step.limitMs) {
      Fail(step.awaited);
    }
  }

  void Fail(const char* awaited) {
    poll_.stop();
    step_ = steps_.size();
    std::string shown;
    if (QMessageBox* box = MessageBox()) shown = ", a message shows: " + box->text().toStdString();
    Say(std::string("window failed waiting for ") + awaited + shown);
    Picture("failed");
    QCoreApplication::exit(1);
  }

  // The visible windows drawn where they are, the modal ones last, as a person sees them.
  void Picture(const char* name) {
    std::vector<QWidget*> shown;
    for (QWidget* window : {Form1(), Form2()}) {
      if (window && window->isVisible()) shown.push_back(window);
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != Form2()) {
      shown.push_back(modal);
    }
    QRect screen;
    for (QWidget* window : shown) screen |= window->geometry();
    QImage picture(screen.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    for (QWidget* window : shown) {
      // A window's picture leaves out the background the window system would have painted.
      const QRect place = window->geometry().translated(-screen.topLeft());
      painter.fillRect(place, window->palette().window());
      painter.drawPixmap(place.topLeft(), window->grab());
    }
    painter.end();
    picture.save(folder_ + QStringLiteral("/%1.png").arg(QLatin1String(name)));
  }

  QString folder_;
  std::vector<Step> steps_;
  std::size_t step_ = 0;
  bool acting_ = false;
  QTimer poll_;
  QElapsedTimer clock_;
  int highestProgress_ = 0;
};

class WindowDriverPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "window_driver.json")

 public:
  QObject* create(const QString&, const QString& folder) override {
    return new WindowDriver(folder);
  }
};

}  // namespace

#include "window_driver.moc"
