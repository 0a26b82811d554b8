#pragma once

#include <deque>
#include <string>
#include <vector>

#include "main_window/work_questions.h"

namespace lumora::testing {

// Answers the close question and the recovery offer from queues and keeps what was asked; an
// unexpected question cancels the close, or discards the copy.
class FakeWorkQuestions : public CloseQuestion, public RecoveryQuestions {
 public:
  CloseAnswer Ask(UnsavedWork unsaved) override {
    asked.push_back(unsaved);
    if (closeAnswers.empty()) return CloseAnswer::Cancel;
    const CloseAnswer answer = closeAnswers.front();
    closeAnswers.pop_front();
    return answer;
  }
  bool OfferRestore() override {
    ++offers;
    return restore;
  }
  void ReportDamaged(const std::string& folder) override { damaged.push_back(folder); }

  std::deque<CloseAnswer> closeAnswers;
  std::vector<UnsavedWork> asked;
  bool restore = true;
  int offers = 0;
  std::vector<std::string> damaged;
};

}  // namespace lumora::testing
