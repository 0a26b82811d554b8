#include "main_window/closing.h"

namespace lumora {

bool MayClose(MainWindowModel& model, CloseQuestion& question) {
  const UnsavedWork unsaved = model.Unsaved();
  if (!unsaved.Any()) return true;
  switch (question.Ask(unsaved)) {
    case CloseAnswer::Save:
      return (!unsaved.Sequence || model.SaveSequence()) &&
             (!unsaved.Project || model.SaveProject());
    case CloseAnswer::DontSave:
      model.GiveUpUnsaved();
      return true;
    case CloseAnswer::Cancel:
      break;
  }
  return false;
}

}  // namespace lumora
