#include "files/sequence_file.h"

#include "files/atomic_save.h"
#include "files/number_scanner.h"
#include "files/text_builder.h"

namespace lumora {
namespace {

// Written as the second and fourth number; the fourth is the file's check value.
constexpr std::int32_t kCellsField = kCellsPerScene;
constexpr int kHeaderNumbers = 4;

ReadResult ReadSequence(NumberScanner& in, SequenceFileData& out) {
  std::int32_t header[kHeaderNumbers] = {};
  if (!in.Next(header)) return ReadResult::Invalid;
  const auto [sceneCount, ignored, effectMode, check] = header;
  if (check != kCellsField || sceneCount < 1 || sceneCount > MaxScenes) return ReadResult::Invalid;
  if (!in.Next(std::span(out.SceneSlots).first(sceneCount * kCellsPerScene))) {
    return ReadResult::Invalid;
  }
  out.SceneCount = sceneCount;
  out.EffectMode = effectMode;
  return ReadResult::Ok;
}

}  // namespace

std::string FormatSequenceFile(std::int32_t sceneCount, std::int32_t effectMode,
                               std::span<const CellColour> sceneSlots) {
  if (sceneCount < 1 || sceneCount > MaxScenes ||
      sceneSlots.size() < static_cast<std::size_t>(sceneCount) * kCellsPerScene) {
    return {};
  }
  const auto cells = sceneSlots.first(static_cast<std::size_t>(sceneCount) * kCellsPerScene);
  TextBuilder text((kHeaderNumbers + cells.size()) * (kMaxNumberChars + 1));
  for (std::int32_t value : {sceneCount, kCellsField, effectMode, kCellsField}) {
    text.Number(value, " ");
  }
  text.Numbers(cells, " ");
  return text.Take();
}

bool SaveSequenceFile(const std::string& path, std::int32_t sceneCount, std::int32_t effectMode,
                      std::span<const CellColour> sceneSlots) {
  const std::string bytes = FormatSequenceFile(sceneCount, effectMode, sceneSlots);
  return !bytes.empty() && SaveFileAtomically(path, bytes);
}

ReadResult ParseSequenceFile(std::string_view text, SequenceFileData& out) {
  return ScanText(text, out, ReadSequence);
}

ReadResult ReadSequenceFile(const std::string& path, SequenceFileData& out) {
  return ScanFile(path, out, ReadSequence);
}

}  // namespace lumora
