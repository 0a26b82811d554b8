#pragma once

#include <QColor>

#include "common/scene.h"

namespace lumora {

// Cell colours are kept as 0x00BBGGRR (low byte red); only the widgets see a QColor.
inline QColor ToQColor(CellColour colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace lumora
