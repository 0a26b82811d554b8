#include "cli/tube_picture.h"

#include "main_window/tube_layout.h"

namespace lumora::cli {

namespace {

// The window's geometry in its own pixels, from tube 1's corner.
constexpr int kCellPitch = CellRect(1).left - CellRect(0).left;  // 24
constexpr int kWindowWidth = TubeRect(1).width;
constexpr int kWindowHeight = TubeRect(kTubes).top + TubeRect(kTubes).height - TubeRect(1).top;

// A window coordinate at a scale.
constexpr int Scaled(int windowPixels, int scale) {
  return windowPixels * scale / kCellPitch;
}

// A rectangle in window pixels, from tube 1's corner, at a scale: [x0, x1) x [y0, y1).
struct Box {
  int x0, y0, x1, y1;
};

// A rectangle of the window, from tube 1's corner, at a scale.
Box WindowBox(int left, int top, int width, int height, int scale) {
  return {Scaled(left, scale), Scaled(top, scale), Scaled(left + width, scale),
          Scaled(top + height, scale)};
}

Box TubeBox(int tube, int scale) {
  const Rect t = TubeRect(tube);
  return WindowBox(t.left - TubeRect(1).left, t.top - TubeRect(1).top, t.width, t.height, scale);
}

// A cell panel; seen shrinks it to the part no later panel covers.
Box CellBox(int tube, int column, int scale, bool seen = false) {
  const Rect t = TubeRect(tube);
  const Rect c = CellRect(column);
  return WindowBox(t.left - TubeRect(1).left + c.left, t.top - TubeRect(1).top + c.top,
                   seen ? kCellPitch : c.width, seen ? kCellPitch : c.height, scale);
}

void Fill(Picture& picture, Box box, CellColour colour, bool outline) {
  for (int y = box.y0; y < box.y1 && y < picture.height; ++y) {
    for (int x = box.x0; x < box.x1 && x < picture.width; ++x) {
      const bool edge = x == box.x0 || x == box.x1 - 1 || y == box.y0 || y == box.y1 - 1;
      picture.pixels[static_cast<std::size_t>(y) * picture.width + x] =
          outline && edge ? kOutlineColour : colour;
    }
  }
}

// The scale whose picture has this size, if any.
std::optional<int> ScaleOf(int width, int height) {
  for (int scale = 1; Scaled(kWindowWidth, scale) <= width; ++scale) {
    if (Scaled(kWindowWidth, scale) == width && Scaled(kWindowHeight, scale) == height) {
      return scale;
    }
  }
  return std::nullopt;
}

}  // namespace

Picture DrawTubes(const Scene& scene, int scale) {
  Picture picture;
  picture.width = Scaled(kWindowWidth, scale);
  picture.height = Scaled(kWindowHeight, scale);
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, kTubeColour);
  const bool outline = scale >= kOutlineScale;
  // A later tube lies over an earlier one, and a cell over the cell on its left.
  for (int tube = 1; tube <= kTubes; ++tube) {
    Fill(picture, TubeBox(tube, scale), kTubeColour, outline);
    for (int column = 0; column < kCellsPerTube; ++column) {
      Fill(picture, CellBox(tube, column, scale), scene[CellIndexAt(tube, column)], outline);
    }
  }
  return picture;
}

std::optional<std::array<PixelPoint, kCellsPerScene>> TubePoints(int width, int height) {
  if (width > height) {
    // An animation drawn elsewhere at 16 x 8 has its tubes standing: read as the same
    // picture turned to lying tubes, one a row.
    auto points = TubePoints(height, width);
    if (points) {
      for (PixelPoint& point : *points) point = {point.y, point.x};
    }
    return points;
  }
  if (width < kCellsPerTube || height < kTubes) return std::nullopt;
  std::array<PixelPoint, kCellsPerScene> points{};
  const std::optional<int> scale = ScaleOf(width, height);
  for (int tube = 1; tube <= kTubes; ++tube) {
    for (int column = 0; column < kCellsPerTube; ++column) {
      PixelPoint& point = points[CellIndexAt(tube, column)];
      point.x = (2 * column + 1) * width / (2 * kCellsPerTube);
      point.y = (2 * (tube - 1) + 1) * height / (2 * kTubes);
      if (scale) {
        const Box seen = CellBox(tube, column, *scale, /*seen=*/true);
        point = {(seen.x0 + seen.x1) / 2, (seen.y0 + seen.y1) / 2};
      }
    }
  }
  return points;
}

}  // namespace lumora::cli
