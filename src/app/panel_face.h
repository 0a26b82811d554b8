#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QPalette;

namespace lumora {

// The face of a raised panel: filled with its colour, a black caption in the middle and a
// raised one-pixel bevel, drawn directly (the tube picture draws up to 144 of them a tick).
void DrawPanelFace(QPainter& painter, const QRect& rect, const QColor& fill, const QString& caption,
                   const QPalette& palette);

}  // namespace lumora
