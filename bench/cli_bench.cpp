// Prints the wall time of whole runs of `lumora-cli check` and `lumora-cli image` on a full
// project (880 scenes), beside a plain fscanf loop reading the same file and a run of
// `lumora-cli --version` (the start of the process alone) in the same run. The processor time
// of the runs shows what a busy machine adds to the wall time. Build it as
// Release for figures worth comparing. Then the size of a rendered 1,000-frame "fala1" wave,
// beside what gifsicle -O3 makes of the same file where gifsicle is installed.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "support/beside_program.h"

extern char** environ;

namespace {

using namespace lumora;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 30;
constexpr double kLimitMs = 20.0;

struct Figures {
  double median;
  double fastest;
  double processorMedian;  // processor time of the spawned runs; 0 for runs in this process
};

// The processor time of the last child waited for, in ms.
double lastChildProcessorMs = 0;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

Figures Time(const std::function<bool()>& run) {
  std::vector<double> times, processor;
  for (int i = 0; i < kRuns; ++i) {
    lastChildProcessorMs = 0;
    const auto start = Clock::now();
    if (!run()) {
      std::printf("a run failed\n");
      std::exit(1);
    }
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    processor.push_back(lastChildProcessorMs);
  }
  return {Median(times), *std::min_element(times.begin(), times.end()), Median(processor)};
}

double Ms(const timeval& t) {
  return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

// A whole run of lumora-cli in folder, its output thrown away; true when it exited with 0.
bool RunCli(const std::filesystem::path& folder, std::vector<std::string> args) {
  args.insert(args.begin(), lumora::testing::BesideProgram(LUMORA_CLI_FROM_BENCH));
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    lastChildProcessorMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
  }
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The size of a file in bytes, 0 when there is none.
std::uintmax_t SizeOf(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

// A 12-scene "fala1" sequence of random palette colours rendered for 1,000 frames at the
// window's scale, and gifsicle's best optimisation of it.
void ReportRenderedWave(const std::filesystem::path& folder) {
  std::vector<CellColour> cells;
  std::uint32_t random = 7;
  for (int i = 0; i < 12 * kCellsPerScene; ++i) {
    random = random * 1103515245u + 12345u;
    cells.push_back(kPalette[(random >> 16) % kPalette.size()]);
  }
  if (!SaveSequenceFile((folder / "wave.sqx").string(), 12, 2, cells) ||
      !RunCli(folder, {"render", "wave.sqx", "--frames", "1000", "-o", "wave.gif"})) {
    std::printf("the render failed\n");
    std::exit(1);
  }
  const std::uintmax_t ours = SizeOf(folder / "wave.gif");
  std::printf("lumora-cli render, 1,000 frames of a 12-scene wave: %ju bytes", ours);
  std::vector<std::string> args = {"gifsicle", "-O3", (folder / "wave.gif").string(), "-o",
                                   (folder / "optimised.gif").string()};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawnp(&pid, "gifsicle", nullptr, nullptr, argv.data(), environ) == 0) {
    waitpid(pid, &status, 0);
  }
  const std::uintmax_t optimised = SizeOf(folder / "optimised.gif");
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && optimised > 0) {
    std::printf("; gifsicle -O3: %ju bytes (ours %.2f x)  %s\n", optimised,
                static_cast<double>(ours) / static_cast<double>(optimised),
                ours <= optimised * 1.05 ? "ok" : "MISSED");
  } else {
    std::printf("; gifsicle not installed (apt-get install gifsicle)\n");
  }
}

bool ScanfNumbers(const std::string& path, std::vector<std::int32_t>& numbers) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  for (std::int32_t& number : numbers) {
    if (std::fscanf(file, "%d ", &number) != 1) break;
  }
  std::fclose(file);
  return true;
}

void Report(const char* what, Figures ours, Figures scanf) {
  std::printf(
      "%-34s wall median %6.2f ms, fastest %6.2f ms, processor %5.2f ms  (fscanf loop %6.2f ms)"
      "  %s\n",
      what, ours.median, ours.fastest, ours.processorMedian, scanf.median,
      ours.median < kLimitMs ? "ok" : "MISSED");
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumora_bench_XXXXXX").string();
  const std::filesystem::path folder = ::mkdtemp(pattern.data());
  const std::string projectPath = (folder / "full.prj").string();

  // A full project: eight programs of 99 scenes and one of 88.
  ProgramTableArray table{};
  for (int program = 0; program < 8; ++program) table[2 * program] = 99;
  table[16] = 88;
  auto store = std::make_unique<ProgramStoreArray>();
  for (std::size_t i = 0; i < store->size(); ++i) (*store)[i] = kPalette[(i * 7 + i / 128) % 8];
  AutoTableArray autoTable{};
  autoTable.fill(1);
  if (!SaveProjectFile(projectPath, table, *store, autoTable)) return 1;
  std::string tableText;
  for (int i = 0; i < kTableFileValues; ++i) tableText += std::to_string(i % 256) + " ";
  FILE* tableFile = std::fopen((folder / "str.tab").c_str(), "w");
  std::fwrite(tableText.data(), 1, tableText.size(), tableFile);
  std::fclose(tableFile);

  std::vector<std::int32_t> numbers(2 + kProgramTableSize + kProgramStoreCells +
                                    kProjectAutoValues);
  const Figures scanf = Time([&] { return ScanfNumbers(projectPath, numbers); });
  Report("lumora-cli --version (start alone)", Time([&] { return RunCli(folder, {"--version"}); }),
         scanf);
  Report("lumora-cli check, 880 scenes", Time([&] {
           return RunCli(folder, {"check", "full.prj"});
         }),
         scanf);
  Report("lumora-cli image, 880 scenes", Time([&] {
           return RunCli(folder, {"image", "full.prj", "-o", "image.bin"});
         }),
         scanf);
  ReportRenderedWave(folder);
  std::filesystem::remove_all(folder);
}
