// The main window driven with real mouse events at the places of its layout.
#include <memory>

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/panel.h"
#include "app/tube_grid.h"
#include "app/up_down.h"
#include "form1_places.h"
#include "main_window/tube_layout.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "support/manual_ticker.h"

using namespace lumora;

using namespace lumora::testing;

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup() { form_.reset(); }

  void opensFixedOnConfigurationTabWithCountersOne();
  void programmingWindowStaysHiddenAndClosingTheMainWindowEndsTheProgram();
  void pencilPaintsOnlyTheClickedCell();
  void brushRecoloursEveryCellOfTheClickedColour();
  void rightClickStartsHoverPaintingUntilLeftClick();
  void tubeFrameClickColoursOnlyTheFrame();
  void draggingATubeMovesItsCells();
  void addShowsTheNewCounters();
  void playThenStopShowsSceneOne();
  void configurationTabForwardsToTheModel();
  void everyControlHasAnAccessibleName();

 private:
  void Click(QPoint windowPoint, Qt::MouseButton button = Qt::LeftButton) {
    testing::Click(*form_, windowPoint, button);
  }
  TubeGrid* Grid() { return form_->findChild<TubeGrid*>(); }
  // The cell index at a point of the window, if a cell lies there.
  std::optional<int> CellAt(QPoint windowPoint) {
    const TubePlace place = Grid()->PlaceAt(Grid()->mapFrom(form_.get(), windowPoint));
    if (place.column < 0) return std::nullopt;
    return CellIndexAt(place.tube, place.column);
  }
  std::optional<int> CellAt(int tube, int column) { return CellAt(CellCentre(tube, column)); }
  std::optional<CellColour> CellColourAt(QPoint windowPoint) {
    const auto cell = CellAt(windowPoint);
    return cell ? Grid()->Colour(*cell) : std::nullopt;
  }
  // The colours on screen, read at the places of the picture, in cell-index order.
  Scene ScreenCells();
  const Scene& WorkingScene() { return form_->Model().Editor().Store().WorkingScene; }
  QString LabelText(const char* name) { return testing::LabelText(*form_, name); }
  QPoint OnScenesGroup(QPoint inGroup) { return testing::OnScenesGroup(*form_, inGroup); }
  // Where a point of the second tab lies in the window (the tab open at start).
  QPoint OnConfigurationTab(QPoint inPage) { return testing::OnConfigurationTab(*form_, inPage); }
  QPoint AutoSquare(int k) {
    return OnConfigurationTab(kAutoGroup + QPoint(8 + 24 * (k - 1) + 12, 16 + 12));
  }
  std::optional<CellColour> AutoSquareColour(int k) {
    return form_->findChild<Panel*>(QStringLiteral("Panel%1").arg(219 + k))->Colour();
  }

  testing::FakeDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
};

