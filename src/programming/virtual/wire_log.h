#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "programming/adapters/usb_adapter.h"
#include "programming/virtual/line_runs.h"
#include "programming/virtual/rotating_file.h"

namespace lumora {

// One line per adapter call, in order: name, arguments, result, and for writes and reads
// the bytes in hex, e.g. "FT_Write(1, 3) = FT_OK -> 3: 5C 21 9A". Repeats of a call or of a
// short cycle of calls (the USB programmer's idle exchanges) are written once, with a count
// line after them. Lines are kept in memory and appended to the file on Flush, or once a good
// amount has gathered. A file never grows past its cap (unless one line alone is longer):
// the full file becomes FILE.1, replacing the one before, and FILE starts again.
class WireLog {
 public:
  static constexpr std::uint64_t kDefaultCap = 16 * 1024 * 1024;

  // Starts the file empty and removes FILE.1 of an earlier run.
  explicit WireLog(const std::filesystem::path& file, std::uint64_t cap = kDefaultCap);

  // False once the file could not be opened, rotated or written.
  bool Ok() const { return file_.Ok(); }
  void Call(std::string_view name, std::initializer_list<std::uint64_t> arguments, FT_STATUS status,
            std::optional<std::uint64_t> result = std::nullopt,
            std::span<const std::uint8_t> bytes = {});
  // Ends a run of repeats with its count and writes out every line kept.
  void Flush();

 private:
  void WriteOut();

  RotatingFile file_;
  LineRuns runs_;
  std::string line_;
  std::string pending_;
};

}  // namespace lumora
