#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"
#include "main_window/file_habits_store.h"

namespace lumora {

// The folders and files the designer works with, kept between runs: the dialogs of each kind
// open in the folder of the last file of that kind read or written, and the last sequences and
// projects are at hand. The store is read at the first question and written only when a file
// is used, so a run that opens and saves nothing leaves it untouched; a store that cannot be
// read or written costs only what it would have kept.
class FileHabits {
 public:
  static constexpr std::size_t kRecentFiles = 8;
  // Whether a file or folder is there; the store's record may name ones that are gone.
  using Exists = std::function<bool(const std::string& path)>;

  FileHabits(FileHabitsStore& store, Exists exists);

  // The folder the dialogs of kind open in: empty before the first file of the kind, and when
  // its folder is gone, so that the dialog opens where it opened before there was any.
  std::string StartFolder(FileKind kind);
  // The sequences or projects last used that are still there, newest first; no listings.
  std::vector<std::string> Recent(FileKind kind);
  // A file of kind at the absolute path was read or written: it heads its kind's list, its
  // folder becomes the kind's, and the store is written.
  void Used(FileKind kind, const std::string& path);

 private:
  FileHabitsRecord& Record();
  std::vector<std::string>* RecentList(FileKind kind);

  FileHabitsStore& store_;
  Exists exists_;
  // Read at the first question.
  std::optional<FileHabitsRecord> record_;
};

}  // namespace lumora
