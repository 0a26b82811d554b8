#include <windows.h>

#include <algorithm>
#include <utility>

#include "common/windows_text.h"
#include "files/atomic_save.h"
#include "files/save_temporary.h"

namespace lumora {
namespace {

// Tries at a temporary name before the save gives up.
constexpr int kNameAttempts = 16;

HANDLE AsHandle(int fd) {
  return LongToHandle(fd);
}

enum class Existing { None, File, Other };

// What is at target now. Folders open only for their attributes; a device name (NUL, COM1)
// opens like a file and is told apart by its type.
Existing WhatIsAt(const std::filesystem::path& target) {
  const HANDLE opened = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Existing::None
                                                                          : Existing::Other;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool file = GetFileType(opened) == FILE_TYPE_DISK &&
                    GetFileInformationByHandle(opened, &info) &&
                    (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(opened);
  return file ? Existing::File : Existing::Other;
}

bool Gone(DWORD process) {
  const HANDLE opened = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (opened == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(opened, 0) == WAIT_OBJECT_0;
  CloseHandle(opened);
  return ended;
}

// A save killed between creating its temporary and the replacement leaves it beside the
// untouched target; once the process that made it is gone, nothing will use it.
void RemoveLeftTemporaries(const std::filesystem::path& target) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FolderOf(target), error), end;
       !error && entry != end; entry.increment(error)) {
    const auto maker = static_cast<DWORD>(MakerOf(entry->path(), target));
    if (maker != 0 && maker != GetCurrentProcessId() && Gone(maker)) {
      DeleteFileW(entry->path().c_str());
    }
  }
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

}  // namespace

// Windows has no unnamed files: both kinds of temporary take the named road. A file that is
// there is replaced with ReplaceFileW, which keeps its attributes and rights as a truncating
// write would; a new one is moved into place, written through to disk.
AtomicSave::AtomicSave(const std::string& path, SaveTemporary) {
  target_ = std::filesystem::path(Utf16(path));
  if (target_.empty() || WhatIsAt(target_) == Existing::Other) return;
  RemoveLeftTemporaries(target_);
  ok_ = OpenNamed();
}

AtomicSave::~AtomicSave() {
  Abandon();
}

bool AtomicSave::OpenNamed() {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path name = TemporaryName(target_, GetCurrentProcessId());
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      fd_ = HandleToLong(file);
      temporary_ = name;
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

bool AtomicSave::Write(std::string_view bytes) {
  ok_ = ok_ && WriteAll(AsHandle(fd_), bytes);
  return ok_;
}

bool AtomicSave::Commit() {
  // Flushed before it takes the target's place, so a crash up to then leaves the old file whole.
  ok_ = ok_ && FlushFileBuffers(AsHandle(fd_)) && CloseHandle(AsHandle(std::exchange(fd_, -1)));
  if (ok_) {
    switch (WhatIsAt(target_)) {
      case Existing::File:
        ok_ = ReplaceFileW(target_.c_str(), temporary_.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        break;
      case Existing::None:
        ok_ = MoveFileExW(temporary_.c_str(), target_.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        break;
      case Existing::Other:
        ok_ = false;
        break;
    }
  }
  if (!ok_) {
    Abandon();
    return false;
  }
  temporary_.clear();
  ok_ = false;
  return true;
}

void AtomicSave::Abandon() {
  if (fd_ != -1) CloseHandle(AsHandle(std::exchange(fd_, -1)));
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
  ok_ = false;
}

}  // namespace lumora
