// Files from outside the window's dialogs: given on the command line, dropped onto the window,
// picked from the recent files on a right click on the open buttons.
#include <memory>

#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include "app/form1.h"
#include "app/translation.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "form1_places.h"
#include "support/fake_dialogs.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

const QPoint kOpenInSequences(6 + 36, 16 + 11);  // "Otwórz" in GroupBox2
const QPoint kOpenProject(4 + 52, 8 + 12);       // "Otwórz projekt" on the second tab

}  // namespace

class Form1FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void givenFilesOpenProjectFirstAsTheButtonsOpenThem();
  void aBadGivenFileGetsTheButtonsMessageAndChangesNothing();
  void droppedFiles_data();
  void droppedFiles();
  void aRightClickOnOpenOffersTheRecentFiles();
  void theMenuKeyOffersThemToo();
  void noRecentFilesSaysSoInTheWindowsLanguage();

 private:
  std::string Path(const char* name) { return QDir(folder_->path()).filePath(name).toStdString(); }
  // A one-scene sequence of colour, and a project whose program 1 is a one-scene sequence of
  // colour.
  std::string Sequence(const char* name, CellColour colour);
  std::string Project(const char* name, CellColour colour);
  CellColour Shown() { return form_->Model().Editor().Store().WorkingScene[0]; }
  int ProgramsStored() { return form_->Model().Config().Programs().Table()[0]; }
  // Right-clicks the point of the window and gives the menu that opened.
  QMenu* RightClick(QPoint windowPoint);
  // Sends a drag of the urls over the window, then its drop if it was taken; whether it was.
  bool Drop(const QList<QUrl>& urls);

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
};

void Form1FilesTest::init() {
  dialogs_ = FakeDialogs();
  folder_ = std::make_unique<QTemporaryDir>();
  form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1FilesTest::cleanup() {
  form_.reset();
  UseLanguage(UiLanguage::Polish);
}

std::string Form1FilesTest::Sequence(const char* name, CellColour colour) {
  const std::vector<CellColour> cells(kCellsPerScene, colour);
  const std::string path = Path(name);
  if (!SaveSequenceFile(path, 1, EffectNormal, cells)) qFatal("cannot write %s", name);
  return path;
}

std::string Form1FilesTest::Project(const char* name, CellColour colour) {
  ProgramMemory memory;
  memory.SetProgram(1, 1, EffectNormal);
  memory.StoreProgram(1, std::vector<CellColour>(kCellsPerScene, colour));
  AutoTableArray autoTable;
  autoTable.fill(1);
  const std::string path = Path(name);
  if (!SaveProjectFile(path, memory.Table(), memory.Store(), autoTable)) {
    qFatal("cannot write %s", name);
  }
  return path;
}

QMenu* Form1FilesTest::RightClick(QPoint windowPoint) {
  Click(*form_, windowPoint, Qt::RightButton);
  const auto menu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
  return QTest::qWaitFor([&menu] { return menu() != nullptr; }) ? menu() : nullptr;
}

bool Form1FilesTest::Drop(const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint centre = form_->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &drop);
  return drop.isAccepted();
}

// Opening a project puts its program 1 into the editor, so the sequence given beside it opens
// after it and stays. Each is its own undo step, as after two clicks; no dialog is shown.
void Form1FilesTest::givenFilesOpenProjectFirstAsTheButtonsOpenThem() {
  const std::string project = Project("pokaz.prj", colour::Green);
  const std::string sequence = Sequence("scena.sqx", colour::Red);
  // Given relative to the working folder, as on a command line.
  const QString working = QDir::currentPath();
  QDir::setCurrent(folder_->path());
  form_->OpenGivenFiles({"pokaz.prj", "scena.sqx"});
  QDir::setCurrent(working);

  QCOMPARE(ProgramsStored(), 1);
  QCOMPARE(Shown(), colour::Red);
  QVERIFY(dialogs_.kindsAsked.empty());
  QVERIFY(dialogs_.errors.empty());
  // Kept with the whole path, for the recent files and the dialogs' folders.
  QCOMPARE(dialogs_.used.size(), 2u);
  QCOMPARE(dialogs_.used[0].second, project);
  QCOMPARE(dialogs_.used[1].second, sequence);
  QVERIFY(form_->Model().Undo());
  QCOMPARE(Shown(), colour::Green);
  QVERIFY(form_->Model().Undo());
  QCOMPARE(ProgramsStored(), 0);
}

// A missing file, and a ".prj" of another program: "ERROR PLIK", as from the dialog.
void Form1FilesTest::aBadGivenFileGetsTheButtonsMessageAndChangesNothing() {
  const std::string other = Path("uklad.prj");
  QFile file(QString::fromStdString(other));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("PROJCS[\"ETRS89 / Poland CS92\"]");
  file.close();
  form_->OpenGivenFiles({other, Path("brak.sqx")});
  QCOMPARE(dialogs_.errors, (std::vector<std::string>{"ERROR PLIK", "ERROR PLIK"}));
  QCOMPARE(ProgramsStored(), 0);
  QVERIFY(dialogs_.used.empty());
  QVERIFY(form_->isVisible());
}

