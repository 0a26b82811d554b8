#pragma once

#include <cstdint>
#include <string>

#include "common/program_tables.h"

namespace lumora {

// The export line: sceneCount, 64 and the 112 values of the program table, each "%d, ",
// with no line break.
std::string FormatExportLine(std::int32_t sceneCount, const ProgramTableArray& programTable);

// Writes FormatExportLine(...) to path atomically; false when nothing was written.
bool SaveExportLine(const std::string& path, std::int32_t sceneCount,
                    const ProgramTableArray& programTable);

}  // namespace lumora
