// A lock held by a process that is killed is free at once: the system takes it away with the
// process, whatever it was doing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/process_lock.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

TEST(ProcessLockKillTest, TheLockOfAKilledProcessIsFree) {
  testing::TempFolder temp;
  const std::filesystem::path path = temp.Path() / "run.lock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto lock = ProcessLock::Create(path);
    const char held = lock ? 'y' : 'n';
    [[maybe_unused]] const auto written = ::write(ready[1], &held, 1);
    for (;;) ::pause();
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, 'y');
  EXPECT_FALSE(ProcessLock::Take(path));  // the child runs
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(ProcessLock::Take(path));
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace lumora
