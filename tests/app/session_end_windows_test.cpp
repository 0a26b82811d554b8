// Windows' log-off and shutdown reach the main window as WM_QUERYENDSESSION and WM_ENDSESSION,
// through Qt's own platform for Windows (not the offscreen one): the close question is asked,
// its "Anuluj" refuses the log-off with everything kept, and "Nie zapisuj" lets the session
// end, after which the application quits without asking again.
#include <windows.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/qt_work_questions.h"
#include "app/work_keeper.h"
#include "form1_places.h"
#include "support/fake_dialogs.h"
#include "support/message_box_answers.h"

using namespace lumora;
using namespace lumora::testing;

class SessionEndWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void logOffAsksAndIsRefusedOrLetThrough();
};

void SessionEndWindowsTest::logOffAsksAndIsRefusedOrLetThrough() {
  QCOMPARE(QGuiApplication::platformName(), QStringLiteral("windows"));
  QTemporaryDir folder;
  const QString recovery = folder.filePath(QStringLiteral("recovery"));
  FakeDialogs dialogs;
  TForm1 form(dialogs, dialogs);
  QtCloseQuestion question(&form);
  WorkKeeper keeper(form, recovery.toStdString(), question, std::chrono::milliseconds(50));
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  OnScenesGroup(form, {});
  Click(form, PaletteButton(1));
  Click(form, CellCentre(2, 5));
  const auto copies = [&] {
    return QDir(recovery).entryList({QStringLiteral("*.sqx"), QStringLiteral("*.prj")},
                                    QDir::Files);
  };
  QTRY_COMPARE(copies().size(), 2);
  const HWND window = reinterpret_cast<HWND>(form.winId());

  MessageBoxAnswers boxes;
  boxes.answers = {QStringLiteral("cancel")};
  QCOMPARE(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), LRESULT{0});
  SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  QCOMPARE(boxes.shown.size(), std::size_t{1});
  QCOMPARE(boxes.shown[0].text, QStringLiteral("Zapisać zmiany sekwencji przed zamknięciem?"));
  QVERIFY(form.isVisible());
  QVERIFY(form.Model().Unsaved().Sequence);
  QCOMPARE(copies().size(), 2);

  boxes.answers = {QStringLiteral("dontSave")};
  QCOMPARE(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), LRESULT{1});
  QCOMPARE(boxes.shown.size(), std::size_t{2});
  QVERIFY(copies().isEmpty());
  QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
  SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  QCOMPARE(quitting.size(), 1);
  // The quit that follows closes the window (the test runs no event loop for it to end).
  QVERIFY(form.close());
  QCOMPARE(boxes.shown.size(), std::size_t{2});
}

QTEST_MAIN(SessionEndWindowsTest)
#include "session_end_windows_test.moc"
