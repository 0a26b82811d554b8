#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace lumora {

// A lock file held by this process until it lets go or ends. The system takes the lock away
// with the process however it ends (a kill, a crash, a power cut), so a lock that nobody holds
// belongs to a process that is gone, whatever process has its number now.
class ProcessLock {
 public:
  // Makes the lock file at path, which must not be there yet, and holds it.
  static std::optional<ProcessLock> Create(const std::filesystem::path& path);
  // Holds the lock file at path, made when missing, unless another holder has it.
  static std::optional<ProcessLock> Take(const std::filesystem::path& path);

  ProcessLock(ProcessLock&& other) noexcept;
  ProcessLock& operator=(ProcessLock&& other) noexcept;
  // Lets go; the file stays.
  ~ProcessLock();

  // Removes the lock file, then lets go.
  void Remove();

 private:
  // The descriptor, or on Windows the file's HANDLE; -1 (also INVALID_HANDLE_VALUE) when none.
  using Handle = std::intptr_t;
  static constexpr Handle kNone = -1;

  ProcessLock(std::filesystem::path path, Handle handle);
  void LetGo();
  // One platform's each: the lock file opened and held (made only when fresh), or kNone; its
  // removal while still held, so that nobody takes it between the two; letting go.
  static Handle Hold(const std::filesystem::path& path, bool fresh);
  static void Unlink(Handle handle, const std::filesystem::path& path);
  static void Close(Handle handle);

  std::filesystem::path path_;
  Handle handle_ = kNone;
};

}  // namespace lumora
