#pragma once

#include "main_window/main_window_model.h"
#include "main_window/work_questions.h"

namespace lumora {

// Whether the main window may close now. Without changes in no file it closes at once;
// otherwise the question decides: "Save" saves each unsaved part through its save dialog, and
// a save cancelled or failed keeps the window open; "Don't save" lets the changes go;
// "Cancel" keeps the window open with everything as it was.
bool MayClose(MainWindowModel& model, CloseQuestion& question);

}  // namespace lumora
