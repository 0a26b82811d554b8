// The main window keeps the designer's work: the close question, in both languages, answered
// with real clicks and keys; the end of the desktop session; the recovery copy written after a
// change, and the start's offer of a copy left behind.
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/form1.h"
#include "app/qt_work_questions.h"
#include "app/translation.h"
#include "app/tube_grid.h"
#include "app/work_keeper.h"
#include "files/recovery_folder.h"
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
const QPoint kSaveButton = kSequencesGroup + QPoint(84 + 36, 16 + 11);

class FakeSessionEnd : public SessionEnd {
 public:
  explicit FakeSessionEnd(bool interaction) : interaction_(interaction) {}
  bool AllowsInteraction() override { return interaction_; }
  void Cancel() override { cancelled = true; }
  bool cancelled = false;

 private:
  bool interaction_;
};

// Takes the application's quit as it comes from the end of a session, after the filters made
// before it have seen it, and closes every window as the quit does, but keeps the application
// running for the next tests.
class QuitWithoutEnding : public QObject {
 public:
  QuitWithoutEnding() { qApp->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != qApp || event->type() != QEvent::Quit) return false;
    QApplication::closeAllWindows();
    return true;
  }
};

}  // namespace

class WorkKeeperTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void closeWithoutChangesDoesNotAsk();
  void closeWithChangesAsksInTheWindowsLanguage_data();
  void closeWithChangesAsksInTheWindowsLanguage();
  void cancelledCloseLeavesEverythingAsItWas_data();
  void cancelledCloseLeavesEverythingAsItWas();
  void dontSaveClosesAndRemovesTheCopy();
  void saveClosesOnlyOnceTheFileIsWritten();
  void openingOverChangesAsksNothingAndUndoBringsThemBack();
  void sessionEndAsksWhereItMay();
  void sessionEndWithoutQuestionsKeepsTheCopy();
  void theCopyFollowsAChangeAndIdleArmsNothing();
  void leftWorkIsOfferedOnceInTheWindowsLanguage_data();
  void leftWorkIsOfferedOnceInTheWindowsLanguage();
  void aDamagedCopyIsReportedAndSetAside_data();
  void aDamagedCopyIsReportedAndSetAside();

 private:
  QString Path(const QString& name) const { return folder_->filePath(name); }
  QString Recovery() const { return Path(QStringLiteral("recovery")); }
  void MakeWindow() {
    form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
    question_ = std::make_unique<QtCloseQuestion>(form_.get());
    keeper_ =
        std::make_unique<WorkKeeper>(*form_, Recovery().toStdString(), *question_, kCopyDelay);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  // A red cell painted with the mouse on the sequence tab; the project stays as it is.
  void PaintSequence() {
    OnScenesGroup(*form_, {});
    Click(*form_, PaletteButton(1));
    Click(*form_, CellCentre(3, 2));
  }
  // An automatic program's start raised with its spinner's arrow.
  void ChangeProject() {
    Click(*form_, OnConfigurationTab(*form_, kAutoValuesGroup + QPoint(6 + 33 + 9, 24 + 5)));
  }
  QStringList CopyFiles() const {
    return QDir(Recovery())
        .entryList({QStringLiteral("*.sqx"), QStringLiteral("*.prj")}, QDir::Files);
  }
  // The close the window manager sends (its close button, Alt+F4), through the platform.
  bool CloseAsTheWindowManagerDoes() {
    form_->windowHandle()->close();
    return !form_->isVisible();
  }

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<QtCloseQuestion> question_;
  std::unique_ptr<WorkKeeper> keeper_;
  std::unique_ptr<MessageBoxAnswers> boxes_;
};

void WorkKeeperTest::init() {
  UseLanguage(UiLanguage::Polish);
  dialogs_ = FakeDialogs();
  folder_ = std::make_unique<QTemporaryDir>();
  boxes_ = std::make_unique<MessageBoxAnswers>();
  MakeWindow();
}

