#include "app/controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/panel.h"
#include "app/up_down.h"

namespace lumora {

void Place(QWidget* control, const QString& name, QRect place, const QString& accessibleName) {
  control->setObjectName(name);
  control->setGeometry(place);
  if (!accessibleName.isEmpty()) control->setAccessibleName(accessibleName);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, QPoint place, const QString& text,
                  int fontPixels) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  if (fontPixels > 0) {
    QFont font = label->font();
    font.setPixelSize(fontPixels);
    label->setFont(font);
  }
  label->move(place);
  label->adjustSize();
  return label;
}

bool SetLabelText(QLabel* label, const QString& text) {
  if (label->text() == text) return false;
  label->setText(text);
  return true;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, QRect place, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  Place(button, name, place, caption);
  return button;
}

QRadioButton* MakeRadioButton(QWidget* parent, const QString& name, QRect place,
                              const QString& caption) {
  auto* button = new QRadioButton(caption, parent);
  Place(button, name, place, caption);
  return button;
}

QGroupBox* MakeGroupBox(QWidget* parent, const QString& name, QRect place, const QString& title) {
  auto* group = new QGroupBox(title, parent);
  Place(group, name, place, title);
  return group;
}

Panel* MakePanel(QWidget* parent, const QString& name, QRect place, const QString& caption,
                 const QString& accessibleName) {
  auto* panel = new Panel(parent);
  panel->SetCaption(caption);
  Place(panel, name, place, accessibleName.isEmpty() ? caption : accessibleName);
  return panel;
}

UpDown* MakeUpDown(QWidget* parent, const QString& name, QRect place, int minimum, int maximum,
                   const QString& accessibleName) {
  auto* upDown = new UpDown(parent);
  upDown->SetRange(minimum, maximum);
  upDown->SetPosition(minimum);
  Place(upDown, name, place, accessibleName);
  return upDown;
}

QToolButton* MakeSpeedButton(QWidget* parent, const QString& name, QRect place, const QIcon& image,
                             const QString& caption, const QString& accessibleName) {
  auto* button = new QToolButton(parent);
  button->setIcon(image);
  button->setText(caption);
  if (image.isNull()) {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  } else if (caption.isEmpty()) {
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else {
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
  Place(button, name, place, accessibleName.isEmpty() ? caption : accessibleName);
  return button;
}

}  // namespace lumora