void Form1FilesTest::droppedFiles_data() {
  QTest::addColumn<QStringList>("names");
  QTest::addColumn<bool>("taken");
  QTest::addColumn<int>("programs");
  QTest::addColumn<CellColour>("shown");
  QTest::newRow("a sequence") << QStringList{"scena.sqx"} << true << 0 << colour::Red;
  QTest::newRow("a project") << QStringList{"pokaz.prj"} << true << 1 << colour::Green;
  QTest::newRow("both, the project second")
      << QStringList{"scena.sqx", "pokaz.prj"} << true << 1 << colour::Red;
  QTest::newRow("two sequences") << QStringList{"scena.sqx", "scena.sqx"} << false << 0
                                 << colour::Black;
  QTest::newRow("another file") << QStringList{"scena.sqx", "notatki.txt"} << false << 0
                                << colour::Black;
  QTest::newRow("no local file") << QStringList{"https://example.org/pokaz.prj"} << false << 0
                                 << colour::Black;
}

// A drop opens as the command line does, once the drop is over; a drag the window cannot open
// is refused from the start, and nothing opens.
void Form1FilesTest::droppedFiles() {
  QFETCH(QStringList, names);
  QFETCH(bool, taken);
  QFETCH(int, programs);
  QFETCH(CellColour, shown);
  Sequence("scena.sqx", colour::Red);
  Project("pokaz.prj", colour::Green);
  QList<QUrl> urls;
  for (const QString& name : names) {
    urls.append(name.contains(QLatin1Char(':')) ? QUrl(name)
                                                : QUrl::fromLocalFile(folder_->filePath(name)));
  }
  QCOMPARE(Drop(urls), taken);
  QTRY_COMPARE(dialogs_.used.size(), static_cast<std::size_t>(taken ? names.size() : 0));
  QCOMPARE(ProgramsStored(), programs);
  QCOMPARE(Shown(), shown);
  QVERIFY(dialogs_.kindsAsked.empty());
}

// Two clicks: the recent sequences on "Otwórz", the recent projects on "Otwórz projekt", each
// opening as the button opens the file.
void Form1FilesTest::aRightClickOnOpenOffersTheRecentFiles() {
  const std::string red = Sequence("czerwona.sqx", colour::Red);
  const std::string blue = Sequence("niebieska.sqx", colour::Blue);
  const std::string project = Project("pokaz.prj", colour::Green);
  dialogs_.recent[static_cast<int>(FileKind::Sequence)] = {blue, red};
  dialogs_.recent[static_cast<int>(FileKind::Project)] = {project};

  QMenu* menu =
      RightClick(OnScenesGroup(*form_, kOpenInSequences - kScenesGroup + kSequencesGroup));
  QCOMPARE(menu->actions().size(), 2);
  const QString folder = QDir::toNativeSeparators(folder_->path());
  QCOMPARE(menu->actions()[0]->text(), QStringLiteral("&1 niebieska.sqx\t") + folder);
  QCOMPARE(menu->actions()[1]->text(), QStringLiteral("&2 czerwona.sqx\t") + folder);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[1]).center());
  QTRY_COMPARE(Shown(), colour::Red);
  QCOMPARE(dialogs_.used.back(), std::make_pair(FileKind::Sequence, red));

  menu = RightClick(OnConfigurationTab(*form_, kOpenProject));
  QVERIFY(menu);
  QCOMPARE(menu->actions().size(), 1);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
  QTRY_COMPARE(ProgramsStored(), 1);
  QCOMPARE(Shown(), colour::Green);
  QVERIFY(dialogs_.kindsAsked.empty());
  QVERIFY(form_->Model().Undo());
  QCOMPARE(Shown(), colour::Red);
}

void Form1FilesTest::theMenuKeyOffersThemToo() {
  const std::string red = Sequence("czerwona.sqx", colour::Red);
  dialogs_.recent[static_cast<int>(FileKind::Sequence)] = {red};
  OnScenesGroup(*form_, {});
  auto* open = form_->findChild<QToolButton*>(QStringLiteral("SpeedButton19"));
  // What the desktop makes of the menu key (or Shift+F10) on the focused button.
  open->setFocus();
  QContextMenuEvent key(QContextMenuEvent::Keyboard, open->rect().center(),
                        open->mapToGlobal(open->rect().center()));
  QApplication::sendEvent(open, &key);
  QMenu* menu = nullptr;
  QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
  QTest::keyClick(menu, Qt::Key_1);
  QTRY_COMPARE(Shown(), colour::Red);
}

void Form1FilesTest::noRecentFilesSaysSoInTheWindowsLanguage() {
  const struct {
    UiLanguage language;
    const char* empty;
    const char* tip;
  } cases[] = {
      {UiLanguage::Polish, "Brak ostatnio używanych plików",
       "Prawy przycisk myszy: ostatnio używane pliki"},
      {UiLanguage::English, "No recent files", "Right click: recent files"},
  };
  for (const auto& c : cases) {
    UseLanguage(c.language);
    init();
    auto* open = form_->findChild<QToolButton*>(QStringLiteral("SpeedButton9"));
    QCOMPARE(open->toolTip(), QString::fromUtf8(c.tip));
    QMenu* menu = RightClick(OnConfigurationTab(*form_, kOpenProject));
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions()[0]->text(), QString::fromUtf8(c.empty));
    QVERIFY(!menu->actions()[0]->isEnabled());
    menu->close();
  }
}

QTEST_MAIN(Form1FilesTest)
#include "form1_files_test.moc"