void WorkKeeperTest::cleanup() {
  keeper_.reset();
  question_.reset();
  form_.reset();
  boxes_.reset();
  folder_.reset();
  UseLanguage(UiLanguage::Polish);
}

void WorkKeeperTest::closeWithoutChangesDoesNotAsk() {
  PaintSequence();
  QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier);  // back to the start
  QVERIFY(CloseAsTheWindowManagerDoes());
  QVERIFY(boxes_->shown.empty());
}

void WorkKeeperTest::closeWithChangesAsksInTheWindowsLanguage_data() {
  QTest::addColumn<bool>("english");
  QTest::addColumn<bool>("sequence");
  QTest::addColumn<bool>("project");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("save");
  QTest::addColumn<QString>("dontSave");
  QTest::addColumn<QString>("cancel");
  QTest::newRow("sequence, Polish")
      << false << true << false << "Zapisać zmiany sekwencji przed zamknięciem?"
      << "Zapisz sekwencję"
      << "Nie zapisuj"
      << "Anuluj";
  QTest::newRow("project, Polish")
      << false << false << true << "Zapisać zmiany projektu przed zamknięciem?"
      << "Zapisz projekt"
      << "Nie zapisuj"
      << "Anuluj";
  QTest::newRow("both, Polish") << false << true << true
                                << "Zapisać zmiany sekwencji i projektu przed zamknięciem?"
                                << "Zapisz oba"
                                << "Nie zapisuj"
                                << "Anuluj";
  QTest::newRow("sequence, English")
      << true << true << false << "Save the changes to the sequence before closing?"
      << "Save sequence"
      << "Don't save"
      << "Cancel";
  QTest::newRow("both, English")
      << true << true << true << "Save the changes to the sequence and the project before closing?"
      << "Save both"
      << "Don't save"
      << "Cancel";
}

void WorkKeeperTest::closeWithChangesAsksInTheWindowsLanguage() {
  QFETCH(bool, english);
  QFETCH(bool, sequence);
  QFETCH(bool, project);
  if (english) {
    UseLanguage(UiLanguage::English);
    MakeWindow();  // the window and its question made in English
  }
  if (sequence) PaintSequence();
  if (project) ChangeProject();
  boxes_->answers = {QStringLiteral("cancel")};
  QVERIFY(!CloseAsTheWindowManagerDoes());
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
  const ShownBox& box = boxes_->shown[0];
  QTEST(box.text, "text");
  QCOMPARE(box.informativeText, english ? QStringLiteral("Unsaved changes will be lost.")
                                        : QStringLiteral("Niezapisane zmiany zostaną utracone."));
  QTEST(box.buttons.at(QStringLiteral("save")), "save");
  QTEST(box.buttons.at(QStringLiteral("dontSave")), "dontSave");
  QTEST(box.buttons.at(QStringLiteral("cancel")), "cancel");
  QCOMPARE(box.buttons.size(), std::size_t{3});
}

void WorkKeeperTest::cancelledCloseLeavesEverythingAsItWas_data() {
  QTest::addColumn<QString>("answer");
  QTest::newRow("Anuluj") << "cancel";
  QTest::newRow("Escape") << "Escape";
}

// The close is refused, the window stays open with its work, its undo steps and its copy, and
// the next close asks again.
void WorkKeeperTest::cancelledCloseLeavesEverythingAsItWas() {
  QFETCH(QString, answer);
  PaintSequence();
  ChangeProject();
  QTRY_COMPARE(CopyFiles().size(), 2);
  const SequenceSnapshot sequence = form_->Model().Editor().Snapshot();
  const ConfigSnapshot config = form_->Model().Config().Snapshot();
  const int steps = form_->Model().History().UndoSteps();
  boxes_->answers = {answer, QStringLiteral("cancel")};
  QVERIFY(!CloseAsTheWindowManagerDoes());
  QVERIFY(form_->isVisible());
  QVERIFY(form_->Model().Editor().Snapshot() == sequence);
  QVERIFY(form_->Model().Config().Snapshot() == config);
  QCOMPARE(form_->Model().History().UndoSteps(), steps);
  QCOMPARE(CopyFiles().size(), 2);
  QVERIFY(dialogs_.kindsAsked.empty());
  QVERIFY(!form_->close());
  QCOMPARE(boxes_->shown.size(), std::size_t{2});
}

