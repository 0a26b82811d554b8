#pragma once

#include <array>
#include <functional>
#include <utility>

#include <QButtonGroup>
#include <QTimer>
#include <QWidget>

#include "common/program_tables.h"
#include "main_window/files_to_open.h"
#include "main_window/main_window_model.h"
#include "main_window/main_window_view.h"
#include "main_window/tube_layout.h"

class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace lumora {

class Panel;
class TForm2;
class TubeGrid;
class UpDown;

// The main window: the tube picture, the painting tools and the two tabs. Every event goes to
// a handler named after its control and event, which forwards it to the model; the model
// answers through the MainWindowView functions.
class TForm1 : public QWidget, public MainWindowView {
  Q_OBJECT

 public:
  // Builds the controls, then runs FormCreate. The dialogs are used by file commands.
  TForm1(FileDialogs& dialogs, MessageBoxes& messages, QWidget* parent = nullptr);
  ~TForm1() override;

  MainWindowModel& Model() { return model_; }
  // Gives the window "Wyślij do sterownika" shows modally. Asked for only then, so that the
  // window need not exist before it is first needed.
  using ProgrammingWindowSource = std::function<TForm2&()>;
  void SetProgrammingWindow(ProgrammingWindowSource source) {
    programmingWindow_ = std::move(source);
  }
  // The 100 ms beat, for what looks at the work without waking the program on its own.
  const QTimer& BeatTimer() const { return Timer2; }

  void ShowCell(int cell, CellColour colour) override;
  void ShowScene(const Scene& scene) override;
  void ShowSceneCounters(int sceneCount, int currentScene) override;
  void ShowEffectMode(int effectMode) override;
  void ShowPreviewRunning(bool running) override;
  void EnablePreviewTimer(bool enabled) override;
  void ShowProgramSlots(const std::array<CellColour, kPrograms>& colours) override;
  void ShowAutoPanels(const std::array<CellColour, kAutoPrograms>& colours) override;
  void ShowAutoValues(int start, int end, int loop) override;
  void SetAutoSpinners(int start, int end, int loop) override;
  void ShowMemoryUse(int usedScenes) override;

  // Opens the project, then the sequence, as "Otwórz projekt" and "Otwórz" open a file chosen
  // in their dialogs; a relative path is taken from the working folder, an empty one passed over.
  void OpenGivenFiles(const FilesToOpen& files);

 protected:
  // A project and a sequence dropped onto the window, one of each at most, open as given ones.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Files from outside: dropped onto the window, and the recent ones offered by a right click
  // (or the menu key) on "Otwórz" and "Otwórz projekt".
  void BuildFileOpening();
  void ShowRecentFiles(QToolButton* button, FileKind kind, QPoint place);

  void BuildTubes();
  void BuildTools();
  void BuildSequenceTab(QWidget* page);
  void BuildConfigTab(QWidget* page);
  void BuildAutoPrograms(QWidget* groupBox3);
  // The keyboard: each key clicks the control it stands for, so it runs that control's handler.
  void BuildShortcuts();
  void FormCreate();

  // Tube grid and painting.
  void Panel153MouseDown(int cell, Qt::MouseButton button);
  void Panel153MouseMove(int cell);
  void Panel153MouseUp(Qt::MouseButton button);
  void Panel1Click(int tube);
  void Panel1MouseDown(QPoint position);
  void Panel1MouseMove(int tube, QPoint position);
  void Panel1MouseUp();
  void SpeedButton1Click(int paletteIndex);
  void SpeedButton10Click();
  void SpeedButton11Click();

  // Sequence tab.
  void SpeedButton15Click();
  void SpeedButton16Click();
  void SpeedButton17Click();
  void SpeedButton18Click();
  void Button16Click();
  void Button15Click();
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void SpeedButton22Click();
  void SpeedButton23Click();
  void SpeedButton19Click();
  void SpeedButton20Click();
  void SpeedButton21Click();

  // Controller configuration tab.
  void SpeedButton9Click();
  void SpeedButton12Click();
  void SpeedButton14Click();
  void Button6Click();
  void Button7Click();
  void Button2Click();
  void Button19Click();
  void Panel219MouseDown(Panel* sender, Qt::MouseButton button);
  void Panel220MouseDown(Panel* sender);
  void Button80Click();
  void Button81Click();
  void UpDown1Click();
  void UpDown2Click();
  void UpDown3Click();
  void PageControl1Change();

  // Keyboard only.
  void Undo();
  void Redo();
  void PlayOrStop();

  // The 100 ms beat.
  void Timer2Timer();

  MainWindowModel model_;
  TubeDrag tubeDrag_;

  TubeGrid* tubes_ = nullptr;
  QButtonGroup paletteGroup_;
  QButtonGroup toolGroup_;
  QButtonGroup playGroup_;
  QTabWidget* PageControl1 = nullptr;
  QLabel* Label20 = nullptr;
  QLabel* Label22 = nullptr;
  std::array<QRadioButton*, 3> effectButtons_{};  // RadioButton1..3
  QToolButton* SpeedButton22 = nullptr;
  QToolButton* SpeedButton23 = nullptr;

  std::array<Panel*, kPrograms> programSquares_{};   // Panel164..Panel219
  std::array<Panel*, kAutoPrograms> autoSquares_{};  // Panel220..Panel226
  QGroupBox* GroupBox5 = nullptr;
  UpDown* UpDown1 = nullptr;
  UpDown* UpDown2 = nullptr;
  UpDown* UpDown3 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label9 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;

  ProgrammingWindowSource programmingWindow_;

  // The preview's frames ride the display refresh's 100 ms beat while the model's preview runs:
  // a frame and the refresh that shows its counters then take one wake-up and one repaint
  // instead of two of each. The beat's timer keeps the refresh timer's name, so that a test can
  // wait for its ticks.
  QTimer Timer2{this};
};

}  // namespace lumora
