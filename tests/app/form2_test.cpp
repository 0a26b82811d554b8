// The programming window with real mouse events: its controls, the settings they make, and
// whole transfers into the virtual controller, opened from the main window's send button. The
// test delivers the ticks itself, on a thread standing in for the timer's; one transfer is
// paced by the real timer.
#include <algorithm>
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "absent_usb_adapter.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/panel.h"
#include "app/ui_thread_broker.h"
#include "app/up_down.h"
#include "files/project_file.h"
#include "files/table_file.h"
#include "form1_places.h"
#include "programming/adapter_choice.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "support/manual_ticker.h"
#include "thread_name.h"
#include "timer/mm_timer.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

constexpr CellColour kGrey = 0x00D8D8D8;
const QPoint kSendButton = kProgramsGroup + QPoint(37 + 65, 382 + 13);
constexpr int kTransferTimeoutMs = 60000;
// Ticks of a whole USB transfer from its first packet: one packet each.
constexpr int kUsbTransferTicks = kTransferPackets;
// Writes of one standard frame: break, start code and 129 writes of three slots.
constexpr std::uint32_t kWritesPerStandardFrame = 131;
// No chip has this product id, so the real adapter never finds a device.
// Five scenes of every palette colour in turn: program 1 with two, program 2 with three.
void WriteProject(const QString& path) {
  auto programs = std::make_unique<ProgramTableArray>();
  auto store = std::make_unique<ProgramStoreArray>();
  AutoTableArray autos;
  autos.fill(1);
  autos[2] = 3;  // automatic program 1 plays its program three times
  (*programs)[0] = 2;
  (*programs)[1] = 1;
  (*programs)[2] = 3;
  (*programs)[3] = 2;
  for (int cell = 0; cell < 5 * kCellsPerScene; ++cell) {
    (*store)[cell] = kPalette[(cell + cell / 7) % kPalette.size()];
  }
  QVERIFY(SaveProjectFile(path.toStdString(), *programs, *store, autos));
}

