#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/kept_messages.h"
#include "common/dialogs.h"
#include "main_window/main_window_model.h"
#include "main_window/main_window_view.h"

namespace lumora::cli {

// The main window's logic with no window: a file dialog answers the path it was given, and
// a message box is kept as text for the terminal. The commands act through it, so what they
// read and write is exactly what the window reads and writes.
class HeadlessWindow {
 public:
  HeadlessWindow();
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // "Otwórz projekt" / "Otwórz" on path; false when the window refused the file.
  bool OpenProject(const std::string& path);
  // Opens the sequence and starts its preview, as the window does.
  bool OpenSequence(const std::string& path);
  // "save all" / "Export" into path; false when nothing was written.
  bool SaveFullListing(const std::string& path);
  bool ExportSequence(const std::string& path);
  // The image the programming window is handed, with the table file read from tableFile.
  bool BuildControllerImage(const std::string& tableFile);

  // The messages shown so far, oldest first.
  const std::vector<std::string>& Messages() const { return messages_.shown; }
  MainWindowModel& Model() { return model_; }

 private:
  class SilentView : public MainWindowView {
   public:
    void ShowCell(int, CellColour) override {}
    void ShowSceneCounters(int, int) override {}
    void ShowEffectMode(int) override {}
    void ShowPreviewRunning(bool) override {}
    void EnablePreviewTimer(bool) override {}
    void ShowProgramSlots(const std::array<CellColour, kPrograms>&) override {}
    void ShowAutoPanels(const std::array<CellColour, kAutoPrograms>&) override {}
    void ShowAutoValues(int, int, int) override {}
    void SetAutoSpinners(int, int, int) override {}
    void ShowMemoryUse(int) override {}
  };
  class AnsweringDialogs : public FileDialogs {
   public:
    std::optional<std::string> GetOpenFileName(FileKind) override { return answer; }
    std::optional<std::string> GetSaveFileName(FileKind) override { return answer; }
    std::optional<std::string> answer;
  };

  // Runs a window command whose file dialog answers path; true when it showed no message.
  template <typename Command>
  bool WithPath(const std::string& path, Command command);

  SilentView view_;
  AnsweringDialogs dialogs_;
  KeptMessages messages_;
  MainWindowModel model_;
};

}  // namespace lumora::cli
