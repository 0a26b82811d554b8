#include "app/window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace lumora {

QIcon WindowIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QColor bars[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
  for (int i = 0; i < 4; ++i) {
    const QRect bar(2, 2 + 7 * i, 28, 6);
    painter.fillRect(bar, Qt::black);
    painter.fillRect(bar.adjusted(1, 1, -1, -1), bars[i]);
  }
  painter.end();
  return QIcon(pixmap);
}

}  // namespace lumora
