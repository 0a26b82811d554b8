#pragma once

// Where the controls of the main window lie, taken from its layout tables, and the few moves
// the widget tests make on it with real mouse events.
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "app/form1.h"
#include "main_window/tube_layout.h"

namespace lumora::testing {

inline constexpr int kHalfCell = 12;
inline const QPoint kPalettePanel(0, 112);
inline const QPoint kToolPanel(0, 32);
inline const QPoint kScenesGroup(16, 72);    // GroupBox1 on the first tab
inline const QPoint kSequencesGroup(0, 8);   // GroupBox2 on the first tab
inline const QPoint kProgramsGroup(12, 45);  // GroupBox3 on the second tab
inline const QPoint kAutoGroup = kProgramsGroup + QPoint(8, 240);
inline const QPoint kAutoValuesGroup = kAutoGroup + QPoint(8, 40);

inline QPoint CellCentre(int tube, int column) {
  const Rect tubeRect = TubeRect(tube);
  return {tubeRect.left + CellRect(column).left + kHalfCell, tubeRect.top + kHalfCell};
}

// A point on the left frame strip of a tube.
inline QPoint TubeFrame(int tube) {
  const Rect tubeRect = TubeRect(tube);
  return {tubeRect.left + 3, tubeRect.top + kHalfCell};
}

inline QPoint PaletteButton(int index) {
  return kPalettePanel + QPoint(4 + 17, 5 + 32 * index + 17);
}
inline QPoint PencilButton() {
  return kToolPanel + QPoint(4 + 17, 3 + 17);
}
inline QPoint BrushButton() {
  return kToolPanel + QPoint(4 + 17, 36 + 17);
}
// The centre of program square k, inside GroupBox3.
inline QPoint ProgramSquare(int k) {
  return kProgramsGroup + QPoint(8 + 24 * ((k - 1) % 8) + 12, 16 + 32 * ((k - 1) / 8) + 12);
}

inline void Click(TForm1& form, QPoint windowPoint, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(&form, button, {}, windowPoint);
}

// Opens one of the two tabs by clicking its tab and returns where a point of its page lies in
// the window.
inline QPoint OnTab(TForm1& form, int tab, QPoint inPage) {
  auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  QTabBar* bar = tabs->tabBar();
  if (tabs->currentIndex() != tab) {
    QTest::mouseClick(&form, Qt::LeftButton, {}, bar->mapTo(&form, bar->tabRect(tab).center()));
  }
  return tabs->widget(tab)->mapTo(&form, inPage);
}
inline QPoint OnScenesGroup(TForm1& form, QPoint inGroup) {
  return OnTab(form, 0, kScenesGroup + inGroup);
}
inline QPoint OnConfigurationTab(TForm1& form, QPoint inPage) {
  return OnTab(form, 1, inPage);
}

inline QString LabelText(TForm1& form, const char* name) {
  return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

}  // namespace lumora::testing
