#include "main_window/effect_steps.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

// Scenes whose cells carry their own index, so every cell can be traced.
Scene Traced(CellColour base) {
  Scene s;
  for (int c = 0; c < kCellsPerScene; ++c) s[c] = base + c;
  return s;
}

class EffectStepsTest : public ::testing::Test {
 protected:
  void Sequence(std::initializer_list<Scene> scenes) {
    int slot = 0;
    for (const Scene& s : scenes) std::ranges::copy(s, store.Slot(slot++).begin());
    store.SceneCount = slot;
    store.CurrentScene = 1;
    preview.RestartPending = true;  // as the preview's start leaves it
  }
  template <typename Step>
  void Run(Step step, int ticks) {
    for (int i = 0; i < ticks; ++i) step(store, preview);
  }

  SceneStore store;
  PreviewState preview;
  const Scene a = Traced(0x1000);
  const Scene b = Traced(0x2000);
};

TEST_F(EffectStepsTest, NormalAlternatesTwoScenes) {
  Sequence({a, b});
  const int expectedCounter[] = {2, 1, 2, 1};
  const Scene* expectedScene[] = {&a, &b, &a, &b};
  for (int tick = 0; tick < 4; ++tick) {
    preview.SequenceEnded = false;
    NormalStep(store, preview);
    EXPECT_EQ(store.WorkingScene, *expectedScene[tick]);
    EXPECT_EQ(store.CurrentScene, expectedCounter[tick]);
    EXPECT_EQ(preview.SequenceEnded, tick % 2 == 1);
  }
}

TEST_F(EffectStepsTest, NormalOnOneSceneEndsEveryTick) {
  Sequence({a});
  for (int tick = 0; tick < 3; ++tick) {
    preview.SequenceEnded = false;
    NormalStep(store, preview);
    EXPECT_TRUE(preview.SequenceEnded);
    EXPECT_EQ(store.CurrentScene, 1);
  }
}

// After n ticks of "fala1" on A, B the chain holds B's first n cells in reverse at its "in"
// end and A shifted by n behind them.
Scene Wave1Expected(const Scene& a, const Scene& b, int n) {
  Scene s;
  for (int i = 0; i < kCellsPerScene; ++i) s[i] = i < n ? b[n - 1 - i] : a[i - n];
  return s;
}

TEST_F(EffectStepsTest, Wave1FeedsOneCellPerTick) {
  Sequence({a, b});
  int done = 0;
  for (int ticks : {1, 16, 128}) {
    Run(Wave1Step, ticks - done);
    done = ticks;
    EXPECT_EQ(store.WorkingScene, Wave1Expected(a, b, ticks)) << ticks;
    EXPECT_EQ(preview.SequenceEnded, ticks == 128) << ticks;
  }
  EXPECT_EQ(store.CurrentScene, 2);
  // The next tick starts again from A.
  Wave1Step(store, preview);
  EXPECT_EQ(store.WorkingScene, Wave1Expected(a, b, 1));
  EXPECT_EQ(store.CurrentScene, 1);
}

TEST_F(EffectStepsTest, Wave2BringsTheNextSceneInPlaceInSixteenTicks) {
  Sequence({a, b});
  Wave2Step(store, preview);
  // A moved up one tube, B's tube 1 entered at tube 16 in its own left-to-right layout.
  for (int k = 0; k < kCellsPerTube; ++k) {
    EXPECT_EQ(store.WorkingScene[k], a[15 - k]);
    EXPECT_EQ(store.WorkingScene[127 - k], b[k]);
  }
  Run(Wave2Step, 14);
  EXPECT_FALSE(preview.SequenceEnded);
  Wave2Step(store, preview);
  EXPECT_EQ(store.WorkingScene, b);
  EXPECT_TRUE(preview.SequenceEnded);
  EXPECT_TRUE(preview.RestartPending);
  Wave2Step(store, preview);
  EXPECT_EQ(store.CurrentScene, 2);
  EXPECT_EQ(store.WorkingScene[0], a[15]);
}

TEST_F(EffectStepsTest, WavesNeverReadPastTheSequence) {
  // Left at the last scene by an edit during the preview: the source slot would be the
  // one after the last of 99, outside the slots.
  store.SceneCount = MaxScenes;
  store.CurrentScene = MaxScenes;
  preview.StreamPos = 5;
  Wave1Step(store, preview);
  EXPECT_TRUE(preview.RestartPending);
  EXPECT_TRUE(preview.SequenceEnded);

  store.CurrentScene = MaxScenes + 1;
  preview.RestartPending = false;
  preview.SequenceEnded = false;
  Wave2Step(store, preview);
  EXPECT_TRUE(preview.SequenceEnded);

  // A one-scene sequence loaded with a wave mode restarts on every tick.
  Sequence({a});
  for (int tick = 0; tick < 3; ++tick) {
    preview.SequenceEnded = false;
    Wave1Step(store, preview);
    EXPECT_TRUE(preview.SequenceEnded);
    Wave2Step(store, preview);
    EXPECT_TRUE(preview.SequenceEnded);
  }
}

}  // namespace
}  // namespace lumora
