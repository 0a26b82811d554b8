#pragma once

#include <array>

#include "main_window/main_window_view.h"
#include "support/fake_dialogs.h"

namespace lumora::testing {

// Keeps what the widgets would show, so tests compare the screen with the model.
class FakeMainWindowView : public MainWindowView {
 public:
  void ShowCell(int cell, CellColour colour) override { cells[cell] = colour; }
  void ShowSceneCounters(int sceneCount, int currentScene) override {
    sceneLabel = sceneCount;
    currentLabel = currentScene;
  }
  void ShowEffectMode(int effectMode) override { checkedEffect = effectMode; }
  void ShowPreviewRunning(bool running) override { playDown = running; }
  void EnablePreviewTimer(bool enabled) override { timerEnabled = enabled; }
  void ShowProgramSlots(const std::array<CellColour, kPrograms>& colours) override {
    slotColours = colours;
  }
  void ShowAutoPanels(const std::array<CellColour, kAutoPrograms>& colours) override {
    autoColours = colours;
  }
  void ShowAutoValues(int start, int end, int loop) override { autoValues = {start, end, loop}; }
  void SetAutoSpinners(int start, int end, int loop) override { autoSpinners = {start, end, loop}; }
  void ShowMemoryUse(int usedScenes) override { memoryUse = usedScenes; }

  Scene cells{};
  int sceneLabel = -1;
  int currentLabel = -1;
  int checkedEffect = 1;
  bool playDown = false;
  bool timerEnabled = false;
  std::array<CellColour, kPrograms> slotColours{};
  std::array<CellColour, kAutoPrograms> autoColours{};
  std::array<int, 3> autoValues{};
  std::array<int, 3> autoSpinners{};
  int memoryUse = -1;
};

inline Scene Filled(CellColour c) {
  Scene s;
  s.fill(c);
  return s;
}

}  // namespace lumora::testing
