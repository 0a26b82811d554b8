// The real file dialogs and message boxes, answered the way a user would.
#include <functional>
#include <memory>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_dialogs.h"
#include "app/translation.h"
#include "app/user_file_dialogs.h"
#include "app/user_settings.h"
#include "programming/adapter_choice.h"

using namespace lumora;

namespace {

void Answer(const std::function<void(QWidget*)>& answer) {
  QTRY_VERIFY(QApplication::activeModalWidget());
  answer(QApplication::activeModalWidget());
}

// Runs the answer once the next modal window is up, and closes the window should a failed
// check have left it open.
void WhenModalShown(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, qApp, [answer] {
    QTRY_VERIFY(QApplication::activeModalWidget());
    const QPointer<QWidget> modal = QApplication::activeModalWidget();
    answer(modal);
    if (modal && modal->isVisible()) modal->close();
  });
}

void ChooseFile(const QString& path) {
  WhenModalShown([path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();  // as the Open/Save button does
  });
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void openTakesTheNameOfAFileThatDoesNotExist();
  void saveAddsTheDefaultExtension();
  void saveAsksBeforeReplacingAFile_data();
  void saveAsksBeforeReplacingAFile();
  void eachKindOpensInTheFolderOfItsLastFileAcrossRuns();
  void qtsOwnTextsFollowTheLanguage();
  void polishFileNamesComeBackInUtf8();
  void cancelGivesNothing();
  void cleanupTestCase() { OpenUserSettings()->clear(); }
  void messagesAreTitledLumoraWithOneOkButton();
  void messagesAndFiltersFollowTheLanguage();
  void startUpMessagesFollowTheLanguage();

 private:
  QTemporaryDir dir_;
  // The settings (and Qt's own dialog settings) of a user of the test's own.
  QTemporaryDir config_;
  std::unique_ptr<UserFileDialogs> run_;
  QtFileDialogs* dialogs_ = nullptr;
};

void QtDialogsTest::initTestCase() {
  qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  // On Windows the settings are in the registry of the tests' prefix, kept between runs.
  OpenUserSettings()->clear();
  run_ = std::make_unique<UserFileDialogs>();
  dialogs_ = &run_->dialogs;
}

void QtDialogsTest::openTakesTheNameOfAFileThatDoesNotExist() {
  const QString missing = dir_.filePath(QStringLiteral("brak.sqx"));
  ChooseFile(missing);
  QCOMPARE(dialogs_->GetOpenFileName(FileKind::Sequence), std::optional(missing.toStdString()));

  WhenModalShown([](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("prj (*.prj)")});
    dialog->reject();
  });
  QCOMPARE(dialogs_->GetOpenFileName(FileKind::Project), std::nullopt);
}

void QtDialogsTest::saveAddsTheDefaultExtension() {
  const struct {
    FileKind kind;
    const char* typed;
    const char* saved;
  } cases[] = {{FileKind::Project, "pokaz", "pokaz.prj"},
               {FileKind::Sequence, "scena", "scena.sqx"},
               {FileKind::Listing, "lista", "lista.sqx"}};
  for (const auto& c : cases) {
    ChooseFile(dir_.filePath(QString::fromLatin1(c.typed)));
    QCOMPARE(dialogs_->GetSaveFileName(c.kind),
             std::optional(dir_.filePath(QString::fromLatin1(c.saved)).toStdString()));
  }
}

void QtDialogsTest::saveAsksBeforeReplacingAFile_data() {
  QTest::addColumn<FileKind>("kind");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("existing");
  QTest::addColumn<UiLanguage>("language");
  QTest::addColumn<QString>("question");
  const QString polish = QStringLiteral("%1 już istnieje.\nCzy chcesz go zastąpić?");
  const QString english = QStringLiteral("%1 already exists.\nDo you want to replace it?");
  // The export line and the listings are saved through the sequences' dialog: a sequence lost
  // to an export line with two key presses is what the question prevents.
  QTest::newRow("sequence") << FileKind::Sequence << "scena.sqx"
                            << "scena.sqx" << UiLanguage::Polish << polish;
  QTest::newRow("export line over a sequence, typed without extension")
      << FileKind::Listing << "scena"
      << "scena.sqx" << UiLanguage::Polish << polish;
  QTest::newRow("project") << FileKind::Project << "pokaz.prj"
                           << "pokaz.prj" << UiLanguage::English << english;
  QTest::newRow("listing") << FileKind::Listing << "scena.sqx"
                           << "scena.sqx" << UiLanguage::English << english;
}

