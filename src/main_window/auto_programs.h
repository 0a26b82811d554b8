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

// The seven automatic programs: each plays DMX programs start..end in turn, every one of
// them loop-count times, without end.
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
  // The spinners: start never above end, written through to the selected entry.
  void SetStart(int position);
  void SetEnd(int position);
  void SetLoop(int position);

  bool operator==(const AutoPrograms&) const = default;
};

}  // namespace lumora
