// The atomic save against a system whose flushes and mode changes fail on demand: this program
// puts its own fsync and fchmod in front of the C library's, so it runs apart from the others.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <set>
#include <string>

#include "files/atomic_save.h"
#include "support/temp_folder.h"

namespace {

// What the next calls do: fail on a file, on a folder, or not at all.
enum class Fault { None, FileSync, FolderSync, ModeChange };
std::atomic<Fault> fault = Fault::None;
// Set by a folder's flush: whether the file watched already held its new bytes then.
std::atomic<bool> folderSyncedAfterRename = false;
std::string watchedFile;
std::string newBytes;

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  struct stat info {};
  const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  if (folder && lumora::testing::ReadBytes(watchedFile) == newBytes) {
    folderSyncedAfterRename = true;
  }
  if (fault == (folder ? Fault::FolderSync : Fault::FileSync)) {
    errno = EIO;
    return -1;
  }
  static const auto real = Real<int (*)(int)>("fsync");
  return real(fd);
}

extern "C" int fchmod(int fd, mode_t mode) noexcept {
  if (fault == Fault::ModeChange) {
    errno = EIO;
    return -1;
  }
  static const auto real = Real<int (*)(int, mode_t)>("fchmod");
  return real(fd, mode);
}

namespace lumora {
namespace {

using testing::TempFolder;

constexpr const char* kOld = "1 128 1 128 previous content ";

// "Saved" means on disk: the file and then the folder that holds its new name are flushed.
TEST(AtomicSaveSync, TheFolderIsFlushedAfterTheRename) {
  for (const SaveTemporary road : {SaveTemporary::Unnamed, SaveTemporary::Named}) {
    const TempFolder folder;
    watchedFile = folder.File("show.sqx");
    newBytes = "new bytes";
    testing::WriteBytes(watchedFile, kOld);
    folderSyncedAfterRename = false;
    fault = Fault::None;
    ASSERT_TRUE(SaveFileAtomically(watchedFile, newBytes, road));
    EXPECT_TRUE(folderSyncedAfterRename);
  }
}

// A failed flush or mode change is a failed save: the caller is told, and before the rename
// the old file stays whole with nothing beside it.
TEST(AtomicSaveSync, AFailedFlushOrModeChangeFailsTheSave) {
  const struct {
    const char* Name;
    Fault Fails;
    bool OldFileKept;
  } cases[] = {
      {"file flush", Fault::FileSync, true},
      {"mode change", Fault::ModeChange, true},
      {"folder flush", Fault::FolderSync, false},
  };
  for (const auto& c : cases) {
    for (const SaveTemporary road : {SaveTemporary::Unnamed, SaveTemporary::Named}) {
      const TempFolder folder;
      watchedFile = folder.File("show.sqx");
      newBytes = "new bytes";
      testing::WriteBytes(watchedFile, kOld);
      fault = c.Fails;
      EXPECT_FALSE(SaveFileAtomically(watchedFile, newBytes, road)) << c.Name;
      fault = Fault::None;
      if (c.OldFileKept) {
        EXPECT_EQ(testing::ReadBytes(watchedFile), kOld) << c.Name;
      }
      EXPECT_EQ(folder.Entries(), std::set<std::string>{"show.sqx"}) << c.Name;
    }
  }
}

}  // namespace
}  // namespace lumora
