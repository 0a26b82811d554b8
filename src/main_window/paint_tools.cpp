#include "main_window/paint_tools.h"

#include <algorithm>

namespace lumora {

void PaintTools::SelectPaintColour(int paletteIndex) {
  if (paletteIndex >= 0 && paletteIndex < static_cast<int>(kPalette.size())) {
    state_.PaintColor = kPalette[paletteIndex];
  }
}

void PaintTools::PaintCell(Scene& scene, int cell) {
  scene[cell] = state_.PaintColor;
  view_.ShowCell(cell, state_.PaintColor);
}

void PaintTools::CellMouseDown(Scene& scene, int cell, MouseButton button) {
  if (cell < 0 || cell >= kCellsPerScene) return;
  switch (button) {
    case MouseButton::Left:
      if (state_.ReplaceMode) {
        const CellColour clicked = scene[cell];  // a copy: replace rewrites it
        std::ranges::replace(scene, clicked, state_.PaintColor);
        view_.ShowScene(scene);
      }
      PaintCell(scene, cell);
      state_.HoverPaint = false;
      break;
    case MouseButton::Right:
      state_.HoverPaint = true;
      break;
    case MouseButton::Middle:
      break;
  }
}

void PaintTools::CellMouseMove(Scene& scene, int cell) {
  if (state_.HoverPaint && cell >= 0 && cell < kCellsPerScene) PaintCell(scene, cell);
}

std::optional<CellColour> PaintTools::TubeFrameColour(int tube) const {
  if (tube == 1) return colour::Red;
  if (tube >= 2 && tube <= 10) return state_.PaintColor;
  return std::nullopt;
}

}  // namespace lumora
