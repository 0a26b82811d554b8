#pragma once

#include <array>
#include <cstdint>

#include "common/scene.h"

namespace lumora {

inline constexpr int kPrograms = 56;
inline constexpr int StoreCapacity = 880;  // scenes in the controller's memory
inline constexpr int kProgramTableSize = 2 * kPrograms;
inline constexpr int kProgramStoreCells = StoreCapacity * kCellsPerScene;  // 112640
inline constexpr int kAutoPrograms = 7;
inline constexpr int kAutoTableSize = 3 * kAutoPrograms + 1;  // 21 values and a spare 22nd
inline constexpr int kPackedSceneBytes = StoreCapacity * kCellsPerScene / 2;  // 56320
inline constexpr int kControllerImageSize = 224 * 256;                        // 57344
// The controller receives the image's first 223 pages of 256 entries.
inline constexpr int kPageSize = 256;
inline constexpr int kTransferPackets = 223;
inline constexpr int kTransferBytes = kTransferPackets * kPageSize;  // 57088
static_assert(kTransferBytes <= kControllerImageSize);

// Program k (1..56): scene count at 2(k-1), effect mode at 2(k-1)+1.
using ProgramTableArray = std::array<std::int32_t, kProgramTableSize>;
// 880 scenes of 128 cell colours, scene-major.
using ProgramStoreArray = std::array<CellColour, kProgramStoreCells>;
// Automatic program k (1..7): start, end, loop count at 3(k-1); then the 22nd value.
using AutoTableArray = std::array<std::int32_t, kAutoTableSize>;
using PackedScenesArray = std::array<std::uint8_t, kPackedSceneBytes>;
// Only the low byte of each entry is sent to the controller.
using ControllerImageArray = std::array<std::int32_t, kControllerImageSize>;
using SentImageArray = std::array<std::uint8_t, kTransferBytes>;

// The bytes the controller receives of image.
inline SentImageArray SentImage(const ControllerImageArray& image) {
  SentImageArray sent{};
  for (int i = 0; i < kTransferBytes; ++i) sent[i] = static_cast<std::uint8_t>(image[i] & 0xFF);
  return sent;
}

}  // namespace lumora
