#include "programming/virtual/rotating_file.h"

#include <system_error>

namespace lumora {

RotatingFile::RotatingFile(const std::filesystem::path& file, std::uint64_t cap)
    : path_(file),
      older_(std::filesystem::path(file) += ".1"),
      cap_(cap),
      file_(file, std::ios::binary | std::ios::trunc),
      ok_(file_.good()) {
  std::error_code error;
  std::filesystem::remove(older_, error);
  ok_ = ok_ && !error;
}

void RotatingFile::Write(std::string_view text) {
  if (!ok_) return;
  file_.write(text.data(), static_cast<std::streamsize>(text.size()));
  size_ += text.size();
}

void RotatingFile::Flush() {
  file_.flush();
  ok_ = ok_ && file_.good();
}

void RotatingFile::Rotate() {
  file_.close();
  std::error_code error;
  std::filesystem::rename(path_, older_, error);
  file_.open(path_, std::ios::binary | std::ios::trunc);
  size_ = 0;
  ok_ = ok_ && !error && file_.good();
}

}  // namespace lumora
