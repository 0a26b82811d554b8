#include "main_window/tube_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lumora {
namespace {

TEST(TubeLayoutTest, CellsFormOneSerpentineChain) {
  struct Case {
    int tube, column, cell, panel;
    std::string caption;
  };
  const Case cases[] = {
      {1, 0, 0, 25, "in"},      {1, 7, 7, 32, "out"},     {2, 0, 15, 48, "out"},
      {2, 7, 8, 41, "in"},      {2, 3, 12, 45, "2"},      {4, 0, 31, 105, "out"},
      {13, 3, 99, 92, "13"},    {16, 0, 127, 153, "out"}, {16, 7, 120, 160, "in"},
      {15, 7, 119, 104, "out"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CellIndexAt(c.tube, c.column), c.cell) << c.tube << "/" << c.column;
    EXPECT_EQ(CellPanelNumber(c.tube, c.column), c.panel) << c.tube << "/" << c.column;
    EXPECT_EQ(CellCaption(c.tube, c.column), c.caption) << c.tube << "/" << c.column;
  }
  std::set<int> cells, panels;
  for (int tube = 1; tube <= kTubes; ++tube) {
    for (int column = 0; column < kCellsPerTube; ++column) {
      cells.insert(CellIndexAt(tube, column));
      panels.insert(CellPanelNumber(tube, column));
    }
  }
  EXPECT_EQ(cells.size(), 128u);
  EXPECT_EQ(*cells.rbegin(), 127);
  EXPECT_EQ(panels.size(), 128u);
  EXPECT_EQ(*panels.begin(), 25);
  EXPECT_EQ(*panels.rbegin(), 160);
}

TEST(TubeLayoutTest, OnlyTheFirstTenTubesAndTubeThirteenMove) {
  for (int tube = 1; tube <= kTubes; ++tube) {
    EXPECT_EQ(TubeFrameClickable(tube), tube <= 10) << tube;
    EXPECT_EQ(TubeDraggable(tube), tube <= 10 || tube == 13) << tube;
  }
  TubeDrag drag;
  int dx = 0, dy = 0;
  EXPECT_FALSE(drag.Move(5, 5, dx, dy));
  drag.Press(3, 4);
  ASSERT_TRUE(drag.Move(10, 1, dx, dy));
  EXPECT_EQ(dx, 7);
  EXPECT_EQ(dy, -3);
  drag.Release();
  EXPECT_FALSE(drag.Move(10, 1, dx, dy));
}

TEST(TubeLayoutTest, EveryCellIndexLeadsBackToItsPlace) {
  for (int tube = 1; tube <= kTubes; ++tube) {
    for (int column = 0; column < kCellsPerTube; ++column) {
      const int cell = CellIndexAt(tube, column);
      EXPECT_EQ(CellTube(cell), tube) << cell;
      EXPECT_EQ(CellColumn(cell), column) << cell;
    }
  }
}

TEST(TubeLayoutTest, PlacesFollowTheStackingOfTubesAndCells) {
  std::array<Point, kTubes> origins{};
  for (int tube = 1; tube <= kTubes; ++tube)
    origins[tube - 1] = {TubeRect(tube).left, TubeRect(tube).top};
  struct Case {
    int x, y, tube, column;
  };
  const Case cases[] = {
      {72, 40, 1, -1},                     // the left frame strip
      {79, 52, 1, -1},                     // its last pixel
      {80, 52, 1, 0},                      // the first cell
      {104, 52, 1, 1},                     // the pixel shared by two cells belongs to the later one
      {103, 52, 1, 0},   {272, 52, 1, 7},  // the last cell's last pixel
      {273, 52, 1, -1},                    // the right frame strip
      {280, 52, 1, -1},  {281, 52, 0, -1},   // beside the tube
      {71, 52, 0, -1},   {100, 39, 0, -1},   // above the picture
      {100, 64, 2, 0},                       // the row shared by two tubes belongs to the later one
      {100, 63, 1, 0},   {100, 424, 16, 0},  // the last row of the picture
      {100, 425, 0, -1},
  };
  for (const Case& c : cases) {
    const TubePlace place = TubePlaceAt(origins, c.x, c.y);
    EXPECT_EQ(place.tube, c.tube) << c.x << "," << c.y;
    EXPECT_EQ(place.column, c.column) << c.x << "," << c.y;
  }

  // A tube moved over its neighbours lies over the earlier ones and under the later ones.
  origins[12] = {origins[12].x + 30, origins[12].y - 30};  // tube 13 over tube 12 and 11
  EXPECT_EQ(TubePlaceAt(origins, 72 + 40, 40 + 24 * 11 + 2).tube, 13);
  EXPECT_EQ(TubePlaceAt(origins, 72 + 40, 40 + 24 * 13 + 2).tube, 14);
  origins[0] = {origins[0].x, origins[0].y + 24};  // tube 1 under tube 2
  EXPECT_EQ(TubePlaceAt(origins, 100, 65).tube, 2);
}

}  // namespace
}  // namespace lumora
