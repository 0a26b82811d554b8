// Every save command of the main window against real write failures: a file-size limit that
// stops the write part-way, a folder nobody may write in, and a folder removed between the
// dialog and the write. Each must say "ERROR PLIK", keep the previous file byte-identical and
// leave no temporary file behind.
#include <sys/resource.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
#include <string>

#include "model_fixture.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

struct SaveCommand {
  const char* name;
  std::function<void(MainWindowModel&)> command;
};

const SaveCommand kSaves[] = {
    {"Zapisz", [](MainWindowModel& m) { m.SaveSequence(); }},
    {"Export", [](MainWindowModel& m) { m.ExportSequence(); }},
    {"Zapisz projekt", [](MainWindowModel& m) { m.SaveProject(); }},
    {"save all", [](MainWindowModel& m) { m.SaveFullListing(); }},
    {"save tab auto", [](MainWindowModel& m) { m.SaveAutoListing(); }},
    {"save tab prg", [](MainWindowModel& m) { m.SaveProgramListing(); }},
    {"save tab sc_prg", [](MainWindowModel& m) { m.SaveSceneListing(); }},
};

// Lowers the file-size limit of the process for one scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous_); }

 private:
  rlimit previous_{};
};

class SaveFaultsTest : public ModelFixture {
 protected:
  SaveFaultsTest() {
    SetSequence({A, B, C});
    EditConfig([](ConfigSnapshot& state) { state.programs.SetProgram(1, 2, 1); });
  }
  // Runs a save whose dialog answers path and checks that it failed cleanly.
  void ExpectCleanFailure(const SaveCommand& save, const std::string& path) {
    const std::string before = std::filesystem::exists(path) ? ReadBytes(path) : "";
    const auto entries =
        std::filesystem::exists(folder.Path()) ? folder.Entries() : std::set<std::string>{};
    dialogs.errors.clear();
    dialogs.answers.push_back(path);
    save.command(model);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"ERROR PLIK"}) << save.name;
    if (!before.empty()) {
      EXPECT_EQ(ReadBytes(path), before) << save.name;
    }
    EXPECT_EQ(folder.Entries(), entries) << save.name;
  }

  TempFolder folder;
};

TEST_F(SaveFaultsTest, WriteCutShortByAFileSizeLimit) {
  const std::string path = folder.File("old.sqx");
  WriteBytes(path, std::string(40, 'x'));
  const FileSizeLimit limit(64);  // every file of these commands is longer
  for (const auto& save : kSaves) ExpectCleanFailure(save, path);
}

TEST_F(SaveFaultsTest, FolderThatCannotBeWritten) {
  // Even root may not create files in /proc.
  for (const auto& save : kSaves) ExpectCleanFailure(save, "/proc/lumora-save-test.sqx");
}

TEST_F(SaveFaultsTest, FolderRemovedBetweenTheDialogAndTheWrite) {
  const TempFolder elsewhere;
  const std::filesystem::path gone = elsewhere.Path() / "gone";
  dialogs.afterDialog = [&] { std::filesystem::remove_all(gone); };
  for (const auto& save : kSaves) {
    std::filesystem::create_directory(gone);
    ExpectCleanFailure(save, (gone / "file.sqx").string());
  }
}

// Shows kept in a synced folder through links: every save writes the file the link points
// to, and the link stays a link.
TEST_F(SaveFaultsTest, ASaveOntoALinkWritesTheFileItPointsTo) {
  std::filesystem::create_directory(folder.Path() / "synced");
  const std::string link = folder.File("link.sqx");
  const std::string real = folder.File("synced/real.sqx");
  std::filesystem::create_symlink("synced/real.sqx", link);
  for (const auto& save : kSaves) {
    WriteBytes(real, "old");
    dialogs.answers.push_back(link);
    save.command(model);
    EXPECT_TRUE(dialogs.errors.empty()) << save.name;
    EXPECT_NE(ReadBytes(real), "old") << save.name;
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << save.name;
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"link.sqx", "synced"})) << save.name;
  }
  // A link into a folder that cannot be written fails as that folder does.
  std::filesystem::create_symlink("/proc/lumora-save-test.sqx", folder.File("proc.sqx"));
  for (const auto& save : kSaves) ExpectCleanFailure(save, folder.File("proc.sqx"));
}

TEST_F(SaveFaultsTest, ASaveThatWorksReplacesTheFile) {
  const std::string path = folder.File("old.sqx");
  for (const auto& save : kSaves) {
    WriteBytes(path, "old");
    dialogs.answers.push_back(path);
    save.command(model);
    EXPECT_TRUE(dialogs.errors.empty()) << save.name;
    EXPECT_NE(ReadBytes(path), "old") << save.name;
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"old.sqx"}) << save.name;
  }
}

}  // namespace
}  // namespace lumora::testing
