#include <windows.h>

#include <algorithm>

#include "common/windows_text.h"
#include "files/input_file.h"

namespace lumora {
namespace {

// Why path could not be opened: a folder (which opens only for its attributes) or a pipe
// whose every instance is taken is no file; anything else is missing or unreadable.
ReadResult WhyNotOpened(const std::wstring& path) {
  if (GetLastError() == ERROR_PIPE_BUSY) return ReadResult::NotAFile;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
             ? ReadResult::NotAFile
             : ReadResult::CannotOpen;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  const std::wstring wide = Utf16(path);
  // Others may go on reading, writing, renaming or replacing the file, as on Linux. Opening a
  // pipe, a console or a device (NUL, COM1) never waits either.
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    opening_ = WhyNotOpened(wide);
    return;
  }
  // What is opened is checked before anything is read from it: only a disk file is read.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    opening_ = ReadResult::NotAFile;
    CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  opening_ = ReadResult::Ok;
}

InputFile::~InputFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

long InputFile::Read(void* buffer, std::size_t size) {
  if (handle_ == -1) return 0;
  DWORD got = 0;
  const auto asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &got, nullptr)) return -1;
  return static_cast<long>(got);
}

}  // namespace lumora
