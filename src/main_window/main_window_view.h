#pragma once

#include "main_window/scene.h"

namespace lumora {

// What the main window's logic asks of the widgets. Implementations skip a colour or caption
// that did not change, so the 100 ms refresh causes no repaint when nothing moved.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual void ShowCell(int cell, CellColour colour) = 0;
  virtual void ShowSceneCounters(int sceneCount, int currentScene) = 0;
  // Checks the radio button of effect mode 1, 2 or 3.
  virtual void ShowEffectMode(int effectMode) = 0;
  // Play button down while the preview runs, stop button down otherwise.
  virtual void ShowPreviewRunning(bool running) = 0;
  // The 100 ms preview timer; its enabled state is the running state of the preview.
  virtual void EnablePreviewTimer(bool enabled) = 0;
};

}  // namespace lumora
