#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumora {

// The program keeps paths as UTF-8 text on every platform, while std::filesystem reads and
// writes a plain string in the system's narrow encoding, which on Windows is not UTF-8.

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace lumora
