#include <algorithm>

#include "files/table_file.h"
#include "main_window/controller_image.h"
#include "main_window/main_window_model.h"

namespace lumora {

void MainWindowModel::PackScenes() {
  lumora::PackScenes(programs.ProgramStore, PackedScenes);
}

void MainWindowModel::BuildControllerImage() {
  StoreBackBeforeHandOff();
  PackScenes();
  BuildImageTables(autos.AutoTable, programs.ProgramTable, PackedScenes, ControllerImage);
  // Read afresh at every send; on failure the image keeps the previous values.
  TableFileArray table;
  switch (ReadTableFile(std::string(kTableFileName), table)) {
    case ReadResult::Ok:
      std::ranges::copy(table, ControllerImage.begin() + kImageTableFile);
      ImageReady = true;
      break;
    case ReadResult::CannotOpen:
      messages_.ShowError(message::TableFileMissing);
      ImageReady = false;
      break;
    case ReadResult::NotAFile:  // there, but no table
    case ReadResult::Invalid:
      messages_.ShowError(message::TableFileInvalid);
      ImageReady = false;
      break;
  }
}

bool MainWindowModel::SendToController() {
  BuildControllerImage();
  // Halted without rewinding: the frame on screen stays, and is never stored back.
  previewRunning_ = false;
  view_.EnablePreviewTimer(false);
  // "fala2" moves its position one past the last scene before it restarts; a halted editor
  // still names a scene of its sequence.
  store.CurrentScene = std::clamp(store.CurrentScene, 1, store.SceneCount);
  return ImageReady;
}

}  // namespace lumora
