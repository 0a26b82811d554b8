#include "main_window/main_window_model.h"

namespace lumora {

void MainWindowModel::AutoPanelMouseDown(int k) {
  if (k < 1 || k > kAutoPrograms) return;
  StopPreview();
  SelectAuto(k);
  autos.MarkAutoPanels(k);
  autos.AutoPending = true;
  StartPreview();
}

void MainWindowModel::SelectAuto(int k) {
  autos.SelectAuto(k);
  view_.SetAutoSpinners(autos.AutoStart, autos.AutoEnd, autos.AutoLoop);
}

void MainWindowModel::AutoStep() {
  if (autos.AutoPending) {
    autos.AutoCurrent = autos.AutoStart;
    PlayProgram(autos.AutoCurrent);
    autos.AutoPending = false;
    preview.SequenceEnded = false;
  }
  if (autos.AutoActive && preview.SequenceEnded) {
    preview.SequenceEnded = false;
    autos.LoopsLeft -= 1;
    if (autos.LoopsLeft == 0) {
      autos.AutoCurrent += 1;
      if (autos.AutoCurrent > autos.AutoEnd) autos.AutoCurrent = autos.AutoStart;
      autos.LoopsLeft = autos.AutoLoop;
      PlayProgram(autos.AutoCurrent);
    }
  }
}

void MainWindowModel::AutoStartClick(int position) {
  autos.SetStart(position);
  view_.SetAutoSpinners(autos.AutoStart, autos.AutoEnd, autos.AutoLoop);
}

void MainWindowModel::AutoEndClick(int position) {
  autos.SetEnd(position);
  view_.SetAutoSpinners(autos.AutoStart, autos.AutoEnd, autos.AutoLoop);
}

void MainWindowModel::AutoLoopClick(int position) {
  autos.SetLoop(position);
}

}  // namespace lumora
