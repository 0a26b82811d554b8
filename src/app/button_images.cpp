#include "app/button_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/qt_colour.h"

namespace lumora {

namespace {

constexpr int kImageSize = 16;

template <typename Draw>
QIcon DrawImage(Draw draw, int size = kImageSize) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  painter.end();
  return QIcon(pixmap);
}

QIcon Triangle(QPointF a, QPointF b, QPointF c, QColor fill) {
  return DrawImage([&](QPainter& p) {
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    const QPointF corners[] = {a, b, c};
    p.drawPolygon(corners, 3);
  });
}

}  // namespace

QIcon LeftArrowImage() {
  return Triangle({12, 2}, {12, 14}, {3, 8}, QColor(0, 0, 128));
}

QIcon RightArrowImage() {
  return Triangle({4, 2}, {4, 14}, {13, 8}, QColor(0, 0, 128));
}

QIcon PlayImage() {
  return Triangle({4, 2}, {4, 14}, {14, 8}, QColor(0, 140, 0));
}

QIcon PlusImage() {
  return DrawImage([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 140, 0));
    p.drawRect(QRectF(6, 2, 4, 12));
    p.drawRect(QRectF(2, 6, 12, 4));
  });
}

QIcon StopImage() {
  return DrawImage([](QPainter& p) {
    p.setPen(QPen(QColor(100, 0, 0), 1));
    p.setBrush(QColor(200, 0, 0));
    p.drawRect(QRectF(3.5, 3.5, 9, 9));
  });
}

QIcon BinImage() {
  return DrawImage([](QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(2.5, 3.5, 11, 2));  // lid
    p.drawRect(QRectF(6.5, 1.5, 3, 2));   // handle
    QPainterPath body;
    body.moveTo(3.5, 5.5);
    body.lineTo(12.5, 5.5);
    body.lineTo(11.5, 14.5);
    body.lineTo(4.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    for (qreal x : {6.5, 8.0, 9.5}) p.drawLine(QPointF(x, 7.5), QPointF(x, 12.5));
  });
}

QIcon PencilImage() {
  return DrawImage([](QPainter& p) {
    p.translate(8, 8);
    p.rotate(-45);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(230, 180, 40));
    p.drawRect(QRectF(-4, -2, 10, 4));  // shaft
    p.setBrush(QColor(240, 150, 150));
    p.drawRect(QRectF(6, -2, 2, 4));  // eraser
    p.setBrush(QColor(240, 210, 170));
    const QPointF tip[] = {{-4, -2}, {-4, 2}, {-8, 0}};
    p.drawPolygon(tip, 3);
  });
}

QIcon BrushImage() {
  return DrawImage([](QPainter& p) {
    p.translate(8, 8);
    p.rotate(-45);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(150, 90, 40));
    p.drawRect(QRectF(0, -1, 8, 2));  // handle
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(QRectF(-2, -2, 2, 4));  // ferrule
    p.setBrush(QColor(200, 0, 0));
    QPainterPath bristles;
    bristles.moveTo(-2, -2.5);
    bristles.lineTo(-7, -1);
    bristles.lineTo(-8, 0);
    bristles.lineTo(-7, 1);
    bristles.lineTo(-2, 2.5);
    bristles.closeSubpath();
    p.drawPath(bristles);
  });
}

QIcon ProgrammingImage() {
  return DrawImage([](QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    for (qreal x : {4.5, 7.5, 10.5}) p.drawLine(QPointF(x, 8.5), QPointF(x, 15.5));  // pins
    p.setBrush(QColor(70, 70, 70));
    p.drawRect(QRectF(2.5, 9.5, 11, 4));  // chip
    p.setPen(QPen(QColor(0, 100, 0), 1));
    p.setBrush(QColor(0, 170, 0));
    const QPointF arrow[] = {{6, 0.5}, {10, 0.5}, {10, 4}, {13, 4}, {8, 8.5}, {3, 4}, {6, 4}};
    p.drawPolygon(arrow, 7);
  });
}

QIcon SwatchImage(CellColour colour) {
  return DrawImage(
      [colour](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(ToQColor(colour));
        p.drawRect(QRectF(0.5, 0.5, 19, 19));
      },
      20);
}

}  // namespace lumora