void WriteTableFile() {
  QFile table(QString::fromLatin1(kTableFileName.data(), kTableFileName.size()));
  QVERIFY(table.open(QIODevice::WriteOnly | QIODevice::Truncate));
  for (int i = 0; i < kTableFileValues; ++i) table.write(QByteArray::number(37 * i) + ' ');
}

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void controlsStandAtTheirPlacesWithTheirStartValues();
  void radioButtonsAndSpinnersMakeTheSettings();
  void heldAddressArrowStepsOneOneThenTenUntilReleased();
  void numberPanelsReadOutTheirSpinnersPositions();
  void everyTimerThreadIsOfferedForARealTimeClassFromTheUiThread();
  void standardProgrammerSendsTheWholeImageInOneBurst();
  void usbTransferClosedMidwayGoesOnWhenTheWindowOpensAgain();
  void usbTransferPacedByTheRealTimerArrivesWhole();
  void deviceLostMidTransferShowsTheMessageAndStops();
  void unplugFileInTheVirtualFolderPullsThePlugMidTransfer();
  void stallFileInTheVirtualFolderEndsTheTransferAndTheNextStartsAfresh();
  void withoutADeviceEveryShowingShowsTheMessageAndProgrammingStaysDisabled();

 private:
  // Clicks "Wyślij do sterownika" and, once dialog is shown modally over the main window,
  // runs whileShown; then closes the dialog, whatever whileShown found.
  void SendAndRun(QDialog& dialog, const std::function<void()>& whileShown);
  void ShowAlone();
  // A programming window on adapter, paced by the hand-driven ticker.
  void MakeWindow(std::unique_ptr<UsbAdapter> adapter);
  // One on the adapter LUMORA_ADAPTER=virtual:DIR gives, DIR in the test's folder; returns
  // DIR. controller_ is null when the choice failed.
  QString MakeVirtualWindow();
  // count ticks on the stand-in for the timer's thread; their posts are left queued.
  void Ticks(int count) { ticker_->TicksOnOwnThread(count); }
  void OpenProject();

  template <typename Control>
  Control* Find(const char* name, TForm2* form = nullptr) {
    return (form ? form : form2_.get())->findChild<Control*>(QString::fromLatin1(name));
  }
  void ClickAt(const char* control, QPoint inControl, TForm2* form = nullptr) {
    TForm2* window = form ? form : form2_.get();
    QTest::mouseClick(window, Qt::LeftButton, {},
                      Find<QWidget>(control, window)->mapTo(window, inControl));
  }
  // Radio buttons are clicked on their round indicator.
  void ClickRadio(const char* name, TForm2* form = nullptr) { ClickAt(name, {6, 8}, form); }
  QPoint ArrowPoint(const char* upDown, bool up) {
    return Find<UpDown>(upDown)->mapTo(form2_.get(), QPoint(9, up ? 6 : 19));
  }
  void ClickArrow(const char* upDown, bool up, int times = 1) {
    for (int i = 0; i < times; ++i) {
      QTest::mouseClick(form2_.get(), Qt::LeftButton, {}, ArrowPoint(upDown, up));
    }
  }
  QString PanelText(const char* panel) { return Find<Panel>(panel)->Caption(); }
  std::optional<CellColour> PanelColour(const char* panel) { return Find<Panel>(panel)->Colour(); }
  const ProgrammingSettings& Settings() { return form2_->Model().Settings(); }
  QAbstractButton* ProgramButton(TForm2* form = nullptr) {
    return Find<QAbstractButton>("SpeedButton1", form);
  }
  QProgressBar* Progress() { return Find<QProgressBar>("ProgressBar1"); }
  // Presses "Programuj sterownik" once the activation has enabled it.
  void StartTransfer() {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    ClickAt("SpeedButton1", {68, 16});
    QVERIFY(form2_->Model().State() != TransferState::Idle);
  }
  // The controller holds the low bytes of the image entries that are sent.
  void CheckReceivedImage();

  FakeDialogs dialogs_;
  QString workingDir_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form1_;
  VirtualAdapter* controller_ = nullptr;  // owned by form2_
  ManualTicker* ticker_ = nullptr;        // owned by form2_
  std::unique_ptr<TForm2> form2_;
  int highestProgress_ = 0;
};

void Form2Test::init() {
  dialogs_ = FakeDialogs();
  folder_ = std::make_unique<QTemporaryDir>();
  workingDir_ = QDir::currentPath();
  QDir::setCurrent(folder_->path());
  WriteTableFile();
  form1_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  auto adapter = std::make_unique<VirtualAdapter>();
  controller_ = adapter.get();
  MakeWindow(std::move(adapter));
  highestProgress_ = 0;
  connect(Progress(), &QProgressBar::valueChanged, this,
          [this](int value) { highestProgress_ = std::max(highestProgress_, value); });
  form1_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form1_.get()));
}

void Form2Test::MakeWindow(std::unique_ptr<UsbAdapter> adapter) {
  auto ticker = std::make_unique<ManualTicker>();
  ticker_ = ticker.get();
  form2_ = std::make_unique<TForm2>(std::move(adapter), std::move(ticker), dialogs_, form1_.get());
  form1_->SetProgrammingWindow([this]() -> TForm2& { return *form2_; });
}

QString Form2Test::MakeVirtualWindow() {
  const QString directory = folder_->filePath(QStringLiteral("virtual"));
  AdapterChoice choice = ChooseAdapter("virtual:" + directory.toStdString(), nullptr);
  controller_ = dynamic_cast<VirtualAdapter*>(choice.Adapter.get());
  if (controller_) MakeWindow(std::move(choice.Adapter));
  return directory;
}

void Form2Test::cleanup() {
  form2_.reset();
  form1_.reset();
  QDir::setCurrent(workingDir_);
  folder_.reset();
}

void Form2Test::SendAndRun(QDialog& dialog, const std::function<void()>& whileShown) {
  bool ran = false;
  QTimer poll;
  poll.setInterval(10);
  connect(&poll, &QTimer::timeout, this, [&] {
    if (ran || QApplication::activeModalWidget() != &dialog) return;
    ran = true;
    poll.stop();
    whileShown();
    dialog.close();
  });
  poll.start();
  Click(*form1_, OnConfigurationTab(*form1_, kSendButton));
  QVERIFY(ran);
  QVERIFY(!dialog.isVisible());
}

