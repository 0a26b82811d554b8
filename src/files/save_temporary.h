#pragma once

#include <filesystem>

namespace lumora {

// The folder that holds target's name.
std::filesystem::path FolderOf(const std::filesystem::path& target);

// A name beside target for a temporary of its save by process, ".NAME.tmpPROCESS_N", that no
// other save of this process uses at the same time.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned long process);

// The process that named entry as a temporary of a save of target, or 0 when entry is no such
// temporary.
unsigned long MakerOf(const std::filesystem::path& entry, const std::filesystem::path& target);

}  // namespace lumora
