#include "app/tube_grid.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

#include "app/panel_face.h"
#include "app/qt_colour.h"
#include "app/tube_grid_accessible.h"

namespace lumora {

namespace {

QRect ToQRect(Rect rect) {
  return {rect.left, rect.top, rect.width, rect.height};
}

// The picture format of the surface a painter draws on, so cached faces match it.
QImage::Format SurfaceFormat(QPainter& painter) {
  const QPaintDevice* device = painter.paintEngine()->paintDevice();
  if (device && device->devType() == QInternal::Image) {
    return static_cast<const QImage*>(device)->format();
  }
  return QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

TubeGrid::TubeGrid(QWidget* parent) : QWidget(parent) {
  InstallTubeGridAccessibility();
  // Hover painting follows the pointer over the cells with no button held.
  setMouseTracking(true);
  QStringList distinct;
  for (int tube = 1; tube <= kTubes; ++tube) {
    origins_[tube - 1] = {TubeRect(tube).left, TubeRect(tube).top};
    for (int column = 0; column < kCellsPerTube; ++column) {
      const int cell = CellIndexAt(tube, column);
      captions_[cell] = QString::fromLatin1(CellCaption(tube, column));
      if (!distinct.contains(captions_[cell])) distinct.append(captions_[cell]);
      captionIds_[cell] = static_cast<int>(distinct.indexOf(captions_[cell]));
    }
  }
  faces_.Reset(font(), palette());
}

void TubeGrid::SetCellColour(int cell, CellColour colour) {
  if (cellColours_[cell] == colour) return;
  cellColours_[cell] = colour;
  update(CellArea(CellTube(cell), CellColumn(cell)));
}

void TubeGrid::SetCellColours(const Scene& colours) {
  // A frame changes up to all 128 cells; marking them one by one costs more in merging their
  // areas than drawing them does: one area per changed tube, over its changed columns.
  for (int tube = 1; tube <= kTubes; ++tube) {
    int first = kCellsPerTube;
    int last = -1;
    for (int column = 0; column < kCellsPerTube; ++column) {
      const int cell = CellIndexAt(tube, column);
      if (cellColours_[cell] == colours[cell]) continue;
      cellColours_[cell] = colours[cell];
      first = std::min(first, column);
      last = column;
    }
    if (last >= 0) update(CellArea(tube, first).united(CellArea(tube, last)));
  }
}

void TubeGrid::SetTubeColour(int tube, CellColour colour) {
  if (tubeColours_[tube - 1] == colour) return;
  tubeColours_[tube - 1] = colour;
  update(TubeArea(tube));
}

QPoint TubeGrid::TubePosition(int tube) const {
  return {origins_[tube - 1].x, origins_[tube - 1].y};
}

void TubeGrid::MoveTube(int tube, QPoint by) {
  update(TubeArea(tube));
  origins_[tube - 1].x += by.x();
  origins_[tube - 1].y += by.y();
  update(TubeArea(tube));
}

TubePlace TubeGrid::PlaceAt(QPoint point) const {
  return TubePlaceAt(origins_, point.x(), point.y());
}

QRect TubeGrid::TubeArea(int tube) const {
  return {TubePosition(tube), QSize(TubeRect(tube).width, TubeRect(tube).height)};
}

QRect TubeGrid::CellArea(int tube, int column) const {
  return ToQRect(CellRect(column)).translated(TubePosition(tube));
}

QString TubeGrid::Caption(int tube, int column) const {
  return captions_[CellIndexAt(tube, column)];
}

QColor TubeGrid::Fill(std::optional<CellColour> colour) const {
  return colour ? ToQColor(*colour) : palette().color(QPalette::Window);
}

QPoint TubeGrid::InTube(int tube, QPoint point) const {
  return point - TubePosition(tube);
}

void TubeGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRegion& dirty = event->region();
  const QRect bounds = event->rect();
  const QImage::Format format = SurfaceFormat(painter);
  const qreal pixelRatio = devicePixelRatioF();
  // Later tubes lie over earlier ones, and each tube's cells over its frame.
  for (int tube = 1; tube <= kTubes; ++tube) {
    const QRect tubeArea = TubeArea(tube);
    if (!tubeArea.intersects(bounds)) continue;
    // The frame shows only in the strips beside the cells; the cells cover the rest.
    const QRect first = CellArea(tube, 0);
    const QRect last = CellArea(tube, kCellsPerTube - 1);
    if (dirty.intersects(QRect(tubeArea.left(), tubeArea.top(), first.left() - tubeArea.left(),
                               tubeArea.height())) ||
        dirty.intersects(QRect(last.right() + 1, tubeArea.top(), tubeArea.right() - last.right(),
                               tubeArea.height()))) {
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      DrawPanelFace(painter, tubeArea, Fill(tubeColours_[tube - 1]), {}, palette());
    }
    // Faces are opaque: copying their pixels is drawing them.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int column = 0; column < kCellsPerTube; ++column) {
      const QRect area = CellArea(tube, column);
      if (!dirty.intersects(area)) continue;
      const int cell = CellIndexAt(tube, column);
      painter.drawImage(area.topLeft(),
                        faces_.Face(area.size(), pixelRatio, format, Fill(cellColours_[cell]),
                                    captionIds_[cell], captions_[cell]));
    }
  }
}

void TubeGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
    faces_.Reset(font(), palette());
  }
  QWidget::changeEvent(event);
}

void TubeGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (!grab_) grab_ = PlaceAt(point);
  const TubePlace place = *grab_;
  if (place.tube == 0) {
    event->ignore();
  } else if (place.column >= 0) {
    emit CellMouseDown(CellIndexAt(place.tube, place.column), event->button());
  } else {
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    emit TubeMouseDown(place.tube, InTube(place.tube, point));
  }
}

void TubeGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  const TubePlace place = grab_ ? *grab_ : PlaceAt(point);
  if (place.tube == 0) {
    event->ignore();
  } else if (place.column >= 0) {
    emit CellMouseMove(CellIndexAt(place.tube, place.column));
  } else if (grab_) {  // a tube frame sees the pointer only while a button is held
    emit TubeMouseMove(place.tube, InTube(place.tube, point));
  }
}

void TubeGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (!grab_) {
    event->ignore();
    return;
  }
  const TubePlace place = *grab_;
  if (event->buttons() == Qt::NoButton) grab_.reset();
  if (place.tube == 0) {
    event->ignore();
    return;
  }
  if (place.column >= 0) {
    emit CellMouseUp(CellIndexAt(place.tube, place.column), event->button());
    return;
  }
  const QPoint inTube = InTube(place.tube, event->position().toPoint());
  emit TubeMouseUp(place.tube);
  if (event->button() == Qt::LeftButton && leftPressed_) {
    leftPressed_ = false;
    if (QRect(QPoint(), TubeArea(place.tube).size()).contains(inTube)) emit TubeClick(place.tube);
  }
}

}  // namespace lumora
