#include "files/controller_listing.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace lumora {
namespace {

// A ".db " line of count copies of value, ending in a blank and CR LF.
std::string Line(int count, const std::string& value) {
  std::string line = ".db ";
  for (int i = 0; i < count - 1; ++i) line += value + ", ";
  return line + value + " \r\n";
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ControllerListingTest : public ::testing::Test {
 protected:
  ControllerListingTest() { autoTable_.fill(1); }

  AutoTableArray autoTable_{};
  ProgramTableArray programTable_{};
  std::unique_ptr<PackedScenesArray> packed_ = std::make_unique<PackedScenesArray>();
};

TEST_F(ControllerListingTest, FreshConfigurationListsZerosOnly) {
  std::string expected = Line(22, "0") + Line(112, "0");
  for (int scene = 0; scene < StoreCapacity; ++scene) expected += Line(64, "0");
  EXPECT_EQ(FormatFullListing(autoTable_, programTable_, *packed_), expected);
}

TEST_F(ControllerListingTest, FullListingCarriesTheTablesAndPackedScenes) {
  autoTable_[0] = 56;
  autoTable_[2] = 99;
  programTable_[0] = 2;
  programTable_[1] = 3;
  std::fill_n(packed_->begin() + 64 * 3, 64, 119);   // scene 3 all white
  std::fill_n(packed_->begin() + 64 * 879, 64, 17);  // the last scene all red
  const std::string text = FormatFullListing(autoTable_, programTable_, *packed_);
  EXPECT_EQ(text.substr(0, 18), ".db 55, 0, 98, 0, ");
  EXPECT_NE(text.find("\r\n.db 2, 3, 0, 0, "), std::string::npos);
  EXPECT_NE(text.find("\r\n" + Line(64, "119")), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - Line(64, "17").size()), Line(64, "17"));
  EXPECT_EQ(CountOf(text, "\r\n"), 2 + StoreCapacity);
  EXPECT_EQ(CountOf(text, "\n"), 2 + StoreCapacity) << "no line break without its CR";
}

TEST_F(ControllerListingTest, PartialListingsHaveTheirOwnLinesAndEndings) {
  autoTable_.back() = 1;
  autoTable_[3] = 7;
  programTable_.back() = 23;
  std::fill_n(packed_->begin(), 64, 119);

  const std::string autoLine = FormatAutoListing(autoTable_);
  std::string expectedAuto = ".db 1, 1, 1, 7, ";
  for (int i = 0; i < 17; ++i) expectedAuto += "1, ";
  EXPECT_EQ(autoLine, expectedAuto + "1 \r\n") << "values as stored, not minus 1";

  const std::string programLine = FormatProgramListing(programTable_);
  EXPECT_EQ(programLine.substr(0, 7), ".db 0, ");
  EXPECT_EQ(programLine.substr(programLine.size() - 5), "0, 23") << "ends with its last digit";
  EXPECT_EQ(CountOf(programLine, ", "), kProgramTableSize - 1);

  const std::string scenes = FormatSceneListing(*packed_);
  EXPECT_EQ(scenes.substr(0, Line(64, "119").size()), Line(64, "119"));
  EXPECT_EQ(CountOf(scenes, "\r\n"), StoreCapacity);
  EXPECT_EQ(CountOf(scenes, "\n"), StoreCapacity);
  EXPECT_EQ(scenes.substr(scenes.size() - 6), ", 0 \r\n");

  testing::TempFolder folder;
  const std::string path = folder.File("tables.sqx");
  const std::pair<std::function<bool()>, std::string> saves[] = {
      {[&] { return SaveAutoListing(path, autoTable_); }, autoLine},
      {[&] { return SaveProgramListing(path, programTable_); }, programLine},
      {[&] { return SaveSceneListing(path, *packed_); }, scenes},
      {[&] { return SaveFullListing(path, autoTable_, programTable_, *packed_); },
       FormatFullListing(autoTable_, programTable_, *packed_)},
  };
  for (const auto& [save, text] : saves) {
    EXPECT_TRUE(save());
    EXPECT_EQ(testing::ReadBytes(path), text) << text.substr(0, 20);
  }
}

}  // namespace
}  // namespace lumora
