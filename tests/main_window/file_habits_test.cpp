#include "main_window/file_habits.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "main_window/file_names.h"
#include "main_window/files_to_open.h"

namespace lumora::testing {
namespace {

TEST(FileNames, KindFolderAndRoot) {
  const struct {
    const char* path;
    std::optional<FileKind> kind;
    bool absolute;
    const char* folder;
  } cases[] = {
      {"/home/anna/pokaz.prj", FileKind::Project, true, "/home/anna"},
      {"/pokaz.PRJ", FileKind::Project, true, "/"},
      {"/a/b/Scena.Sqx", FileKind::Sequence, true, "/a/b"},
      {"C:/Users/Anna/pokaz.prj", FileKind::Project, true, "C:/Users/Anna"},
      {"C:\\pokaz.sqx", FileKind::Sequence, true, "C:\\"},
      {"C:/pokaz.sqx", FileKind::Sequence, true, "C:/"},
      {"//serwer/pokazy/a.sqx", FileKind::Sequence, true, "//serwer/pokazy"},
      {"pokaz.prj", FileKind::Project, false, ""},
      {"pokazy/pokaz.prj", FileKind::Project, false, "pokazy"},
      {"C:pokaz.prj", FileKind::Project, false, ""},
      {"/a/pokaz.prj.txt", std::nullopt, true, "/a"},
      {"/a/pokaz.sq", std::nullopt, true, "/a"},
      {"/a/sqx", std::nullopt, true, "/a"},
      {"/a/", std::nullopt, true, "/a"},
      {"", std::nullopt, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileKindOfName(c.path), c.kind) << c.path;
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << c.path;
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
  }
}

TEST(FilesToOpen, OneProjectAndOneSequenceProjectFirst) {
  using enum FilesToOpen::Refusal;
  const struct {
    std::vector<std::string> paths;
    std::string project, sequence;
    FilesToOpen::Refusal refusal;
    std::string refused;
  } cases[] = {
      {{}, "", "", None, ""},
      {{"/a/s.sqx"}, "", "/a/s.sqx", None, ""},
      {{"/a/s.sqx", "/a/P.PRJ"}, "/a/P.PRJ", "/a/s.sqx", None, ""},
      {{"/a/s.sqx", "/b/t.sqx"}, "", "", TwoOfAKind, "/b/t.sqx"},
      {{"/a/p.prj", "/a/s.sqx", "/a/q.prj"}, "", "", TwoOfAKind, "/a/q.prj"},
      {{"/a/s.sqx", "/a/notatki.txt"}, "", "", NotSequenceOrProject, "/a/notatki.txt"},
      {{"/a/pokaz"}, "", "", NotSequenceOrProject, "/a/pokaz"},
  };
  for (const auto& c : cases) {
    const FilesToOpen files = SortFilesToOpen(c.paths);
    const std::string name = c.paths.empty() ? "none" : c.paths.back();
    EXPECT_EQ(files.project, c.project) << name;
    EXPECT_EQ(files.sequence, c.sequence) << name;
    EXPECT_EQ(files.refusal, c.refusal) << name;
    EXPECT_EQ(files.refused, c.refused) << name;
  }
}

// Keeps the record in memory and counts what the habits ask of it.
class MemoryStore : public FileHabitsStore {
 public:
  FileHabitsRecord Load() override {
    ++loads;
    return kept;
  }
  bool Save(const FileHabitsRecord& record) override {
    ++saves;
    if (!writable) return false;
    kept = record;
    return true;
  }
  FileHabitsRecord kept;
  bool writable = true;
  int loads = 0;
  int saves = 0;
};

class FileHabitsTest : public ::testing::Test {
 protected:
  FileHabits::Exists Exists() {
    return [this](const std::string& path) { return there.contains(path); };
  }
  // A run of the program over the same store.
  FileHabits NextRun() { return FileHabits(store, Exists()); }

