#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/dialogs.h"

namespace lumora::testing {

// Answers the file dialogs from a queue (nothing queued means cancel) and keeps messages.
class FakeDialogs : public FileDialogs, public MessageBoxes {
 public:
  std::optional<std::string> GetOpenFileName(FileKind kind) override { return Next(kind); }
  std::optional<std::string> GetSaveFileName(FileKind kind) override { return Next(kind); }
  void FileUsed(FileKind kind, const std::string& path) override { used.emplace_back(kind, path); }
  std::vector<std::string> RecentFiles(FileKind kind) override {
    return recent[static_cast<std::size_t>(kind)];
  }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  void ShowWarning(std::string_view text) override { warnings.emplace_back(text); }

  std::deque<std::optional<std::string>> answers;
  // Runs after each dialog closes, before the command goes on.
  std::function<void()> afterDialog = [] {};
  std::deque<FileKind> kindsAsked;
  // The files the commands read or wrote, oldest first.
  std::vector<std::pair<FileKind, std::string>> used;
  // What RecentFiles answers, by kind.
  std::array<std::vector<std::string>, 3> recent;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;

 private:
  std::optional<std::string> Next(FileKind kind) {
    kindsAsked.push_back(kind);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    afterDialog();
    return answer;
  }
};

}  // namespace lumora::testing
