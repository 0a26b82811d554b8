#pragma once

#include <array>
#include <optional>
#include <vector>

#include "common/scene.h"

namespace lumora::cli {

// A picture as rows of colours in the cell colour layout 0x00BBGGRR.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<CellColour> pixels;  // row by row from the top

  CellColour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The colours of the picture that are not cells: the tube's ends and the outlines.
inline constexpr CellColour kTubeColour = 0x00F0F0F0;
inline constexpr CellColour kOutlineColour = 0x00C8C8C8;
// From this scale on the tubes and cells get an outline.
inline constexpr int kOutlineScale = 8;

// The tubes of a scene as the main window lays them, each of the window's 24 pixels of
// cell pitch drawn as scale pixels: tube 1 at the top, every cell in its tube's row at its
// column. At scale 1 that is one pixel a cell, 8 wide and 16 high; at scale 24 the window's
// own picture.
Picture DrawTubes(const Scene& scene, int scale);

// A pixel of a picture, from its top left corner.
struct PixelPoint {
  int x = 0;
  int y = 0;
};

// Where the scene a picture of width x height shows is read, a pixel for each cell index: a
// picture of DrawTubes's size at some scale is read at its cells' centres; any other picture
// at least 8 x 16 is taken as 8 columns by 16 rows of equal blocks, each read at its centre.
// A picture wider than high shows the tubes standing, at least 16 x 8: tube 1 the left
// column, each tube's cells from the top as the window's from the left. Nothing for a smaller
// picture.
std::optional<std::array<PixelPoint, kCellsPerScene>> TubePoints(int width, int height);

}  // namespace lumora::cli
