#include "files/number_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

// Every number the scanner hands out before its first failed read.
std::vector<std::int32_t> ScanAll(NumberScanner& in) {
  std::vector<std::int32_t> values;
  std::int32_t value = 0;
  while (in.Next(value)) values.push_back(value);
  EXPECT_FALSE(in.Next(value)) << "a failed scan must stay failed";
  return values;
}

struct ScanCase {
  std::string text;
  std::vector<std::int32_t> expected;
};

TEST(NumberScannerTest, ReadsAsScanfDecimalAndStopsAtTheFirstBadNumber) {
  const ScanCase cases[] = {
      {" \t\r\n\v\f12\n-3\t+4  ", {12, -3, 4}},
      {"2147483647 -2147483648 ", {2147483647, -2147483648}},
      {"007 -0 +0", {7, 0, 0}},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"99999999999 1", {}},
      {"1" + std::string(100000, '0'), {}},
      {"5 + 6", {5}},
      {"5 - 6", {5}},
      {"5 -", {5}},
      {"5 x 6", {5}},
      {"12abc 7", {12}},
      {"1,2", {1}},
      {std::string("3 4\0 5", 6), {3, 4}},
      {"", {}},
      {" \n\t ", {}},
  };
  for (const ScanCase& c : cases) {
    NumberScanner in = NumberScanner::OverText(c.text);
    EXPECT_EQ(ScanAll(in), c.expected) << "text: " << c.text.substr(0, 40);
  }
}

TEST(NumberScannerTest, ReadsNumbersAcrossChunkBoundariesOfAFile) {
  TempFolder folder;
  const std::string path = folder.File("numbers.txt");
  // Padding puts the sign, a digit run and white space on every side of the first chunk end;
  // the runs of zeros and blanks are longer than a chunk.
  for (std::size_t padding : {65533u, 65534u, 65535u, 65536u}) {
    testing::WriteBytes(path, std::string(padding, ' ') + "-1234567 +89\n" +
                                  std::string(70000, '0') + "5" + std::string(70000, ' ') +
                                  "-2147483648");
    NumberScanner in = NumberScanner::OverFile(path);
    ASSERT_TRUE(in.IsOpen());
    EXPECT_EQ(ScanAll(in), (std::vector<std::int32_t>{-1234567, 89, 5, -2147483648}))
        << "padding " << padding;
  }
  testing::WriteBytes(path, "7 1" + std::string(70000, '1'));
  NumberScanner tooLong = NumberScanner::OverFile(path);
  EXPECT_EQ(ScanAll(tooLong), std::vector<std::int32_t>{7});
}

TEST(NumberScannerTest, MissingFileAndFolderAreNotOpen) {
  TempFolder folder;
  EXPECT_FALSE(NumberScanner::OverFile(folder.File("missing.sqx")).IsOpen());
  EXPECT_FALSE(NumberScanner::OverFile(folder.Path().string()).IsOpen());
  std::int32_t value = 0;
  EXPECT_FALSE(NumberScanner::OverFile(folder.Path().string()).Next(value));
}

TEST(NumberScannerTest, CellColoursKeepTheirBitPattern) {
  NumberScanner in = NumberScanner::OverText("-1 16777215 -2147483648");
  std::array<CellColour, 3> cells{};
  ASSERT_TRUE(in.Next(cells));
  EXPECT_EQ(cells, (std::array<CellColour, 3>{0xFFFFFFFF, 0x00FFFFFF, 0x80000000}));
  EXPECT_FALSE(in.Next(std::span(cells).first(1)));
}

}  // namespace
}  // namespace lumora
