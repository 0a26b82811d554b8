// The real programming window, offscreen, under a long random use with the mouse: settings,
// programmer choice, closing and reopening the window and repeated transfers, against the
// virtual programmer and controller with the real timer. Every transfer the controller
// completes must arrive whole with good checksums. LUMORA_SOAK_SECONDS sets a longer run
// than the 30 s of the normal test run.
#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "app/form1.h"
#include "app/form2.h"
#include "app/up_down.h"
#include "files/table_file.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "timer/mm_timer.h"

using namespace lumora;
using namespace lumora::testing;

class Form2SoakTest : public QObject {
  Q_OBJECT

 private slots:
  void randomUseNeverDamagesATransfer();

 private:
  QWidget* Control(const QString& name) { return form2_->findChild<QWidget*>(name); }
  void ClickIn(const QString& control, QPoint inControl) {
    QWidget* widget = Control(control);
    if (widget->isVisible()) {
      QTest::mouseClick(form2_.get(), Qt::LeftButton, {}, widget->mapTo(form2_.get(), inControl));
    }
  }
  void CheckReceived();

  FakeDialogs dialogs_;
  std::unique_ptr<TForm1> form1_;
  VirtualAdapter* controller_ = nullptr;  // owned by form2_
  std::unique_ptr<TForm2> form2_;
};

void Form2SoakTest::CheckReceived() {
  const ReceivedTransfer received = controller_->Received();
  QCOMPARE(received.BadHeaders + received.BadPages + received.BadImages, 0u);
  if (received.Outcome == TransferOutcome::Complete) {
    const ControllerImageArray& image = form1_->Model().Output().Image();
    for (int i = 0; i < kTransferBytes; ++i) {
      QCOMPARE(received.Image[i], static_cast<std::uint8_t>(image[i] & 0xFF));
    }
  }
}

void Form2SoakTest::randomUseNeverDamagesATransfer() {
  const char* env = std::getenv("LUMORA_SOAK_SECONDS");
  const int seconds = env && std::atoi(env) > 0 ? std::atoi(env) : 30;
  QTemporaryDir folder;
  const QString workingDir = QDir::currentPath();
  QDir::setCurrent(folder.path());
  {
    QFile table(QString::fromLatin1(kTableFileName.data(), kTableFileName.size()));
    QVERIFY(table.open(QIODevice::WriteOnly));
    for (int i = 0; i < kTableFileValues; ++i) table.write(QByteArray::number(i * 11) + ' ');
  }
  form1_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  MainWindowModel& model = form1_->Model();
  ConfigSnapshot state = model.Config().Snapshot();
  for (int k = 1; k <= 8; ++k) state.programs.SetProgram(k, 90, 1 + k % 3);
  std::vector<CellColour> memory(kProgramStoreCells);
  for (std::size_t i = 0; i < memory.size(); ++i) {
    memory[i] = kPalette[(i * 7 + i / 128) % kPalette.size()];
  }
  state.programs.StoreProgram(1, memory);  // program 1 begins the memory: all of it
  model.Config().Restore(state);
  QVERIFY(model.SendToController());
  auto adapter = std::make_unique<VirtualAdapter>();
  controller_ = adapter.get();
  form2_ = std::make_unique<TForm2>(std::move(adapter), std::make_unique<TMMTimer>(), dialogs_);
  form2_->HandOver(model.Output().Image());
  form2_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form2_.get()));

  std::mt19937 random(20261210);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* spinners[] = {"UpDown1", "UpDown2", "UpDown3", "UpDown4", "UpDown5"};
  QElapsedTimer clock;
  clock.start();
  int presses = 0, reopenings = 0;
  while (clock.elapsed() < seconds * 1000LL) {
    switch (pick(10)) {
      case 0:
      case 1:
        ClickIn(QStringLiteral("RadioButton%1").arg(1 + pick(4)), {6, 8});
        break;
      case 2:
        ClickIn(QStringLiteral("RadioButton%1").arg(5 + pick(2)), {6, 8});
        break;
      case 3:
      case 4:
        ClickIn(QString::fromLatin1(spinners[pick(5)]), {9, pick(2) ? 6 : 19});
        break;
      case 5:
      case 6:
        ++presses;
        ClickIn(QStringLiteral("SpeedButton1"), {68, 16});
        break;
      case 7:
        ++reopenings;
        form2_->close();
        QTest::qWait(pick(300));
        form2_->show();
        break;
      default:
        QTest::qWait(pick(400));
        break;
    }
    QTest::qWait(pick(60));
    CheckReceived();
    if (QTest::currentTestFailed()) return;
  }

  // Whatever the run left behind, one more transfer with the USB programmer completes.
  ClickIn(QStringLiteral("RadioButton5"), {6, 8});
  QTRY_VERIFY_WITH_TIMEOUT(form2_->Model().State() != TransferState::Running, 30000);
  const unsigned completedBefore = controller_->Received().CompletedTransfers;
  QTRY_VERIFY(qobject_cast<QAbstractButton*>(Control(QStringLiteral("SpeedButton1")))->isEnabled());
  ClickIn(QStringLiteral("SpeedButton1"), {68, 16});
  QTRY_VERIFY_WITH_TIMEOUT(controller_->Received().CompletedTransfers > completedBefore, 30000);
  CheckReceived();
  QCOMPARE(controller_->Received().Outcome, TransferOutcome::Complete);
  qInfo("%d presses, %d reopenings, %u transfers completed", presses, reopenings,
        controller_->Received().CompletedTransfers);
  QVERIFY(dialogs_.errors.empty());

  form2_.reset();
  form1_.reset();
  QDir::setCurrent(workingDir);
}

QTEST_MAIN(Form2SoakTest)
#include "form2_soak_test.moc"
