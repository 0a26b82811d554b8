#pragma once

#include <span>

#include "common/program_tables.h"

namespace lumora {

// The controller's 56 DMX programs: the program table and the 880-scene memory they share,
// kept back to back in program order with no gaps. Program numbers are 1..56; a number
// outside that range reads as an empty program and changes nothing.
struct ProgramMemory {
  ProgramTableArray ProgramTable{};
  ProgramStoreArray ProgramStore{};

  static bool ValidProgram(int k) { return k >= 1 && k <= kPrograms; }
  int SceneCountOf(int k) const { return ValidProgram(k) ? ProgramTable[2 * (k - 1)] : 0; }
  int EffectModeOf(int k) const { return ValidProgram(k) ? ProgramTable[2 * (k - 1) + 1] : 0; }
  // Sum of the scene counts of programs 1..k-1; UsedScenes() for k = 57.
  int ProgramStart(int k) const;
  int UsedScenes() const { return ProgramStart(kPrograms + 1); }
  // Whether n more scenes fit; the scenes the slot holds now count as used.
  bool Fits(int n) const { return n >= 0 && UsedScenes() + n <= StoreCapacity; }

  // Makes program k's room exactly n scenes by moving the programs after it; the table
  // still holds the old count of k. Callers check Fits first.
  void ResizeProgram(int k, int n);
  // Copies a sequence into program k's room, from scene ProgramStart(k) on.
  void StoreProgram(int k, std::span<const CellColour> sequence);
  // The cells of program k's scenes.
  std::span<const CellColour> ProgramScenes(int k) const;
  void SetProgram(int k, int sceneCount, int effectMode);
};

}  // namespace lumora
