// Files no user would write on purpose: a run of digits of megabytes, blank runs of megabytes,
// a file the user may not read, things that are no file at all. The readers must answer
// quickly and clearly.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "files/project_file.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "support/as_nobody.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

// Bytes this process has asked the kernel to read so far.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

TEST(HostileFilesTest, ADigitRunOfMegabytesIsRefusedWithoutReadingIt) {
  TempFolder folder;
  const std::string path = folder.File("digits.sqx");
  WriteBytes(path, std::string(16 << 20, '7'));
  auto data = std::make_unique<SequenceFileData>();
  const long long before = BytesRead();
  EXPECT_EQ(ReadSequenceFile(path, *data), ReadResult::Invalid);
  EXPECT_LT(BytesRead() - before, 1 << 20);
}

// Whatever the dialog names, a reader refuses what is no file at once, and never waits for a
// writer that may not come.
TEST(HostileFilesTest, WhatIsNoFileIsRefusedWithoutWaiting) {
  struct Reader {
    const char* name;
    std::function<ReadResult(const std::string&)> read;
  };
  const Reader readers[] = {
      {"sequence",
       [](const std::string& path) {
         auto data = std::make_unique<SequenceFileData>();
         return ReadSequenceFile(path, *data);
       }},
      {"project",
       [](const std::string& path) {
         auto data = std::make_unique<ProjectFileData>();
         return ReadProjectFile(path, *data);
       }},
      {"table",
       [](const std::string& path) {
         TableFileArray values{};
         return ReadTableFile(path, values);
       }},
  };
  for (const SpecialKind kind : kSpecialKinds) {
    for (const Reader& reader : readers) {
      TempFolder folder;
      const std::string path = folder.File("special");
      ASSERT_TRUE(MakeSpecial(kind, path)) << Name(kind);
      ReadResult result = ReadResult::Ok;
      EXPECT_TRUE(FinishesWithoutWaiting(path, [&] { result = reader.read(path); }))
          << reader.name << " reader waits on a " << Name(kind);
      EXPECT_EQ(result, ReadResult::NotAFile) << reader.name << " reader, " << Name(kind);
    }
  }
}

TEST(HostileFilesTest, BlankRunsOfAnyLengthSeparateNumbers) {
  TempFolder folder;
  const std::string blanks(1 << 20, ' ');
  std::string text = "1" + blanks + "128\n\n\t" + blanks + "2 128";
  for (int i = 0; i < kCellsPerScene; ++i)
    text += (i % 7 ? " " : blanks + "\r\n") + std::to_string(i);
  WriteBytes(folder.File("wide.sqx"), text);
  auto data = std::make_unique<SequenceFileData>();
  ASSERT_EQ(ReadSequenceFile(folder.File("wide.sqx"), *data), ReadResult::Ok);
  EXPECT_EQ(data->EffectMode, 2);
  EXPECT_EQ(data->SceneSlots[127], 127u);
}

TEST(HostileFilesTest, AFileTheUserMayNotReadCannotBeOpened) {
  TempFolder folder;
  const std::string sequence = folder.File("secret.sqx");
  const std::string table = folder.File("str.tab");
  WriteBytes(sequence, "1 128 1 128 " + std::string(256, ' '));
  WriteBytes(table, "1 2 3");
  ::chmod(sequence.c_str(), 0);
  ::chmod(table.c_str(), 0);
  ::chmod(folder.Path().c_str(), 0755);
  const int status = AsNobody([&] {
    auto data = std::make_unique<SequenceFileData>();
    TableFileArray values{};
    return ReadSequenceFile(sequence, *data) == ReadResult::CannotOpen &&
                   ReadTableFile(table, values) == ReadResult::CannotOpen
               ? 0
               : 1;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace lumora::testing
