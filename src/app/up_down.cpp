#include "app/up_down.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace lumora {

namespace {
// Delays of the system's auto-repeat: the first repeat waits longer.
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;
}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  connect(&repeat_, &QTimer::timeout, this, [this] {
    repeat_.setInterval(kRepeatMs);
    Step();
  });
}

void UpDown::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  SetPosition(position_);
}

void UpDown::SetPosition(int position) {
  // A bare up-down shows no number, so there is nothing to repaint.
  position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::Step() {
  if (!held_) return;
  const Direction direction = *held_;
  SetPosition(direction == Direction::Up ? position_ + increment_ : position_ - increment_);
  emit Clicked(direction);
}

void UpDown::StopRepeat() {
  repeat_.stop();
  held_.reset();
  update();
}

void UpDown::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = event->position().y() < height() / 2.0 ? Direction::Up : Direction::Down;
  update();
  Step();
  repeat_.start(kFirstRepeatMs);
}

void UpDown::mouseReleaseEvent(QMouseEvent*) {
  StopRepeat();
  emit MouseReleased();
}

void UpDown::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) StopRepeat();
  QWidget::changeEvent(event);
}

void UpDown::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int half = height() / 2;
  const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
  const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp,
                                             QStyle::PE_IndicatorArrowDown};
  const Direction directions[] = {Direction::Up, Direction::Down};
  for (int i = 0; i < 2; ++i) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = halves[i];
    const bool down = held_ == directions[i];
    button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = halves[i].adjusted(3, 2, -3, -2);
    style()->drawPrimitive(arrows[i], &arrow, &painter, this);
  }
}

}  // namespace lumora
