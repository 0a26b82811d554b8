#include "files/sequence_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::TempFolder;

// A sequence header followed by count x 128 copies of one cell text, joined by sep.
std::string SequenceText(const std::string& header, int cells, const std::string& cell,
                         const std::string& sep = " ") {
  std::string text = header;
  for (int i = 0; i < cells; ++i) text += sep + cell;
  return text;
}

class SequenceFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::unique_ptr<SequenceFileData> read_ = std::make_unique<SequenceFileData>();
};

TEST_F(SequenceFileTest, OneBlackNormalSceneIsWrittenByteExact) {
  const Scene black{};
  std::string expected = "1 128 1 128 ";
  for (int i = 0; i < kCellsPerScene; ++i) expected += "0 ";
  EXPECT_EQ(FormatSequenceFile(1, 1, black), expected);
}

TEST_F(SequenceFileTest, SavedSequencesReadBackExactly) {
  const CellColour odd[] = {0xFFFFFFFF, 0x80000000, 0x00123456, colour::White, colour::Blue, 1};
  for (int sceneCount : {1, 2, MaxScenes}) {
    SequenceFileData saved;
    for (std::size_t i = 0; i < saved.SceneSlots.size(); ++i) {
      saved.SceneSlots[i] = odd[i % std::size(odd)] ^ static_cast<CellColour>(i);
    }
    const std::string path = folder_.File("seq.sqx");
    ASSERT_TRUE(SaveSequenceFile(path, sceneCount, 3, saved.SceneSlots));

    const std::string bytes = testing::ReadBytes(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), ' '), 4 + kCellsPerScene * sceneCount);
    EXPECT_EQ(bytes.find_first_of("\r\n"), std::string::npos);
    const std::string header = std::to_string(sceneCount) + " 128 3 128 ";
    EXPECT_EQ(bytes.substr(0, header.size() + 3), header + "-1 ") << "first cell 0xFFFFFFFF";

    ASSERT_EQ(ReadSequenceFile(path, *read_), ReadResult::Ok);
    EXPECT_EQ(read_->SceneCount, sceneCount);
    EXPECT_EQ(read_->EffectMode, 3);
    const std::size_t used = static_cast<std::size_t>(sceneCount) * kCellsPerScene;
    EXPECT_TRUE(std::equal(saved.SceneSlots.begin(), saved.SceneSlots.begin() + used,
                           read_->SceneSlots.begin()));
  }
}

TEST_F(SequenceFileTest, AcceptsAnyWhiteSpaceAnySecondNumberAndTrailingText) {
  const std::string forms[] = {
      SequenceText("2\n128\n2\n128", 2 * kCellsPerScene, "255", "\n"),
      SequenceText("2\t128\t2\t128", 2 * kCellsPerScene, "255", "\t"),
      SequenceText("2 128 2 128", 2 * kCellsPerScene, "255", "\r\n  ") + "\r\n",
      SequenceText("+2 -7 +2 +128", 2 * kCellsPerScene, "+255") + " 1 2 trailing text",
  };
  for (const std::string& text : forms) {
    *read_ = SequenceFileData{};
    ASSERT_EQ(ParseSequenceFile(text, *read_), ReadResult::Ok) << text.substr(0, 20);
    EXPECT_EQ(read_->SceneCount, 2);
    EXPECT_EQ(read_->EffectMode, 2);
    EXPECT_EQ(std::count(read_->SceneSlots.begin(), read_->SceneSlots.end(), colour::Red),
              2 * kCellsPerScene);
  }
  ASSERT_EQ(ParseSequenceFile(SequenceText("1 128 -5 128", kCellsPerScene, "-1"), *read_),
            ReadResult::Ok);
  EXPECT_EQ(read_->EffectMode, -5) << "the effect mode is kept as read";
  EXPECT_EQ(read_->SceneSlots[0], 0xFFFFFFFFu);
}

TEST_F(SequenceFileTest, RejectsBrokenFilesWithoutTakingTheirHeader) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"check value 127", SequenceText("1 128 1 127", kCellsPerScene, "0")},
      {"check value missing", "1 128 1"},
      {"scene count 0", SequenceText("0 128 1 128", kCellsPerScene, "0")},
      {"scene count 100", SequenceText("100 128 1 128", 100 * kCellsPerScene, "0")},
      {"scene count -1", SequenceText("-1 128 1 128", kCellsPerScene, "0")},
      {"non-number in the header", SequenceText("1 x 1 128", kCellsPerScene, "0")},
      {"non-number among the cells", SequenceText("1 128 1 128 0 zero", kCellsPerScene, "0")},
      {"cell section one short", SequenceText("2 128 1 128", 2 * kCellsPerScene - 1, "0")},
      {"cell out of 32 bits", SequenceText("1 128 1 128 4294967295", kCellsPerScene, "0")},
      {"count out of 32 bits", SequenceText("4294967297 128 1 128", kCellsPerScene, "0")},
      {"sign without digits", SequenceText("1 128 1 128 -", kCellsPerScene, "0")},
      {"empty file", ""},
      {"a project file's head", "112640 112640 0 0"},
  };
  for (const Case& c : cases) {
    read_->SceneCount = 7;
    read_->EffectMode = 2;
    EXPECT_EQ(ParseSequenceFile(c.text, *read_), ReadResult::Invalid) << c.what;
    EXPECT_EQ(read_->SceneCount, 7) << c.what;
    EXPECT_EQ(read_->EffectMode, 2) << c.what;
  }
}

TEST_F(SequenceFileTest, UnopenableFilesAreReported) {
  EXPECT_EQ(ReadSequenceFile(folder_.File("missing.sqx"), *read_), ReadResult::CannotOpen);
  EXPECT_EQ(ReadSequenceFile(folder_.Path().string(), *read_), ReadResult::NotAFile);
  const std::string empty = folder_.File("empty.sqx");
  testing::WriteBytes(empty, "");
  EXPECT_EQ(ReadSequenceFile(empty, *read_), ReadResult::Invalid);
}

TEST_F(SequenceFileTest, RefusesToWriteACountItCannotHold) {
  const Scene black{};
  EXPECT_EQ(FormatSequenceFile(0, 1, black), "");
  EXPECT_EQ(FormatSequenceFile(2, 1, black), "") << "only one scene of cells given";
  const std::string path = folder_.File("seq.sqx");
  EXPECT_FALSE(SaveSequenceFile(path, MaxScenes + 1, 1, read_->SceneSlots));
  EXPECT_TRUE(folder_.Entries().empty());
}

}  // namespace
}  // namespace lumora