// "No" leaves the dialog open and the file as it was; "Yes" gives the file to write.
void QtDialogsTest::saveAsksBeforeReplacingAFile() {
  QFETCH(FileKind, kind);
  QFETCH(QString, typed);
  QFETCH(QString, existing);
  QFETCH(UiLanguage, language);
  QFETCH(QString, question);
  UseLanguage(language);
  const QString path = dir_.filePath(existing);
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("1 128 1 128 ");
  file.close();

  int asked = 0;
  QTimer::singleShot(0, qApp, [&] {
    Answer([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog);
      dialog->selectFile(dir_.filePath(typed));
      for (const auto reply : {QMessageBox::No, QMessageBox::Yes}) {
        WhenModalShown([&, reply](QWidget* box) {
          auto* message = qobject_cast<QMessageBox*>(box);
          QVERIFY(message);
          QCOMPARE(message->text(), question.arg(existing));
          ++asked;
          message->button(reply)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
        if (reply == QMessageBox::No) {
          QVERIFY(dialog->isVisible());
          QCOMPARE(QFileInfo(path).size(), qint64(12));
        }
      }
    });
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  QCOMPARE(dialogs_->GetSaveFileName(kind), std::optional(path.toStdString()));
  QCOMPARE(asked, 2);
  UseLanguage(UiLanguage::Polish);
}

// The first start keeps the folder the dialogs opened in before; then each kind opens where its
// last file was read or written, in this run and the next.
void QtDialogsTest::eachKindOpensInTheFolderOfItsLastFileAcrossRuns() {
  QTemporaryDir shows;
  QTemporaryDir firmware;
  const auto folderShown = [this](FileKind kind, bool save) {
    QString shown;
    WhenModalShown([&shown](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog);
      shown = dialog->directory().absolutePath();
      dialog->reject();
    });
    if (save) {
      dialogs_->GetSaveFileName(kind);
    } else {
      dialogs_->GetOpenFileName(kind);
    }
    return shown;
  };
  // Where a dialog of Qt's opens by itself: the working folder, or the last one visited.
  const auto todays = [] { return QFileDialog().directory().absolutePath(); };
  QCOMPARE(folderShown(FileKind::Sequence, false), todays());

  dialogs_->FileUsed(FileKind::Sequence, shows.filePath(QStringLiteral("a.sqx")).toStdString());
  dialogs_->FileUsed(FileKind::Listing, firmware.filePath(QStringLiteral("l.sqx")).toStdString());
  for (int next = 0; next < 2; ++next) {
    QCOMPARE(folderShown(FileKind::Sequence, false), shows.path());
    QCOMPARE(folderShown(FileKind::Sequence, true), shows.path());
    QCOMPARE(folderShown(FileKind::Listing, true), firmware.path());
    QCOMPARE(folderShown(FileKind::Project, false), todays());
    run_ = std::make_unique<UserFileDialogs>();  // the program closed and started again
    dialogs_ = &run_->dialogs;
  }
}

// Qt's own captions and buttons of the dialogs, from Qt's translation.
void QtDialogsTest::qtsOwnTextsFollowTheLanguage() {
  const struct {
    UiLanguage language;
    const char* title;
    const char* lookIn;
    const char* accept;
    const char* cancel;
  } cases[] = {{UiLanguage::Polish, "Zachowaj jako", "Szukaj w:", "&Zachowaj", "Anuluj"},
               {UiLanguage::English, "Save As", "Look in:", "&Save", "Cancel"}};
  for (const auto& c : cases) {
    UseLanguage(c.language);
    WhenModalShown([&c](QWidget* modal) {
      QCOMPARE(modal->windowTitle(), QString::fromUtf8(c.title));
      QCOMPARE(modal->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
               QString::fromUtf8(c.lookIn));
      auto* buttons = modal->findChild<QDialogButtonBox*>();
      QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QString::fromUtf8(c.accept));
      QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8(c.cancel));
      qobject_cast<QDialog*>(modal)->reject();
    });
    QCOMPARE(dialogs_->GetSaveFileName(FileKind::Project), std::nullopt);
  }
  UseLanguage(UiLanguage::Polish);
}

// The program keeps paths in UTF-8 everywhere; on Windows the system's code page would lose
// the Polish letters.
void QtDialogsTest::polishFileNamesComeBackInUtf8() {
  const QString path = dir_.filePath(QStringLiteral("Pokaz świąteczny.prj"));
  ChooseFile(path);
  QCOMPARE(dialogs_->GetOpenFileName(FileKind::Project),
           std::optional(path.toUtf8().toStdString()));
}

void QtDialogsTest::cancelGivesNothing() {
  WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  QCOMPARE(dialogs_->GetSaveFileName(FileKind::Sequence), std::nullopt);
}

