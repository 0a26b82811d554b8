#include "app/panel_face.h"

#include <qdrawutil.h>
#include <QPainter>

namespace lumora {

void DrawPanelFace(QPainter& painter, const QRect& rect, const QColor& fill, const QString& caption,
                   const QPalette& palette) {
  painter.fillRect(rect, fill);
  if (!caption.isEmpty()) {
    painter.setPen(Qt::black);
    painter.drawText(rect, Qt::AlignCenter, caption);
  }
  qDrawShadePanel(&painter, rect, palette, false, 1);
}

}  // namespace lumora
