#include "files/number_scanner.h"

namespace lumora {
namespace {

// Large enough that a whole project file takes a handful of reads.
constexpr std::size_t kChunkSize = 64 * 1024;

// White space as the C locale's isspace sees it.
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

NumberScanner NumberScanner::OverText(std::string_view text) {
  return NumberScanner(text.data(), text.data() + text.size());
}

NumberScanner NumberScanner::OverFile(const std::string& path) {
  return NumberScanner(path);
}

NumberScanner::NumberScanner(const char* begin, const char* end) : pos_(begin), end_(end) {}

NumberScanner::NumberScanner(const std::string& path) : file_(std::make_unique<InputFile>(path)) {
  opening_ = file_->Opening();
  if (opening_ == ReadResult::Ok) {
    chunk_ = std::make_unique_for_overwrite<char[]>(kChunkSize);
  } else {
    file_.reset();
  }
}

NumberScanner::~NumberScanner() = default;

bool NumberScanner::Refill() {
  if (!file_ || failed_) return false;
  const long got = file_->Read(chunk_.get(), kChunkSize);
  if (got <= 0) {
    // End of file, or a read error that ends the scan as an unreadable number would.
    failed_ = got < 0;
    file_.reset();
    return false;
  }
  pos_ = chunk_.get();
  end_ = pos_ + got;
  return true;
}

bool NumberScanner::Fail() {
  failed_ = true;
  return false;
}

bool NumberScanner::Next(std::int32_t& value) {
  if (failed_ || !IsOpen()) return false;
  for (;;) {
    while (pos_ != end_ && IsSpace(*pos_)) ++pos_;
    if (pos_ != end_) break;
    if (!Refill()) return Fail();
  }
  const bool negative = *pos_ == '-';
  if (negative || *pos_ == '+') ++pos_;
  // The magnitude is checked after every digit, so an endless run of digits stops at once.
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  std::uint64_t magnitude = 0;
  bool anyDigit = false;
  for (;;) {
    const char* p = pos_;
    for (; p != end_; ++p) {
      const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
      if (digit > 9) break;
      magnitude = magnitude * 10 + digit;
      if (magnitude > limit) return Fail();
    }
    anyDigit = anyDigit || p != pos_;
    pos_ = p;
    if (pos_ != end_ || !Refill()) break;
  }
  if (!anyDigit || failed_) return Fail();
  value = static_cast<std::int32_t>(negative ? 0 - magnitude : magnitude);
  return true;
}

bool NumberScanner::Next(std::span<std::int32_t> values) {
  for (std::int32_t& value : values) {
    if (!Next(value)) return false;
  }
  return true;
}

bool NumberScanner::Next(std::span<CellColour> cells) {
  std::int32_t value = 0;
  for (CellColour& cell : cells) {
    if (!Next(value)) return false;
    cell = static_cast<CellColour>(value);
  }
  return true;
}

}  // namespace lumora
