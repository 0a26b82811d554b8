// The panel and the up-down control on their own.
#include <QSignalSpy>
#include <QtTest>

#include "app/panel.h"
#include "app/up_down.h"
#include "support/paint_counter.h"

using namespace lumora;
using lumora::testing::PaintCounter;

namespace {

// A panel shown alone in a small window.
struct ShownPanel {
  ShownPanel() : panel(new Panel(&window)) {
    window.resize(100, 100);
    panel->setGeometry(10, 10, 25, 25);
    window.show();
  }
  QWidget window;
  Panel* panel;
};

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void panelRepaintsOnlyWhenColourOrCaptionChange();
  void panelClickNeedsLeftPressAndReleaseInside();
  void upDownStepsWithinItsRangeWithoutWrap();
  void upDownRepeatsWhileHeld();
};

void ControlsTest::panelRepaintsOnlyWhenColourOrCaptionChange() {
  ShownPanel shown;
  QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
  Panel* panel = shown.panel;
  panel->SetColour(colour::Red);
  panel->SetCaption(QStringLiteral("in"));
  PaintCounter counter(panel);
  QTRY_COMPARE(counter.paints, 1);

  for (int i = 0; i < 10; ++i) {
    panel->SetColour(colour::Red);
    panel->SetCaption(QStringLiteral("in"));
  }
  QCoreApplication::processEvents();
  QCOMPARE(counter.paints, 1);

  panel->SetColour(0x00123456);  // any value is shown, not only the palette
  QTRY_COMPARE(counter.paints, 2);
  QCOMPARE(panel->grab().toImage().pixelColor(4, 4), QColor(0x56, 0x34, 0x12));
  panel->SetCaption(QStringLiteral("out"));
  QTRY_COMPARE(counter.paints, 3);
}

void ControlsTest::panelClickNeedsLeftPressAndReleaseInside() {
  ShownPanel shown;
  QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
  Panel* panel = shown.panel;
  QSignalSpy clicks(panel, &Panel::Click);
  QSignalSpy downs(panel, &Panel::MouseDown);
  QSignalSpy ups(panel, &Panel::MouseUp);

  QTest::mouseClick(panel, Qt::LeftButton, {}, {5, 5});
  QCOMPARE(clicks.count(), 1);
  QTest::mouseClick(panel, Qt::RightButton, {}, {5, 5});
  QTest::mouseClick(panel, Qt::MiddleButton, {}, {5, 5});
  QCOMPARE(clicks.count(), 1);
  QTest::mousePress(panel, Qt::LeftButton, {}, {5, 5});
  QTest::mouseRelease(panel, Qt::LeftButton, {}, {40, 5});  // released outside
  QCOMPARE(clicks.count(), 1);

  QCOMPARE(downs.count(), 4);
  QCOMPARE(ups.count(), 4);
  QCOMPARE(downs.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
  QCOMPARE(downs.at(1).at(1).toPoint(), QPoint(5, 5));
}

void ControlsTest::upDownStepsWithinItsRangeWithoutWrap() {
  UpDown upDown;
  upDown.resize(18, 25);
  upDown.show();
  QVERIFY(QTest::qWaitForWindowExposed(&upDown));
  upDown.SetRange(1, 3);
  upDown.SetPosition(1);
  const QPoint upper(9, 5);
  const QPoint lower(9, 20);
  QList<int> seen;
  connect(&upDown, &UpDown::Clicked, this, [&] { seen.append(upDown.Position()); });
  QSignalSpy released(&upDown, &UpDown::MouseReleased);

  for (int i = 0; i < 3; ++i) QTest::mouseClick(&upDown, Qt::LeftButton, {}, upper);
  QCOMPARE(seen, (QList<int>{2, 3, 3}));  // held at the top, no wrap to 1
  QCOMPARE(released.count(), 3);
  for (int i = 0; i < 3; ++i) QTest::mouseClick(&upDown, Qt::LeftButton, {}, lower);
  QCOMPARE(seen, (QList<int>{2, 3, 3, 2, 1, 1}));

  upDown.SetRange(1, 504);
  upDown.SetIncrement(10);
  QTest::mouseClick(&upDown, Qt::LeftButton, {}, upper);
  QCOMPARE(upDown.Position(), 11);
  upDown.SetPosition(999);
  QCOMPARE(upDown.Position(), 504);
}

void ControlsTest::upDownRepeatsWhileHeld() {
  UpDown upDown;
  upDown.resize(18, 25);
  upDown.show();
  QVERIFY(QTest::qWaitForWindowExposed(&upDown));
  upDown.SetRange(1, 99);
  upDown.SetPosition(1);
  QSignalSpy clicks(&upDown, &UpDown::Clicked);

  QTest::mousePress(&upDown, Qt::LeftButton, {}, {9, 5});
  QCOMPARE(upDown.Position(), 2);
  auto* repeat = upDown.findChild<QTimer*>();
  QVERIFY(repeat);
  QVERIFY(repeat->isActive());
  QTRY_VERIFY(upDown.Position() >= 4);
  QTest::mouseRelease(&upDown, Qt::LeftButton, {}, {9, 5});
  QCOMPARE(clicks.count(), upDown.Position() - 1);
  QVERIFY(!repeat->isActive());  // so nothing more happens
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
