#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"

namespace lumora {

// The main window's file dialogs, whose next open dialog of a kind can be answered beforehand
// with a path given from outside (on the command line, dropped onto the window, picked from the
// recent files), so that such a file is opened exactly as one chosen in the dialog.
class GivenPathDialogs : public FileDialogs {
 public:
  explicit GivenPathDialogs(FileDialogs& dialogs) : dialogs_(dialogs) {}

  // Runs command with the open dialog of kind answering path, once; the answer is gone after
  // it, taken or not.
  template <typename Command>
  void AnsweringOpen(FileKind kind, const std::string& path, Command command) {
    given_ = Answer{kind, path};
    command();
    given_.reset();
  }

  std::optional<std::string> GetOpenFileName(FileKind kind) override;
  std::optional<std::string> GetSaveFileName(FileKind kind) override {
    return dialogs_.GetSaveFileName(kind);
  }
  void FileUsed(FileKind kind, const std::string& path) override { dialogs_.FileUsed(kind, path); }
  std::vector<std::string> RecentFiles(FileKind kind) override {
    return dialogs_.RecentFiles(kind);
  }

 private:
  struct Answer {
    FileKind kind;
    std::string path;
  };
  FileDialogs& dialogs_;
  std::optional<Answer> given_;
};

}  // namespace lumora
