#include "main_window/save_dialog.h"

namespace lumora {

void SaveThroughDialog(FileDialogs& dialogs, MessageBoxes& messages, FileKind kind,
                       const std::function<bool(const std::string& path)>& write) {
  const auto path = dialogs.GetSaveFileName(kind);
  if (!path) return;
  if (write(*path)) {
    dialogs.FileUsed(kind, *path);
  } else {
    messages.ShowError(message::FileError);
  }
}

}  // namespace lumora