void Form2Test::ShowAlone() {
  form2_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form2_.get()));
}

void Form2Test::OpenProject() {
  const QString path = folder_->filePath(QStringLiteral("show.prj"));
  WriteProject(path);
  dialogs_.answers.push_back(path.toStdString());
  Click(*form1_, OnConfigurationTab(*form1_, {4 + 52, 8 + 12}));  // "Otwórz projekt"
  QVERIFY(dialogs_.errors.empty());
  QCOMPARE(form1_->Model().Config().Programs().UsedScenes(), 5);
}

void Form2Test::CheckReceivedImage() {
  const ReceivedTransfer received = controller_->Received();
  QCOMPARE(received.Outcome, TransferOutcome::Complete);
  QCOMPARE(received.BadHeaders + received.BadPages + received.BadImages, 0u);
  const ControllerImageArray& image = form1_->Model().Output().Image();
  int scenesBytesSet = 0;
  for (int i = 0; i < kTransferBytes; ++i) {
    QCOMPARE(received.Image[i], static_cast<std::uint8_t>(image[i] & 0xFF));
    if (i >= 134 && i < 134 + 5 * 64 && received.Image[i] != 0) ++scenesBytesSet;
  }
  QVERIFY(scenesBytesSet > 0);  // the project's scenes are in it, not an empty image
}

