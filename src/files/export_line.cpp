#include "files/export_line.h"

#include "files/atomic_save.h"
#include "files/controller_listing.h"
#include "files/text_builder.h"

namespace lumora {

std::string FormatExportLine(std::int32_t sceneCount, const ProgramTableArray& programTable) {
  TextBuilder text((2 + programTable.size()) * (kMaxNumberChars + 2));
  text.Number(sceneCount, ", ");
  text.Number(kPackedSceneSize, ", ");
  text.Numbers(programTable, ", ");
  return text.Take();
}

bool SaveExportLine(const std::string& path, std::int32_t sceneCount,
                    const ProgramTableArray& programTable) {
  return SaveFileAtomically(path, FormatExportLine(sceneCount, programTable));
}

}  // namespace lumora