void QtDialogsTest::messagesAreTitledLumoraWithOneOkButton() {
  struct Case {
    std::function<void(QtMessageBoxes&)> show;
    QMessageBox::Icon icon;
    std::string_view text;
  };
  const Case cases[] = {
      {[](QtMessageBoxes& m) { m.ShowError(message::TableFileInvalid); }, QMessageBox::Critical,
       message::TableFileInvalid},
      {[](QtMessageBoxes& m) { m.ShowWarning(message::MemoryFull); }, QMessageBox::Warning,
       message::MemoryFull},
  };
  for (const Case& c : cases) {
    WhenModalShown([&c](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      QCOMPARE(box->windowTitle(), QStringLiteral("Lumora"));
      QCOMPARE(box->text(), QString::fromUtf8(c.text.data(), c.text.size()));
      QCOMPARE(box->icon(), c.icon);
      QCOMPARE(box->buttons().size(), 1);
      QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
      box->accept();
    });
    QtMessageBoxes messages;
    c.show(messages);
  }
}

// The logic's messages, a joined one included, and the file filters in both languages; the
// Polish texts are the logic's own.
void QtDialogsTest::messagesAndFiltersFollowTheLanguage() {
  const std::string noAccess =
      std::string(message::NoProgrammer) + "\n" + std::string(message::NoAccessToProgrammer);
  struct Case {
    std::string_view text;
    const char* english;
  };
  const Case cases[] = {
      {message::FileError, "FILE ERROR"},
      {message::TableFileMissing, "MISSING FILE: STR.TAB"},
      {message::TableFileInvalid, "INVALID FILE: STR.TAB"},
      {message::MemoryFull, "No free memory left in the controller"},
      {message::NoProgrammer, "No connection to the programmer"},
      {noAccess,
       "No connection to the programmer\n"
       "The programmer is plugged in, but you have no permission to use it.\n"
       "See the section \u201cProgramming from a normal user account\u201d in the README file."},
  };
  struct Filter {
    FileKind kind;
    const char* polish;
    const char* english;
  };
  const Filter filters[] = {{FileKind::Sequence, "sqx (*.sqx)", "Sequences (*.sqx)"},
                            {FileKind::Project, "prj (*.prj)", "Projects (*.prj)"},
                            {FileKind::Listing, "sqx (*.sqx)", "Sequences (*.sqx)"}};
  for (const UiLanguage language : {UiLanguage::English, UiLanguage::Polish}) {
    UseLanguage(language);
    const bool english = language == UiLanguage::English;
    for (const Case& c : cases) {
      const QString expected =
          english ? QString::fromUtf8(c.english) : QString::fromUtf8(c.text.data(), c.text.size());
      WhenModalShown([&expected](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QCOMPARE(box->text(), expected);
        box->accept();
      });
      QtMessageBoxes().ShowError(c.text);
    }
    for (const Filter& filter : filters) {
      const QString expected = QString::fromUtf8(english ? filter.english : filter.polish);
      WhenModalShown([&expected](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->nameFilters(), QStringList{expected});
        dialog->reject();
      });
      QCOMPARE(dialogs_->GetOpenFileName(filter.kind), std::nullopt);
    }
  }
}

// The message box at start-up for a wrong LUMORA_ADAPTER: in Polish the logic's own message,
// in English its translation with the value put in.
void QtDialogsTest::startUpMessagesFollowTheLanguage() {
  QTemporaryDir folder;
  const QString file = folder.filePath(QStringLiteral("plik"));
  QVERIFY(QFile(file).open(QIODevice::WriteOnly));
  const std::string into = file.toStdString() + "/sub";
  const struct {
    std::string value;
    std::string english;
    bool whole = true;
  } cases[] = {
      // The values allowed end with the platform's serial device, which the .ts file has for
      // each platform.
      {"xyz", "LUMORA_ADAPTER: unknown value \"xyz\"; allowed: virtual, virtual:DIR, usb, ", false},
      {"", "LUMORA_ADAPTER: USB driver not available"},
      {"virtual:", "LUMORA_ADAPTER: no folder after \"virtual:\""},
      {"virtual:" + into, "LUMORA_ADAPTER: cannot make the folder \"" + into + "\""},
  };
  for (const auto& c : cases) {
    const AdapterChoice choice = ChooseAdapter(c.value, nullptr);
    QVERIFY2(!choice.Adapter, c.value.c_str());
    UseLanguage(UiLanguage::English);
    const QString english = TranslatedMessage(choice.Reason, choice.Value);
    const QString expected = QString::fromStdString(c.english);
    QVERIFY2(c.whole ? english == expected : english.startsWith(expected), qPrintable(english));
    QVERIFY(!english.contains(QStringLiteral("dozwolone")));
    UseLanguage(UiLanguage::Polish);
    QCOMPARE(TranslatedMessage(choice.Reason, choice.Value), QString::fromStdString(choice.Error));
  }
}

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
