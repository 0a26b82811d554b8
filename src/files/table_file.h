#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/read_result.h"

namespace lumora {

// The table file, looked for in the working directory each time the image is built.
inline constexpr std::string_view kTableFileName = "str.tab";
// 24 values, then 512, placed one after the other in the controller image.
inline constexpr int kTableFileValues = 24 + 512;
using TableFileArray = std::array<std::int32_t, kTableFileValues>;

// Reads the first 536 numbers of a table file's text into out: Ok or Invalid. out is
// changed only on Ok.
ReadResult ParseTableFile(std::string_view text, TableFileArray& out);

// Reads the first 536 numbers of the table file at path into out: Ok, CannotOpen (missing or
// unreadable), NotAFile or Invalid. out is changed only on Ok.
ReadResult ReadTableFile(const std::string& path, TableFileArray& out);

}  // namespace lumora
