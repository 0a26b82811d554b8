#pragma once

#include <optional>

#include <QFrame>
#include <QString>

#include "common/scene.h"

namespace lumora {

// A raised panel with a background colour, a centred caption and an integer Tag. It reports
// the raw mouse events; a left press and release inside it is also a click.
class Panel : public QFrame {
  Q_OBJECT

 public:
  explicit Panel(QWidget* parent = nullptr);

  // The face colour of the window until a colour is set.
  std::optional<CellColour> Colour() const { return colour_; }
  // Repaints only when the colour changes, so a refresh that writes the same value is free.
  void SetColour(CellColour colour);
  void SetFaceColour();
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

 signals:
  void MouseDown(Qt::MouseButton button, QPoint position);
  void MouseMove(QPoint position);
  void MouseUp(Qt::MouseButton button, QPoint position);
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::optional<CellColour> colour_;
  QString caption_;
  int tag_ = 0;
  bool leftPressed_ = false;
};

}  // namespace lumora
