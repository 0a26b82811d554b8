#pragma once

#include "common/dialogs.h"

namespace lumora {

// File dialogs of the application, shown over the active window. The open dialog also takes
// the name of a file that does not exist (the reader reports it); the save dialog adds the
// default extension and replaces an existing file without asking.
class QtFileDialogs : public FileDialogs {
 public:
  std::optional<std::string> GetOpenFileName(FileKind kind) override;
  std::optional<std::string> GetSaveFileName(FileKind kind) override;
};

// Modal message boxes titled "Lumora" with a single OK button.
class QtMessageBoxes : public MessageBoxes {
 public:
  void ShowError(std::string_view text) override;
  void ShowWarning(std::string_view text) override;
};

}  // namespace lumora
