#include "app/panel.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/panel_face.h"
#include "app/qt_colour.h"

namespace lumora {

Panel::Panel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::NoFrame);
  // The panel fills all of itself, so nothing beneath it needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Panel::SetColour(CellColour colour) {
  if (colour_ == colour) return;
  colour_ = colour;
  update();
}

void Panel::SetFaceColour() {
  if (!colour_) return;
  colour_.reset();
  update();
}

void Panel::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
}

void Panel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawPanelFace(painter, rect(), colour_ ? ToQColor(*colour_) : palette().color(QPalette::Window),
                caption_, palette());
}

void Panel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftPressed_ = true;
  emit MouseDown(event->button(), event->position().toPoint());
}

void Panel::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event->position().toPoint());
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  emit MouseUp(event->button(), position);
  if (event->button() == Qt::LeftButton && leftPressed_) {
    leftPressed_ = false;
    if (rect().contains(position)) emit Click();
  }
}

}  // namespace lumora
