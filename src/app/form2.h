#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QDialog>

#include "app/realtime_broker.h"
#include "common/dialogs.h"
#include "common/program_tables.h"
#include "programming/programming_settings.h"
#include "programming/programming_view.h"
#include "programming/programming_window_model.h"
#include "programming/usb_adapter.h"
#include "timer/mm_timer.h"

class QProgressBar;
class QRadioButton;
class QStatusBar;
class QToolButton;

namespace lumora {

class Panel;
class UpDown;

// The programming window: created hidden at start-up and shown modally by the send command.
// Every event goes to the handler of the model named after its control; the model answers
// through the ProgrammingView functions.
class TForm2 : public QDialog, public ProgrammingView {
  Q_OBJECT

 public:
  // Builds the controls, then runs FormCreate. The adapter is the one the transfer uses;
  // the image is the main window's, read each time the window is shown and while it sends.
  // realtime, where given, is told of each timer thread that starts, on the UI thread; it
  // must outlive the window.
  TForm2(std::unique_ptr<UsbAdapter> adapter, const ControllerImageArray& image,
         MessageBoxes& messages, QWidget* parent = nullptr, RealtimeBroker* realtime = nullptr);

  const ProgrammingWindowModel& Model() const { return model_; }

  void SetSpinnerEnabled(Spinner spinner, bool enabled) override;
  void SetAddressSpinnerStep(int step) override;
  void SetProgramButtonEnabled(bool enabled) override;
  void CheckUsbProgrammerButton() override;
  void SetProgressPosition(int position) override;
  void PostToUiThread(std::function<void()> task) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildTargetGroup();
  void BuildSoloGroup();
  void BuildProgrammerGroup();
  // A number panel with its spinner beside it, inside group.
  void BuildSpinner(QWidget* group, Spinner spinner, QPoint panelPlace, QPoint upDownPlace);
  // Runs the spinner's handler with its new position, then shows the position in its panel
  // and its panel's accessible name.
  void SpinnerClick(Spinner spinner);
  void ShowPosition(Spinner spinner);
  void Activate();
  // Called on the timer thread.
  void TimerThreadStarted(const TimerThreadStart& start);

  Panel*& PanelOf(Spinner spinner) { return panels_[static_cast<int>(spinner)]; }
  UpDown*& UpDownOf(Spinner spinner) { return upDowns_[static_cast<int>(spinner)]; }

  // The model uses the adapter and the timer to its end, so they are declared before it.
  std::unique_ptr<UsbAdapter> adapter_;
  // Before the timer, whose first thread starts while the window is being built.
  RealtimeBroker* const realtime_;
  TMMTimer MMTimer;
  ProgrammingWindowModel model_;

  std::array<Panel*, kSpinnerCount> panels_{};    // Panel1, Panel2, Panel3, Panel4, Panel5
  std::array<UpDown*, kSpinnerCount> upDowns_{};  // UpDown1 .. UpDown5 in Spinner order
  QRadioButton* RadioButton5 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QProgressBar* progressBar_ = nullptr;
  // Set by each showing until its activation has run, so one showing activates once.
  bool activationPending_ = false;
};

}  // namespace lumora
