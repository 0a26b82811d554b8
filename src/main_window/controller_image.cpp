#include "main_window/controller_image.h"

#include <algorithm>

namespace lumora {

namespace {
std::uint8_t Channels(CellColour c) {
  const auto on = [c](int shift) { return ((c >> shift) & 0xFF) == 0xFF ? 1 : 0; };
  return static_cast<std::uint8_t>(on(16) << 2 | on(8) << 1 | on(0));
}
}  // namespace

void PackScenes(const ProgramStoreArray& store, PackedScenesArray& packed) {
  for (int j = 0; j < kPackedSceneBytes; ++j) {
    packed[j] = static_cast<std::uint8_t>(Channels(store[2 * j]) << 4 | Channels(store[2 * j + 1]));
  }
}

void BuildImageTables(const AutoTableArray& autoTable, const ProgramTableArray& programTable,
                      const PackedScenesArray& packed, ControllerImageArray& image) {
  // Wraps like the controller's byte arithmetic; odd values from a project cannot overflow.
  std::ranges::transform(autoTable, image.begin(), [](std::int32_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) - 1u);
  });
  std::ranges::copy(programTable, image.begin() + kImageProgramTable);
  std::ranges::copy(packed, image.begin() + kImagePackedScenes);
}

}  // namespace lumora
