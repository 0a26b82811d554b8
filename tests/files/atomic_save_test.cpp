#include "files/atomic_save.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

class AtomicSaveTest : public ::testing::Test {
 protected:
  AtomicSaveTest() { testing::WriteBytes(target_, kOld); }

  static constexpr const char* kOld = "1 128 1 128 previous content ";
  TempFolder folder_;
  std::string target_ = folder_.File("show.sqx");
};

TEST_F(AtomicSaveTest, ReplacesTheFileAndKeepsItsRights) {
  ::chmod(target_.c_str(), 0640);
  ASSERT_TRUE(SaveFileAtomically(target_, "new bytes"));
  EXPECT_EQ(testing::ReadBytes(target_), "new bytes");
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{"show.sqx"});
  struct stat info {};
  ASSERT_EQ(::stat(target_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  ASSERT_TRUE(SaveFileAtomically(folder_.File("new.prj"), ""));
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"new.prj", "show.sqx"}));
}

TEST_F(AtomicSaveTest, FileSizeLimitFailsTheSaveAndKeepsTheOldFile) {
  // The limit would also stop the test runner, so the save runs in a child process; a
  // signal-killed child means the size-limit signal was not ignored.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(SaveFileAtomically(target_, std::string(100000, '7')) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a cut-short save was reported as done";
  EXPECT_EQ(testing::ReadBytes(target_), kOld);
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{"show.sqx"});
}

TEST_F(AtomicSaveTest, UnwritablePlacesFailWithoutLeavingAnything) {
  std::filesystem::create_directory(folder_.Path() / "listing.sqx");
  EXPECT_FALSE(SaveFileAtomically(folder_.File("listing.sqx"), "x")) << "a folder as target";
  EXPECT_FALSE(SaveFileAtomically(folder_.File("gone/show.sqx"), "x")) << "no such folder";
  EXPECT_FALSE(SaveFileAtomically("/proc/lumora_show.sqx", "x")) << "a folder nobody can write";
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"listing.sqx", "show.sqx"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder_.Path() / "listing.sqx"));
  EXPECT_EQ(testing::ReadBytes(target_), kOld);
}

}  // namespace
}  // namespace lumora
