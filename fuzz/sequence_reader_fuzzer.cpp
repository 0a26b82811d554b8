// Feeds arbitrary bytes to the sequence file reader: it must never crash or read past its
// arrays, and whatever it accepts must write back to a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "files/sequence_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = std::make_unique<lumora::SequenceFileData>();
  if (lumora::ParseSequenceFile(text, *first) != lumora::ReadResult::Ok) return 0;
  if (first->SceneCount < 1 || first->SceneCount > lumora::MaxScenes) std::abort();
  const std::size_t cells = static_cast<std::size_t>(first->SceneCount) * lumora::kCellsPerScene;
  const std::string written = lumora::FormatSequenceFile(first->SceneCount, first->EffectMode,
                                                         std::span(first->SceneSlots).first(cells));
  auto second = std::make_unique<lumora::SequenceFileData>();
  if (lumora::ParseSequenceFile(written, *second) != lumora::ReadResult::Ok) std::abort();
  if (second->SceneCount != first->SceneCount || second->EffectMode != first->EffectMode ||
      !std::equal(first->SceneSlots.begin(), first->SceneSlots.begin() + cells,
                  second->SceneSlots.begin())) {
    std::abort();
  }
  return 0;
}
