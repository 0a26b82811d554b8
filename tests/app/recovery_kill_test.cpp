// Work survives a killed Lumora: a run paints and changes its project with real mouse events,
// keeps its recovery copy and is killed (SIGKILL, on Windows TerminateProcess); while it runs a
// second start leaves its copy alone, after it the next start offers it and the restored work
// saves to the very bytes the killed run would have saved.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <memory>
#include <string_view>

#include "app/form1.h"
#include "app/qt_work_questions.h"
#include "app/work_keeper.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "form1_places.h"
#include "support/fake_dialogs.h"
#include "support/message_box_answers.h"
#include "support/temp_folder.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

std::string ReadFile(const QString& path) {
  return ReadBytes(path.toStdString());
}

constexpr std::chrono::milliseconds kCopyDelay{50};
constexpr int kWaitMs = 60000;
const QPoint kSaveButton = kSequencesGroup + QPoint(84 + 36, 16 + 11);
const QPoint kSaveProjectButton(120 + 52, 8 + 12);

bool WriteAll(const QString& path, const std::string& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
             static_cast<qint64>(bytes.size());
}

std::string SequenceBytes(const MainWindowModel& model) {
  const SequenceWork work = model.CurrentSequence();
  return FormatSequenceFile(work.SceneCount, work.EffectMode, work.Cells);
}

std::string ProjectBytes(const MainWindowModel& model) {
  const ProjectWork work = model.CurrentProject();
  return FormatProjectFile(work.Programs.Table(), work.Programs.Store(), work.AutoTable);
}

// The main window and what keeps its work, as the program makes them, over a recovery folder.
struct Window {
  explicit Window(const QString& recovery)
      : question(&form), keeper(form, recovery.toStdString(), question, kCopyDelay) {
    form.show();
  }
  FakeDialogs dialogs;
  TForm1 form{dialogs, dialogs};
  QtCloseQuestion question;
  WorkKeeper keeper;
};

// The run that is killed: paints, adds a scene, picks "fala1" and raises an automatic
// program's start, waits until its copy holds all of it, writes what its saves would write
// into EXPECTED, says "ready" and runs on until killed.
int EditAndWait(const QString& recovery, const QString& expected) {
  Window window(recovery);
  TForm1& form = window.form;
  if (!QTest::qWaitForWindowExposed(&form)) return 3;
  OnScenesGroup(form, {});
  Click(form, PaletteButton(4));
  Click(form, CellCentre(1, 0));
  Click(form, CellCentre(16, 7));
  Click(form, OnScenesGroup(form, QPoint(32 + 32, 107 + 12)));  // "Dodaj"
  Click(form, PaletteButton(6));
  Click(form, CellCentre(8, 3));
  Click(form, OnScenesGroup(form, QPoint(8 + 64 + 6, 16 + 8)));  // "fala1"
  Click(form, OnConfigurationTab(form, kAutoValuesGroup + QPoint(6 + 33 + 9, 24 + 5)));
  const std::string sequence = SequenceBytes(form.Model());
  const std::string project = ProjectBytes(form.Model());
  const QDir folder(recovery);
  const bool kept = QTest::qWaitFor(
      [&] {
        const QStringList sequences = folder.entryList({QStringLiteral("*.sqx")}, QDir::Files);
        const QStringList projects = folder.entryList({QStringLiteral("*.prj")}, QDir::Files);
        return sequences.size() == 1 && projects.size() == 1 &&
               ReadFile(folder.filePath(sequences[0])) == sequence &&
               ReadFile(folder.filePath(projects[0])) == project;
      },
      kWaitMs);
  if (!kept || !WriteAll(expected + QStringLiteral("/expected.sqx"), sequence) ||
      !WriteAll(expected + QStringLiteral("/expected.prj"), project)) {
    return 4;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QApplication::exec();
}

}  // namespace

class RecoveryKillTest : public QObject {
  Q_OBJECT

 private slots:
  void workOfAKilledRunComesBackAtTheNextStart();
};

void RecoveryKillTest::workOfAKilledRunComesBackAtTheNextStart() {
  QTemporaryDir folder;
  const QString recovery = folder.filePath(QStringLiteral("recovery"));
  QProcess run;
  run.setProcessChannelMode(QProcess::SeparateChannels);
  run.setReadChannel(QProcess::StandardOutput);
  run.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--edit-and-wait"), recovery, folder.path()});
  QVERIFY(run.waitForStarted(kWaitMs));
  QVERIFY2(QTest::qWaitFor([&] { return run.canReadLine() || run.state() != QProcess::Running; },
                           kWaitMs),
           "the run never said it was ready");
  QCOMPARE(run.readLine().trimmed(), QByteArray("ready"));

  MessageBoxAnswers boxes;
  {
    Window second(recovery);  // started while the first still runs
    QtRecoveryQuestions questions(&second.form);
    second.keeper.OfferLeftWork(questions);
    QVERIFY(boxes.shown.empty());
  }

  run.kill();
  QVERIFY(run.waitForFinished(kWaitMs));
  QCOMPARE(run.exitStatus(), QProcess::CrashExit);

  Window next(recovery);
  QVERIFY(QTest::qWaitForWindowExposed(&next.form));
  QtRecoveryQuestions questions(&next.form);
  boxes.answers = {QStringLiteral("restore")};
  next.keeper.OfferLeftWork(questions);
  QCOMPARE(boxes.shown.size(), std::size_t{1});
  QCOMPARE(boxes.shown[0].text, QStringLiteral("Przywrócić niezapisaną pracę?"));

  next.dialogs.answers = {folder.filePath(QStringLiteral("restored.sqx")).toStdString(),
                          folder.filePath(QStringLiteral("restored.prj")).toStdString()};
  Click(next.form, OnTab(next.form, 0, kSaveButton));
  Click(next.form, OnConfigurationTab(next.form, kSaveProjectButton));
  QVERIFY(next.dialogs.errors.empty());
  QCOMPARE(ReadFile(folder.filePath(QStringLiteral("restored.sqx"))),
           ReadFile(folder.filePath(QStringLiteral("expected.sqx"))));
  QCOMPARE(ReadFile(folder.filePath(QStringLiteral("restored.prj"))),
           ReadFile(folder.filePath(QStringLiteral("expected.prj"))));
  QVERIFY(!next.form.Model().Unsaved().Any());
}

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc == 4 && std::string_view(argv[1]) == "--edit-and-wait") {
    return EditAndWait(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  }
  RecoveryKillTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "recovery_kill_test.moc"
