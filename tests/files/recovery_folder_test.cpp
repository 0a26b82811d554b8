// The recovery folder shared by every running Lumora: each keeps its own copy, a copy whose
// lock nobody holds is left behind, and nothing is made before the first copy.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "files/process_lock.h"
#include "files/recovery_folder.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

// Paths go to the folder in UTF-8, as the program keeps them; the files are reached by the
// system's own names.
std::filesystem::path FromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ReadBytes(const std::string& utf8) {
  std::ifstream in(FromUtf8(utf8), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& utf8, std::string_view bytes) {
  std::ofstream(FromUtf8(utf8), std::ios::binary) << bytes;
}

// The user's folders may have Polish names, as "Łukasz" in C:\Users.
class RecoveryFolderTest : public ::testing::Test {
 protected:
  std::string Folder() const {
    const std::u8string path = (temp_.Path() / u8"Łukasz" / "recovery").u8string();
    return std::string(path.begin(), path.end());
  }
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FromUtf8(Folder()))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // A copy as a process that is gone left it, named by hand.
  void Leave(const std::string& id, const std::string& sequence, std::string_view project) {
    std::filesystem::create_directories(FromUtf8(Folder()));
    if (!sequence.empty()) WriteBytes(Folder() + "/" + id + ".sqx", sequence);
    if (!project.empty()) WriteBytes(Folder() + "/" + id + ".prj", project);
  }

  TempFolder temp_;
};

TEST_F(RecoveryFolderTest, NothingIsMadeBeforeTheFirstCopyAndNothingIsLeftAfterRemoving) {
  {
    RecoveryFolder folder(Folder());
    EXPECT_FALSE(folder.TakeLeftCopy());
    folder.Remove();
  }
  EXPECT_FALSE(std::filesystem::exists(FromUtf8(Folder())));

  RecoveryFolder folder(Folder());
  ASSERT_TRUE(folder.Save(RecoveryPart::Sequence, "1 128 1 128 "));
  ASSERT_TRUE(folder.Save(RecoveryPart::Project, "project"));
  EXPECT_EQ(Entries().size(), 3u);  // ID.sqx, ID.prj, ID.lock
  folder.Remove();
  EXPECT_TRUE(Entries().empty());
  ASSERT_TRUE(folder.Save(RecoveryPart::Sequence, "again"));  // under a fresh id
  EXPECT_EQ(Entries().size(), 2u);
}

// Two runs at once each keep their own copy, and neither takes the other's while it holds its
// lock; once one ends, its copy is left for the next start, exactly as written.
TEST_F(RecoveryFolderTest, TwoRunsKeepTheirOwnCopiesAndAnEndedRunsCopyIsLeft) {
  auto first = std::make_unique<RecoveryFolder>(Folder());
  RecoveryFolder second(Folder());
  ASSERT_TRUE(first->Save(RecoveryPart::Sequence, "first sequence"));
  ASSERT_TRUE(first->Save(RecoveryPart::Project, "first project"));
  ASSERT_TRUE(second.Save(RecoveryPart::Sequence, "second sequence"));
  EXPECT_EQ(Entries().size(), 5u);
  EXPECT_FALSE(second.TakeLeftCopy());
  EXPECT_FALSE(RecoveryFolder(Folder()).TakeLeftCopy());

  first.reset();
  auto left = second.TakeLeftCopy();
  ASSERT_TRUE(left);
  EXPECT_EQ(ReadBytes(left->PathOf(RecoveryPart::Sequence)), "first sequence");
  EXPECT_EQ(ReadBytes(left->PathOf(RecoveryPart::Project)), "first project");
  // Held while it is looked at: no third start offers it meanwhile.
  EXPECT_FALSE(RecoveryFolder(Folder()).TakeLeftCopy());
  left->Remove();
  left.reset();
  EXPECT_FALSE(RecoveryFolder(Folder()).TakeLeftCopy());
  EXPECT_EQ(Entries().size(), 2u);  // the second run's own
}