void WorkKeeperTest::dontSaveClosesAndRemovesTheCopy() {
  PaintSequence();
  QTRY_COMPARE(CopyFiles().size(), 2);
  boxes_->answers = {QStringLiteral("dontSave")};
  QVERIFY(CloseAsTheWindowManagerDoes());
  QVERIFY(CopyFiles().isEmpty());
  QVERIFY(dialogs_.kindsAsked.empty());
}

// The question's save goes through the save dialog; a dialog cancelled or a save that fails
// keeps the window open.
void WorkKeeperTest::saveClosesOnlyOnceTheFileIsWritten() {
  PaintSequence();
  boxes_->answers = {QStringLiteral("save"), QStringLiteral("Return"), QStringLiteral("save")};
  dialogs_.answers = {std::nullopt, Path(QStringLiteral("no/folder/a.sqx")).toStdString(),
                      Path(QStringLiteral("a.sqx")).toStdString()};
  QVERIFY(!CloseAsTheWindowManagerDoes());  // dialog cancelled
  QVERIFY(!CloseAsTheWindowManagerDoes());  // Enter saves; the write fails
  QCOMPARE(dialogs_.errors, std::vector<std::string>{"ERROR PLIK"});
  QVERIFY(CloseAsTheWindowManagerDoes());
  QCOMPARE(dialogs_.kindsAsked.size(), std::size_t{3});
  const std::string saved = ReadFile(Path(QStringLiteral("a.sqx")));
  QVERIFY(saved.starts_with("1 128 1 128 "));
  QVERIFY(saved.find(" 255 ") != std::string::npos);
  QVERIFY(CopyFiles().isEmpty());
}

// No question when a file is opened over unsaved changes: one undo brings them back.
void WorkKeeperTest::openingOverChangesAsksNothingAndUndoBringsThemBack() {
  const QPoint open = kSequencesGroup + QPoint(6 + 36, 16 + 11);
  QVERIFY(SaveSequenceFile(Path(QStringLiteral("blue.sqx")).toStdString(), 2, EffectNormal,
                           std::vector<CellColour>(2 * kCellsPerScene, colour::Blue)));
  PaintSequence();
  dialogs_.answers = {Path(QStringLiteral("blue.sqx")).toStdString()};
  Click(*form_, OnTab(*form_, 0, open));
  QTRY_COMPARE(LabelText(*form_, "Label22"), QStringLiteral("2"));
  QVERIFY(boxes_->shown.empty());
  QVERIFY(!form_->Model().Unsaved().Any());
  QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier);
  QTRY_COMPARE(LabelText(*form_, "Label22"), QStringLiteral("1"));
  QCOMPARE(form_->findChild<TubeGrid*>()->Colour(CellIndexAt(3, 2)), std::optional(colour::Red));
  QVERIFY(form_->Model().Unsaved().Sequence);
}

void WorkKeeperTest::sessionEndAsksWhereItMay() {
  PaintSequence();
  QTRY_COMPARE(CopyFiles().size(), 2);
  FakeSessionEnd cancelled(true);
  boxes_->answers = {QStringLiteral("cancel")};
  keeper_->SessionEnding(cancelled);
  QVERIFY(cancelled.cancelled);
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
  QVERIFY(form_->isVisible());

  FakeSessionEnd ended(true);
  boxes_->answers = {QStringLiteral("dontSave")};
  keeper_->SessionEnding(ended);
  QVERIFY(!ended.cancelled);
  QVERIFY(CopyFiles().isEmpty());
  QVERIFY(form_->close());  // the session's own close asks no more
  QCOMPARE(boxes_->shown.size(), std::size_t{2});
}

