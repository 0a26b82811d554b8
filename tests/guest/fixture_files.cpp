// Writes the files the emulated-chip guests program from, with the application's own writers:
// a project whose 880 scenes are all used (nine programs, every automatic program set), so that
// every page of the controller image differs, and a "str.tab".
//
//   guest_fixture_files FOLDER      writes FOLDER/show.prj and FOLDER/str.tab
#include <cstdio>
#include <memory>
#include <string>

#include "common/scene.h"
#include "files/atomic_save.h"
#include "files/project_file.h"
#include "files/table_file.h"
#include "main_window/effect_steps.h"

int main(int argc, char** argv) {
  using namespace lumora;
  if (argc != 2) {
    std::fprintf(stderr, "usage: guest_fixture_files FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  auto project = std::make_unique<ProjectFileData>();
  // Programs 1..8 of 99 scenes and program 9 of 88: the controller's 880.
  for (int k = 0; k < 9; ++k) {
    project->ProgramTable[2 * k] = k < 8 ? MaxScenes : StoreCapacity - 8 * MaxScenes;
    project->ProgramTable[2 * k + 1] = EffectNormal + k % 3;
  }
  for (int i = 0; i < kProgramStoreCells; ++i) {
    project->ProgramStore[i] = kPalette[(i * 7 + i / kCellsPerScene) % kPalette.size()];
  }
  AutoTableArray autoTable{};
  for (int k = 0; k < kAutoPrograms; ++k) {
    autoTable[3 * k] = 1 + k;
    autoTable[3 * k + 1] = 3 + k;
    autoTable[3 * k + 2] = 2 + k % 4;
  }
  std::string table;
  for (int i = 0; i < kTableFileValues; ++i) table += std::to_string((i * 37 + 11) % 256) + " ";
  if (!SaveProjectFile(folder + "/show.prj", project->ProgramTable, project->ProgramStore,
                       autoTable) ||
      !SaveFileAtomically(folder + "/" + std::string(kTableFileName), table)) {
    std::fprintf(stderr, "guest_fixture_files: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
