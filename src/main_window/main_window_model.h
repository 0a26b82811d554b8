#pragma once

#include <optional>

#include "main_window/dialogs.h"
#include "main_window/effect_steps.h"
#include "main_window/main_window_view.h"
#include "main_window/painting.h"
#include "main_window/scene_store.h"

namespace lumora {

// The main window's logic: the scene store, painting, editing commands, effect modes and
// the preview. The widgets forward their events here and show what the view is told.
class MainWindowModel {
 public:
  MainWindowModel(MainWindowView& view, FileDialogs& dialogs, MessageBoxes& messages);

  void FormCreate();

  // Scene store operations that also reach the screen.
  void StoreScene(int slot) { store.StoreScene(slot); }
  // Copies a slot to the screen; a scene of the store replaces any preview frame.
  void LoadScene(int slot);
  void RedrawGrid();
  void ShowSceneCounters();
  void ShowEffectMode();

  // Painting.
  void SelectPaintColour(int paletteIndex);  // 0..7, top to bottom
  void SelectPencil() { paint.ReplaceMode = false; }
  void SelectBrush() { paint.ReplaceMode = true; }
  void CellMouseDown(int cell, MouseButton button);
  void CellMouseMove(int cell);
  // Colour a click on a tube's frame gives it, or nothing for tubes without the click.
  std::optional<CellColour> TubeFrameColour(int tube) const;

  // Editing commands.
  void PreviousScene();
  void NextScene();
  void AddScene();                  // "Dodaj"
  void DeleteScene();               // "Usuń"
  void CopyScene();                 // "kopiuj"
  void PasteScene();                // "wklej"
  void SelectEffectMode(int mode);  // the radio buttons "normal", "fala1", "fala2"

  // Preview.
  void Play();
  void Stop();
  void StartPreview();
  void StopPreview();
  void PreviewTick();
  void RefreshDisplay();
  bool PreviewRunning() const { return previewRunning_; }

  // Stores the scene on screen into its slot before the sequence is handed on, unless the
  // screen shows a preview frame rather than a scene of the store.
  void StoreBackBeforeHandOff();

  SceneStore store;
  PaintState paint;
  PreviewState preview;

 private:
  // Editing commands first rewind a running or halted preview, so no preview frame is ever
  // stored into the sequence.
  void LeavePreview();
  void PaintCell(int cell);

  MainWindowView& view_;
  FileDialogs& dialogs_;
  MessageBoxes& messages_;
  bool previewRunning_ = false;
  bool screenShowsPreviewFrame_ = false;
};

}  // namespace lumora