// A session that lets the program ask nothing: the copy is written at once and stays for the
// next start; a close by the user still asks, the session's quit closes without a question.
void WorkKeeperTest::sessionEndWithoutQuestionsKeepsTheCopy() {
  keeper_.reset();
  form_.reset();
  QuitWithoutEnding quitting;  // sees the quit after the window's keeper made below
  MakeWindow();
  PaintSequence();
  QVERIFY(CopyFiles().isEmpty());
  FakeSessionEnd session(false);
  keeper_->SessionEnding(session);
  QVERIFY(!session.cancelled);
  QCOMPARE(CopyFiles().size(), 2);
  QVERIFY(boxes_->shown.empty());
  boxes_->answers = {QStringLiteral("cancel")};
  QVERIFY(!CloseAsTheWindowManagerDoes());
  QEvent quit(QEvent::Quit);  // as the session manager's end of the session sends it
  QCoreApplication::sendEvent(qApp, &quit);
  QVERIFY(!form_->isVisible());
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
  keeper_.reset();
  QCOMPARE(CopyFiles().size(), 2);
}

// The copy is written a moment after a change (here 50 ms), rewritten after the next, and
// removed once the work is saved; between changes the copy's timer stays off, so idle costs no
// wake-up of its own.
void WorkKeeperTest::theCopyFollowsAChangeAndIdleArmsNothing() {
  auto* timer = keeper_->findChild<QTimer*>(QStringLiteral("RecoveryCopyTimer"));
  QVERIFY(timer);
  QSignalSpy beats(&form_->BeatTimer(), &QTimer::timeout);
  QVERIFY(beats.wait());
  QVERIFY(!timer->isActive());
  PaintSequence();
  QTRY_VERIFY(timer->isActive());
  QTRY_COMPARE(CopyFiles().size(), 2);
  const QString sequenceCopy = Recovery() + QLatin1Char('/') + CopyFiles().filter(".sqx")[0];
  QVERIFY(ReadFile(sequenceCopy).find(" 255 ") != std::string::npos);
  beats.clear();
  QTRY_VERIFY(beats.size() >= 3);
  QVERIFY(!timer->isActive());

  Click(*form_, PaletteButton(2));
  Click(*form_, CellCentre(3, 2));
  QTRY_VERIFY(ReadFile(sequenceCopy).find(" 65280 ") != std::string::npos);
  dialogs_.answers = {Path(QStringLiteral("saved.sqx")).toStdString()};
  Click(*form_, OnTab(*form_, 0, kSaveButton));
  QTRY_VERIFY(CopyFiles().isEmpty());
  QVERIFY(!QFile::exists(sequenceCopy));
}

void WorkKeeperTest::leftWorkIsOfferedOnceInTheWindowsLanguage_data() {
  QTest::addColumn<bool>("english");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("restore");
  QTest::addColumn<QString>("discard");
  QTest::newRow("restored, Polish") << false << "restore"
                                    << "Przywrócić niezapisaną pracę?"
                                    << "Przywróć"
                                    << "Odrzuć";
  QTest::newRow("discarded, Polish") << false << "discard"
                                     << "Przywrócić niezapisaną pracę?"
                                     << "Przywróć"
                                     << "Odrzuć";
  QTest::newRow("restored, English") << true << "restore"
                                     << "Restore unsaved work?"
                                     << "Restore"
                                     << "Discard";
}