void Form2Test::controlsStandAtTheirPlacesWithTheirStartValues() {
  QCOMPARE(form2_->windowTitle(), QStringLiteral("Programowanie sterownika"));
  QCOMPARE(form2_->size(), QSize(476, 224));
  QCOMPARE(form2_->minimumSize(), form2_->maximumSize());
  QVERIFY(!(form2_->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(form2_->windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(!form2_->isVisible());

  struct Place {
    const char* name;
    QRect place;  // an empty size: the control sizes itself to its text
    const char* caption;
  };
  const Place places[] = {
      {"GroupBox1", {8, 9, 185, 121}, "Wybierz sterownik"},
      {"RadioButton1", {8, 24, 137, 17}, "Wszystkie sterowniki"},
      {"RadioButton2", {8, 56, 161, 17}, "Sterownik o adresie równym:"},
      {"Label3", {22, 87, 0, 0}, "DMX adres"},
      {"Panel1", {78, 83, 33, 21}, "1"},
      {"UpDown1", {112, 80, 18, 25}, ""},
      {"GroupBox2", {200, 8, 265, 81}, "Ustawienia trybu solo"},
      {"RadioButton3", {4, 20, 57, 17}, "Program"},
      {"RadioButton4", {70, 21, 51, 17}, "Auto"},
      {"Panel2", {6, 43, 33, 21}, "1"},
      {"UpDown2", {40, 40, 18, 25}, ""},
      {"Panel5", {72, 43, 33, 21}, "1"},
      {"UpDown5", {106, 40, 18, 25}, ""},
      {"Label4", {136, 24, 0, 0}, "Prędkość"},
      {"Panel3", {137, 43, 33, 21}, "20"},
      {"UpDown3", {172, 40, 18, 25}, ""},
      {"Label5", {204, 25, 0, 0}, "Liczba tub"},
      {"Panel4", {206, 43, 33, 21}, "16"},
      {"UpDown4", {240, 40, 18, 25}, ""},
      {"GroupBox3", {200, 88, 265, 41}, "Wybierz programator"},
      {"RadioButton5", {8, 16, 113, 17}, "Brightwave USB"},
      {"RadioButton6", {128, 16, 129, 17}, "Standard programator"},
      {"SpeedButton1", {157, 140, 137, 33}, "Programuj sterownik"},
      {"StatusBar1", {0, 204, 476, 20}, ""},
      {"ProgressBar1", {2, 2, 150, 18}, ""},
  };
  for (const Place& p : places) {
    auto* control = Find<QWidget>(p.name);
    QVERIFY2(control, p.name);
    QCOMPARE(control->pos(), p.place.topLeft());
    if (!p.place.size().isEmpty()) QCOMPARE(control->size(), p.place.size());
    QString caption;
    if (auto* group = qobject_cast<QGroupBox*>(control)) caption = group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
    if (qobject_cast<QRadioButton*>(control)) {  // not cut, unless even the smallest face is
      QVERIFY2(control->sizeHint().width() <= control->width() || control->font().pixelSize() <= 8,
               p.name);
    }
    if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
    if (auto* panel = qobject_cast<Panel*>(control)) caption = panel->Caption();
    QCOMPARE(caption, QString::fromUtf8(p.caption));
    QVERIFY2(!control->accessibleName().isEmpty(), p.name);
  }
  QCOMPARE(Find<QWidget>("ProgressBar1")->parentWidget(), Find<QWidget>("StatusBar1"));
  QCOMPARE(Find<QWidget>("UpDown5")->accessibleName(),
           QStringLiteral("Numer programu automatycznego"));
  QCOMPARE(Find<QWidget>("ProgressBar1")->accessibleName(), QStringLiteral("Postęp programowania"));

  struct SpinnerStart {
    const char* upDown;
    const char* panel;
    int minimum;
    int maximum;
    int position;
    bool enabled;
  };
  const SpinnerStart spinners[] = {
      {"UpDown1", "Panel1", 1, 504, 1, false}, {"UpDown2", "Panel2", 1, 56, 1, true},
      {"UpDown3", "Panel3", 1, 32, 20, true},  {"UpDown4", "Panel4", 1, 16, 16, true},
      {"UpDown5", "Panel5", 1, 7, 1, false},
  };
  for (const SpinnerStart& s : spinners) {
    auto* upDown = Find<UpDown>(s.upDown);
    QCOMPARE(upDown->Minimum(), s.minimum);
    QCOMPARE(upDown->Maximum(), s.maximum);
    QCOMPARE(upDown->Position(), s.position);
    QCOMPARE(upDown->isEnabled(), s.enabled);
    QCOMPARE(PanelColour(s.panel), std::optional<CellColour>(s.enabled ? colour::White : kGrey));
  }
  // Grey is drawn as grey.
  QCOMPARE(Find<Panel>("Panel1")->grab().toImage().pixelColor(4, 4), QColor(216, 216, 216));

  for (const char* checked : {"RadioButton1", "RadioButton3", "RadioButton5"}) {
    QVERIFY2(Find<QAbstractButton>(checked)->isChecked(), checked);
  }
  QVERIFY(!ProgramButton()->isEnabled());
  QVERIFY(!ProgramButton()->icon().isNull());
  QCOMPARE(Progress()->minimum(), 0);
  QCOMPARE(Progress()->maximum(), 223);
  QCOMPARE(Progress()->value(), 0);
  QCOMPARE(Settings().TargetAddress(), 0);
  QCOMPARE(Settings().SoloProgram(), 0);
  QCOMPARE(Settings().SoloSpeed(), 19);
  QCOMPARE(Settings().TubeCount(), 16);
  QCOMPARE(Settings().Kind(), ProgrammerKind::UsbProgrammer);
}

void Form2Test::radioButtonsAndSpinnersMakeTheSettings() {
  ShowAlone();
  ClickArrow("UpDown1", true);  // disabled: nothing moves
  QCOMPARE(Find<UpDown>("UpDown1")->Position(), 1);

  ClickRadio("RadioButton2");
  QCOMPARE(Settings().TargetAddress(), 1);
  QCOMPARE(PanelColour("Panel1"), std::optional<CellColour>(colour::White));
  ClickArrow("UpDown1", true, 299);
  QCOMPARE(PanelText("Panel1"), QStringLiteral("300"));
  QCOMPARE(Settings().AddressLow(), 44);
  QCOMPARE(Settings().AddressHigh(), 1);

  ClickRadio("RadioButton1");  // all controllers again; the spinner stays where it was
  QCOMPARE(Settings().TargetAddress(), 0);
  QCOMPARE(Settings().AddressLow(), 0);
  QCOMPARE(Settings().AddressHigh(), 0);
  QCOMPARE(PanelColour("Panel1"), std::optional<CellColour>(kGrey));
  QCOMPARE(PanelText("Panel1"), QStringLiteral("300"));
  ClickRadio("RadioButton2");
  QCOMPARE(Settings().TargetAddress(), 300);

  ClickRadio("RadioButton4");  // "Auto"
  QCOMPARE(PanelColour("Panel5"), std::optional<CellColour>(colour::White));
  QCOMPARE(PanelColour("Panel2"), std::optional<CellColour>(kGrey));
  QCOMPARE(Settings().SoloProgram(), 56);
  ClickArrow("UpDown5", true, 7);  // held at 7
  QCOMPARE(PanelText("Panel5"), QStringLiteral("7"));
  QCOMPARE(Settings().SoloProgram(), 62);
  ClickArrow("UpDown2", true);  // disabled with "Auto"
  QCOMPARE(PanelText("Panel2"), QStringLiteral("1"));
  QCOMPARE(Settings().SoloProgram(), 62);

  ClickRadio("RadioButton3");  // "Program"
  ClickArrow("UpDown2", true, 2);
  QCOMPARE(PanelText("Panel2"), QStringLiteral("3"));
  QCOMPARE(Settings().SoloProgram(), 2);
  QCOMPARE(PanelColour("Panel5"), std::optional<CellColour>(kGrey));

  ClickArrow("UpDown3", false, 2);
  ClickArrow("UpDown4", true);  // held at 16
  ClickArrow("UpDown4", false, 3);
  QCOMPARE(PanelText("Panel3"), QStringLiteral("18"));
  QCOMPARE(PanelText("Panel4"), QStringLiteral("13"));
  QCOMPARE(Settings().SoloSpeed(), 17);
  QCOMPARE(Settings().TubeCount(), 13);
}

void Form2Test::heldAddressArrowStepsOneOneThenTenUntilReleased() {
  ShowAlone();
  ClickRadio("RadioButton2");
  auto* upDown = Find<UpDown>("UpDown1");
  std::vector<int> positions;
  connect(upDown, &UpDown::Clicked, this, [&] { positions.push_back(upDown->Position()); });

  const QPoint up = ArrowPoint("UpDown1", true);
  QTest::mousePress(form2_.get(), Qt::LeftButton, {}, up);
  QTRY_VERIFY_WITH_TIMEOUT(positions.size() >= 5, 10000);
  QTest::mouseRelease(form2_.get(), Qt::LeftButton, {}, up);
  QCOMPARE(std::vector<int>(positions.begin(), positions.begin() + 5),
           (std::vector<int>{2, 3, 13, 23, 33}));
  const int held = upDown->Position();
  QCOMPARE(Settings().TargetAddress(), held);
  QCOMPARE(PanelText("Panel1"), QString::number(held));

  ClickArrow("UpDown1", true);
  QCOMPARE(upDown->Position(), held + 1);
  ClickArrow("UpDown1", false);
  ClickArrow("UpDown1", false);
  QCOMPARE(upDown->Position(), held - 1);
  QCOMPARE(Settings().TargetAddress(), held - 1);
}

// A screen reader reads each number panel's accessible name, which follows its spinner.
void Form2Test::numberPanelsReadOutTheirSpinnersPositions() {
  ShowAlone();
  ClickRadio("RadioButton2");
  ClickArrow("UpDown1", true, 2);
  ClickArrow("UpDown2", true, 4);
  ClickArrow("UpDown3", false);
  ClickArrow("UpDown4", false, 3);
  struct Spoken {
    const char* panel;
    const char* name;
  };
  for (const Spoken& s : {Spoken{"Panel1", "Adres DMX: 3"}, Spoken{"Panel2", "Numer programu: 5"},
                          Spoken{"Panel3", "Prędkość: 19"}, Spoken{"Panel4", "Liczba tub: 13"},
                          Spoken{"Panel5", "Numer programu automatycznego: 1"}}) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(Find<Panel>(s.panel));
    QVERIFY2(spoken, s.panel);
    QCOMPARE(spoken->text(QAccessible::Name), QString::fromUtf8(s.name));
  }
}

namespace {

// Records the timer threads it is told of, and whether it was told on the UI thread.
class FakeRealtime : public RealtimeBroker {
 public:
  void TimerThreadStarted(const TimerThreadStart& start) override {
    onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    starts.push_back(start);
  }

  std::vector<TimerThreadStart> starts;
  bool onUiThread = true;
};

}  // namespace

void Form2Test::everyTimerThreadIsOfferedForARealTimeClassFromTheUiThread() {
  FakeRealtime realtime;
  UiThreadBroker fromUiThread(realtime);
  auto form = std::make_unique<TForm2>(
      std::make_unique<VirtualAdapter>(),
      std::make_unique<TMMTimer>(
          /*designMode=*/false,
          [&](const TimerThreadStart& start) { fromUiThread.TimerThreadStarted(start); }),
      dialogs_, form1_.get());
  // The timer made with the window waits behind its closed gate and asks for nothing; the
  // activation starts the ticks at the USB pace on a new thread, which asks.
  form->show();
  QTRY_COMPARE(realtime.starts.size(), 1u);
  QVERIFY(realtime.onUiThread);
  const pid_t running = realtime.starts.back().threadId;
  QCOMPARE(testing::ThreadName(running), QStringLiteral("mmtimer"));
  form.reset();
  QTRY_VERIFY(testing::ThreadName(running).isEmpty());
}

void Form2Test::standardProgrammerSendsTheWholeImageInOneBurst() {
  OpenProject();
  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    ClickRadio("RadioButton6");
    QCOMPARE(Settings().Kind(), ProgrammerKind::StandardProgrammer);
    StartTransfer();
    Ticks(1);  // the whole transfer in one burst
    QCOMPARE(form2_->Model().State(), TransferState::Finished);
    QTRY_COMPARE(Progress()->value(), 0);
    QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
  });
  QCOMPARE(highestProgress_, 222);
  QCOMPARE(controller_->Received().StandardFrames, 223u);
  CheckReceivedImage();
  QVERIFY(dialogs_.errors.empty());

  // Opening again brings the USB programmer back.
  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    QVERIFY(Find<QAbstractButton>("RadioButton5")->isChecked());
    QCOMPARE(Settings().Kind(), ProgrammerKind::UsbProgrammer);
  });
}

