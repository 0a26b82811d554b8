// A race of ours through Qt's event loop, which ThreadSanitizer must report whatever the Qt
// suppressions say: the timer's ticks and the user-interface thread write one counter with
// nothing between them. The test passes only when the report names this file.
#include <QtTest>

#include "timer/mm_timer.h"

class TsanCanaryTest : public QObject {
  Q_OBJECT

 private slots:
  void aRaceOfOursIsReported();
};

void TsanCanaryTest::aRaceOfOursIsReported() {
  static long racy = 0;
  lumora::TMMTimer timer;
  timer.OnMMTimer = [](lumora::TMMTimer&) { ++racy; };
  timer.SetInterval(1);
  timer.SetEnabled(true);
  for (int i = 0; i < 200; ++i) {
    racy = i;
    QTest::qWait(1);
  }
  timer.DisableAndWait();
}

QTEST_MAIN(TsanCanaryTest)
#include "tsan_canary_test.moc"
