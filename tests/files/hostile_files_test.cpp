// Files no user would write on purpose: an endless run of digits, blank runs of megabytes,
// a file the user may not read. The readers must answer quickly and clearly.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "files/sequence_file.h"
#include "files/table_file.h"
#include "temp_folder.h"

namespace lumora::testing {
namespace {

TEST(HostileFilesTest, ADigitRunOfAGigabyteIsRefusedWithoutReadingIt) {
  TempFolder folder;
  const std::string path = folder.File("digits.sqx");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  ::signal(SIGPIPE, SIG_IGN);
  std::atomic<long long> written = 0;
  std::thread writer([&] {
    const int fd = ::open(path.c_str(), O_WRONLY);
    const std::string chunk(1 << 16, '7');
    while (written < (1LL << 30)) {
      const ssize_t n = ::write(fd, chunk.data(), chunk.size());
      if (n <= 0) break;  // the reader has gone
      written += n;
    }
    ::close(fd);
  });
  auto data = std::make_unique<SequenceFileData>();
  EXPECT_EQ(ReadSequenceFile(path, *data), ReadResult::Invalid);
  writer.join();
  EXPECT_LT(written, 1LL << 20);
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

// Runs body in a child process as a user without rights to the test's files; its result is
// the child's exit status.
int AsNobody(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
