#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "main_window/scene_store.h"

namespace lumora {

inline constexpr int EffectNormal = 1;
inline constexpr int EffectWave1 = 2;  // "fala1": cells enter one by one along the chain
inline constexpr int EffectWave2 = 3;  // "fala2": tubes scroll in from tube 16
// The modes' names, as the window's radio buttons and the command line show them, at
// mode - EffectNormal.
inline constexpr std::array<std::string_view, 3> kEffectModeNames = {"normal", "fala1", "fala2"};

// Position of the preview inside the sequence, shared by the three frame steps.
struct PreviewState {
  std::int32_t StreamPos = 0;  // next source cell the wave steps feed in, 0..128
  std::array<CellColour, kCellsPerTube> TubeBuffer{};
  bool RestartPending = false;  // the next wave step begins again at scene 1
  bool SequenceEnded = false;   // the sequence has been played to its end
  bool FeedReversed = false;    // order of the next "fala2" feed

  bool operator==(const PreviewState&) const = default;
};

// Each step advances the preview by one frame, writing WorkingScene and CurrentScene.
// The caller redraws the grid afterwards.
void NormalStep(SceneStore& store, PreviewState& preview);
void Wave1Step(SceneStore& store, PreviewState& preview);
void Wave2Step(SceneStore& store, PreviewState& preview);

}  // namespace lumora
