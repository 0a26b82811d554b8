// A preview frame sets all 128 cells at once: the grid must repaint the cells that changed and
// leave the other tubes alone.
#include <QtTest>

#include "app/qt_colour.h"
#include "app/tube_grid.h"
#include "support/paint_counter.h"

namespace lumora {

class TubeGridTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 460);
    grid_ = new TubeGrid(window_.get());
    grid_->setGeometry(window_->rect());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    // Activation repaints the window in its active colours.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    base_.fill(0x404040);
    grid_->SetCellColours(base_);
    // The first full paint has happened once a marker cell's repaint comes through alone.
    log_ = std::make_unique<testing::PaintCounter>(grid_);
    for (int round = 0; round < 100 && !MarkerPaintedAlone(); ++round) {
    }
    QCOMPARE(log_->painted, QRegion());
  }

  void cleanup() {
    log_.reset();
    window_.reset();
  }

  void frameRepaintsOnlyTheChangedColumnsOfChangedTubes() {
    Scene scene = base_;
    scene[CellIndexAt(1, 0)] = *grid_->Colour(CellIndexAt(1, 0));
    scene[CellIndexAt(3, 2)] = 0x0000FF;
    scene[CellIndexAt(3, 5)] = 0x00FF00;
    scene[CellIndexAt(10, 7)] = 0xFF0000;
    grid_->SetCellColours(scene);
    QTRY_VERIFY(log_->painted.contains(grid_->CellArea(10, 7)));
    QVERIFY(log_->painted.contains(grid_->CellArea(3, 2)));
    QVERIFY(log_->painted.contains(grid_->CellArea(3, 5)));
    for (int tube = 1; tube <= kTubes; ++tube) {
      if (tube == 3 || tube == 10) continue;
      // Tubes overlap their neighbours by a pixel.
      QVERIFY2(!log_->painted.intersects(grid_->TubeArea(tube).adjusted(0, 1, 0, -1)),
               qPrintable(QString::number(tube)));
    }
    const QImage shot = grid_->grab().toImage();
    QCOMPARE(shot.pixelColor(grid_->CellArea(3, 5).topLeft() + QPoint(3, 3)), ToQColor(0x00FF00));
    QCOMPARE(shot.pixelColor(grid_->CellArea(10, 7).topLeft() + QPoint(3, 3)), ToQColor(0xFF0000));
    QCOMPARE(*grid_->Colour(CellIndexAt(3, 2)), CellColour{0x0000FF});

    // The same frame again changes nothing: the next paint holds only the marker.
    log_->painted = QRegion();
    grid_->SetCellColours(scene);
    Settle();
  }

  void everyCellOfAFrameIsShown() {
    Scene scene{};
    for (int cell = 0; cell < kCellsPerScene; ++cell) {
      scene[cell] = static_cast<CellColour>(0x010203 * (cell + 1));
    }
    grid_->SetCellColours(scene);
    const QImage shot = grid_->grab().toImage();
    for (int cell = 0; cell < kCellsPerScene; ++cell) {
      const QRect area = grid_->CellArea(CellTube(cell), CellColumn(cell));
      QCOMPARE(*grid_->Colour(cell), scene[cell]);
      QCOMPARE(shot.pixelColor(area.topLeft() + QPoint(3, 3)), ToQColor(scene[cell]));
    }
  }

 private:
  // Changes the first cell and waits for its repaint: every paint asked for before has come
  // by then, and the log holds nothing but that cell.
  void Settle() { QVERIFY(MarkerPaintedAlone()); }

  bool MarkerPaintedAlone() {
    const int marker = CellIndexAt(1, 0);
    grid_->SetCellColour(marker, *grid_->Colour(marker) ^ 0x000001);
    if (!QTest::qWaitFor([&] { return log_->painted.contains(grid_->CellArea(1, 0)); })) {
      return false;
    }
    const bool alone = log_->painted == QRegion(grid_->CellArea(1, 0));
    log_->painted = QRegion();
    return alone;
  }

  std::unique_ptr<QWidget> window_;
  TubeGrid* grid_ = nullptr;
  Scene base_{};
  std::unique_ptr<testing::PaintCounter> log_;
};

}  // namespace lumora

QTEST_MAIN(lumora::TubeGridTest)
#include "tube_grid_test.moc"
