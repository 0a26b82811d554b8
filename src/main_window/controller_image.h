#pragma once

#include "common/program_tables.h"

namespace lumora {

// Image entries of the sections, in order.
inline constexpr int kImageProgramTable = 22;
inline constexpr int kImagePackedScenes = kImageProgramTable + kProgramTableSize;  // 134
inline constexpr int kImageTableFile = kImagePackedScenes + kPackedSceneBytes;     // 56454

// Two cells per byte: bits 6..4 blue, green, red of the even cell, bits 2..0 of the odd one;
// a channel is on exactly when its byte of the colour is 255.
void PackScenes(const ProgramStoreArray& store, PackedScenesArray& packed);

// Fills the tables and scenes sections of the image: the automatic table minus 1, the
// program table as stored, the packed scenes. The table-file section is not touched.
void BuildImageTables(const AutoTableArray& autoTable, const ProgramTableArray& programTable,
                      const PackedScenesArray& packed, ControllerImageArray& image);

}  // namespace lumora
