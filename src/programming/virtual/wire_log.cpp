#include "programming/virtual/wire_log.h"

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

// The whole lines at the start of text that fit in room bytes.
std::size_t WholeLinesWithin(std::string_view text, std::uint64_t room) {
  if (text.size() <= room) return text.size();
  const std::size_t lastNewline = text.substr(0, static_cast<std::size_t>(room)).rfind('\n');
  return lastNewline == std::string_view::npos ? 0 : lastNewline + 1;
}

}  // namespace

WireLog::WireLog(const std::filesystem::path& file, std::uint64_t cap) : file_(file, cap) {}

void WireLog::Call(std::string_view name, std::initializer_list<std::uint64_t> arguments,
                   FT_STATUS status, std::optional<std::uint64_t> result,
                   std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  line_.assign(name);
  line_ += '(';
  bool first = true;
  for (std::uint64_t argument : arguments) {
    if (!first) line_ += ", ";
    line_ += std::to_string(argument);
    first = false;
  }
  line_ += ") = ";
  line_ += StatusName(status);
  if (result) line_ += " -> " + std::to_string(*result);
  if (!bytes.empty()) {
    line_ += ':';
    for (std::uint8_t byte : bytes) {
      const char hex[3] = {' ', kDigits[byte >> 4], kDigits[byte & 0x0F]};
      line_.append(hex, 3);
    }
  }
  runs_.Add(line_, pending_);
  if (pending_.size() >= kFlushAt) WriteOut();
}

void WireLog::Flush() {
  runs_.End(pending_);
  WriteOut();
}

void WireLog::WriteOut() {
  std::string_view rest(pending_);
  while (!rest.empty() && file_.Ok()) {
    std::size_t take = WholeLinesWithin(rest, file_.Room());
    if (take == 0 && file_.Size() > 0) {
      file_.Rotate();
      continue;
    }
    if (take == 0) {  // one line longer than the cap gets a file of its own
      const std::size_t newline = rest.find('\n');
      take = newline == std::string_view::npos ? rest.size() : newline + 1;
    }
    file_.Write(rest.substr(0, take));
    rest.remove_prefix(take);
  }
  file_.Flush();
  pending_.clear();
}

}  // namespace lumora
