#include "main_window/tube_layout.h"

#include <array>

namespace lumora {

int CellPanelNumber(int tube, int column) {
  // Panel numbers of the leftmost cell of each tube; tube 2's panels count down.
  static constexpr std::array<int, kTubes> kFirst = {25, 48,  49, 105, 57, 113, 65, 121,
                                                     73, 129, 81, 137, 89, 145, 97, 153};
  const int first = kFirst[tube - 1];
  return tube == 2 ? first - column : first + column;
}

const char* CellCaption(int tube, int column) {
  static constexpr std::array<const char*, kTubes> kNumbers = {
      "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};
  const bool odd = tube % 2 == 1;
  if (column == 0) return odd ? "in" : "out";
  if (column == kCellsPerTube - 1) return odd ? "out" : "in";
  if (column == 3) return kNumbers[tube - 1];
  return "";
}

TubePlace TubePlaceAt(const std::array<Point, kTubes>& origins, int x, int y) {
  const auto inside = [](Rect r, int px, int py) {
    return px >= r.left && px < r.left + r.width && py >= r.top && py < r.top + r.height;
  };
  for (int tube = kTubes; tube >= 1; --tube) {
    const Point origin = origins[tube - 1];
    const Rect size = TubeRect(tube);
    if (!inside({origin.x, origin.y, size.width, size.height}, x, y)) continue;
    for (int column = kCellsPerTube - 1; column >= 0; --column) {
      if (inside(CellRect(column), x - origin.x, y - origin.y)) return {tube, column};
    }
    return {tube, -1};
  }
  return {};
}

}  // namespace lumora
