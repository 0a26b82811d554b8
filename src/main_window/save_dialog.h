#pragma once

#include <functional>
#include <string>

#include "common/dialogs.h"

namespace lumora {

// Asks for a file name to save under and writes there; a failed write says "ERROR PLIK", a
// written file is told to the dialogs. Nothing is written when the user cancels. True when
// the file was written.
bool SaveThroughDialog(FileDialogs& dialogs, MessageBoxes& messages, FileKind kind,
                       const std::function<bool(const std::string& path)>& write);

}  // namespace lumora
