#pragma once

#include <memory>
#include <span>

#include "common/program_tables.h"

namespace lumora {

// The controller's 56 DMX programs: the program table and the 880-scene memory they share,
// kept back to back in program order with no gaps. Program numbers are 1..56; a number
// outside that range reads as an empty program and changes nothing.
//
// A copy shares the 450 KB scene memory until one of the copies writes to it, so keeping
// many states of the configuration costs only the stores that really differ.
class ProgramMemory {
 public:
  ProgramMemory();

  static bool ValidProgram(int k) { return k >= 1 && k <= kPrograms; }
  int SceneCountOf(int k) const { return ValidProgram(k) ? table_[2 * (k - 1)] : 0; }
  int EffectModeOf(int k) const { return ValidProgram(k) ? table_[2 * (k - 1) + 1] : 0; }
  // Sum of the scene counts of programs 1..k-1; UsedScenes() for k = 57.
  int ProgramStart(int k) const;
  int UsedScenes() const { return ProgramStart(kPrograms + 1); }
  // Whether n more scenes fit; the scenes the slot holds now count as used.
  bool Fits(int n) const { return n >= 0 && UsedScenes() + n <= StoreCapacity; }

  const ProgramTableArray& Table() const { return table_; }
  // The scene memory; its address stays the same until something is written to it.
  const ProgramStoreArray& Store() const { return *store_; }

  // Makes program k's room exactly n scenes by moving the programs after it; the table
  // still holds the old count of k. Callers check Fits first.
  void ResizeProgram(int k, int n);
  // Copies a sequence into program k's room, from scene ProgramStart(k) on.
  void StoreProgram(int k, std::span<const CellColour> sequence);
  // The cells of program k's scenes.
  std::span<const CellColour> ProgramScenes(int k) const;
  void SetProgram(int k, int sceneCount, int effectMode);
  // Takes a whole configuration, as a project holds it.
  void Replace(const ProgramTableArray& table, const ProgramStoreArray& store);

  friend bool operator==(const ProgramMemory& a, const ProgramMemory& b) {
    return a.table_ == b.table_ && (a.store_ == b.store_ || *a.store_ == *b.store_);
  }

 private:
  // The scene memory for writing: a private copy first when another memory shares it.
  ProgramStoreArray& WritableStore();

  ProgramTableArray table_{};
  std::shared_ptr<ProgramStoreArray> store_;
};

}  // namespace lumora
