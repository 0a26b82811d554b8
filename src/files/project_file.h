#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/program_tables.h"
#include "files/read_result.h"

namespace lumora {

// The number of AutoTable values a project file holds; the 22nd is not part of a project.
inline constexpr int kProjectAutoValues = kAutoTableSize - 1;

// A controller configuration as a project file (".prj") holds it. About 450 KB: allocate it
// on the heap, read into it and commit it only on ReadResult::Ok; after a failed read it may
// hold part of the file.
struct ProjectFileData {
  ProgramTableArray ProgramTable{};
  ProgramStoreArray ProgramStore{};
  std::array<std::int32_t, kProjectAutoValues> AutoValues{};  // the first 21 AutoTable values
};

// The bytes of a project file: 112640 twice, the program table, the program store and the
// first 21 values of the automatic table, each "%d ".
std::string FormatProjectFile(const ProgramTableArray& programTable,
                              const ProgramStoreArray& programStore,
                              const AutoTableArray& autoTable);

// Writes FormatProjectFile(...) to path atomically; false when nothing was written.
bool SaveProjectFile(const std::string& path, const ProgramTableArray& programTable,
                     const ProgramStoreArray& programStore, const AutoTableArray& autoTable);

// Reads a project file's text into out: Ok or Invalid.
ReadResult ParseProjectFile(std::string_view text, ProjectFileData& out);

// Reads the project file at path into out: Ok, CannotOpen, NotAFile or Invalid.
ReadResult ReadProjectFile(const std::string& path, ProjectFileData& out);

}  // namespace lumora
