#pragma once

#include <array>

#include "common/scene.h"

namespace lumora {

// Geometry of the tube picture: tube n (1..16) is a bar of eight cell panels; odd tubes
// run from "in" on the left, even tubes from "in" on the right, so the 128 cells form one
// serpentine chain.
struct Rect {
  int left, top, width, height;
};

inline constexpr Rect TubeRect(int tube) {
  return {72, 40 + 24 * (tube - 1), 209, 25};
}
// Cell panel at column k (0..7 from the left), relative to its tube.
inline constexpr Rect CellRect(int column) {
  return {8 + 24 * column, 0, 25, 25};
}

// Cell index (the panel's Tag) of the cell at column k (0..7 from the left) of a tube.
inline constexpr int CellIndexAt(int tube, int column) {
  const int position = tube % 2 == 1 ? column : kCellsPerTube - 1 - column;
  return kCellsPerTube * (tube - 1) + position;
}

// The tube (1..16) and the column (0..7 from the left) of a cell index.
inline constexpr int CellTube(int cell) {
  return cell / kCellsPerTube + 1;
}
inline constexpr int CellColumn(int cell) {
  const int position = cell % kCellsPerTube;
  return CellTube(cell) % 2 == 1 ? position : kCellsPerTube - 1 - position;
}

// Number of the cell panel (as in "Panel25") at that place of the picture.
int CellPanelNumber(int tube, int column);

// Caption of the cell panel at that place: "in", "out", the tube number on the fourth cell
// from the left, or nothing.
const char* CellCaption(int tube, int column);

inline constexpr bool TubeFrameClickable(int tube) {
  return tube >= 1 && tube <= 10;
}
inline constexpr bool TubeDraggable(int tube) {
  return TubeFrameClickable(tube) || tube == 13;
}

struct Point {
  int x, y;
};

// What lies at a point of the picture: tube 0 is none, column -1 the tube's frame.
struct TubePlace {
  int tube = 0;
  int column = -1;
};

// The place at (x, y) with tube n's top-left corner at origins[n - 1]. A later tube lies over
// an earlier one, and a cell's last pixel column lies under the next cell.
TubePlace TubePlaceAt(const std::array<Point, kTubes>& origins, int x, int y);

// Dragging a tube bar: positions are in the dragged tube panel's own coordinates.
struct TubeDrag {
  bool active = false;
  int grabX = 0;
  int grabY = 0;

  void Press(int x, int y) {
    active = true;
    grabX = x;
    grabY = y;
  }
  // How far the tube moves for a pointer move to (x, y); nothing while not dragging.
  bool Move(int x, int y, int& dx, int& dy) const {
    if (!active) return false;
    dx = x - grabX;
    dy = y - grabY;
    return true;
  }
  void Release() { active = false; }
};

}  // namespace lumora
