#include "programming/wire_log.h"

namespace lumora {

namespace {

// Enough for a few seconds of USB exchanges; bounds the memory between flushes.
constexpr std::size_t kFlushAt = 256 * 1024;

std::string_view StatusName(FT_STATUS status) {
  switch (status) {
    case FT_OK:
      return "FT_OK";
    case FT_INVALID_HANDLE:
      return "FT_INVALID_HANDLE";
    case FT_DEVICE_NOT_FOUND:
      return "FT_DEVICE_NOT_FOUND";
    case FT_DEVICE_NOT_OPENED:
      return "FT_DEVICE_NOT_OPENED";
    case FT_IO_ERROR:
      return "FT_IO_ERROR";
  }
  return "FT_?";
}

}  // namespace

WireLog::WireLog(const std::filesystem::path& file)
    : file_(file, std::ios::binary | std::ios::trunc), ok_(file_.good()) {}

void WireLog::Call(std::string_view name, std::initializer_list<std::uint64_t> arguments,
                   FT_STATUS status, std::optional<std::uint64_t> result,
                   std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  pending_ += name;
  pending_ += '(';
  bool first = true;
  for (std::uint64_t argument : arguments) {
    if (!first) pending_ += ", ";
    pending_ += std::to_string(argument);
    first = false;
  }
  pending_ += ") = ";
  pending_ += StatusName(status);
  if (result) pending_ += " -> " + std::to_string(*result);
  if (!bytes.empty()) {
    pending_ += ':';
    for (std::uint8_t byte : bytes) {
      const char hex[3] = {' ', kDigits[byte >> 4], kDigits[byte & 0x0F]};
      pending_.append(hex, 3);
    }
  }
  pending_ += '\n';
  if (pending_.size() >= kFlushAt) Flush();
}

void WireLog::Flush() {
  if (pending_.empty()) return;
  file_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  file_.flush();
  ok_ = ok_ && file_.good();
  pending_.clear();
}

}  // namespace lumora