void Form2Test::usbTransferClosedMidwayGoesOnWhenTheWindowOpensAgain() {
  OpenProject();
  SendAndRun(*form2_, [&] {
    ClickRadio("RadioButton2");  // address 1, kept while the window is closed
    StartTransfer();
    Ticks(30);
    QCOMPARE(controller_->Received().Packets, 30u);
  });
  const std::uint32_t packetsBeforeClose = controller_->Received().Packets;
  QVERIFY(packetsBeforeClose < 223);
  QVERIFY(!controller_->Line().Open);
  QCOMPARE(form2_->Model().State(), TransferState::Running);

  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    Ticks(kUsbTransferTicks - 30);
    QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
    QTRY_COMPARE(Progress()->value(), 0);
    QCOMPARE(form2_->Model().State(), TransferState::Finished);
  });
  const ReceivedTransfer received = controller_->Received();
  // One transfer: no page was sent twice and none was left out.
  QCOMPARE(received.Packets, 223u);
  QCOMPARE(received.CompletedTransfers, 1u);
  QCOMPARE(received.Verdicts[packetsBeforeClose].Page, packetsBeforeClose);
  QCOMPARE(received.Verdicts.back().Page, kFinalPageNumber);
  QVERIFY(received.LastSettings);
  QCOMPARE(received.LastSettings->TargetAddress, 1);
  CheckReceivedImage();
  QVERIFY(dialogs_.errors.empty());
}

