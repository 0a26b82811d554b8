#include <algorithm>
#include <memory>

#include "files/controller_listing.h"
#include "files/export_line.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "main_window/main_window_model.h"

namespace lumora {

std::optional<std::string> MainWindowModel::AskSavePath(FileKind kind) {
  return dialogs_.GetSaveFileName(kind);
}

void MainWindowModel::ReportSave(bool saved) {
  if (!saved) messages_.ShowError(message::FileError);
}

void MainWindowModel::OpenSequence() {
  autos.AutoActive = false;
  autos.AutoPending = false;
  OpenSequenceFile();
}

bool MainWindowModel::OpenSequenceFile() {
  const auto path = dialogs_.GetOpenFileName(FileKind::Sequence);
  if (!path) return false;
  auto file = std::make_unique<SequenceFileData>();
  const ReadResult result = ReadSequenceFile(*path, *file);
  // Only a file that could be opened for reading stops the preview, even when it is refused.
  const bool opened = result == ReadResult::Ok || result == ReadResult::Invalid;
  if (opened && previewRunning_) StopPreview();
  if (result != ReadResult::Ok) {
    // A refused file changes nothing of the sequence or the screen.
    messages_.ShowError(message::FileError);
    return false;
  }
  store.SceneCount = file->SceneCount;
  store.EffectMode = file->EffectMode;
  const auto cells = static_cast<std::size_t>(file->SceneCount) * kCellsPerScene;
  std::copy_n(file->SceneSlots.begin(), cells, store.SceneSlots.begin());
  store.CurrentScene = 1;
  ShowSceneCounters();
  LoadScene(0);
  StartPreview();
  return true;
}

void MainWindowModel::SaveSequence() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    ReportSave(SaveSequenceFile(*path, store.SceneCount, store.EffectMode, store.Sequence()));
  }
}

void MainWindowModel::ExportSequence() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    ReportSave(SaveExportLine(*path, store.SceneCount, programs.ProgramTable));
  }
}

void MainWindowModel::SaveProject() {
  if (const auto path = AskSavePath(FileKind::Project)) {
    ReportSave(
        SaveProjectFile(*path, programs.ProgramTable, programs.ProgramStore, autos.AutoTable));
  }
}

void MainWindowModel::OpenProject() {
  const auto path = dialogs_.GetOpenFileName(FileKind::Project);
  if (!path) return;
  auto file = std::make_unique<ProjectFileData>();
  if (ReadProjectFile(*path, *file) != ReadResult::Ok) {
    messages_.ShowError(message::FileError);
    return;
  }
  programs.ProgramTable = file->ProgramTable;
  programs.ProgramStore = file->ProgramStore;
  std::ranges::copy(file->AutoValues, autos.AutoTable.begin());
  LoadProgram(1);
  // Every slot follows the loaded table, also when program 1 is empty.
  ColourOccupiedSlots();
  SlotPanelColor[0] = MarkProgramSlots(1);
  SelectAuto(1);
  autos.MarkAutoPanels(1);
}

void MainWindowModel::SaveFullListing() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    PackScenes();
    ReportSave(
        lumora::SaveFullListing(*path, autos.AutoTable, programs.ProgramTable, PackedScenes));
  }
}

void MainWindowModel::SaveAutoListing() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    ReportSave(lumora::SaveAutoListing(*path, autos.AutoTable));
  }
}

void MainWindowModel::SaveProgramListing() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    ReportSave(lumora::SaveProgramListing(*path, programs.ProgramTable));
  }
}

void MainWindowModel::SaveSceneListing() {
  StoreBackBeforeHandOff();
  if (const auto path = AskSavePath(FileKind::Sequence)) {
    PackScenes();
    ReportSave(lumora::SaveSceneListing(*path, PackedScenes));
  }
}

}  // namespace lumora
