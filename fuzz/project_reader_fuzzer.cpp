// Feeds arbitrary bytes to the project file reader: it must never crash, and what it accepts
// must keep the program memory within its 880 scenes and write back to a file that reads
// the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "files/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = std::make_unique<lumora::ProjectFileData>();
  if (lumora::ParseProjectFile(text, *first) != lumora::ReadResult::Ok) return 0;
  int used = 0;
  for (int k = 0; k < lumora::kPrograms; ++k) {
    const int count = first->ProgramTable[2 * k];
    if (count < 0 || count > lumora::MaxScenes) std::abort();
    used += count;
  }
  if (used > lumora::StoreCapacity) std::abort();
  lumora::AutoTableArray autoTable{};
  std::ranges::copy(first->AutoValues, autoTable.begin());
  const std::string written =
      lumora::FormatProjectFile(first->ProgramTable, first->ProgramStore, autoTable);
  auto second = std::make_unique<lumora::ProjectFileData>();
  if (lumora::ParseProjectFile(written, *second) != lumora::ReadResult::Ok) std::abort();
  if (second->ProgramTable != first->ProgramTable || second->ProgramStore != first->ProgramStore ||
      second->AutoValues != first->AutoValues) {
    std::abort();
  }
  return 0;
}
