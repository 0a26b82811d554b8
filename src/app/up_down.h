#pragma once

#include <optional>

#include <QTimer>
#include <QWidget>

namespace lumora {

// A bare up-down control: an upper and a lower arrow half. A press steps the position by the
// increment within the range (no wrap); holding the button repeats the step.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  enum class Direction { Up, Down };

  explicit UpDown(QWidget* parent = nullptr);

  void SetRange(int minimum, int maximum);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  // Clamped to the range; emits nothing.
  void SetPosition(int position);
  int Increment() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment; }

 signals:
  // After every step, with the position already moved (or held at the end of the range).
  void Clicked(lumora::UpDown::Direction direction);
  void MouseReleased();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Step();
  void StopRepeat();

  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  int increment_ = 1;
  std::optional<Direction> held_;
  QTimer repeat_{this};
};

}  // namespace lumora
