#include "files/atomic_save.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/special_files.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::MakeSpecial;
using testing::Name;
using testing::SpecialKind;
using testing::TempFolder;

class AtomicSaveTest : public ::testing::Test {
 protected:
  AtomicSaveTest() { testing::WriteBytes(target_, kOld); }

  static constexpr const char* kOld = "1 128 1 128 previous content ";
  TempFolder folder_;
  std::string target_ = folder_.File("show.sqx");
};

const SaveTemporary kRoads[] = {SaveTemporary::Unnamed, SaveTemporary::Named};

TEST_F(AtomicSaveTest, ReplacesTheFileAndKeepsItsRights) {
  for (const SaveTemporary road : kRoads) {
    const TempFolder folder;
    const std::string target = folder.File("show.sqx");
    testing::WriteBytes(target, kOld);
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(SaveFileAtomically(target, "new bytes", road));
    EXPECT_EQ(testing::ReadBytes(target), "new bytes");
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"show.sqx"});
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    ASSERT_TRUE(SaveFileAtomically(folder.File("new.prj"), "", road));
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"new.prj", "show.sqx"}));
  }
}

// The process dies of the file-size signal half-way through writing: with an unnamed
// temporary the folder is left as it was; the named one is the road that leaves a trace.
TEST_F(AtomicSaveTest, ASaveKilledHalfWayLeavesNothingBehind) {
  const struct {
    SaveTemporary road;
    std::size_t entries;
  } cases[] = {{SaveTemporary::Unnamed, 1}, {SaveTemporary::Named, 2}};
  for (const auto& c : cases) {
    const TempFolder folder;
    const std::string target = folder.File("show.prj");
    testing::WriteBytes(target, kOld);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SaveFileAtomically(folder.File("warm-up"), "");  // sets the signal aside once
      ::unlink(folder.File("warm-up").c_str());
      ::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{4096, 4096};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      SaveFileAtomically(target, std::string(100000, '7'), c.road);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    EXPECT_EQ(testing::ReadBytes(target), kOld);
    EXPECT_EQ(folder.Entries().size(), c.entries) << (c.road == SaveTemporary::Unnamed);
  }
}

// A save onto a symbolic link writes the file the link ends at and leaves the link alone.
TEST_F(AtomicSaveTest, ALinkKeepsPointingAtTheFileThatIsSaved) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // name, where it points
    std::string saved;  // the file that must hold the new bytes
  } cases[] = {
      {"relative link beside", {{"link.sqx", "show.sqx"}}, "show.sqx"},
      {"relative link into a folder", {{"link.sqx", "shows/real.sqx"}}, "shows/real.sqx"},
      {"relative link from a folder", {{"shows/link.sqx", "../show.sqx"}}, "show.sqx"},
      {"chain of two links",
       {{"link.sqx", "shows/next.sqx"}, {"shows/next.sqx", "../show.sqx"}},
       "show.sqx"},
      {"dangling link", {{"link.sqx", "shows/new.sqx"}}, "shows/new.sqx"},
  };
  for (const auto& c : cases) {
    const TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "shows");
    testing::WriteBytes(folder.File("show.sqx"), kOld);
    testing::WriteBytes(folder.File("shows/real.sqx"), kOld);
    for (const auto& [name, to] : c.links)
      std::filesystem::create_symlink(to, folder.Path() / name);
    const std::string link = folder.File(c.links.front().first);
    for (const SaveTemporary road : kRoads) {
      ASSERT_TRUE(SaveFileAtomically(link, "new bytes", road)) << c.name;
      EXPECT_EQ(testing::ReadBytes(folder.File(c.saved)), "new bytes") << c.name;
      for (const auto& [name, to] : c.links) {
        EXPECT_EQ(std::filesystem::read_symlink(folder.Path() / name), to) << c.name;
      }
      ::unlink(folder.File(c.saved).c_str());  // the next road starts from a dangling link
      testing::WriteBytes(folder.File(c.saved), kOld);
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path())) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << c.name << ": a temporary is left";
    }
  }
  const TempFolder folder;
  std::filesystem::create_symlink("nowhere/show.sqx", folder.Path() / "dangling.sqx");
  std::filesystem::create_symlink("loop.sqx", folder.Path() / "loop.sqx");
  std::filesystem::create_symlink("/proc/lumora_show.sqx", folder.Path() / "proc.sqx");
  for (const char* name : {"dangling.sqx", "loop.sqx", "proc.sqx"}) {
    EXPECT_FALSE(SaveFileAtomically(folder.File(name), "x")) << name;
  }
  EXPECT_EQ(folder.Entries(), (std::set<std::string>{"dangling.sqx", "loop.sqx", "proc.sqx"}));
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

