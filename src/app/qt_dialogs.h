#pragma once

#include "common/dialogs.h"
#include "main_window/file_habits.h"

namespace lumora {

// File dialogs of the application, shown over the active window, each opening in the folder of
// the last file of its kind that the habits keep. The open dialog also takes the name of a file
// that does not exist (the reader reports it); the save dialog adds the default extension and
// asks before it replaces an existing file.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(FileHabits& habits) : habits_(habits) {}

  std::optional<std::string> GetOpenFileName(FileKind kind) override;
  std::optional<std::string> GetSaveFileName(FileKind kind) override;
  void FileUsed(FileKind kind, const std::string& path) override { habits_.Used(kind, path); }
  std::vector<std::string> RecentFiles(FileKind kind) override { return habits_.Recent(kind); }

 private:
  std::optional<std::string> Run(FileKind kind, bool save);

  FileHabits& habits_;
};

// Modal message boxes titled "Lumora" with a single OK button.
class QtMessageBoxes : public MessageBoxes {
 public:
  void ShowError(std::string_view text) override;
  void ShowWarning(std::string_view text) override;
};

}  // namespace lumora
