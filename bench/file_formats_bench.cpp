// Prints how long saving and reading a full sequence file and a project file take, beside a
// plain fprintf/fscanf loop over the same numbers in the same run. Build it as Release for
// figures worth comparing.
#include <stdlib.h>

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

namespace {

using namespace lumora;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 30;

// The median of kRuns timed runs, in milliseconds.
double MedianMs(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = Clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
  return times[kRuns / 2];
}

void PrintfNumbers(const std::string& path, const std::vector<std::int32_t>& numbers) {
  FILE* file = std::fopen(path.c_str(), "w");
  for (std::int32_t number : numbers) std::fprintf(file, "%d ", number);
  std::fclose(file);
}

// Our text written the way the fprintf loop writes: no temporary, no fsync.
void WritePlain(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "w");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

void ScanfNumbers(const std::string& path, std::vector<std::int32_t>& numbers) {
  FILE* file = std::fopen(path.c_str(), "r");
  for (std::int32_t& number : numbers) {
    if (std::fscanf(file, "%d ", &number) != 1) break;
  }
  std::fclose(file);
}

void Report(const char* what, std::size_t numbers, double ours, double plain, double limitMs) {
  std::printf("%-29s %6zu numbers: %7.3f ms  (fprintf/fscanf loop %7.3f ms, ratio %.2f)  %s\n",
              what, numbers, ours, plain, ours / plain,
              ours < limitMs && ours * 2 <= plain ? "ok" : "MISSED");
}

CellColour SomeColour(std::size_t i) {
  return kPalette[(i * 7 + i / 128) % kPalette.size()];
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumora_bench_XXXXXX").string();
  const std::filesystem::path folder = ::mkdtemp(pattern.data());
  const std::string ours = (folder / "ours").string();
  const std::string plain = (folder / "plain").string();

  // A sequence of 99 scenes: 12,676 numbers.
  auto sequence = std::make_unique<SequenceFileData>();
  for (std::size_t i = 0; i < sequence->SceneSlots.size(); ++i) {
    sequence->SceneSlots[i] = SomeColour(i);
  }
  std::vector<std::int32_t> sequenceNumbers{MaxScenes, 128, 2, 128};
  for (CellColour cell : sequence->SceneSlots) {
    sequenceNumbers.push_back(static_cast<std::int32_t>(cell));
  }

  const double sequencePrintf = MedianMs([&] { PrintfNumbers(plain, sequenceNumbers); });
  Report("Zapisz, atomic with fsync", sequenceNumbers.size(),
         MedianMs([&] { SaveSequenceFile(ours, MaxScenes, 2, sequence->SceneSlots); }),
         sequencePrintf, 3.0);
  Report("Zapisz, format + plain write", sequenceNumbers.size(), MedianMs([&] {
           WritePlain(ours, FormatSequenceFile(MaxScenes, 2, sequence->SceneSlots));
         }),
         sequencePrintf, 3.0);
  Report("Otwórz, read", sequenceNumbers.size(),
         MedianMs([&] { ReadSequenceFile(ours, *sequence); }),
         MedianMs([&] { ScanfNumbers(plain, sequenceNumbers); }), 3.0);

  // A full project: 112,775 numbers.
  ProgramTableArray table{};
  for (int program = 0; program < 8; ++program) table[2 * program] = 99;
  table[16] = 88;
  auto store = std::make_unique<ProgramStoreArray>();
  for (std::size_t i = 0; i < store->size(); ++i) (*store)[i] = SomeColour(i);
  AutoTableArray autoTable{};
  autoTable.fill(1);
  std::vector<std::int32_t> projectNumbers{kProgramStoreCells, kProgramStoreCells};
  projectNumbers.insert(projectNumbers.end(), table.begin(), table.end());
  for (CellColour cell : *store) projectNumbers.push_back(static_cast<std::int32_t>(cell));
  projectNumbers.insert(projectNumbers.end(), autoTable.begin(), autoTable.end() - 1);
  auto project = std::make_unique<ProjectFileData>();

  const double projectPrintf = MedianMs([&] { PrintfNumbers(plain, projectNumbers); });
  Report("Zapisz projekt, atomic+fsync", projectNumbers.size(),
         MedianMs([&] { SaveProjectFile(ours, table, *store, autoTable); }), projectPrintf, 15.0);
  Report("Zapisz projekt, plain write", projectNumbers.size(),
         MedianMs([&] { WritePlain(ours, FormatProjectFile(table, *store, autoTable)); }),
         projectPrintf, 15.0);
  Report("Otwórz projekt, read", projectNumbers.size(),
         MedianMs([&] { ReadProjectFile(ours, *project); }),
         MedianMs([&] { ScanfNumbers(plain, projectNumbers); }), 15.0);

  std::filesystem::remove_all(folder);
  return 0;
}
