#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace lumora {

// A file of the virtual adapter that is kept within a cap by its writer: when the next part
// would not fit, the writer rotates it, and the full file becomes FILE.1, replacing the one
// before, while FILE starts again empty. The two together hold at most twice the cap.
class RotatingFile {
 public:
  // Starts the file empty and removes FILE.1 of an earlier run.
  RotatingFile(const std::filesystem::path& file, std::uint64_t cap);

  // False once the file could not be opened, rotated or written.
  bool Ok() const { return ok_; }
  std::uint64_t Size() const { return size_; }
  // What may still be written before the cap.
  std::uint64_t Room() const { return size_ < cap_ ? cap_ - size_ : 0; }
  // Nothing is written once the file is not Ok.
  void Write(std::string_view text);
  void Flush();
  void Rotate();

 private:
  std::filesystem::path path_;
  std::filesystem::path older_;
  std::uint64_t cap_;
  std::uint64_t size_ = 0;
  std::ofstream file_;
  bool ok_;
};

}  // namespace lumora
