#include "main_window/controller_output.h"

#include <algorithm>

#include "files/controller_listing.h"
#include "files/export_line.h"
#include "files/table_file.h"
#include "main_window/controller_image.h"
#include "main_window/save_dialog.h"

namespace lumora {

ControllerOutput::ControllerOutput(SequenceEditor& editor, const ControllerConfig& config,
                                   FileDialogs& dialogs, MessageBoxes& messages)
    : editor_(editor), config_(config), dialogs_(dialogs), messages_(messages) {}

void ControllerOutput::SaveListing(const std::function<bool(const std::string& path)>& write) {
  editor_.StoreBackBeforeHandOff();
  SaveThroughDialog(dialogs_, messages_, FileKind::Listing, write);
}

void ControllerOutput::ExportSequence() {
  SaveListing([this](const std::string& path) {
    return SaveExportLine(path, editor_.Store().SceneCount, config_.Programs().Table());
  });
}

void ControllerOutput::SaveFullListing() {
  SaveListing([this](const std::string& path) {
    PackScenes();
    return lumora::SaveFullListing(path, config_.Autos().AutoTable, config_.Programs().Table(),
                                   Buffers().packed);
  });
}

void ControllerOutput::SaveAutoListing() {
  SaveListing([this](const std::string& path) {
    return lumora::SaveAutoListing(path, config_.Autos().AutoTable);
  });
}

void ControllerOutput::SaveProgramListing() {
  SaveListing([this](const std::string& path) {
    return lumora::SaveProgramListing(path, config_.Programs().Table());
  });
}

void ControllerOutput::SaveSceneListing() {
  SaveListing([this](const std::string& path) {
    PackScenes();
    return lumora::SaveSceneListing(path, Buffers().packed);
  });
}

void ControllerOutput::PackScenes() {
  lumora::PackScenes(config_.Programs().Store(), Buffers().packed);
}

ControllerOutput::Built& ControllerOutput::Buffers() {
  if (!built_) built_ = std::make_unique<Built>();
  return *built_;
}

const ControllerOutput::Built& ControllerOutput::Current() const {
  // Zeros in static storage: no pages until read, and no 280 KiB of them in the program file.
  static Built nothingBuilt;
  return built_ ? *built_ : nothingBuilt;
}

const PackedScenesArray& ControllerOutput::PackedScenes() const {
  return Current().packed;
}

const ControllerImageArray& ControllerOutput::Image() const {
  return Current().image;
}

void ControllerOutput::BuildControllerImage() {
  editor_.StoreBackBeforeHandOff();
  PackScenes();
  Built& built = Buffers();
  BuildImageTables(config_.Autos().AutoTable, config_.Programs().Table(), built.packed,
                   built.image);
  // Read afresh at every send; on failure the image keeps the previous values.
  TableFileArray table;
  switch (ReadTableFile(tableFile_, table)) {
    case ReadResult::Ok:
      std::ranges::copy(table, built.image.begin() + kImageTableFile);
      imageReady_ = true;
      break;
    case ReadResult::CannotOpen:
      messages_.ShowError(message::TableFileMissing);
      imageReady_ = false;
      break;
    case ReadResult::NotAFile:  // there, but no table
    case ReadResult::Invalid:
      messages_.ShowError(message::TableFileInvalid);
      imageReady_ = false;
      break;
  }
}

bool ControllerOutput::SendToController() {
  BuildControllerImage();
  editor_.HaltPreview();
  return imageReady_;
}

}  // namespace lumora