// The one transfer paced by the real timer: a packet every 50 ms on the timer's own thread,
// its progress posted to the user-interface thread.
void Form2Test::usbTransferPacedByTheRealTimerArrivesWhole() {
  auto adapter = std::make_unique<VirtualAdapter>();
  controller_ = adapter.get();
  form2_ = std::make_unique<TForm2>(std::move(adapter), std::make_unique<TMMTimer>(), dialogs_,
                                    form1_.get());
  form1_->SetProgrammingWindow([this]() -> TForm2& { return *form2_; });
  ticker_ = nullptr;
  connect(Progress(), &QProgressBar::valueChanged, this,
          [this](int value) { highestProgress_ = std::max(highestProgress_, value); });
  OpenProject();
  SendAndRun(*form2_, [&] {
    StartTransfer();
    QTRY_COMPARE_WITH_TIMEOUT(controller_->Received().Outcome, TransferOutcome::Complete,
                              kTransferTimeoutMs);
    QTRY_COMPARE(Progress()->value(), 0);
    QCOMPARE(form2_->Model().State(), TransferState::Finished);
  });
  QCOMPARE(controller_->Received().Packets, 223u);
  QCOMPARE(highestProgress_, 222);
  CheckReceivedImage();
  QVERIFY(dialogs_.errors.empty());
}

