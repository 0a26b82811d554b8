#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/dialogs.h"

namespace lumora::cli {

// Message boxes with no window: each message is kept as text for the terminal.
class KeptMessages : public MessageBoxes {
 public:
  void ShowError(std::string_view text) override { shown.emplace_back(text); }
  void ShowWarning(std::string_view text) override { shown.emplace_back(text); }

  std::vector<std::string> shown;  // oldest first
};

}  // namespace lumora::cli
