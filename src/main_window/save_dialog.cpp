#include "main_window/save_dialog.h"

namespace lumora {

bool SaveThroughDialog(FileDialogs& dialogs, MessageBoxes& messages, FileKind kind,
                       const std::function<bool(const std::string& path)>& write) {
  const auto path = dialogs.GetSaveFileName(kind);
  if (!path) return false;
  if (write(*path)) {
    dialogs.FileUsed(kind, *path);
    return true;
  }
  messages.ShowError(message::FileError);
  return false;
}

}  // namespace lumora