// A run with a painted sequence and a changed project ends without a word; the next start
// offers its work once. Restored, it is back on screen as one step that Ctrl+Z takes back.
void WorkKeeperTest::leftWorkIsOfferedOnceInTheWindowsLanguage() {
  QFETCH(bool, english);
  QFETCH(QString, answer);
  PaintSequence();
  ChangeProject();
  QTRY_COMPARE(CopyFiles().size(), 2);
  {
    // A second Lumora running beside it finds nothing to offer.
    RecoveryFolder folder(Recovery().toStdString());
    QVERIFY(!folder.TakeLeftCopy());
  }
  keeper_.reset();  // the run ends without its close
  form_.reset();
  if (english) UseLanguage(UiLanguage::English);
  MakeWindow();
  QCOMPARE(LabelText(*form_, "Label2"), QStringLiteral("1"));
  QtRecoveryQuestions questions(form_.get());
  boxes_->answers = {answer};
  keeper_->OfferLeftWork(questions);
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
  const ShownBox& box = boxes_->shown[0];
  QTEST(box.text, "text");
  QTEST(box.buttons.at(QStringLiteral("restore")), "restore");
  QTEST(box.buttons.at(QStringLiteral("discard")), "discard");
  QCOMPARE(box.buttons.size(), std::size_t{2});

  auto* grid = form_->findChild<TubeGrid*>();
  if (answer == QLatin1String("restore")) {
    QTRY_COMPARE(grid->Colour(CellIndexAt(3, 2)), std::optional(colour::Red));
    QTRY_COMPARE(LabelText(*form_, "Label2"), QStringLiteral("2"));
    QVERIFY(form_->Model().Unsaved().Sequence && form_->Model().Unsaved().Project);
    QTRY_COMPARE(CopyFiles().size(), 2);  // this run's own copy of the restored work
    form_->activateWindow();              // as the window manager gives it back after the box
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(grid->Colour(CellIndexAt(3, 2)), std::optional(colour::Black));
    QTRY_COMPARE(LabelText(*form_, "Label2"), QStringLiteral("1"));
  } else {
    QCOMPARE(grid->Colour(CellIndexAt(3, 2)), std::optional(colour::Black));
    QVERIFY(!form_->Model().Unsaved().Any());
    QVERIFY(CopyFiles().isEmpty());
  }
  keeper_->OfferLeftWork(questions);  // offered once
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
}

void WorkKeeperTest::aDamagedCopyIsReportedAndSetAside_data() {
  QTest::addColumn<bool>("english");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("where");
  QTest::newRow("Polish") << false << "Kopii niezapisanej pracy nie da się odczytać."
                          << "Odłożono ją do folderu %1.";
  QTest::newRow("English") << true << "The copy of unsaved work cannot be read."
                           << "It was set aside in the folder %1.";
}

void WorkKeeperTest::aDamagedCopyIsReportedAndSetAside() {
  QFETCH(bool, english);
  QFETCH(QString, where);
  if (english) UseLanguage(UiLanguage::English);
  QVERIFY(QDir().mkpath(Recovery()));
  QFile copy(Recovery() + QStringLiteral("/5eedf00d.sqx"));
  QVERIFY(copy.open(QIODevice::WriteOnly));
  copy.write("3 128 2 128 255 255");  // cut short
  copy.close();
  QtRecoveryQuestions questions(form_.get());
  boxes_->answers = {QStringLiteral("Ok")};
  keeper_->OfferLeftWork(questions);
  QCOMPARE(boxes_->shown.size(), std::size_t{1});
  QTEST(boxes_->shown[0].text, "text");
  const QString damaged = QDir::toNativeSeparators(Recovery() + QStringLiteral("/damaged"));
  QCOMPARE(boxes_->shown[0].informativeText, where.arg(damaged));
  QVERIFY(QFile::exists(Recovery() + QStringLiteral("/damaged/5eedf00d.sqx")));
  QVERIFY(!form_->Model().Unsaved().Any());
  QCOMPARE(LabelText(*form_, "Label22"), QStringLiteral("1"));
}

QTEST_MAIN(WorkKeeperTest)
#include "work_keeper_test.moc"
