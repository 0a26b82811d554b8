// A race of ours through Qt's event loop, which ThreadSanitizer must report whatever the Qt
// suppressions say: the timer's ticks and the user-interface thread write one counter with
// nothing between them. The test passes only when the report names this file.
#include <atomic>

#include <QtTest>

#include "timer/mm_timer.h"

class TsanCanaryTest : public QObject {
  Q_OBJECT

 private slots:
  void aRaceOfOursIsReported();
};

void TsanCanaryTest::aRaceOfOursIsReported() {
  static long racy = 0;
  static std::atomic<int> ticks = 0;
  lumora::TMMTimer timer;
  timer.OnMMTimer = [](lumora::TMMTimer&) {
    ++racy;
    ++ticks;
  };
  timer.SetInterval(1);
  timer.SetEnabled(true);
  // The user-interface thread writes between events until ticks have come meanwhile.
  const auto writeAndCount = [] {
    racy = 0;
    return ticks.load();
  };
  QTRY_VERIFY_WITH_TIMEOUT(writeAndCount() >= 50, 10000);
  timer.DisableAndWait();
}

QTEST_MAIN(TsanCanaryTest)
#include "tsan_canary_test.moc"
