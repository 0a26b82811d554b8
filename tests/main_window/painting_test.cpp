#include <gtest/gtest.h>

#include "model_fixture.h"

namespace lumora::testing {
namespace {

using PaintingTest = ModelFixture;

TEST_F(PaintingTest, PencilPaintsOnlyTheClickedCell) {
  model.SelectPaintColour(1);
  model.CellMouseDown(10, MouseButton::Left);
  Scene expected = Filled(colour::Black);
  expected[10] = colour::Red;
  EXPECT_EQ(Store().WorkingScene, expected);
  EXPECT_EQ(view.cells, expected);
  EXPECT_EQ(Store().Slot(0)[10], colour::Black);  // stored only when leaving the scene
}

TEST_F(PaintingTest, BrushRecoloursEveryCellOfTheClickedColour) {
  model.SelectPaintColour(2);
  model.SelectBrush();
  model.CellMouseDown(0, MouseButton::Left);
  EXPECT_EQ(view.cells, Filled(colour::Green));

  model.SelectPencil();
  model.SelectPaintColour(7);
  model.CellMouseDown(3, MouseButton::Left);
  model.SelectBrush();
  model.SelectPaintColour(4);
  model.CellMouseDown(3, MouseButton::Left);  // only the white cell becomes yellow
  Scene expected = Filled(colour::Green);
  expected[3] = colour::Yellow;
  EXPECT_EQ(view.cells, expected);
  EXPECT_EQ(Store().WorkingScene, expected);
}

TEST_F(PaintingTest, RightClickStartsHoverPaintingUntilLeftClick) {
  model.SelectPaintColour(3);
  model.CellMouseMove(1);
  EXPECT_EQ(view.cells[1], colour::Black);
  model.CellMouseDown(0, MouseButton::Right);
  EXPECT_EQ(view.cells[0], colour::Black);  // the right press itself paints nothing
  for (int cell = 8; cell < 16; ++cell) model.CellMouseMove(cell);
  for (int cell = 8; cell < 16; ++cell) EXPECT_EQ(Store().WorkingScene[cell], colour::Blue);
  model.CellMouseDown(20, MouseButton::Left);
  EXPECT_EQ(view.cells[20], colour::Blue);
  model.CellMouseMove(30);
  EXPECT_EQ(view.cells[30], colour::Black);
  model.CellMouseDown(31, MouseButton::Middle);
  EXPECT_EQ(view.cells[31], colour::Black);
}

TEST_F(PaintingTest, OddCellNumbersAndPaletteIndicesAreIgnored) {
  model.SelectPaintColour(1);
  model.SelectPaintColour(8);
  model.SelectPaintColour(-1);
  EXPECT_EQ(model.Editor().Paint().PaintColor, colour::Red);
  model.CellMouseDown(128, MouseButton::Left);
  model.CellMouseDown(-1, MouseButton::Right);
  model.CellMouseMove(500);
  EXPECT_EQ(Store().WorkingScene, Filled(colour::Black));
  EXPECT_FALSE(model.Editor().Paint().HoverPaint);
}

TEST_F(PaintingTest, TubeFramesTakeRedOrThePaintColour) {
  model.SelectPaintColour(2);
  EXPECT_EQ(model.TubeFrameColour(1), colour::Red);
  EXPECT_EQ(model.TubeFrameColour(2), colour::Green);
  EXPECT_EQ(model.TubeFrameColour(10), colour::Green);
  EXPECT_EQ(model.TubeFrameColour(11), std::nullopt);
  EXPECT_EQ(model.TubeFrameColour(16), std::nullopt);
}

}  // namespace
}  // namespace lumora::testing
