#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "files/atomic_save.h"
#include "files/input_file.h"
#include "files/sequence_file.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

// The program keeps paths in UTF-8; the test names files as the system does, in UTF-16.
std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ReadWide(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::wstring> EntriesOf(const std::filesystem::path& folder) {
  std::set<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().wstring());
  }
  return names;
}

const std::filesystem::path kDocuments = L"Moje dokumenty";
const std::filesystem::path kShow = L"Pokaz \u015bwi\u0105teczny.sqx";

// A Polish name in a Polish folder is saved, replaced and read back under that very name.
TEST(WindowsFiles, APolishNameIsSavedReplacedAndReadBackWholeWithNothingLeftBeside) {
  TempFolder temp;
  const std::filesystem::path folder = temp.Path() / kDocuments;
  std::filesystem::create_directory(folder);
  const std::filesystem::path file = folder / kShow;

  std::array<CellColour, MaxScenes * kCellsPerScene> slots{};
  slots[0] = 0xFF0000;
  ASSERT_TRUE(SaveSequenceFile(Utf8Path(file), 1, 2, slots));
  const std::string first = ReadWide(file);
  EXPECT_EQ(first, FormatSequenceFile(1, 2, slots));

  slots[kCellsPerScene] = 0x00FF00;
  ASSERT_TRUE(SaveSequenceFile(Utf8Path(file), 2, 3, slots));
  EXPECT_EQ(ReadWide(file), FormatSequenceFile(2, 3, slots));
  EXPECT_EQ(EntriesOf(folder), std::set<std::wstring>{kShow.wstring()});

  SequenceFileData read;
  ASSERT_EQ(ReadSequenceFile(Utf8Path(file), read), ReadResult::Ok);
  EXPECT_EQ(read.SceneCount, 2);
  EXPECT_EQ(read.EffectMode, 3);
  EXPECT_EQ(read.SceneSlots[kCellsPerScene], 0x00FF00);
}

// What is no disk file is never read and never replaced: a folder, a device.
TEST(WindowsFiles, FoldersAndDevicesAreNeitherReadNorReplaced) {
  TempFolder temp;
  const std::filesystem::path folder = temp.Path() / kDocuments;
  std::filesystem::create_directory(folder);
  const struct {
    const char* Name;
    std::string Path;
    ReadResult Opening;
  } cases[] = {
      {"folder", Utf8Path(folder), ReadResult::NotAFile},
      {"device", "NUL", ReadResult::NotAFile},
      {"missing", Utf8Path(folder / kShow), ReadResult::CannotOpen},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InputFile(c.Path).Opening(), c.Opening) << c.Name;
  }
  EXPECT_FALSE(SaveFileAtomically(Utf8Path(folder), "x"));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(SaveFileAtomically("NUL", "x"));
  EXPECT_TRUE(EntriesOf(temp.Path()) == std::set<std::wstring>{kDocuments.wstring()});
}

// A save given up before Commit leaves nothing; a temporary a killed save left is removed by
// the next save once its process is gone, and one of a running process is left alone.
TEST(WindowsFiles, TemporariesOfUnfinishedSavesDoNotStay) {
  TempFolder temp;
  const std::filesystem::path file = temp.Path() / kShow;
  {
    AtomicSave save(Utf8Path(file));
    ASSERT_TRUE(save.Write("half"));
  }
  EXPECT_TRUE(EntriesOf(temp.Path()).empty());

  const std::wstring hidden = L"." + kShow.wstring() + L".tmp";
  // No process has an id that is not a multiple of 4.
  const std::wstring gone = hidden + L"4294967295_0";
  const std::wstring running = hidden + std::to_wstring(GetCurrentProcessId()) + L"_999";
  std::ofstream(temp.Path() / gone) << "left";
  std::ofstream(temp.Path() / running) << "busy";
  ASSERT_TRUE(SaveFileAtomically(Utf8Path(file), "whole"));
  EXPECT_EQ(ReadWide(file), "whole");
  EXPECT_EQ(EntriesOf(temp.Path()), (std::set<std::wstring>{kShow.wstring(), running}));
}

}  // namespace
}  // namespace lumora
