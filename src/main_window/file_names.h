#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/dialogs.h"

namespace lumora {

// What the program reads of a file's name alone. Paths are UTF-8, their parts parted by '/' or,
// on Windows, '\'.

// Sequence for a name ending ".sqx", Project for ".prj", in any case ("POKAZ.PRJ"); nothing
// for any other name.
std::optional<FileKind> FileKindOfName(std::string_view path);

// Whether the path starts at a root: "/", a drive ("C:/", "C:\") or a share ("//host").
bool IsAbsolutePath(std::string_view path);

// The folder that holds the file at an absolute path: "/a" of "/a/b.sqx", "/" of "/b.sqx",
// "C:/" of "C:/b.sqx"; empty for a path with no folder in it.
std::string FolderOf(std::string_view path);

}  // namespace lumora
