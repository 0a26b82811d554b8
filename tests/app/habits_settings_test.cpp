// The designer's folders and recent files in the user's settings file, and a settings file that
// cannot serve: none of it may stop the start, a file opened, or the close.
#include <sys/stat.h>

#include <memory>

#include <QtTest>

#include "app/habits_settings.h"
#include "app/program_windows.h"
#include "files/project_file.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/as_nobody.h"
#include "support/special_files.h"

using namespace lumora;
using namespace lumora::testing;

class HabitsSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void nothingIsWrittenUntilAFileIsOpenedThenItIsKept();
  void aSettingsFileThatIsNoFileIsNeverWaitedOnNorReplaced();
  void aDamagedSettingsFileGivesWayToSoundSettings();
  void anUnreadableFileOrReadOnlyFolderIsPassedOver();

 private:
  QString SettingsFile() { return config_->filePath(QStringLiteral("lumora/lumora.conf")); }
  // Starts the program's windows, opens the project as given on the command line, closes the
  // window; whether the project came into the window.
  bool StartOpenAndClose();

  std::unique_ptr<QTemporaryDir> config_;
  std::unique_ptr<QTemporaryDir> shows_;
  std::string project_;
};

void HabitsSettingsTest::init() {
  config_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
  QVERIFY(QDir(config_->path()).mkdir(QStringLiteral("lumora")));
  shows_ = std::make_unique<QTemporaryDir>();
  project_ = shows_->filePath(QStringLiteral("pokaz.prj")).toStdString();
  ProgramMemory memory;
  memory.SetProgram(1, 1, EffectNormal);
  memory.StoreProgram(1, std::vector<CellColour>(kCellsPerScene, colour::Green));
  AutoTableArray autoTable;
  autoTable.fill(1);
  QVERIFY(SaveProjectFile(project_, memory.Table(), memory.Store(), autoTable));
}

bool HabitsSettingsTest::StartOpenAndClose() {
  ProgramWindows windows(std::make_unique<VirtualAdapter>());
  TForm1& window = windows.MainWindow();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return false;
  window.OpenGivenFiles({project_});
  const bool opened = window.Model().Config().Programs().Table()[0] == 1;
  window.close();
  return opened;
}

void HabitsSettingsTest::nothingIsWrittenUntilAFileIsOpenedThenItIsKept() {
  {
    ProgramWindows windows(std::make_unique<VirtualAdapter>());
    windows.MainWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&windows.MainWindow()));
    windows.MainWindow().close();
  }
  QVERIFY(QDir(config_->filePath(QStringLiteral("lumora"))).isEmpty());

  QVERIFY(StartOpenAndClose());
  const FileHabitsRecord kept = HabitsSettings().Load();
  QCOMPARE(kept.recentProjects, std::vector<std::string>{project_});
  QCOMPARE(kept.folders[static_cast<int>(FileKind::Project)], shows_->path().toStdString());
  QVERIFY(kept.recentSequences.empty());
}

// A pipe (which opening would wait on for ever), a folder, a link to a device, a socket: the
// program starts, opens the project, keeps nothing, closes, and leaves the thing as it was.
void HabitsSettingsTest::aSettingsFileThatIsNoFileIsNeverWaitedOnNorReplaced() {
  for (const SpecialKind kind : {SpecialKind::PipeWithoutWriter, SpecialKind::Folder,
                                 SpecialKind::Device, SpecialKind::Socket}) {
    init();
    const std::string path = SettingsFile().toStdString();
    QVERIFY2(MakeSpecial(kind, path), Name(kind));
    struct stat before {};
    QCOMPARE(::lstat(path.c_str(), &before), 0);
    QVERIFY2(StartOpenAndClose(), Name(kind));
    QCOMPARE(HabitsSettings().Load(), FileHabitsRecord{});
    struct stat after {};
    QCOMPARE(::lstat(path.c_str(), &after), 0);
    QVERIFY2(after.st_ino == before.st_ino && after.st_mode == before.st_mode, Name(kind));
  }
}

void HabitsSettingsTest::aDamagedSettingsFileGivesWayToSoundSettings() {
  QFile file(SettingsFile());
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QByteArray("\x00\xff[recent\n=projects=\"/x\n\x01[[", 28));
  file.close();
  QCOMPARE(HabitsSettings().Load().recentProjects, std::vector<std::string>{});
  QVERIFY(StartOpenAndClose());
  QCOMPARE(HabitsSettings().Load().recentProjects, std::vector<std::string>{project_});
}

// As a user whom the file or its folder refuses (root is refused nothing): nothing read, the
// save given up, the file as it was.
void HabitsSettingsTest::anUnreadableFileOrReadOnlyFolderIsPassedOver() {
  FileHabitsRecord record;
  record.recentProjects = {project_};
  const QByteArray folder = QFile::encodeName(config_->filePath(QStringLiteral("lumora")));
  // Written by hand: QSettings keeps what it read of a file for the process, and its child.
  QFile file(SettingsFile());
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("[recent]\nprojects=" + QByteArray::fromStdString(project_) + "\n");
  file.close();
  QCOMPARE(::chmod(QFile::encodeName(config_->path()).constData(), 0755), 0);

  QCOMPARE(::chmod(QFile::encodeName(SettingsFile()).constData(), 0), 0);
  QCOMPARE(AsNobody([&] {
             HabitsSettings settings;
             return settings.Load() == FileHabitsRecord{} && !settings.Save(record) ? 0 : 1;
           }),
           0);
  QCOMPARE(::chmod(QFile::encodeName(SettingsFile()).constData(), 0644), 0);
  QCOMPARE(HabitsSettings().Load(), record);

  QVERIFY(QFile::remove(SettingsFile()));
  QCOMPARE(::chmod(folder.constData(), 0555), 0);
  QCOMPARE(AsNobody([&] { return HabitsSettings().Save(record) ? 1 : 0; }), 0);
  QVERIFY(QDir(QString::fromUtf8(folder)).isEmpty());
  QCOMPARE(::chmod(folder.constData(), 0755), 0);
}

QTEST_MAIN(HabitsSettingsTest)
#include "habits_settings_test.moc"
