#pragma once

#include "common/scene.h"

namespace lumora {

enum class MouseButton { Left, Right, Middle };

// The painting tools: the paint colour, pencil or brush, and hover painting.
struct PaintState {
  CellColour PaintColor = colour::Black;
  bool ReplaceMode = false;  // false: pencil, true: brush (every cell of one colour)
  bool HoverPaint = false;   // every cell the pointer passes over takes the paint colour

  bool operator==(const PaintState&) const = default;
};

}  // namespace lumora
