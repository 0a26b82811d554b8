#pragma once

#include <string>

#include "main_window/saved_work.h"

namespace lumora {

// The questions of a close that would lose work, and of a start that finds work a Lumora left
// unsaved. The application asks them in message boxes; tests answer.
enum class CloseAnswer { Save, DontSave, Cancel };

class CloseQuestion {
 public:
  virtual ~CloseQuestion() = default;
  // Save the unsaved parts, let them go, or stay open.
  virtual CloseAnswer Ask(UnsavedWork unsaved) = 0;
};

class RecoveryQuestions {
 public:
  virtual ~RecoveryQuestions() = default;
  // Whether to restore the work a Lumora that is gone left unsaved; false discards it.
  virtual bool OfferRestore() = 0;
  // A copy that could not be read was set aside into folder (UTF-8).
  virtual void ReportDamaged(const std::string& folder) = 0;
};

}  // namespace lumora
