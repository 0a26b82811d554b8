// The real file dialogs and message boxes, answered the way a user would.
#include <functional>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_dialogs.h"

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

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
