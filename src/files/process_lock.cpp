#include "files/process_lock.h"

#include <utility>

namespace lumora {

ProcessLock::ProcessLock(std::filesystem::path path, Handle handle)
    : path_(std::move(path)), handle_(handle) {}

std::optional<ProcessLock> ProcessLock::Create(const std::filesystem::path& path) {
  const Handle handle = Hold(path, /*fresh=*/true);
  if (handle == kNone) return std::nullopt;
  return ProcessLock(path, handle);
}

std::optional<ProcessLock> ProcessLock::Take(const std::filesystem::path& path) {
  const Handle handle = Hold(path, /*fresh=*/false);
  if (handle == kNone) return std::nullopt;
  return ProcessLock(path, handle);
}

ProcessLock::ProcessLock(ProcessLock&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, kNone)) {}

ProcessLock& ProcessLock::operator=(ProcessLock&& other) noexcept {
  if (this != &other) {
    LetGo();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

ProcessLock::~ProcessLock() {
  LetGo();
}

void ProcessLock::Remove() {
  if (handle_ != kNone) Unlink(handle_, path_);
  LetGo();
}

void ProcessLock::LetGo() {
  if (handle_ != kNone) Close(std::exchange(handle_, kNone));
}

}  // namespace lumora
