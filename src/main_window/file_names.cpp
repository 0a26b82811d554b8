#include "main_window/file_names.h"

#include <algorithm>
#include <cctype>

namespace lumora {

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

bool EndsWithInAnyCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                    [](char lower, char c) {
                      return std::tolower(static_cast<unsigned char>(c)) == lower;
                    });
}

// "C:" before a separator.
bool StartsWithDrive(std::string_view path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         IsSeparator(path[2]);
}

}  // namespace

std::optional<FileKind> FileKindOfName(std::string_view path) {
  if (EndsWithInAnyCase(path, ".sqx")) return FileKind::Sequence;
  if (EndsWithInAnyCase(path, ".prj")) return FileKind::Project;
  return std::nullopt;
}

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && IsSeparator(path[0])) || StartsWithDrive(path);
}

std::string FolderOf(std::string_view path) {
  const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  if (last == path.rend()) return {};
  const auto length = static_cast<std::size_t>(path.rend() - last - 1);
  // The root keeps its separator: "/" and "C:/" are folders, "" and "C:" are not.
  const bool root = length == 0 || (length == 2 && StartsWithDrive(path));
  return std::string(path.substr(0, root ? length + 1 : length));
}

}  // namespace lumora
