#include "files/table_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

// The values i * 7 % 300 for i = 0..count-1, each followed by sep.
std::string TableText(int count, const std::string& sep) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::to_string(i * 7 % 300) + sep;
  return text;
}

class TableFileTest : public ::testing::Test {
 protected:
  TableFileTest() { previous_.fill(-9); }

  TempFolder folder_;
  TableFileArray previous_{};
};

TEST_F(TableFileTest, OneLineAndOneNumberPerLineGiveTheSameValues) {
  TableFileArray expected{};
  for (int i = 0; i < kTableFileValues; ++i) expected[i] = i * 7 % 300;
  const std::string path = folder_.File(std::string(kTableFileName));
  for (const std::string& text :
       {TableText(kTableFileValues, " "), TableText(kTableFileValues, "\r\n"),
        TableText(kTableFileValues + 3, "\t") + "not read"}) {
    testing::WriteBytes(path, text);
    TableFileArray values = previous_;
    ASSERT_EQ(ReadTableFile(path, values), ReadResult::Ok);
    EXPECT_EQ(values, expected);
  }
}

TEST_F(TableFileTest, ShortOrBrokenOrMissingFilesLeaveTheValuesUntouched) {
  const std::string path = folder_.File(std::string(kTableFileName));
  std::string broken = TableText(kTableFileValues, " ");
  broken.replace(broken.find(' ', 1000) + 1, 1, "?");
  const std::pair<const char*, std::string> invalid[] = {
      {"535 numbers", TableText(kTableFileValues - 1, " ")},
      {"a non-number among the first 536", broken},
      {"empty", ""},
  };
  for (const auto& [what, text] : invalid) {
    testing::WriteBytes(path, text);
    TableFileArray values = previous_;
    EXPECT_EQ(ReadTableFile(path, values), ReadResult::Invalid) << what;
    EXPECT_EQ(values, previous_) << what;
  }
  TableFileArray values = previous_;
  EXPECT_EQ(ReadTableFile(folder_.File("missing.tab"), values), ReadResult::CannotOpen);
  EXPECT_EQ(ReadTableFile(folder_.Path().string(), values), ReadResult::NotAFile);
  EXPECT_EQ(values, previous_);
}

}  // namespace
}  // namespace lumora
