#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/scene.h"
#include "files/read_result.h"

namespace lumora {

// A sequence as a sequence file (".sqx") holds it. Read into a scratch copy and commit it to
// the editor only on ReadResult::Ok; after a failed read it may hold part of the file.
struct SequenceFileData {
  std::int32_t SceneCount = 1;                                      // 1..99 after a successful read
  std::int32_t EffectMode = 1;                                      // as the file gave it
  std::array<CellColour, MaxScenes * kCellsPerScene> SceneSlots{};  // first SceneCount scenes
};

// The bytes of a sequence file: SceneCount, 128, EffectMode, 128, then the first
// sceneCount x 128 cell colours of sceneSlots, each "%d ". Empty when sceneCount is outside
// 1..99 or sceneSlots holds fewer scenes.
std::string FormatSequenceFile(std::int32_t sceneCount, std::int32_t effectMode,
                               std::span<const CellColour> sceneSlots);

// Writes FormatSequenceFile(...) to path atomically; false when nothing was written.
bool SaveSequenceFile(const std::string& path, std::int32_t sceneCount, std::int32_t effectMode,
                      std::span<const CellColour> sceneSlots);

// Reads a sequence file's text into out: Ok or Invalid.
ReadResult ParseSequenceFile(std::string_view text, SequenceFileData& out);

// Reads the sequence file at path into out: Ok, CannotOpen, NotAFile or Invalid.
ReadResult ReadSequenceFile(const std::string& path, SequenceFileData& out);

}  // namespace lumora
