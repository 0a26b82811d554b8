#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/dialogs.h"

namespace lumora {

inline constexpr int kFileKinds = 3;

// What is kept between runs of the files the designer works with: for each kind of file the
// folder its dialogs open in (indexed by FileKind; empty for none), and the sequences and
// projects read or written last, newest first.
struct FileHabitsRecord {
  std::array<std::string, kFileKinds> folders;
  std::vector<std::string> recentSequences;
  std::vector<std::string> recentProjects;

  bool operator==(const FileHabitsRecord&) const = default;
};

// Where the record is kept: the user's settings in the application, memory in the tests.
class FileHabitsStore {
 public:
  virtual ~FileHabitsStore() = default;
  // What was kept: an empty record when nothing was, or when it cannot be read. Never waits on
  // what is no file.
  virtual FileHabitsRecord Load() = 0;
  // Keeps the record in place of the one before; false when it could not be kept.
  virtual bool Save(const FileHabitsRecord& record) = 0;
};

}  // namespace lumora
