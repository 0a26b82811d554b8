#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "programming/usb_adapter.h"

namespace lumora {

// One line per adapter call, in order: name, arguments, result, and for writes and reads
// the bytes in hex, e.g. "FT_Write(1, 3) = FT_OK -> 3: 5C 21 9A". Lines are kept in memory
// and appended to the file on Flush, or once a good amount has gathered.
class WireLog {
 public:
  // Starts the file empty.
  explicit WireLog(const std::filesystem::path& file);

  // False once the file could not be opened or written.
  bool Ok() const { return ok_; }
  void Call(std::string_view name, std::initializer_list<std::uint64_t> arguments, FT_STATUS status,
            std::optional<std::uint64_t> result = std::nullopt,
            std::span<const std::uint8_t> bytes = {});
  void Flush();

 private:
  std::ofstream file_;
  std::string pending_;
  bool ok_;
};

}  // namespace lumora
