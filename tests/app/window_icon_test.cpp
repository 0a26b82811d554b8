#include <QtTest>

#include "app/window_icon.h"

namespace lumora {

// The icon comes from the resources built in; a missing one would leave the windows with
// the platform's blank icon.
class WindowIconTest : public QObject {
  Q_OBJECT
 private slots:
  void HasTheSizesAWindowShows() {
    const QIcon icon = WindowIcon();
    QList<int> sides;
    for (const QSize& size : icon.availableSizes()) {
      QCOMPARE(size.width(), size.height());
      sides.append(size.width());
    }
    std::sort(sides.begin(), sides.end());
    QCOMPARE(sides, (QList<int>{16, 32, 48, 64}));
  }

  void ShowsTheFirstTubeRedOnADarkPanel() {
    const QImage image = WindowIcon().pixmap(64).toImage();
    QCOMPARE(image.size(), QSize(64, 64));
    const QColor tube = image.pixelColor(29, 17);
    QVERIFY2(tube.red() > 200 && tube.green() < 120, qPrintable(tube.name()));
    const QColor panel = image.pixelColor(32, 7);
    QVERIFY2(panel.lightness() < 70, qPrintable(panel.name()));
  }
};

}  // namespace lumora

QTEST_MAIN(lumora::WindowIconTest)
#include "window_icon_test.moc"
