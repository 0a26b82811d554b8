#include "files/recovery_folder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "files/atomic_save.h"

namespace lumora {
namespace {

constexpr std::string_view kLockExtension = ".lock";
constexpr std::string_view kDamagedFolder = "damaged";
// Tries at a fresh id, or at a free name in the damaged folder, before giving up.
constexpr int kAttempts = 16;

std::string_view ExtensionOf(RecoveryPart part) {
  return part == RecoveryPart::Sequence ? ".sqx" : ".prj";
}

constexpr RecoveryPart kParts[] = {RecoveryPart::Sequence, RecoveryPart::Project};

std::filesystem::path FromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path FileIn(const std::filesystem::path& folder, std::string_view id,
                             std::string_view extension) {
  return folder / FromUtf8(std::string(id).append(extension));
}

}  // namespace

// A copy left behind.

LeftCopy::LeftCopy(std::filesystem::path folder, std::string id, ProcessLock lock)
    : folder_(std::move(folder)), id_(std::move(id)), lock_(std::move(lock)) {}

std::filesystem::path LeftCopy::FileOf(RecoveryPart part) const {
  return FileIn(folder_, id_, ExtensionOf(part));
}

bool LeftCopy::Has(RecoveryPart part) const {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(FileOf(part), error));
}

std::string LeftCopy::PathOf(RecoveryPart part) const {
  return Utf8(FileOf(part));
}

void LeftCopy::Remove() {
  std::error_code error;
  for (const RecoveryPart part : kParts) std::filesystem::remove(FileOf(part), error);
  lock_.Remove();
}

std::string LeftCopy::SetAside() {
  const std::filesystem::path damaged = folder_ / FromUtf8(kDamagedFolder);
  std::error_code error;
  std::filesystem::create_directories(damaged, error);
  bool moved = !error;
  for (const RecoveryPart part : kParts) {
    if (!moved || !Has(part)) continue;
    // A name no copy set aside before has taken.
    moved = false;
    for (int attempt = 0; attempt < kAttempts && !moved; ++attempt) {
      const std::string name = attempt == 0 ? id_ : id_ + "-" + std::to_string(attempt);
      const std::filesystem::path target = FileIn(damaged, name, ExtensionOf(part));
      if (std::filesystem::exists(std::filesystem::symlink_status(target, error))) continue;
      std::filesystem::rename(FileOf(part), target, error);
      moved = !error;
    }
  }
  if (!moved) return Utf8(folder_);
  lock_.Remove();
  return Utf8(damaged);
}

// The folder.

RecoveryFolder::RecoveryFolder(const std::string& folder) : folder_(FromUtf8(folder)) {}

RecoveryFolder::~RecoveryFolder() {
  if (!lock_) return;
  std::error_code error;
  const bool copyLeft = std::ranges::any_of(kParts, [&](RecoveryPart part) {
    return std::filesystem::exists(FileIn(folder_, id_, ExtensionOf(part)), error);
  });
  if (!copyLeft) lock_->Remove();
}

bool RecoveryFolder::TakeId() {
  if (lock_) return true;
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  std::random_device random;
  for (int attempt = 0; attempt < kAttempts && !lock_; ++attempt) {
    char id[9];
    std::snprintf(id, sizeof(id), "%08x", static_cast<unsigned>(random()));
    lock_ = ProcessLock::Create(FileIn(folder_, id, kLockExtension));
    if (lock_) id_ = id;
  }
  return lock_.has_value();
}

bool RecoveryFolder::Save(RecoveryPart part, std::string_view bytes) {
  return TakeId() && SaveFileAtomically(Utf8(FileIn(folder_, id_, ExtensionOf(part))), bytes);
}

void RecoveryFolder::Remove() {
  if (!lock_) return;
  std::error_code error;
  for (const RecoveryPart part : kParts) {
    std::filesystem::remove(FileIn(folder_, id_, ExtensionOf(part)), error);
  }
  lock_->Remove();
  lock_.reset();
  id_.clear();
}

std::optional<LeftCopy> RecoveryFolder::TakeLeftCopy() {
  // Every other id in the folder, with the time of its newest part.
  std::map<std::string, std::filesystem::file_time_type> ids;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::filesystem::path name = entry->path().filename();
    const std::string extension = Utf8(name.extension());
    const bool part =
        std::ranges::any_of(kParts, [&](RecoveryPart p) { return extension == ExtensionOf(p); });
    const std::string id = Utf8(name.stem());
    if ((!part && extension != kLockExtension) || id.empty() || id == id_) continue;
    auto& newest = ids.try_emplace(id, std::filesystem::file_time_type::min()).first->second;
    std::error_code timeError;
    if (part) newest = std::max(newest, entry->last_write_time(timeError));
  }
  std::vector<std::pair<std::filesystem::file_time_type, std::string>> newestFirst;
  for (const auto& [id, time] : ids) newestFirst.emplace_back(time, id);
  std::ranges::sort(newestFirst, std::greater<>());

  std::optional<LeftCopy> found;
  for (const auto& [time, id] : newestFirst) {
    auto lock = ProcessLock::Take(FileIn(folder_, id, kLockExtension));
    if (!lock) continue;  // a Lumora still running
    LeftCopy copy(folder_, id, std::move(*lock));
    if (!copy.Has(RecoveryPart::Sequence) && !copy.Has(RecoveryPart::Project)) {
      copy.lock_.Remove();
    } else if (!found) {
      found = std::move(copy);
    }
  }
  return found;
}

}  // namespace lumora
