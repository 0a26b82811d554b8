#pragma once

#include <array>
#include <cstdint>

#include "common/program_tables.h"

namespace lumora {

// Colours of the program and automatic squares; ButtonFace stands for the system's
// button-face colour, which only the widgets know.
namespace slot_colour {
inline constexpr CellColour ButtonFace = 0xFF000000;
inline constexpr CellColour SkyBlue = 0x00F0CAA6;
inline constexpr CellColour Green = 0x0000FF00;
inline constexpr CellColour Red = 0x000000FF;
}  // namespace slot_colour

// The automatic values as the window's spinners offer them ("Prg Start", "Prg End", "Prg
// Loop"). A project may hold any 32-bit value; the chain's steps are defined for all of them.
enum class AutoValue { Start, End, Loop };
struct AutoValueRange {
  int Min;
  int Max;
};
inline constexpr std::array<AutoValueRange, 3> kAutoValueRanges = {{
    {1, kPrograms},  // start
    {1, kPrograms},  // end
    {1, 99},         // loop count
}};
inline constexpr AutoValueRange RangeOf(AutoValue value) {
  return kAutoValueRanges[static_cast<int>(value)];
}

// The seven automatic programs: each plays DMX programs start..end in turn, every one of
// them loop-count times, without end. A loop count below 1 never runs out, so the chain
// stays on its program; a current program at or past the end goes back to the start.
struct AutoPrograms {
  AutoTableArray AutoTable{};
  std::int32_t SelectedAuto = 1;
  std::int32_t AutoStart = 0;
  std::int32_t AutoEnd = 0;
  std::int32_t AutoLoop = 0;
  std::int32_t AutoCurrent = 0;
  std::int32_t LoopsLeft = 0;
  bool AutoActive = false;   // the preview follows the chain
  bool AutoPending = false;  // the next preview tick begins the chain
  std::array<CellColour, kAutoPrograms> AutoPanelColor{};

  void ResetAutoTable() { AutoTable.fill(1); }
  // Makes automatic program k (1..7) the selected one and arms its chain.
  void SelectAuto(int k);
  // All squares sky blue, square k red (none for k outside 1..7).
  void MarkAutoPanels(int k);
  void StopAuto() {
    AutoActive = false;
    MarkAutoPanels(0);
  }
  // At the end of a pass of the current program: true when its loops have run out.
  bool CountLoop();
  // The program after the current one, or the start after the end; the loops begin again.
  void NextProgram();
  // The spinners: start never above end, written through to the selected entry.
  void SetStart(int position);
  void SetEnd(int position);
  void SetLoop(int position);

  bool operator==(const AutoPrograms&) const = default;
};

}  // namespace lumora