// A save never puts a file in place of something that is no file, here or behind a link.
TEST_F(AtomicSaveTest, WhatIsNoFileIsLeftAsItIs) {
  for (const SpecialKind kind : {SpecialKind::PipeWithoutWriter, SpecialKind::Socket}) {
    const TempFolder folder;
    const std::string special = folder.File("special");
    ASSERT_TRUE(MakeSpecial(kind, special)) << Name(kind);
    std::filesystem::create_symlink("special", folder.Path() / "link.sqx");
    for (const char* name : {"special", "link.sqx"}) {
      EXPECT_FALSE(SaveFileAtomically(folder.File(name), "x")) << Name(kind) << " as " << name;
    }
    const auto status = std::filesystem::symlink_status(special);
    EXPECT_EQ(status.type(), kind == SpecialKind::Socket ? std::filesystem::file_type::socket
                                                         : std::filesystem::file_type::fifo);
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"link.sqx", "special"})) << Name(kind);
  }
}

// A device node: a real one where the process may make it, else a link to /dev/zero (a
// process that may not make one may not replace anything in /dev either).
TEST_F(AtomicSaveTest, ADeviceNodeIsLeftAsItIs) {
  const std::string device = folder_.File("device");
  if (::mknod(device.c_str(), S_IFCHR | 0600, ::makedev(1, 5)) != 0) {
    ASSERT_TRUE(MakeSpecial(SpecialKind::Device, device));
  }
  std::filesystem::create_symlink("device", folder_.Path() / "link.sqx");
  for (const SaveTemporary road : kRoads) {
    for (const char* name : {"device", "link.sqx"}) {
      EXPECT_FALSE(SaveFileAtomically(folder_.File(name), "x", road)) << name;
    }
  }
  EXPECT_TRUE(std::filesystem::is_character_file(device));
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"device", "link.sqx", "show.sqx"}));
}

// The owner and group of a file written by someone else are kept, and the mode with them,
// set-group-ID bit included (a change of owner clears it).
// The owner and group a replaced file is given before a save: strangers' where the test may
// (as root), else the user's own with another group of the user's where there is one.
std::pair<uid_t, gid_t> OwnerAndGroupToKeep() {
  if (::geteuid() == 0) return {1234, 5678};
  std::vector<gid_t> groups(static_cast<std::size_t>(::getgroups(0, nullptr)));
  groups.resize(
      static_cast<std::size_t>(::getgroups(static_cast<int>(groups.size()), groups.data())));
  for (const gid_t group : groups) {
    if (group != ::getegid()) return {::geteuid(), group};
  }
  return {::geteuid(), ::getegid()};
}

TEST_F(AtomicSaveTest, KeepsTheOwnerAndGroupOfTheFileItReplaces) {
  const auto [owner, group] = OwnerAndGroupToKeep();
  for (const SaveTemporary road : kRoads) {
    ASSERT_EQ(::chown(target_.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(target_.c_str(), 02750), 0);
    ASSERT_TRUE(SaveFileAtomically(target_, "new bytes", road));
    struct stat info {};
    ASSERT_EQ(::stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(info.st_mode & 07777, 02750u);
    EXPECT_EQ(testing::ReadBytes(target_), "new bytes");
  }
}

// A save killed after its temporary was named and before the rename leaves a complete
// ".NAME.tmpPID_N"; the next save of that file removes it once its process is gone, and
// leaves what a living process or another file's save may still use.
TEST_F(AtomicSaveTest, ATemporaryLeftByAKilledSaveIsRemovedByTheNextSave) {
  const pid_t gone = ::fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string left = ".show.sqx.tmp" + std::to_string(gone) + "_3";
  const std::string living = ".show.sqx.tmp" + std::to_string(::getppid()) + "_0";
  const std::set<std::string> kept = {"show.sqx", living,
                                      ".other.sqx.tmp" + std::to_string(gone) + "_0",
                                      ".show.sqx.tmp" + std::to_string(gone) + "_x"};
  for (const SaveTemporary road : kRoads) {
    for (const std::string& name : kept) testing::WriteBytes(folder_.File(name), "x");
    testing::WriteBytes(folder_.File(left), "complete, never renamed");
    ASSERT_TRUE(SaveFileAtomically(target_, "new bytes", road));
    EXPECT_EQ(folder_.Entries(), kept);
  }
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
