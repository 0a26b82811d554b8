#include "files/project_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

constexpr std::size_t kProjectNumbers = 112775;
constexpr std::size_t kFirstStoreNumber = 2 + kProgramTableSize;

// The configuration of a freshly started program: empty slots, black store, every auto value 1.
struct FreshConfiguration {
  FreshConfiguration() { autoTable.fill(1); }
  ProgramTableArray programTable{};
  std::unique_ptr<ProgramStoreArray> programStore = std::make_unique<ProgramStoreArray>();
  AutoTableArray autoTable{};
};

std::vector<std::string> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> numbers;
  for (std::string number; in >> number;) numbers.push_back(number);
  return numbers;
}

std::string Join(const std::vector<std::string>& numbers) {
  std::string text;
  for (const std::string& number : numbers) text += number + " ";
  return text;
}

class ProjectFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  FreshConfiguration fresh_;
  std::unique_ptr<ProjectFileData> read_ = std::make_unique<ProjectFileData>();
};

TEST_F(ProjectFileTest, FreshConfigurationIsWrittenByteExact) {
  std::string expected = "112640 112640 ";
  for (int i = 0; i < kProgramTableSize + kProgramStoreCells; ++i) expected += "0 ";
  for (int i = 0; i < kProjectAutoValues; ++i) expected += "1 ";
  EXPECT_EQ(FormatProjectFile(fresh_.programTable, *fresh_.programStore, fresh_.autoTable),
            expected);
}

TEST_F(ProjectFileTest, SavedProjectReadsBackExactly) {
  ProgramTableArray table{};
  table[0] = 99;
  table[1] = 3;
  table[2 * 55] = 1;
  table[2 * 55 + 1] = -8;  // effect modes are kept as read
  auto store = std::make_unique<ProgramStoreArray>();
  for (std::size_t i = 0; i < store->size(); ++i) {
    store->at(i) = static_cast<CellColour>(i * 2654435761u);
  }
  store->back() = 0xFFFFFFFF;
  AutoTableArray autoTable{};
  for (int i = 0; i < kAutoTableSize; ++i) autoTable[i] = 100 - 7 * i;

  const std::string path = folder_.File("config.prj");
  ASSERT_TRUE(SaveProjectFile(path, table, *store, autoTable));
  EXPECT_EQ(Numbers(testing::ReadBytes(path)).size(), kProjectNumbers);
  ASSERT_EQ(ReadProjectFile(path, *read_), ReadResult::Ok);
  EXPECT_EQ(read_->ProgramTable, table);
  EXPECT_TRUE(read_->ProgramStore == *store);
  EXPECT_TRUE(std::equal(read_->AutoValues.begin(), read_->AutoValues.end(), autoTable.begin()));
}

TEST_F(ProjectFileTest, AcceptsAnyFirstNumberFullMemoryAndTrailingNumbers) {
  std::vector<std::string> numbers =
      Numbers(FormatProjectFile(fresh_.programTable, *fresh_.programStore, fresh_.autoTable));
  numbers[0] = "-42";
  for (int program = 0; program < 8; ++program) numbers[2 + 2 * program] = "99";
  numbers[2 + 2 * 8] = "88";  // 880 scenes: the memory exactly full
  numbers.back() = "-3";
  numbers.push_back("5");
  numbers.push_back("junk");
  ASSERT_EQ(ParseProjectFile(Join(numbers), *read_), ReadResult::Ok);
  EXPECT_EQ(read_->ProgramTable[16], 88);
  EXPECT_EQ(read_->AutoValues.back(), -3);
}

TEST_F(ProjectFileTest, RejectsBrokenFiles) {
  const std::vector<std::string> good =
      Numbers(FormatProjectFile(fresh_.programTable, *fresh_.programStore, fresh_.autoTable));
  struct Case {
    const char* what;
    std::size_t at;  // the number to replace; past the end drops the last one
    std::string replacement;
  };
  const Case cases[] = {
      {"truncated by one number", kProjectNumbers, ""},
      {"check value 112639", 1, "112639"},
      {"check value a word", 1, "prj"},
      {"program 1 with 100 scenes", 2, "100"},
      {"program 56 with -1 scenes", 2 + 2 * 55, "-1"},
      {"garbage in the store", kFirstStoreNumber + 5000, "0x10"},
      {"store cell out of 32 bits", kFirstStoreNumber, "4294967296"},
      {"auto value missing its digits", kProjectNumbers - 1, "+"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> numbers = good;
    if (c.at < numbers.size()) {
      numbers[c.at] = c.replacement;
    } else {
      numbers.pop_back();
    }
    EXPECT_EQ(ParseProjectFile(Join(numbers), *read_), ReadResult::Invalid) << c.what;
  }
  std::vector<std::string> overfull = good;
  for (int program = 0; program < 8; ++program) overfull[2 + 2 * program] = "99";
  overfull[2 + 2 * 8] = "89";  // 881 scenes
  EXPECT_EQ(ParseProjectFile(Join(overfull), *read_), ReadResult::Invalid) << "881 scenes";

  EXPECT_EQ(ParseProjectFile("", *read_), ReadResult::Invalid);
  EXPECT_EQ(ParseProjectFile("1 128 1 128 0 0 0", *read_), ReadResult::Invalid);
  EXPECT_EQ(ReadProjectFile(folder_.File("missing.prj"), *read_), ReadResult::CannotOpen);
  EXPECT_EQ(ReadProjectFile(folder_.Path().string(), *read_), ReadResult::NotAFile);
}

}  // namespace
}  // namespace lumora
