#include "main_window/files_to_open.h"

#include "main_window/file_names.h"

namespace lumora {

FilesToOpen SortFilesToOpen(const std::vector<std::string>& paths) {
  FilesToOpen files;
  for (const std::string& path : paths) {
    const auto kind = FileKindOfName(path);
    if (!kind) return {{}, {}, FilesToOpen::Refusal::NotSequenceOrProject, path};
    std::string& place = *kind == FileKind::Project ? files.project : files.sequence;
    if (!place.empty()) return {{}, {}, FilesToOpen::Refusal::TwoOfAKind, path};
    place = path;
  }
  return files;
}

}  // namespace lumora
