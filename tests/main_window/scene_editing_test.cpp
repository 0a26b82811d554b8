#include <gtest/gtest.h>

#include "model_fixture.h"

namespace lumora::testing {
namespace {

using SceneEditingTest = ModelFixture;
using Colours = std::vector<CellColour>;

TEST_F(SceneEditingTest, StartsWithOneBlackSceneAndNormalMode) {
  EXPECT_EQ(Store().SceneCount, 1);
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Store().EffectMode, EffectNormal);
  EXPECT_EQ(view.sceneLabel, 1);
  EXPECT_EQ(view.currentLabel, 1);
  EXPECT_EQ(view.cells, Filled(colour::Black));
}

TEST_F(SceneEditingTest, ArrowsWrapAroundAndKeepPainting) {
  SetSequence({A, B, C});
  model.PreviousScene();
  EXPECT_EQ(Store().CurrentScene, 3);
  EXPECT_EQ(Shown(), C);
  model.SelectPaintColour(2);
  model.CellMouseDown(5, MouseButton::Left);
  model.NextScene();
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Shown(), A);
  EXPECT_EQ(Store().Slot(2)[5], colour::Green);  // stored back when leaving
  model.PreviousScene();
  EXPECT_EQ(view.cells[5], colour::Green);
  EXPECT_EQ(view.currentLabel, 3);
}

TEST_F(SceneEditingTest, ArrowsOnOneSceneRewriteItWithTheScreen) {
  model.SelectPaintColour(1);
  model.CellMouseDown(0, MouseButton::Left);
  model.NextScene();
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Store().Slot(0)[0], colour::Red);
}

TEST_F(SceneEditingTest, AddAppendsCopyOfCurrentScene) {
  SetSequence({A, B});
  model.AddScene();
  EXPECT_EQ(Sequence(), (Colours{A, B, A}));
  EXPECT_EQ(Store().CurrentScene, 3);
  EXPECT_EQ(view.sceneLabel, 3);
  EXPECT_EQ(view.currentLabel, 3);
}

TEST_F(SceneEditingTest, AddAtNinetyNineOverwritesTheLastScene) {
  std::vector<CellColour> scenes(MaxScenes, colour::Black);
  scenes[4] = D;
  SetSequence(scenes, 5);
  model.AddScene();
  EXPECT_EQ(Store().SceneCount, MaxScenes);
  EXPECT_EQ(Store().CurrentScene, MaxScenes);
  EXPECT_EQ(Store().Slot(98)[0], D);
  EXPECT_EQ(view.currentLabel, 99);
}

struct DeleteCase {
  std::initializer_list<CellColour> before;
  int current;
  Colours after;
  int currentAfter;
  CellColour shown;
};

TEST_F(SceneEditingTest, DeleteClosesTheGap) {
  const DeleteCase cases[] = {
      {{A, B, C}, 2, {A, C}, 2, C},
      {{A, B, C}, 3, {A, B}, 2, B},
      {{A, B, C}, 1, {B, C}, 1, B},
  };
  for (const auto& c : cases) {
    SetSequence(c.before, c.current);
    model.DeleteScene();
    EXPECT_EQ(Sequence(), c.after);
    EXPECT_EQ(Store().CurrentScene, c.currentAfter);
    EXPECT_EQ(Shown(), c.shown);
  }
}

TEST_F(SceneEditingTest, DeleteDownToOneSceneResetsTheMode) {
  SetSequence({A, B, C}, 2);
  model.SelectEffectMode(EffectWave2);
  model.DeleteScene();
  EXPECT_EQ(Store().EffectMode, EffectWave2);
  model.DeleteScene();
  EXPECT_EQ(Sequence(), (Colours{A}));
  EXPECT_EQ(Shown(), A);
  EXPECT_EQ(Store().EffectMode, EffectNormal);
  // The only scene is never deleted: screen and slots stay as they were.
  model.SelectPaintColour(1);
  model.CellMouseDown(0, MouseButton::Left);
  model.DeleteScene();
  EXPECT_EQ(Store().SceneCount, 1);
  EXPECT_EQ(view.cells[0], colour::Red);
  EXPECT_EQ(Store().Slot(0)[0], A);
}

TEST_F(SceneEditingTest, CopyThenPasteInsertsAfterCurrent) {
  SetSequence({A, B});
  model.CopyScene();
  model.PasteScene();
  EXPECT_EQ(Sequence(), (Colours{A, A, B}));
  EXPECT_EQ(Store().CurrentScene, 2);
  EXPECT_EQ(view.currentLabel, 2);
  EXPECT_EQ(view.sceneLabel, 3);
}

TEST_F(SceneEditingTest, PasteLosesUnstoredPaintingAndStopsAtNinetyNine) {
  SetSequence({A, B});
  model.CopyScene();
  model.SelectPaintColour(1);
  model.CellMouseDown(0, MouseButton::Left);
  model.PasteScene();
  EXPECT_EQ(Store().Slot(0)[0], A);

  std::vector<CellColour> scenes(MaxScenes, colour::Black);
  std::ranges::copy(Sequence(), scenes.begin());  // A, A, B
  SetSequence(scenes, 3);
  const auto before = Store().SceneSlots;
  model.PasteScene();
  EXPECT_EQ(Store().SceneCount, MaxScenes);
  EXPECT_EQ(Store().CurrentScene, 3);
  EXPECT_EQ(Store().SceneSlots, before);
  EXPECT_EQ(view.sceneLabel, 99);
}

TEST_F(SceneEditingTest, WaveModesNeedTwoScenes) {
  model.SelectEffectMode(EffectWave1);
  EXPECT_EQ(Store().EffectMode, EffectNormal);
  SetSequence({A, B});
  model.SelectEffectMode(EffectWave1);
  EXPECT_EQ(Store().EffectMode, EffectWave1);
  model.SelectEffectMode(EffectWave2);
  EXPECT_EQ(Store().EffectMode, EffectWave2);
  model.SelectEffectMode(EffectNormal);
  EXPECT_EQ(Store().EffectMode, EffectNormal);
}

TEST_F(SceneEditingTest, CommandDuringPreviewStoresNoFrame) {
  SetSequence({A, B, C});
  model.Play();
  model.PreviewTick();  // A on screen, position 2
  model.PreviewTick();  // B on screen, position 3
  model.AddScene();
  EXPECT_FALSE(model.PreviewRunning());
  EXPECT_EQ(Sequence(), (Colours{A, B, C, A}));
  EXPECT_EQ(Store().CurrentScene, 4);
}

}  // namespace
}  // namespace lumora::testing
