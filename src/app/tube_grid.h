#pragma once

#include <array>
#include <optional>

#include <QString>
#include <QWidget>

#include "app/cell_face_cache.h"
#include "common/scene.h"
#include "main_window/tube_layout.h"

namespace lumora {

// The tube picture in one widget: sixteen raised tube bars with eight raised cells each, their
// colours and captions, painted in one pass over the changed part. It covers its parent and
// lies under the controls made after it; where no tube lies, mouse events go on to the parent.
// While a button is held, the mouse events go to the cell or tube frame the press began on,
// as they would to separate panels; cells see the pointer pass with no button held too.
class TubeGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TubeGrid(QWidget* parent);

  // The face colour of the window until a colour is set.
  std::optional<CellColour> Colour(int cell) const { return cellColours_[cell]; }
  // Repaints the cell only when its colour changes.
  void SetCellColour(int cell, CellColour colour);
  // All cells at once: one repaint area per tube, over the columns that changed.
  void SetCellColours(const Scene& colours);
  std::optional<CellColour> TubeColour(int tube) const { return tubeColours_[tube - 1]; }
  void SetTubeColour(int tube, CellColour colour);
  QPoint TubePosition(int tube) const;
  void MoveTube(int tube, QPoint by);

  TubePlace PlaceAt(QPoint point) const;
  QRect TubeArea(int tube) const;
  QRect CellArea(int tube, int column) const;
  QString Caption(int tube, int column) const;

 signals:
  void CellMouseDown(int cell, Qt::MouseButton button);
  void CellMouseMove(int cell);
  // The release of a button pressed on a cell.
  void CellMouseUp(int cell, Qt::MouseButton button);
  // Positions are in the tube's own coordinates, as it lies when the event comes.
  void TubeMouseDown(int tube, QPoint position);
  void TubeMouseMove(int tube, QPoint position);
  void TubeMouseUp(int tube);
  // A left press and release on a tube's frame, released over the tube.
  void TubeClick(int tube);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor Fill(std::optional<CellColour> colour) const;
  QPoint InTube(int tube, QPoint point) const;

  std::array<Point, kTubes> origins_{};
  std::array<std::optional<CellColour>, kTubes> tubeColours_{};
  std::array<std::optional<CellColour>, kCellsPerScene> cellColours_{};
  // Captions by cell index, and a small number per distinct caption for the face cache.
  std::array<QString, kCellsPerScene> captions_{};
  std::array<int, kCellsPerScene> captionIds_{};
  CellFaceCache faces_;
  // Where the held press began (tube 0: outside every tube); none with no button held.
  std::optional<TubePlace> grab_;
  bool leftPressed_ = false;
};

}  // namespace lumora
