#pragma once

#include <optional>

#include "files/recovery_folder.h"
#include "main_window/main_window_model.h"
#include "main_window/saved_work.h"
#include "main_window/work_questions.h"

namespace lumora {

// The recovery copy of the work: while the work holds changes in no file, a copy of the
// sequence and of the project in their file formats, in this process's part of the recovery
// folder; and at the start, the offer of a copy a Lumora that is gone left behind. Nothing here
// keeps time: the window writes the copy a few seconds after Notice finds it due.
class WorkRecovery {
 public:
  WorkRecovery(MainWindowModel& model, RecoveryFolder& folder) : model_(model), folder_(folder) {}

  // Looks at the work: whether the copy is due, because the work with unsaved changes differs
  // from what was last written. A copy the work no longer needs (saved, undone back to its
  // files, let go) is removed at once.
  bool Notice();
  // Writes the parts of the copy that differ from the work, each with the atomic save. A part
  // that cannot be written is tried again only once the work changes again.
  void Keep();

  // Offers the newest copy left by a Lumora that is gone, once: restored as one step (then this
  // process's own copy is written before the left one goes) or discarded. A copy that cannot
  // be read is reported and set aside, never offered.
  void OfferLeftWork(RecoveryQuestions& questions);

 private:
  // Forgets the copy, removing its files.
  void Drop();

  MainWindowModel& model_;
  RecoveryFolder& folder_;
  // The parts as last written or tried; nothing for a part with no copy.
  std::optional<SequenceWork> sequence_;
  std::optional<ProjectWork> project_;
};

}  // namespace lumora
