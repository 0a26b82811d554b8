#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/process_lock.h"

namespace lumora {

// The two files of a recovery copy, in the formats of the sequence and project files.
enum class RecoveryPart { Sequence, Project };

// A recovery copy whose process is gone, held by this process until it is done with, so that
// no other Lumora offers it meanwhile.
class LeftCopy {
 public:
  // Whether the copy holds the part, and the part's file (UTF-8).
  bool Has(RecoveryPart part) const;
  std::string PathOf(RecoveryPart part) const;
  // The copy is done with: its files go.
  void Remove();
  // Moves the copy into the folder "damaged" beside it, where it is never offered again; the
  // folder its files are in afterwards (UTF-8).
  std::string SetAside();

 private:
  friend class RecoveryFolder;
  LeftCopy(std::filesystem::path folder, std::string id, ProcessLock lock);
  std::filesystem::path FileOf(RecoveryPart part) const;

  std::filesystem::path folder_;
  std::string id_;
  ProcessLock lock_;
};

// The recovery copies of every running Lumora, in one folder. A process writes its copy under
// an id of its own, ID.sqx and ID.prj beside ID.lock, which it holds from its first write
// (ProcessLock): a copy whose lock nobody holds was left by a process that is gone, and one
// whose lock is held belongs to a Lumora still running. Nothing is made before the first write.
class RecoveryFolder {
 public:
  // folder: UTF-8.
  explicit RecoveryFolder(const std::string& folder);
  // Lets the lock go: a copy left behind is offered by the next start.
  ~RecoveryFolder();
  RecoveryFolder(const RecoveryFolder&) = delete;
  RecoveryFolder& operator=(const RecoveryFolder&) = delete;

  // Writes a part of this process's copy as a whole or not at all (the atomic save); false when
  // it could not be written.
  bool Save(RecoveryPart part, std::string_view bytes);
  // Removes this process's copy and its lock.
  void Remove();
  // The newest copy left by a process that is gone, or nothing. Locks left without a copy are
  // cleared away on the way.
  std::optional<LeftCopy> TakeLeftCopy();

 private:
  bool TakeId();

  std::filesystem::path folder_;
  std::string id_;
  std::optional<ProcessLock> lock_;
};

}  // namespace lumora
