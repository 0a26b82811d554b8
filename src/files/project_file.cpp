#include "files/project_file.h"

#include <span>

#include "files/atomic_save.h"
#include "files/number_scanner.h"
#include "files/text_builder.h"

namespace lumora {
namespace {

// Written twice at the head of the file; the second is the file's check value.
constexpr std::int32_t kStoreField = kProgramStoreCells;
constexpr std::size_t kProjectNumbers =
    2 + kProgramTableSize + kProgramStoreCells + kProjectAutoValues;

// Scene counts the program slots can hold: each at most a sequence, all within the store.
bool SceneCountsFit(const ProgramTableArray& programTable) {
  int total = 0;
  for (int program = 0; program < kPrograms; ++program) {
    const std::int32_t count = programTable[2 * program];
    if (count < 0 || count > MaxScenes) return false;
    total += count;
  }
  return total <= StoreCapacity;
}

ReadResult ReadProject(NumberScanner& in, ProjectFileData& out) {
  std::int32_t head[2] = {};
  if (!in.Next(head) || head[1] != kStoreField) return ReadResult::Invalid;
  if (!in.Next(out.ProgramTable) || !SceneCountsFit(out.ProgramTable) ||
      !in.Next(out.ProgramStore) || !in.Next(out.AutoValues)) {
    return ReadResult::Invalid;
  }
  return ReadResult::Ok;
}

}  // namespace

std::string FormatProjectFile(const ProgramTableArray& programTable,
                              const ProgramStoreArray& programStore,
                              const AutoTableArray& autoTable) {
  TextBuilder text(kProjectNumbers * (kMaxNumberChars + 1));
  text.Number(kStoreField, " ");
  text.Number(kStoreField, " ");
  text.Numbers(programTable, " ");
  text.Numbers(programStore, " ");
  text.Numbers(std::span(autoTable).first<kProjectAutoValues>(), " ");
  return text.Take();
}

bool SaveProjectFile(const std::string& path, const ProgramTableArray& programTable,
                     const ProgramStoreArray& programStore, const AutoTableArray& autoTable) {
  return SaveFileAtomically(path, FormatProjectFile(programTable, programStore, autoTable));
}

ReadResult ParseProjectFile(std::string_view text, ProjectFileData& out) {
  return ScanText(text, out, ReadProject);
}

ReadResult ReadProjectFile(const std::string& path, ProjectFileData& out) {
  return ScanFile(path, out, ReadProject);
}

}  // namespace lumora
