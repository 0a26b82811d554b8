#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/scene.h"
#include "files/input_file.h"
#include "files/read_result.h"

namespace lumora {

// Reads signed 32-bit decimal numbers separated by white space, as the scanf format "%d "
// does, from a text in memory or from a file streamed in fixed chunks. It stops at the first
// number that is missing or unreadable and fails every later read.
class NumberScanner {
 public:
  // Scans the given text; the text must outlive the scanner.
  static NumberScanner OverText(std::string_view text);
  // Scans the file at path; IsOpen() is false when it cannot be opened or is no regular file.
  // Opening never waits, whatever path names.
  static NumberScanner OverFile(const std::string& path);

  NumberScanner(const NumberScanner&) = delete;
  NumberScanner& operator=(const NumberScanner&) = delete;
  ~NumberScanner();

  // Whether there is anything to scan (always true for a text).
  bool IsOpen() const { return opening_ == ReadResult::Ok; }
  // Ok, CannotOpen or NotAFile: how opening went.
  ReadResult Opening() const { return opening_; }
  // Reads the next number; false when it is missing, not a number or outside 32 bits.
  bool Next(std::int32_t& value);
  // Reads one number into each value in turn; false at the first one that cannot be read.
  bool Next(std::span<std::int32_t> values);
  // As above for cell colours, each stored as the bit pattern of its signed number.
  bool Next(std::span<CellColour> cells);

 private:
  NumberScanner(const char* begin, const char* end);
  explicit NumberScanner(const std::string& path);
  bool Refill();
  bool Fail();

  std::unique_ptr<InputFile> file_;
  ReadResult opening_ = ReadResult::Ok;
  bool failed_ = false;
  std::unique_ptr<char[]> chunk_;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
};

// Runs read over the numbers of text into out.
template <class Out>
ReadResult ScanText(std::string_view text, Out& out, ReadResult (*read)(NumberScanner&, Out&)) {
  NumberScanner in = NumberScanner::OverText(text);
  return read(in, out);
}

// Runs read over the numbers of the file at path into out; CannotOpen when it cannot be
// opened, NotAFile when it is no regular file.
template <class Out>
ReadResult ScanFile(const std::string& path, Out& out, ReadResult (*read)(NumberScanner&, Out&)) {
  NumberScanner in = NumberScanner::OverFile(path);
  return in.IsOpen() ? read(in, out) : in.Opening();
}

}  // namespace lumora