void Form2Test::deviceLostMidTransferShowsTheMessageAndStops() {
  OpenProject();
  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    ClickRadio("RadioButton6");
    controller_->DisappearAfterWrites(100 * kWritesPerStandardFrame);
    StartTransfer();
    Ticks(1);
    QTRY_COMPARE(dialogs_.errors, std::vector<std::string>{std::string(message::NoProgrammer)});
    QCOMPARE(form2_->Model().State(), TransferState::Idle);
    QTRY_COMPARE(Progress()->value(), 0);
    QVERIFY(!ProgramButton()->isEnabled());
  });
  QCOMPARE(controller_->Received().Packets, 100u);
  QCOMPARE(controller_->Received().Outcome, TransferOutcome::InProgress);

  // Plugged in again: the next transfer starts from page 0 and completes.
  controller_->SetDevicePresent(true);
  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    ClickRadio("RadioButton6");
    StartTransfer();
    Ticks(1);
    QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
  });
  CheckReceivedImage();
  QCOMPARE(dialogs_.errors.size(), 1u);
}

void Form2Test::unplugFileInTheVirtualFolderPullsThePlugMidTransfer() {
  // A person pulls the plug by creating DIR/unplug and plugs it in again by removing the file.
  const QString directory = MakeVirtualWindow();
  QVERIFY(controller_);
  QFile unplug(directory + QStringLiteral("/unplug"));
  OpenProject();

  // Mid-transfer with the USB programmer, which sends one packet a tick.
  SendAndRun(*form2_, [&] {
    StartTransfer();
    Ticks(20);
    QCOMPARE(controller_->Received().Packets, 20u);
    QVERIFY(unplug.open(QIODevice::WriteOnly));
    unplug.close();
    Ticks(1);
    QTRY_COMPARE(dialogs_.errors, std::vector<std::string>{std::string(message::NoProgrammer)});
    QCOMPARE(form2_->Model().State(), TransferState::Idle);
    QTRY_COMPARE(Progress()->value(), 0);
    QVERIFY(!ProgramButton()->isEnabled());
  });
  QVERIFY(controller_->Received().Packets < 223);
  QCOMPARE(controller_->Received().Outcome, TransferOutcome::InProgress);

  // Still unplugged: opening the window finds no device.
  SendAndRun(*form2_, [&] {
    QTRY_COMPARE(dialogs_.errors.size(), 2u);
    QVERIFY(!ProgramButton()->isEnabled());
  });

  // Plugged in again: the next opening reaches the device and a transfer finishes.
  QVERIFY(unplug.remove());
  SendAndRun(*form2_, [&] {
    QTRY_VERIFY(ProgramButton()->isEnabled());
    ClickRadio("RadioButton6");
    StartTransfer();
    Ticks(1);
    QCOMPARE(form2_->Model().State(), TransferState::Finished);
    QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
  });
  CheckReceivedImage();
  QCOMPARE(dialogs_.errors.size(), 2u);
  QFile report(directory + QStringLiteral("/report.txt"));
  QVERIFY(report.open(QIODevice::ReadOnly));
  QVERIFY(
      QString::fromUtf8(report.readAll()).contains(QStringLiteral("Wynik: transmisja kompletna")));
}

