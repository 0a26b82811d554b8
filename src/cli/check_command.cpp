#include "cli/check_command.h"

#include <filesystem>
#include <memory>

#include "cli/exit_codes.h"
#include "cli/output_file.h"
#include "cli/refusal_reason.h"
#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/auto_programs.h"
#include "main_window/effect_steps.h"
#include "main_window/program_memory.h"

namespace lumora::cli {

namespace {

std::string ModeName(int mode) {
  if (mode < EffectNormal || mode > EffectWave2) return "unknown mode " + std::to_string(mode);
  return std::string(kEffectModeNames[mode - EffectNormal]);
}

ReadResult CheckSequence(const std::string& path, std::ostream& out) {
  auto file = std::make_unique<SequenceFileData>();
  const ReadResult result = ReadSequenceFile(path, *file);
  if (result == ReadResult::Ok) {
    out << path << ": sequence, " << file->SceneCount << " scenes, mode "
        << ModeName(file->EffectMode) << "\n";
  }
  return result;
}

// Values the window's spinners cannot take: a designer sees why the preview plays such a
// chain oddly. They are kept and sent as stored, so they only warn.
void WarnOfAutoValues(const std::string& path, int k, const std::int32_t* entry,
                      std::ostream& err) {
  constexpr AutoValue kValues[] = {AutoValue::Start, AutoValue::End, AutoValue::Loop};
  constexpr const char* kNames[] = {"start", "end", "loops"};
  for (int i = 0; i < 3; ++i) {
    const AutoValueRange range = RangeOf(kValues[i]);
    if (entry[i] >= range.Min && entry[i] <= range.Max) continue;
    err << path << ": warning: automatic " << k << ": " << kNames[i] << " " << entry[i]
        << " lies outside what the window's spinners allow (" << range.Min << ".." << range.Max
        << ")\n";
  }
}

ReadResult CheckProject(const std::string& path, std::ostream& out, std::ostream& err) {
  auto file = std::make_unique<ProjectFileData>();
  const ReadResult result = ReadProjectFile(path, *file);
  if (result != ReadResult::Ok) return result;
  ProgramMemory memory;
  memory.Replace(file->ProgramTable, file->ProgramStore);
  int programs = 0;
  for (int k = 1; k <= kPrograms; ++k) programs += memory.SceneCountOf(k) > 0 ? 1 : 0;
  out << path << ": project, " << programs << " programs, " << memory.UsedScenes() << " of "
      << StoreCapacity << " scenes used\n";
  for (int k = 1; k <= kPrograms; ++k) {
    if (memory.SceneCountOf(k) == 0) continue;
    out << "  program " << k << ": " << memory.SceneCountOf(k) << " scenes, mode "
        << ModeName(memory.EffectModeOf(k)) << "\n";
  }
  for (int k = 1; k <= kAutoPrograms; ++k) {
    const auto* entry = &file->AutoValues[3 * (k - 1)];
    out << "  automatic " << k << ": programs " << entry[0] << ".." << entry[1] << ", each "
        << entry[2] << " times\n";
    WarnOfAutoValues(path, k, entry, err);
  }
  return result;
}

ReadResult CheckTable(const std::string& path, std::ostream& out) {
  TableFileArray table;
  const ReadResult result = ReadTableFile(path, table);
  if (result == ReadResult::Ok) out << path << ": table OK\n";
  return result;
}

}  // namespace

int CheckFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
  int exitCode = kExitSuccess;
  for (const std::string& path : paths) {
    const std::string extension = std::filesystem::path(path).extension().string();
    ReadResult result;
    if (extension == ".sqx") {
      result = CheckSequence(path, out);
    } else if (extension == ".prj") {
      result = CheckProject(path, out, err);
    } else if (extension == ".tab") {
      result = CheckTable(path, out);
    } else {
      err << path << ": refused: not a sequence (.sqx), project (.prj) or table file (.tab)\n";
      exitCode = kExitRefused;
      continue;
    }
    if (result != ReadResult::Ok) {
      err << path << ": refused: the file " << RefusalReason(result) << "\n";
      exitCode = kExitRefused;
    }
  }
  return FlushedOut(exitCode, out, err);
}

}  // namespace lumora::cli
