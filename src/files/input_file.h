#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/read_result.h"

namespace lumora {

// A file opened for reading as every reader of the program opens one: opening never waits,
// whatever path names (a pipe without a writer, a terminal), and anything but a regular file
// is refused before a byte is read.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Ok, CannotOpen (missing or unreadable) or NotAFile.
  ReadResult Opening() const { return opening_; }
  // Up to size bytes into buffer: how many were read, 0 at the end of the file or when it is
  // not open, -1 on a read error.
  long Read(void* buffer, std::size_t size);

 private:
  // The descriptor, or on Windows the file's HANDLE; -1 (also INVALID_HANDLE_VALUE) when none.
  std::intptr_t handle_ = -1;
  ReadResult opening_ = ReadResult::CannotOpen;
};

}  // namespace lumora
