#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

namespace lumora::testing {

// Counts the paint events a widget receives, and gathers the area they paint.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

}  // namespace lumora::testing
