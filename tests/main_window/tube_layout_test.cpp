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

}  // namespace
}  // namespace lumora
