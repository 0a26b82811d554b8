#pragma once

#include <QIcon>
#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace lumora {

class Panel;
class UpDown;

// The height of the windows' text, in pixels.
inline constexpr int kFontPixels = 11;

// Builders of the controls of the windows: each puts one control at its place (left, top,
// width, height relative to the parent), names it as the window names it and gives it the
// name that accessibility tools read out.
void Place(QWidget* control, const QString& name, QRect place, const QString& accessibleName);

// Labels size themselves to their text; a font height of 0 keeps the window's font.
QLabel* MakeLabel(QWidget* parent, const QString& name, QPoint place, const QString& text,
                  int fontPixels = 0);
// Sets the text only when it changes, so a refresh with the same text is free; whether it
// changed.
bool SetLabelText(QLabel* label, const QString& text);
QPushButton* MakeButton(QWidget* parent, const QString& name, QRect place, const QString& caption);
QRadioButton* MakeRadioButton(QWidget* parent, const QString& name, QRect place,
                              const QString& caption);
QGroupBox* MakeGroupBox(QWidget* parent, const QString& name, QRect place, const QString& title);
Panel* MakePanel(QWidget* parent, const QString& name, QRect place, const QString& caption,
                 const QString& accessibleName);
UpDown* MakeUpDown(QWidget* parent, const QString& name, QRect place, int minimum, int maximum,
                   const QString& accessibleName);
// A picture button: an image, a caption or both. The accessible name defaults to the caption.
QToolButton* MakeSpeedButton(QWidget* parent, const QString& name, QRect place, const QIcon& image,
                             const QString& caption, const QString& accessibleName = {});

}  // namespace lumora
