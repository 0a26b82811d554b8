#pragma once

#include <optional>

#include "main_window/main_window_view.h"
#include "main_window/paint_state.h"

namespace lumora {

// The painting tools on the scene on screen: the paint colour, pencil or brush, and hover
// painting started by a right click.
class PaintTools {
 public:
  explicit PaintTools(MainWindowView& view) : view_(view) {}

  void SelectPaintColour(int paletteIndex);  // 0..7, top to bottom
  void SelectPencil() { state_.ReplaceMode = false; }
  void SelectBrush() { state_.ReplaceMode = true; }
  void CellMouseDown(Scene& scene, int cell, MouseButton button);
  void CellMouseMove(Scene& scene, int cell);
  // Colour a click on a tube's frame gives it, or nothing for tubes without the click.
  std::optional<CellColour> TubeFrameColour(int tube) const;

  const PaintState& State() const { return state_; }
  void Restore(const PaintState& state) { state_ = state; }

 private:
  void PaintCell(Scene& scene, int cell);

  MainWindowView& view_;
  PaintState state_;
};

}  // namespace lumora
