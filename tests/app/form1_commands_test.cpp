// The main window's file, program-square and send commands, pressed with real mouse events and
// answered through the file-dialog double.
#include <QAbstractButton>
#include <QDialog>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/form1.h"
#include "app/form2.h"
#include "app/panel.h"
#include "app/tube_grid.h"
#include "files/sequence_file.h"
#include "form1_places.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "support/manual_ticker.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

// GroupBox2 "Sekwencje": "Otwórz", "Zapisz", "Export".
const QPoint kOpenButton = kSequencesGroup + QPoint(6 + 36, 16 + 11);
const QPoint kSaveButton = kSequencesGroup + QPoint(84 + 36, 16 + 11);
const QPoint kExportButton = kSequencesGroup + QPoint(162 + 32, 16 + 11);
const QPoint kAddButton = kScenesGroup + QPoint(32 + 32, 107 + 12);
const QPoint kDeleteButton = kScenesGroup + QPoint(108 + 32, 107 + 12);
const QPoint kSendButton = kProgramsGroup + QPoint(37 + 65, 382 + 13);
const QPoint kSaveProjectButton(120 + 52, 8 + 12);
const QPoint kOpenProjectButton(4 + 52, 8 + 12);
const QPoint kSaveAllButton(228 + 2, 425 + 12);  // only its left edge lies on the page

std::string ReadAll(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll().toStdString();
}

}  // namespace

class Form1CommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void saveAndOpenSequenceThroughTheDialogs();
  void refusedSequenceFileShowsTheMessageAndKeepsTheEditor();
  void programSquaresAssignAndPlay();
  void projectAndListingButtonsWriteTheirFiles();
  void refusedTableFileKeepsTheProgrammingWindowClosed();

 private:
  QString Path(const char* name) { return folder_->filePath(QString::fromLatin1(name)); }
  void Answer(const QString& path) { dialogs_.answers.push_back(path.toStdString()); }
  std::optional<CellColour> SquareColour(int k) {
    return form_->findChild<Panel*>(QStringLiteral("Panel%1").arg(163 + k))->Colour();
  }

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<TForm2> form2_;
};