// Copies are offered newest first, one a start; names are no process numbers, so a copy named
// like a process that runs now is still taken; a lock left without a copy is cleared away.
TEST_F(RecoveryFolderTest, TheNewestLeftCopyComesFirstAndStrayLocksAreCleared) {
  Leave("older", "old", "");
  Leave("1", "", "one");  // the number of the first process, which always runs
  std::filesystem::last_write_time(
      FromUtf8(Folder() + "/older.sqx"),
      std::filesystem::last_write_time(FromUtf8(Folder() + "/1.prj")) - std::chrono::hours(1));
  WriteBytes(Folder() + "/stray.lock", "");
  WriteBytes(Folder() + "/.1.prj.tmp42_0", "a save's temporary");
  RecoveryFolder folder(Folder());
  auto newest = folder.TakeLeftCopy();
  ASSERT_TRUE(newest);
  EXPECT_FALSE(newest->Has(RecoveryPart::Sequence));
  EXPECT_EQ(ReadBytes(newest->PathOf(RecoveryPart::Project)), "one");
  newest->Remove();
  auto older = folder.TakeLeftCopy();
  ASSERT_TRUE(older);
  EXPECT_EQ(ReadBytes(older->PathOf(RecoveryPart::Sequence)), "old");
  older->Remove();
  EXPECT_EQ(Entries(), std::set<std::string>{".1.prj.tmp42_0"});
}

TEST_F(RecoveryFolderTest, ACopySetAsideIsNeverOfferedAgainAndKeepsItsBytes) {
  for (int round = 0; round < 2; ++round) {
    Leave("bad", "broken " + std::to_string(round), "x");
    auto left = RecoveryFolder(Folder()).TakeLeftCopy();
    ASSERT_TRUE(left);
    EXPECT_EQ(FromUtf8(left->SetAside()), FromUtf8(Folder()) / "damaged");
    EXPECT_FALSE(RecoveryFolder(Folder()).TakeLeftCopy());
    EXPECT_EQ(Entries(), std::set<std::string>{"damaged"});
  }
  // The second set aside beside the first, not over it.
  EXPECT_EQ(ReadBytes(Folder() + "/damaged/bad.sqx"), "broken 0");
  EXPECT_EQ(ReadBytes(Folder() + "/damaged/bad-1.sqx"), "broken 1");
}

// A run that ends with its copy still wanted leaves it; one without a copy leaves nothing.
TEST_F(RecoveryFolderTest, AnEndedRunLeavesOnlyACopyItStillHeld) {
  {
    RecoveryFolder folder(Folder());
    ASSERT_TRUE(folder.Save(RecoveryPart::Project, "kept"));
  }
  EXPECT_EQ(Entries().size(), 2u);
  RecoveryFolder(Folder()).TakeLeftCopy()->Remove();
  EXPECT_TRUE(Entries().empty());
}

TEST_F(RecoveryFolderTest, AFolderThatCannotBeMadeFailsTheSave) {
  std::filesystem::create_directories(FromUtf8(Folder()).parent_path());
  WriteBytes(Folder(), "a file");
  RecoveryFolder folder(Folder());
  EXPECT_FALSE(folder.Save(RecoveryPart::Sequence, "x"));
  EXPECT_FALSE(folder.TakeLeftCopy());
}

TEST(ProcessLockTest, AHeldLockIsNotTakenAndALockLetGoIs) {
  TempFolder temp;
  const std::filesystem::path path = temp.Path() / "a.lock";
  auto held = ProcessLock::Create(path);
  ASSERT_TRUE(held);
  EXPECT_FALSE(ProcessLock::Create(path));  // already there
  EXPECT_FALSE(ProcessLock::Take(path));
  held.reset();
  auto taken = ProcessLock::Take(path);
  ASSERT_TRUE(taken);
  taken->Remove();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(ProcessLock::Take(path));  // made when missing
}

}  // namespace
}  // namespace lumora
