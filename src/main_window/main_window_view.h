#pragma once

#include <array>

#include "common/program_tables.h"

namespace lumora {

// What the main window's logic asks of the widgets. Implementations skip a colour or caption
// that did not change, so the 100 ms refresh causes no repaint when nothing moved.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual void ShowCell(int cell, CellColour colour) = 0;
  // Every cell of a scene; a view may show them at once, cheaper than one by one.
  virtual void ShowScene(const Scene& scene) {
    for (int cell = 0; cell < kCellsPerScene; ++cell) ShowCell(cell, scene[cell]);
  }
  virtual void ShowSceneCounters(int sceneCount, int currentScene) = 0;
  // Checks the radio button of effect mode 1, 2 or 3.
  virtual void ShowEffectMode(int effectMode) = 0;
  // Play button down while the preview runs, stop button down otherwise.
  virtual void ShowPreviewRunning(bool running) = 0;
  // The 100 ms preview timer; its enabled state is the running state of the preview.
  virtual void EnablePreviewTimer(bool enabled) = 0;
  // Colours of the 56 program squares and the 7 automatic squares (slot_colour values).
  virtual void ShowProgramSlots(const std::array<CellColour, kPrograms>& colours) = 0;
  virtual void ShowAutoPanels(const std::array<CellColour, kAutoPrograms>& colours) = 0;
  // The display boxes of "Prg Start", "Prg End" and "Prg Loop".
  virtual void ShowAutoValues(int start, int end, int loop) = 0;
  // Positions of the three automatic-program spinners.
  virtual void SetAutoSpinners(int start, int end, int loop) = 0;
  // The memory gauge and the hidden scene-count label.
  virtual void ShowMemoryUse(int usedScenes) = 0;
};

}  // namespace lumora