void Form2Test::stallFileInTheVirtualFolderEndsTheTransferAndTheNextStartsAfresh() {
  // A line that stops taking bytes: DIR/stall says how many more bytes it takes.
  const QString directory = MakeVirtualWindow();
  QVERIFY(controller_);
  QFile stall(directory + QStringLiteral("/stall"));
  OpenProject();

  constexpr int kPacketsBeforeStall = 20;
  SendAndRun(*form2_, [&] {
    StartTransfer();
    Ticks(kPacketsBeforeStall);
    QCOMPARE(controller_->Received().Packets, std::uint32_t{kPacketsBeforeStall});
    // Room for a hundred more bytes: the next block does not reach the controller whole.
    QVERIFY(stall.open(QIODevice::WriteOnly));
    stall.write("100");
    stall.close();
    Ticks(1);
    QTRY_COMPARE(dialogs_.errors, std::vector<std::string>{std::string(message::NoProgrammer)});
    QCOMPARE(form2_->Model().State(), TransferState::Idle);
    QTRY_COMPARE(Progress()->value(), 0);
    QVERIFY(!ProgramButton()->isEnabled());
  });
  QCOMPARE(controller_->Received().Packets, std::uint32_t{kPacketsBeforeStall});

  // The line freed and the window opened again: the transfer starts from page 0, not after
  // the page that never arrived, and completes.
  QVERIFY(stall.remove());
  SendAndRun(*form2_, [&] {
    StartTransfer();
    Ticks(1);
    // A page 0 after stored pages: the controller starts a new transfer.
    QCOMPARE(controller_->Received().Packets, 1u);
    QCOMPARE(controller_->Received().Verdicts[0].Page, 0);
    Ticks(kUsbTransferTicks - 1);
    QCOMPARE(form2_->Model().State(), TransferState::Finished);
  });
  QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
  CheckReceivedImage();
  QCOMPARE(dialogs_.errors.size(), 1u);
}

void Form2Test::withoutADeviceEveryShowingShowsTheMessageAndProgrammingStaysDisabled() {
  auto unplugged = std::make_unique<VirtualAdapter>();
  unplugged->SetDevicePresent(false);
  VirtualAdapter* plugLater = unplugged.get();
  std::unique_ptr<UsbAdapter> adapters[] = {testing::AbsentUsbAdapter(), std::move(unplugged)};
  for (auto& adapter : adapters) {
    dialogs_.errors.clear();
    TForm2 form(std::move(adapter), std::make_unique<ManualTicker>(), dialogs_, form1_.get());
    form1_->SetProgrammingWindow([&form]() -> TForm2& { return form; });
    for (std::size_t showing = 1; showing <= 2; ++showing) {
      SendAndRun(form, [&] {
        QTRY_COMPARE(dialogs_.errors.size(), showing);
        QVERIFY(!ProgramButton(&form)->isEnabled());
        ClickRadio("RadioButton6", &form);  // configures nothing, fails quietly
        ClickRadio("RadioButton5", &form);
        QVERIFY(!ProgramButton(&form)->isEnabled());
      });
    }
    const std::string missing = &adapter == &adapters[0] ? testing::AbsentUsbAdapterMessage()
                                                         : std::string(message::NoProgrammer);
    QCOMPARE(dialogs_.errors, std::vector<std::string>(2, missing));
    if (&adapter == &adapters[1]) {
      plugLater->SetDevicePresent(true);
      SendAndRun(form, [&] { QTRY_VERIFY(ProgramButton(&form)->isEnabled()); });
      QCOMPARE(dialogs_.errors.size(), 2u);
    }
    form1_->SetProgrammingWindow([this]() -> TForm2& { return *form2_; });
  }
}

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
