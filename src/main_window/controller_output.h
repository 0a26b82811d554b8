#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "common/dialogs.h"
#include "common/program_tables.h"
#include "files/table_file.h"
#include "main_window/controller_config.h"
#include "main_window/sequence_editor.h"

namespace lumora {

// What is made of the configuration for the controller and for reading: the export line,
// the four listings, the packed scenes and the image the programming window sends. Each is
// built afresh from the configuration when asked for, after the scene on screen is stored.
class ControllerOutput {
 public:
  ControllerOutput(SequenceEditor& editor, const ControllerConfig& config, FileDialogs& dialogs,
                   MessageBoxes& messages);

  void ExportSequence();      // "Export"
  void SaveFullListing();     // "save all"
  void SaveAutoListing();     // "save tab auto"
  void SaveProgramListing();  // "save tab prg"
  void SaveSceneListing();    // "save tab sc_prg"

  // "Wyślij do sterownika": builds the image and halts the preview; whether the programming
  // window may open.
  bool SendToController();
  // The image from the configuration and the table file, read afresh.
  void BuildControllerImage();
  // Where the image's table file is read from: "str.tab" in the working folder unless set.
  void SetTableFile(std::string path) { tableFile_ = std::move(path); }
  void PackScenes();

  // All zero until first built.
  const PackedScenesArray& PackedScenes() const;
  // Lives as long as the output; the programming window sends from it.
  const ControllerImageArray& Image() const;
  bool ImageReady() const { return imageReady_; }

 private:
  // Stores the scene on screen, then asks where to save and writes there.
  void SaveListing(const std::function<bool(const std::string& path)>& write);

  SequenceEditor& editor_;
  const ControllerConfig& config_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
  // Made at the first build: most sessions never send nor list, and the window need not
  // carry their 280 KiB from the start.
  struct Built {
    PackedScenesArray packed{};
    ControllerImageArray image{};
  };
  Built& Buffers();
  // The buffers, or all zeros before the first build.
  const Built& Current() const;

  std::unique_ptr<Built> built_;
  bool imageReady_ = false;
  std::string tableFile_{kTableFileName};
};

}  // namespace lumora