void Form1CommandsTest::init() {
  dialogs_ = FakeDialogs();
  folder_ = std::make_unique<QTemporaryDir>();
  form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  form2_ = std::make_unique<TForm2>(std::make_unique<VirtualAdapter>(),
                                    std::make_unique<ManualTicker>(), dialogs_, form_.get());
  form_->SetProgrammingWindow([this]() -> TForm2& { return *form2_; });
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1CommandsTest::cleanup() {
  form2_.reset();
  form_.reset();
  folder_.reset();
}

void Form1CommandsTest::saveAndOpenSequenceThroughTheDialogs() {
  TForm1& form = *form_;
  Click(form, PaletteButton(1));
  Click(form, CellCentre(1, 0));
  Click(form, OnScenesGroup(form, kAddButton - kScenesGroup));
  Answer(Path("two.sqx"));
  Click(form, OnTab(form, 0, kSaveButton));
  QVERIFY(dialogs_.errors.empty());
  // Two scenes (the second a copy of the first), each a red cell and 127 black ones.
  std::string scene = "255 ";
  for (int i = 1; i < kCellsPerScene; ++i) scene += "0 ";
  QVERIFY(ReadAll(Path("two.sqx")) == "2 128 1 128 " + scene + scene);

  Click(form, OnScenesGroup(form, kDeleteButton - kScenesGroup));
  QTRY_COMPARE(LabelText(form, "Label22"), QStringLiteral("1"));
  Answer(Path("two.sqx"));
  Click(form, OnTab(form, 0, kOpenButton));
  QTRY_COMPARE(LabelText(form, "Label22"), QStringLiteral("2"));
  auto* play = form.findChild<QAbstractButton*>(QStringLiteral("SpeedButton22"));
  QTRY_VERIFY(play->isChecked());  // an opened sequence plays at once
  QCOMPARE(form.Model().Editor().Store().Slot(1)[0], colour::Red);

  Answer(Path("export.sqx"));
  Click(form, OnTab(form, 0, kExportButton));
  QCOMPARE(ReadAll(Path("export.sqx")).substr(0, 10), std::string("2, 64, 0, "));
}

void Form1CommandsTest::refusedSequenceFileShowsTheMessageAndKeepsTheEditor() {
  TForm1& form = *form_;
  Click(form, OnScenesGroup(form, kAddButton - kScenesGroup));
  QFile bad(Path("bad.sqx"));
  QVERIFY(bad.open(QIODevice::WriteOnly));
  bad.write("2 128 1 127 ");
  bad.close();
  Answer(Path("bad.sqx"));
  Click(form, OnTab(form, 0, kOpenButton));
  QCOMPARE(dialogs_.errors, std::vector<std::string>{"ERROR PLIK"});
  QTRY_COMPARE(LabelText(form, "Label22"), QStringLiteral("2"));
  QCOMPARE(LabelText(form, "Label20"), QStringLiteral("2"));
}

void Form1CommandsTest::programSquaresAssignAndPlay() {
  TForm1& form = *form_;
  const std::vector<CellColour> three(3 * kCellsPerScene, colour::Blue);
  QVERIFY(SaveSequenceFile(Path("three.sqx").toStdString(), 3, 1, three));
  const std::vector<CellColour> two(2 * kCellsPerScene, colour::Cyan);
  QVERIFY(SaveSequenceFile(Path("two.sqx").toStdString(), 2, 2, two));

  Answer(Path("three.sqx"));
  Click(form, OnConfigurationTab(form, ProgramSquare(5)), Qt::RightButton);
  Answer(Path("two.sqx"));
  Click(form, OnConfigurationTab(form, ProgramSquare(1)), Qt::RightButton);
  auto* gauge = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  QTRY_COMPARE(gauge->value(), 5);
  QTRY_COMPARE(SquareColour(1), std::optional<CellColour>(slot_colour::Green));
  QCOMPARE(SquareColour(5), std::optional<CellColour>(slot_colour::SkyBlue));
  QCOMPARE(SquareColour(2), std::nullopt);  // the window's face colour

  // The first preview tick after start-up plays the armed automatic program 1 once; a user's
  // click comes later than that.
  QTRY_VERIFY(!form.Model().Config().Autos().AutoPending);
  Click(form, OnConfigurationTab(form, ProgramSquare(5)));
  QTRY_COMPARE(SquareColour(5), std::optional<CellColour>(slot_colour::Green));
  QCOMPARE(SquareColour(1), std::optional<CellColour>(slot_colour::SkyBlue));
  QCOMPARE(form.Model().Editor().Store().SceneCount, 3);
  QVERIFY(form.Model().PreviewRunning());
  QTRY_COMPARE(form.findChild<TubeGrid*>()->Colour(0), std::optional<CellColour>(colour::Blue));
}

void Form1CommandsTest::projectAndListingButtonsWriteTheirFiles() {
  TForm1& form = *form_;
  Answer(Path("fresh.prj"));
  Click(form, OnConfigurationTab(form, kSaveProjectButton));
  std::string fresh = "112640 112640 ";
  for (int i = 0; i < 112 + 112640; ++i) fresh += "0 ";
  for (int i = 0; i < 21; ++i) fresh += "1 ";
  QVERIFY(ReadAll(Path("fresh.prj")) == fresh);
  QCOMPARE(dialogs_.kindsAsked.back(), FileKind::Project);

  Answer(Path("fresh.prj"));
  Click(form, OnConfigurationTab(form, kOpenProjectButton));
  QVERIFY(dialogs_.errors.empty());

  Answer(Path("all"));
  Click(form, OnConfigurationTab(form, kSaveAllButton));
  const std::string listing = ReadAll(Path("all"));
  QCOMPARE(std::count(listing.begin(), listing.end(), '\n'), 882);
  QVERIFY(listing.starts_with(".db 0, 0, "));
}

void Form1CommandsTest::refusedTableFileKeepsTheProgrammingWindowClosed() {
  const QString workingDir = QDir::currentPath();
  QDir::setCurrent(folder_->path());
  const struct {
    const char* bytes;
    const char* message;
  } cases[] = {{"1 2 3", "BŁĘDNY PLIK: STR.TAB"}, {"1 2 x 4", "BŁĘDNY PLIK: STR.TAB"}};
  for (const auto& c : cases) {
    QFile table(QStringLiteral("str.tab"));
    QVERIFY(table.open(QIODevice::WriteOnly | QIODevice::Truncate));
    table.write(c.bytes);
    table.close();
    Click(*form_, OnConfigurationTab(*form_, kSendButton));
    QCOMPARE(dialogs_.errors.back(), std::string(c.message));
    QVERIFY(!form2_->isVisible());
  }
  QDir::setCurrent(workingDir);
}

QTEST_MAIN(Form1CommandsTest)
#include "form1_commands_test.moc"
