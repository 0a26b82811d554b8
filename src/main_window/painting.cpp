#include "main_window/painting.h"

#include <algorithm>

#include "main_window/main_window_model.h"

namespace lumora {

void MainWindowModel::SelectPaintColour(int paletteIndex) {
  if (paletteIndex >= 0 && paletteIndex < static_cast<int>(kPalette.size())) {
    paint.PaintColor = kPalette[paletteIndex];
  }
}

void MainWindowModel::PaintCell(int cell) {
  store.WorkingScene[cell] = paint.PaintColor;
  view_.ShowCell(cell, paint.PaintColor);
}

void MainWindowModel::CellMouseDown(int cell, MouseButton button) {
  if (cell < 0 || cell >= kCellsPerScene) return;
  switch (button) {
    case MouseButton::Left:
      if (paint.ReplaceMode) {
        const CellColour clicked = store.WorkingScene[cell];  // a copy: replace rewrites it
        std::ranges::replace(store.WorkingScene, clicked, paint.PaintColor);
        RedrawGrid();
      }
      PaintCell(cell);
      paint.HoverPaint = false;
      break;
    case MouseButton::Right:
      paint.HoverPaint = true;
      break;
    case MouseButton::Middle:
      break;
  }
}

void MainWindowModel::CellMouseMove(int cell) {
  if (paint.HoverPaint && cell >= 0 && cell < kCellsPerScene) PaintCell(cell);
}

std::optional<CellColour> MainWindowModel::TubeFrameColour(int tube) const {
  if (tube == 1) return colour::Red;
  if (tube >= 2 && tube <= 10) return paint.PaintColor;
  return std::nullopt;
}

}  // namespace lumora
