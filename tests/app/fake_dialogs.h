#pragma once

#include <string>
#include <vector>

#include "main_window/dialogs.h"

namespace lumora::testing {

// Cancels every file dialog and keeps the messages, so no modal window ever opens.
class FakeDialogs : public FileDialogs, public MessageBoxes {
 public:
  std::optional<std::string> GetOpenFileName(FileKind) override {
    ++opensAsked;
    return std::nullopt;
  }
  std::optional<std::string> GetSaveFileName(FileKind) override { return std::nullopt; }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  void ShowWarning(std::string_view text) override { warnings.emplace_back(text); }

  int opensAsked = 0;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
};

}  // namespace lumora::testing
