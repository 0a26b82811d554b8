// The real file dialogs and message boxes, answered the way a user would.
#include <functional>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_dialogs.h"
#include "app/translation.h"
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
    Answer(answer);
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
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
  void openTakesTheNameOfAFileThatDoesNotExist();
  void saveAddsTheDefaultExtensionAndReplacesWithoutAsking();
  void cancelGivesNothing();
  void messagesAreTitledLumoraWithOneOkButton();
  void messagesAndFiltersFollowTheLanguage();
  void startUpMessagesFollowTheLanguage();

 private:
  QTemporaryDir dir_;
  QtFileDialogs dialogs_;
};

void QtDialogsTest::openTakesTheNameOfAFileThatDoesNotExist() {
  const QString missing = dir_.filePath(QStringLiteral("brak.sqx"));
  ChooseFile(missing);
  QCOMPARE(dialogs_.GetOpenFileName(FileKind::Sequence), std::optional(missing.toStdString()));

  WhenModalShown([](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("prj (*.prj)")});
    dialog->reject();
  });
  QCOMPARE(dialogs_.GetOpenFileName(FileKind::Project), std::nullopt);
}

void QtDialogsTest::saveAddsTheDefaultExtensionAndReplacesWithoutAsking() {
  ChooseFile(dir_.filePath(QStringLiteral("pokaz")));
  QCOMPARE(dialogs_.GetSaveFileName(FileKind::Project),
           std::optional(dir_.filePath(QStringLiteral("pokaz.prj")).toStdString()));

  const QString existing = dir_.filePath(QStringLiteral("scena.sqx"));
  QFile file(existing);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
  ChooseFile(existing);  // no question follows: the dialog closes at once
  QCOMPARE(dialogs_.GetSaveFileName(FileKind::Sequence), std::optional(existing.toStdString()));
}

void QtDialogsTest::cancelGivesNothing() {
  WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  QCOMPARE(dialogs_.GetSaveFileName(FileKind::Sequence), std::nullopt);
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
                            {FileKind::Project, "prj (*.prj)", "Projects (*.prj)"}};
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
      QCOMPARE(dialogs_.GetOpenFileName(filter.kind), std::nullopt);
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
