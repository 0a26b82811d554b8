#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QDialog>

#include "app/posted_tasks.h"
#include "common/dialogs.h"
#include "common/program_tables.h"
#include "programming/adapters/usb_adapter.h"
#include "programming/programming_settings.h"
#include "programming/programming_view.h"
#include "programming/programming_window_model.h"
#include "timer/ticker.h"

class QProgressBar;
class QRadioButton;
class QStatusBar;
class QToolButton;

namespace lumora {

class Panel;
class UpDown;

// The programming window: made when the send command first needs it, then shown modally by
// that command, which hands it the image to send. Every event goes to the handler named after its
// control, which forwards it to the model; the model answers through the ProgrammingView functions.
class TForm2 : public QDialog, public ProgrammingView {
  Q_OBJECT

 public:
  // Builds the controls, then runs FormCreate. The adapter is the one the transfer uses, the
  // ticker paces it.
  TForm2(std::unique_ptr<UsbAdapter> adapter, std::unique_ptr<Ticker> ticker,
         MessageBoxes& messages, QWidget* parent = nullptr);

  // "Wyślij do sterownika": hands over the image and shows the window modally.
  void OpenWith(const ControllerImageArray& image);
  // The image the next showing sends, for a window shown without OpenWith.
  void HandOver(const ControllerImageArray& image) { model_.HandOver(image); }

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

  void RadioButton1Click() { model_.ChooseAllControllers(); }
  void RadioButton2Click() { model_.ChooseAddress(); }
  void RadioButton3Click() { model_.ChooseProgram(); }
  void RadioButton4Click() { model_.ChooseAuto(); }
  void RadioButton5Click() { model_.ChooseUsbProgrammer(); }
  void RadioButton6Click() { model_.ChooseStandardProgrammer(); }
  void UpDown1Click(int position) { model_.SetAddress(position); }
  void UpDown1MouseUp() { model_.ReleaseAddressSpinner(); }
  void UpDown2Click(int position) { model_.SetProgram(position); }
  void UpDown3Click(int position) { model_.SetSpeed(position); }
  void UpDown4Click(int position) { model_.SetTubeCount(position); }
  void UpDown5Click(int position) { model_.SetAutoProgram(position); }
  void SpeedButton1Click() { model_.StartTransfer(); }

  Panel*& PanelOf(Spinner spinner) { return panels_[static_cast<int>(spinner)]; }
  UpDown*& UpDownOf(Spinner spinner) { return upDowns_[static_cast<int>(spinner)]; }

  // The model uses the adapter and the ticker to its end, and its ticks post here until it
  // stops them, so these are declared before it.
  PostedTasks postedTasks_;
  std::unique_ptr<UsbAdapter> adapter_;
  std::unique_ptr<Ticker> ticker_;
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
