#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "common/windows_text.h"
#include "files/atomic_save.h"

namespace lumora {
namespace {

struct OwnedHandle {
  HANDLE handle;
  ~OwnedHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

enum class Existing { None, File, Other };

// What is at target now. Folders open only for their attributes; a device name (NUL, COM1)
// opens like a file and is told apart by its type.
Existing WhatIsAt(const std::wstring& target) {
  const OwnedHandle opened{CreateFileW(
      target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (opened.handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Existing::None
                                                                          : Existing::Other;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool file = GetFileType(opened.handle) == FILE_TYPE_DISK &&
                    GetFileInformationByHandle(opened.handle, &info) &&
                    (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return file ? Existing::File : Existing::Other;
}

// A name in the target's folder that no other save of this process uses at the same time.
std::wstring TemporaryName(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
  return target.substr(0, nameStart) + L"." + target.substr(nameStart) + L".tmp" +
         std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(counter++);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD done = 0;
    if (!WriteFile(file, bytes.data(), chunk, &done, nullptr) || done == 0) return false;
    bytes.remove_prefix(done);
  }
  return true;
}

// The bytes and a flush to disk into a new file at temporary; false when it exists already
// (exists is then set) or anything fails.
bool Fill(const std::wstring& temporary, std::string_view bytes, bool& exists) {
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    exists = GetLastError() == ERROR_FILE_EXISTS;
    return false;
  }
  const bool filled = WriteAll(file, bytes) && FlushFileBuffers(file);
  const bool closed = CloseHandle(file);
  if (!filled || !closed) DeleteFileW(temporary.c_str());
  return filled && closed;
}

}  // namespace

// Windows has no unnamed files: both kinds of temporary take the named road. A file that is
// there is replaced with ReplaceFileW, which keeps its attributes and rights as a truncating
// write would; a new one is moved into place, written through to disk.
bool SaveFileAtomically(const std::string& path, std::string_view bytes, SaveTemporary) {
  const std::wstring target = Utf16(path);
  if (target.empty()) return false;
  const Existing existing = WhatIsAt(target);
  if (existing == Existing::Other) return false;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring temporary = TemporaryName(target);
    bool exists = false;
    if (!Fill(temporary, bytes, exists)) {
      if (exists) continue;
      return false;
    }
    const bool placed = existing == Existing::File
                            ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                            : MoveFileExW(temporary.c_str(), target.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!placed) DeleteFileW(temporary.c_str());
    return placed;
  }
  return false;
}

}  // namespace lumora