  MemoryStore store;
  std::set<std::string> there{"/pokazy", "/pokazy/a.sqx", "/pokazy/b.sqx", "/pokazy/p.prj",
                              "/sterownik"};
};

TEST_F(FileHabitsTest, TheFirstStartKeepsTodaysFoldersAndWritesNothing) {
  FileHabits habits = NextRun();
  EXPECT_EQ(store.loads, 0);  // nothing is read before it is needed
  for (FileKind kind : {FileKind::Sequence, FileKind::Project, FileKind::Listing}) {
    EXPECT_EQ(habits.StartFolder(kind), "");
    EXPECT_TRUE(habits.Recent(kind).empty());
  }
  EXPECT_EQ(store.loads, 1);
  EXPECT_EQ(store.saves, 0);
}

TEST_F(FileHabitsTest, EachKindOpensInTheFolderOfItsLastFileInTheNextRun) {
  {
    FileHabits habits = NextRun();
    habits.Used(FileKind::Sequence, "/pokazy/a.sqx");
    habits.Used(FileKind::Listing, "/sterownik/pokaz.sqx");
    EXPECT_EQ(store.saves, 2);
  }
  FileHabits habits = NextRun();
  EXPECT_EQ(habits.StartFolder(FileKind::Sequence), "/pokazy");
  EXPECT_EQ(habits.StartFolder(FileKind::Listing), "/sterownik");
  EXPECT_EQ(habits.StartFolder(FileKind::Project), "");
  // An output is no sequence to open again.
  EXPECT_EQ(habits.Recent(FileKind::Sequence), std::vector<std::string>{"/pokazy/a.sqx"});
  EXPECT_TRUE(habits.Recent(FileKind::Listing).empty());

  there.erase("/pokazy");  // a folder gone: the dialog opens where it did before
  EXPECT_EQ(habits.StartFolder(FileKind::Sequence), "");
}

TEST_F(FileHabitsTest, RecentFilesNewestFirstOnceEachGoneOnesDropOut) {
  FileHabits habits = NextRun();
  habits.Used(FileKind::Sequence, "/pokazy/a.sqx");
  habits.Used(FileKind::Sequence, "/pokazy/b.sqx");
  habits.Used(FileKind::Project, "/pokazy/p.prj");
  habits.Used(FileKind::Sequence, "/pokazy/a.sqx");
  EXPECT_EQ(habits.Recent(FileKind::Sequence),
            (std::vector<std::string>{"/pokazy/a.sqx", "/pokazy/b.sqx"}));
  EXPECT_EQ(habits.Recent(FileKind::Project), std::vector<std::string>{"/pokazy/p.prj"});

  there.erase("/pokazy/b.sqx");
  EXPECT_EQ(habits.Recent(FileKind::Sequence), std::vector<std::string>{"/pokazy/a.sqx"});
  // Back again (a stick plugged in again): it is offered again.
  there.insert("/pokazy/b.sqx");
  EXPECT_EQ(habits.Recent(FileKind::Sequence).size(), 2u);
}

TEST_F(FileHabitsTest, TheListKeepsTheLastFewAndGoneFilesMakeRoom) {
  FileHabits habits = NextRun();
  std::vector<std::string> newestFirst;
  for (int i = 1; i <= 10; ++i) {
    const std::string path = "/pokazy/" + std::to_string(i) + ".sqx";
    there.insert(path);
    habits.Used(FileKind::Sequence, path);
    newestFirst.insert(newestFirst.begin(), path);
  }
  newestFirst.resize(FileHabits::kRecentFiles);
  EXPECT_EQ(habits.Recent(FileKind::Sequence), newestFirst);

  there.erase("/pokazy/9.sqx");
  habits.Used(FileKind::Sequence, "/pokazy/a.sqx");
  EXPECT_EQ(store.kept.recentSequences,
            (std::vector<std::string>{"/pokazy/a.sqx", "/pokazy/10.sqx", "/pokazy/8.sqx",
                                      "/pokazy/7.sqx", "/pokazy/6.sqx", "/pokazy/5.sqx",
                                      "/pokazy/4.sqx", "/pokazy/3.sqx"}));
}

// A damaged or hand-edited settings file: what is no absolute path, repeats or runs past the
// list's length is passed over; the rest is used.
TEST_F(FileHabitsTest, AKeptRecordIsTakenOnlyAsFarAsItIsSound) {
  store.kept.folders = {"pokazy", "/pokazy", "\x01garbage"};
  store.kept.recentSequences = {"", "a.sqx", "/pokazy/a.sqx", "/pokazy/a.sqx", "/pokazy/b.sqx"};
  for (int i = 0; i < 20; ++i) store.kept.recentProjects.push_back("/pokazy/p.prj");
  FileHabits habits = NextRun();
  EXPECT_EQ(habits.StartFolder(FileKind::Sequence), "");
  EXPECT_EQ(habits.StartFolder(FileKind::Project), "/pokazy");
  EXPECT_EQ(habits.StartFolder(FileKind::Listing), "");
  EXPECT_EQ(habits.Recent(FileKind::Sequence),
            (std::vector<std::string>{"/pokazy/a.sqx", "/pokazy/b.sqx"}));
  EXPECT_EQ(habits.Recent(FileKind::Project), std::vector<std::string>{"/pokazy/p.prj"});
}

TEST_F(FileHabitsTest, AStoreThatCannotBeWrittenStillServesThisRun) {
  store.writable = false;
  FileHabits habits = NextRun();
  habits.Used(FileKind::Project, "/pokazy/p.prj");
  EXPECT_EQ(habits.StartFolder(FileKind::Project), "/pokazy");
  EXPECT_EQ(habits.Recent(FileKind::Project), std::vector<std::string>{"/pokazy/p.prj"});
  habits.Used(FileKind::Project, "/pokazy/p.prj");
  EXPECT_EQ(store.saves, 2);  // each use tries again
  EXPECT_EQ(store.loads, 1);
  EXPECT_EQ(store.kept, FileHabitsRecord{});
}

TEST_F(FileHabitsTest, ARelativePathIsNotKept) {
  FileHabits habits = NextRun();
  habits.Used(FileKind::Sequence, "a.sqx");
  EXPECT_EQ(store.saves, 0);
  EXPECT_EQ(habits.StartFolder(FileKind::Sequence), "");
}

}  // namespace
}  // namespace lumora::testing
