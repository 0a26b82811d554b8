#include "main_window/auto_programs.h"

namespace lumora {

namespace {
bool ValidAuto(int k) {
  return k >= 1 && k <= kAutoPrograms;
}
}  // namespace

void AutoPrograms::SelectAuto(int k) {
  if (!ValidAuto(k)) return;
  AutoActive = true;
  AutoPending = true;
  SelectedAuto = k;
  const int entry = 3 * (k - 1);
  AutoStart = AutoTable[entry];
  AutoEnd = AutoTable[entry + 1];
  AutoLoop = AutoTable[entry + 2];
  LoopsLeft = AutoLoop;
}

void AutoPrograms::MarkAutoPanels(int k) {
  AutoPanelColor.fill(slot_colour::SkyBlue);
  if (ValidAuto(k)) AutoPanelColor[k - 1] = slot_colour::Red;
}

// Counted down only from above 0, so that no value of a project overflows: a count that
// starts at 0 or below would take 2^32 passes to reach 0 again.
bool AutoPrograms::CountLoop() {
  if (LoopsLeft <= 0) return false;
  LoopsLeft -= 1;
  return LoopsLeft == 0;
}

// "Current + 1 > end" without the + 1, which overflows at the largest value.
void AutoPrograms::NextProgram() {
  AutoCurrent = AutoCurrent >= AutoEnd ? AutoStart : AutoCurrent + 1;
  LoopsLeft = AutoLoop;
}

void AutoPrograms::SetStart(int position) {
  AutoStart = position;
  if (AutoStart > AutoEnd) AutoEnd = AutoStart;
  AutoTable[3 * (SelectedAuto - 1)] = AutoStart;
  AutoTable[3 * (SelectedAuto - 1) + 1] = AutoEnd;
}

void AutoPrograms::SetEnd(int position) {
  AutoEnd = position;
  if (AutoEnd < AutoStart) AutoStart = AutoEnd;
  AutoTable[3 * (SelectedAuto - 1) + 1] = AutoEnd;
  AutoTable[3 * (SelectedAuto - 1)] = AutoStart;
}

void AutoPrograms::SetLoop(int position) {
  AutoLoop = position;
  AutoTable[3 * (SelectedAuto - 1) + 2] = AutoLoop;
}

}  // namespace lumora