void Form1Test::init() {
  form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

Scene Form1Test::ScreenCells() {
  Scene screen{};
  for (int tube = 1; tube <= kTubes; ++tube) {
    for (int column = 0; column < kCellsPerTube; ++column) {
      const auto colour = CellColourAt(CellCentre(tube, column));
      screen[CellIndexAt(tube, column)] = colour ? *colour : 0xFFFFFFFFu;
    }
  }
  return screen;
}

void Form1Test::opensFixedOnConfigurationTabWithCountersOne() {
  QCOMPARE(form_->windowTitle(), QStringLiteral("Lumora"));
  QCOMPARE(form_->size(), QSize(576, 546));
  QCOMPARE(form_->minimumSize(), form_->maximumSize());
  QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(!form_->windowIcon().isNull());

  auto* tabs = form_->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  QCOMPARE(tabs->count(), 2);
  QCOMPARE(tabs->tabText(0), QStringLiteral("Tworzenie sekwencji"));
  QCOMPARE(tabs->tabText(1), QStringLiteral("Konfiguracja sterownika"));
  QCOMPARE(tabs->currentIndex(), 1);
  QCOMPARE(LabelText("Label20"), QStringLiteral("1"));
  QCOMPARE(LabelText("Label22"), QStringLiteral("1"));

  // Every cell is black, in its place, with its panel name, Tag and caption.
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(Grid());
  for (int tube = 1; tube <= kTubes; ++tube) {
    for (int column = 0; column < kCellsPerTube; ++column) {
      const auto cell = CellAt(tube, column);
      QVERIFY(cell);
      QCOMPARE(grid->child(tube - 1)->child(column)->text(QAccessible::DebugDescription),
               QStringLiteral("Panel%1").arg(CellPanelNumber(tube, column)));
      QCOMPARE(*cell, CellIndexAt(tube, column));
      QCOMPARE(Grid()->Caption(tube, column), QString::fromLatin1(CellCaption(tube, column)));
    }
  }
  QCOMPARE(ScreenCells(), Scene{});

  for (const char* hidden :
       {"Label8", "Label9", "SpeedButton13", "Button6", "Button7", "Button2"}) {
    auto* control = form_->findChild<QWidget*>(QString::fromLatin1(hidden));
    QVERIFY2(control && control->isHidden(), hidden);
  }
}

void Form1Test::programmingWindowStaysHiddenAndClosingTheMainWindowEndsTheProgram() {
  TForm2 form2(std::make_unique<VirtualAdapter>(), std::make_unique<ManualTicker>(), dialogs_,
               form_.get());
  QCOMPARE(form2.windowTitle(), QStringLiteral("Programowanie sterownika"));
  QCOMPARE(form2.size(), QSize(476, 224));
  QCOMPARE(form2.minimumSize(), form2.maximumSize());
  QVERIFY(!(form2.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(!form2.isVisible());

  bool lastWindowClosed = false;
  connect(qApp, &QGuiApplication::lastWindowClosed, this, [&] { lastWindowClosed = true; });
  QTimer::singleShot(0, form_.get(), [this] { form_->close(); });
  QTimer::singleShot(5000, qApp, &QCoreApplication::quit);  // only if closing did not end it
  QApplication::exec();
  QVERIFY(lastWindowClosed);
}

void Form1Test::pencilPaintsOnlyTheClickedCell() {
  Click(PaletteButton(1));  // red
  Click(Grid()->mapTo(form_.get(), Grid()->CellArea(2, 3).topLeft() + QPoint(12, 12)));
  Scene expected{};
  expected[CellIndexAt(2, 3)] = colour::Red;
  QCOMPARE(WorkingScene(), expected);
  QCOMPARE(ScreenCells(), expected);

  // Still the pencil after choosing another colour: a cell of the same colour elsewhere stays.
  Click(PaletteButton(2));  // green
  Click(CellCentre(1, 0));
  expected[CellIndexAt(1, 0)] = colour::Green;
  QCOMPARE(ScreenCells(), expected);
  QCOMPARE(WorkingScene(), expected);
}

void Form1Test::brushRecoloursEveryCellOfTheClickedColour() {
  Click(PaletteButton(1));  // red, pencil
  Click(CellCentre(4, 6));
  Click(BrushButton());
  Click(PaletteButton(2));  // green
  Click(CellCentre(9, 2));  // a black cell: every black cell turns green
  Scene expected;
  expected.fill(colour::Green);
  expected[CellIndexAt(4, 6)] = colour::Red;
  QCOMPARE(WorkingScene(), expected);
  QCOMPARE(ScreenCells(), expected);

  Click(PencilButton());
  Click(PaletteButton(3));  // blue, pencil again: one cell only
  Click(CellCentre(16, 7));
  expected[CellIndexAt(16, 7)] = colour::Blue;
  QCOMPARE(ScreenCells(), expected);
}

void Form1Test::rightClickStartsHoverPaintingUntilLeftClick() {
  Click(PaletteButton(4));  // yellow
  Click(CellCentre(5, 0), Qt::RightButton);
  Scene expected{};
  QCOMPARE(ScreenCells(), expected);  // the right click itself paints nothing

  for (int column = 1; column <= 4; ++column) {
    QTest::mouseMove(form_.get(), CellCentre(5, column));
    expected[CellIndexAt(5, column)] = colour::Yellow;
  }
  QCOMPARE(ScreenCells(), expected);
  QCOMPARE(WorkingScene(), expected);

  Click(CellCentre(6, 0));  // paints the clicked cell and ends hover painting
  expected[CellIndexAt(6, 0)] = colour::Yellow;
  QTest::mouseMove(form_.get(), CellCentre(6, 1));
  QTest::mouseMove(form_.get(), CellCentre(6, 2));
  QCOMPARE(ScreenCells(), expected);
  QCOMPARE(WorkingScene(), expected);
}

void Form1Test::tubeFrameClickColoursOnlyTheFrame() {
  Click(PaletteButton(2));  // green
  Click(TubeFrame(1));
  Click(TubeFrame(2));
  Click(TubeFrame(11));  // tubes 11..16 take no click
  QCOMPARE(Grid()->TubeColour(1), std::optional<CellColour>(colour::Red));
  QCOMPARE(Grid()->TubeColour(2), std::optional<CellColour>(colour::Green));
  QCOMPARE(Grid()->TubeColour(11), std::nullopt);
  QCOMPARE(ScreenCells(), Scene{});
  QCOMPARE(WorkingScene(), Scene{});
}

void Form1Test::draggingATubeMovesItsCells() {
  Click(PaletteButton(1));  // red
  Click(CellCentre(13, 2));
  const Scene before = WorkingScene();

  // Tube 13 is dragged with the right button: it moves, its frame keeps its colour.
  const QPoint grab = TubeFrame(13);
  const QPoint moved(30, 5);
  QTest::mousePress(form_.get(), Qt::RightButton, {}, grab);
  QTest::mouseMove(form_.get(), grab + QPoint(10, 2));
  QTest::mouseMove(form_.get(), grab + moved);
  QTest::mouseRelease(form_.get(), Qt::RightButton, {}, grab + moved);
  QCOMPARE(Grid()->TubePosition(13), QPoint(TubeRect(13).left, TubeRect(13).top) + moved);
  for (int column = 0; column < kCellsPerTube; ++column) {
    const auto cell = CellAt(CellCentre(13, column) + moved);
    QVERIFY(cell);
    QCOMPARE(*cell, CellIndexAt(13, column));
    QCOMPARE(Grid()->Colour(*cell), std::optional<CellColour>(before[CellIndexAt(13, column)]));
  }
  QCOMPARE(WorkingScene(), before);

  // A left drag of tube 3 is also a click on its frame.
  Click(PaletteButton(3));  // blue
  QTest::mousePress(form_.get(), Qt::LeftButton, {}, TubeFrame(3));
  QTest::mouseMove(form_.get(), TubeFrame(3) + QPoint(0, 4));
  QTest::mouseRelease(form_.get(), Qt::LeftButton, {}, TubeFrame(3) + QPoint(0, 4));
  QCOMPARE(Grid()->TubePosition(3), QPoint(TubeRect(3).left, TubeRect(3).top + 4));
  QCOMPARE(Grid()->TubeColour(3), std::optional<CellColour>(colour::Blue));

  // Tube 12 does not move.
  QTest::mousePress(form_.get(), Qt::LeftButton, {}, TubeFrame(12));
  QTest::mouseMove(form_.get(), TubeFrame(12) + QPoint(20, 0));
  QTest::mouseRelease(form_.get(), Qt::LeftButton, {}, TubeFrame(12) + QPoint(20, 0));
  QCOMPARE(Grid()->TubePosition(12), QPoint(TubeRect(12).left, TubeRect(12).top));
}

void Form1Test::addShowsTheNewCounters() {
  const QPoint add = OnScenesGroup({32 + 32, 107 + 12});
  Click(add);
  Click(add);
  QTRY_COMPARE(LabelText("Label20"), QStringLiteral("3"));
  QCOMPARE(LabelText("Label22"), QStringLiteral("3"));

  Click(OnScenesGroup({41 + 13, 67 + 13}));  // previous
  QTRY_COMPARE(LabelText("Label20"), QStringLiteral("2"));
  QCOMPARE(LabelText("Label22"), QStringLiteral("3"));
}

void Form1Test::playThenStopShowsSceneOne() {
  Click(PaletteButton(1));  // scene 1: one red cell
  Click(CellCentre(1, 0));
  Click(OnScenesGroup({32 + 32, 107 + 12}));  // "Dodaj"
  Click(PaletteButton(2));                    // scene 2: and a green one
  Click(CellCentre(1, 1));
  Scene scene1{};
  scene1[0] = colour::Red;
  Scene scene2 = scene1;
  scene2[1] = colour::Green;

  auto* play = form_->findChild<QAbstractButton*>(QStringLiteral("SpeedButton22"));
  auto* stop = form_->findChild<QAbstractButton*>(QStringLiteral("SpeedButton23"));
  QVERIFY(stop->isChecked());
  Click(OnScenesGroup({72 + 14, 184 + 14}));
  QTRY_VERIFY(play->isChecked());
  // "normal" shows the two scenes in turn.
  QTRY_COMPARE(ScreenCells(), scene1);
  QTRY_COMPARE(ScreenCells(), scene2);

  Click(OnScenesGroup({104 + 14, 184 + 14}));
  QTRY_VERIFY(stop->isChecked());
  QCOMPARE(ScreenCells(), scene1);
  QCOMPARE(WorkingScene(), scene1);
  QCOMPARE(LabelText("Label20"), QStringLiteral("1"));
  QCOMPARE(LabelText("Label22"), QStringLiteral("2"));
}

void Form1Test::configurationTabForwardsToTheModel() {
  QCOMPARE(form_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->maximum(), 880);
  QTRY_COMPARE(AutoSquareColour(1), std::optional<CellColour>(slot_colour::Red));
  QCOMPARE(AutoSquareColour(2), std::optional<CellColour>(slot_colour::SkyBlue));
  QCOMPARE(form_->findChild<Panel*>(QStringLiteral("Panel164"))->Colour(), std::nullopt);

  Click(AutoSquare(3), Qt::RightButton);  // any button selects
  QTRY_COMPARE(AutoSquareColour(3), std::optional<CellColour>(slot_colour::Red));
  QCOMPARE(AutoSquareColour(1), std::optional<CellColour>(slot_colour::SkyBlue));

  // "Prg Start" up twice drags "Prg End" along; both boxes show it and entry 3 holds it.
  const QPoint startUp = OnConfigurationTab(kAutoValuesGroup + QPoint(6 + 33 + 9, 24 + 5));
  Click(startUp);
  Click(startUp);
  QTRY_COMPARE(LabelText("Label2"), QStringLiteral("3"));
  QCOMPARE(LabelText("Label4"), QStringLiteral("3"));
  QCOMPARE(form_->findChild<UpDown*>(QStringLiteral("UpDown2"))->Position(), 3);
  QCOMPARE(form_->Model().Config().Autos().AutoTable[6], 3);
  QCOMPARE(form_->Model().Config().Autos().AutoTable[7], 3);

  Click(OnConfigurationTab(kProgramsGroup + QPoint(8 + 24 * 3 + 12, 16 + 32 + 12)),
        Qt::RightButton);  // program 12: the open dialog, cancelled
  QCOMPARE(dialogs_.kindsAsked, std::deque<FileKind>{FileKind::Sequence});
  QCOMPARE(form_->Model().Config().Programs().UsedScenes(), 0);

  // Without "str.tab" the send stops at the message; the programming window stays hidden.
  QTemporaryDir emptyDir;
  const QString workingDir = QDir::currentPath();
  QDir::setCurrent(emptyDir.path());
  Click(OnConfigurationTab(kProgramsGroup + QPoint(37 + 65, 382 + 13)));
  QDir::setCurrent(workingDir);
  QCOMPARE(dialogs_.errors, std::vector<std::string>{std::string(message::TableFileMissing)});

  OnScenesGroup({});  // a change of tab ends the automatic chain
  QTRY_COMPARE(AutoSquareColour(3), std::optional<CellColour>(slot_colour::SkyBlue));
}

void Form1Test::everyControlHasAnAccessibleName() {
  struct Expected {
    const char* control;
    const char* name;
  };
  // The tubes and cells, as accessible children of the picture found at their places.
  const struct {
    int tube, column;
    const char* name;
  } places[] = {
      {3, 0, "Tuba 3, komórka 1"},  // Panel49
      {4, 0, "Tuba 4, komórka 8"},  // Panel105
      {3, -1, "Tuba 3"},            // Panel3
  };
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(Grid());
  for (const auto& p : places) {
    const QPoint onScreen =
        form_->mapToGlobal(p.column < 0 ? TubeFrame(p.tube) : CellCentre(p.tube, p.column));
    QAccessibleInterface* item = grid->childAt(onScreen.x(), onScreen.y());
    if (p.column >= 0) item = item->childAt(onScreen.x(), onScreen.y());
    QVERIFY2(item, p.name);
    QCOMPARE(item->text(QAccessible::Name), QString::fromUtf8(p.name));
  }
  // Every tube and cell has its name, its place on the screen and its parent.
  QCOMPARE(grid->childCount(), kTubes);
  for (int tube = 1; tube <= kTubes; ++tube) {
    QAccessibleInterface* tubeItem = grid->child(tube - 1);
    QCOMPARE(tubeItem->text(QAccessible::Name), QStringLiteral("Tuba %1").arg(tube));
    QCOMPARE(tubeItem->parent(), grid);
    QCOMPARE(grid->indexOfChild(tubeItem), tube - 1);
    QCOMPARE(tubeItem->childCount(), kCellsPerTube);
    for (int column = 0; column < kCellsPerTube; ++column) {
      QAccessibleInterface* cellItem = tubeItem->child(column);
      QCOMPARE(cellItem->text(QAccessible::Name),
               QStringLiteral("Tuba %1, komórka %2")
                   .arg(tube)
                   .arg(CellIndexAt(tube, column) % kCellsPerTube + 1));
      QCOMPARE(cellItem->parent(), tubeItem);
      QCOMPARE(tubeItem->indexOfChild(cellItem), column);
      QCOMPARE(cellItem->rect().center(), form_->mapToGlobal(CellCentre(tube, column)));
    }
  }

  const Expected expected[] = {
      {"SpeedButton15", "Poprzednia scena"},
      {"SpeedButton16", "Następna scena"},
      {"SpeedButton22", "Odtwórz"},
      {"SpeedButton23", "Stop"},
      {"SpeedButton10", "Pędzel"},
      {"SpeedButton11", "Ołówek"},
      {"SpeedButton5", "Kolor żółty"},
      {"SpeedButton17", "Dodaj"},
      {"Panel175", "Program 12"},
      {"Panel222", "Program automatyczny 3"},
  };
  for (const Expected& e : expected) {
    auto* control = form_->findChild<QWidget*>(QString::fromLatin1(e.control));
    QVERIFY2(control, e.control);
    QCOMPARE(control->accessibleName(), QString::fromUtf8(e.name));
  }

  for (QWidget* control : form_->findChildren<QWidget*>()) {
    const bool named = qobject_cast<Panel*>(control) || qobject_cast<QAbstractButton*>(control) ||
                       qobject_cast<UpDown*>(control) || qobject_cast<QGroupBox*>(control) ||
                       qobject_cast<QProgressBar*>(control);
    if (named && !control->objectName().isEmpty()) {
      QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
  }
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
