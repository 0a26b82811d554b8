#include <gtest/gtest.h>

#include "model_fixture.h"

namespace lumora::testing {
namespace {

using PreviewTest = ModelFixture;

TEST_F(PreviewTest, NormalPlaysAndStopShowsSceneOne) {
  SetSequence({A, B}, 2);
  model.Play();
  EXPECT_TRUE(view.timerEnabled);
  const int counters[] = {2, 1, 2, 1};
  const CellColour shown[] = {A, B, A, B};
  for (int tick = 0; tick < 4; ++tick) {
    model.PreviewTick();
    EXPECT_EQ(Shown(), shown[tick]);
    EXPECT_EQ(view.currentLabel, counters[tick]);
  }
  model.RefreshDisplay();
  EXPECT_TRUE(view.playDown);
  model.PreviewTick();
  model.Stop();
  EXPECT_FALSE(view.timerEnabled);
  EXPECT_EQ(Shown(), A);
  EXPECT_EQ(view.currentLabel, 1);
  model.RefreshDisplay();
  EXPECT_FALSE(view.playDown);
}

// The window's one 100 ms timer: a frame only while the preview runs, then the refresh.
TEST_F(PreviewTest, TheBeatStepsAFrameOnlyWhileThePreviewRuns) {
  SetSequence({A, B}, 2);
  const CellColour before = Shown();
  const int label = view.currentLabel;
  model.Beat();
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(view.currentLabel, label);
  model.Play();
  const int counters[] = {2, 1, 2};
  const CellColour shown[] = {A, B, A};
  for (int beat = 0; beat < 3; ++beat) {
    model.Beat();
    EXPECT_EQ(Shown(), shown[beat]);
    EXPECT_EQ(view.currentLabel, counters[beat]);
    EXPECT_TRUE(view.playDown);  // refreshed in the same beat
  }
  model.Stop();
  model.Beat();
  model.Beat();
  EXPECT_EQ(Shown(), A);
  EXPECT_EQ(view.currentLabel, 1);
  EXPECT_FALSE(view.playDown);
}

TEST_F(PreviewTest, PlayStoresTheScreenOnlyWhenItIsAScene) {
  SetSequence({A, B}, 2);
  model.SelectPaintColour(1);
  model.CellMouseDown(0, MouseButton::Left);
  model.Play();  // stopped: the painting is kept
  EXPECT_EQ(Store().Slot(1)[0], colour::Red);
  model.PreviewTick();
  model.PreviewTick();
  model.Play();  // running: restarts without storing the frame
  EXPECT_EQ(Store().CurrentScene, 1);
  EXPECT_EQ(Store().Slot(0)[0], A);
  EXPECT_EQ(Store().Slot(1)[0], colour::Red);
  EXPECT_EQ(Store().Slot(1)[1], B);
}

TEST_F(PreviewTest, HaltedPreviewFrameIsNeverStoredBack) {
  SetSequence({A, B, C});
  model.Play();
  model.PreviewTick();
  model.PreviewTick();           // B on screen, position 3
  model.Editor().StopPreview();  // halted without rewinding the screen
  model.Editor().StoreBackBeforeHandOff();
  model.NextScene();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B, C}));
  EXPECT_EQ(Store().CurrentScene, 2);
  EXPECT_EQ(Shown(), B);
  model.Editor().StoreBackBeforeHandOff();  // a scene of the store is on screen again
  EXPECT_EQ(Store().Slot(1)[0], B);
}

TEST_F(PreviewTest, UnknownEffectModeLeavesTheGridStill) {
  SetSequence({A, B}, 1, 7);
  model.Play();
  model.PreviewTick();
  model.PreviewTick();
  EXPECT_EQ(Shown(), A);
  model.RefreshDisplay();
  EXPECT_EQ(view.checkedEffect, EffectNormal);  // no radio button for mode 7
}

TEST_F(PreviewTest, RefreshShowsTheModel) {
  SetSequence({A, B, C}, 2);
  model.SelectEffectMode(EffectWave1);
  model.DeleteScene();  // leaves the counters to the refresh
  model.RefreshDisplay();
  EXPECT_EQ(view.sceneLabel, 2);
  EXPECT_EQ(view.currentLabel, 2);
  EXPECT_EQ(view.checkedEffect, EffectWave1);
}

}  // namespace
}  // namespace lumora::testing
