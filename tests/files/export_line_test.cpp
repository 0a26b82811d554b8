#include "files/export_line.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lumora {
namespace {

TEST(ExportLineTest, WritesCountSixtyFourAndTheProgramTable) {
  ProgramTableArray table{};
  std::string expected = "1, 64, ";
  for (int i = 0; i < kProgramTableSize; ++i) expected += "0, ";
  EXPECT_EQ(FormatExportLine(1, table), expected);

  table[0] = 12;
  table[1] = 3;
  table.back() = -1;
  testing::TempFolder folder;
  const std::string path = folder.File("export.sqx");
  ASSERT_TRUE(SaveExportLine(path, 99, table));
  const std::string bytes = testing::ReadBytes(path);
  EXPECT_EQ(bytes.substr(0, 15), "99, 64, 12, 3, ");
  EXPECT_EQ(bytes.substr(bytes.size() - 7), "0, -1, ");
  EXPECT_EQ(bytes.size(), expected.size() + 3) << "99, 12 and -1 are one character longer";
}

}  // namespace
}  // namespace lumora
