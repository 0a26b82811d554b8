#pragma once

#include <string>

#include "common/program_tables.h"

namespace lumora {

// The bytes of one scene in packed form, two cells to a byte: one scene line of a listing.
inline constexpr int kPackedSceneSize = kCellsPerScene / 2;

// Assembler listings of the controller's tables for its firmware: lines of ".db " directives,
// each ending in a blank and CR LF. The scene lines take PackedScenes already packed.

// "save all": the auto line (the 22 AutoTable values, each minus 1), the program line and
// the 880 scene lines of 64 bytes.
std::string FormatFullListing(const AutoTableArray& autoTable,
                              const ProgramTableArray& programTable,
                              const PackedScenesArray& packedScenes);
// "save tab auto": the auto line alone, with the AutoTable values as stored.
std::string FormatAutoListing(const AutoTableArray& autoTable);
// "save tab prg": the program line alone, ending with its last digit (no blank, no CR LF).
std::string FormatProgramListing(const ProgramTableArray& programTable);
// "save tab sc_prg": the 880 scene lines alone.
std::string FormatSceneListing(const PackedScenesArray& packedScenes);

// Writes FormatFullListing(...) to path atomically; false when nothing was written.
bool SaveFullListing(const std::string& path, const AutoTableArray& autoTable,
                     const ProgramTableArray& programTable, const PackedScenesArray& packedScenes);
// Writes FormatAutoListing(...) to path atomically; false when nothing was written.
bool SaveAutoListing(const std::string& path, const AutoTableArray& autoTable);
// Writes FormatProgramListing(...) to path atomically; false when nothing was written.
bool SaveProgramListing(const std::string& path, const ProgramTableArray& programTable);
// Writes FormatSceneListing(...) to path atomically; false when nothing was written.
bool SaveSceneListing(const std::string& path, const PackedScenesArray& packedScenes);

}  // namespace lumora
