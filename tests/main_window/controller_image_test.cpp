#include "main_window/controller_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "files/table_file.h"
#include "model_fixture.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace lumora::testing {
namespace {

TEST(PackScenesTest, TwoCellsPerByteChannelOnOnlyAtFullValue) {
  const struct {
    CellColour even, odd;
    std::uint8_t packed;
  } cases[] = {
      {colour::Red, colour::Blue, 0x14},    {colour::White, colour::White, 0x77},
      {colour::Black, colour::White, 0x07}, {0x00FE00FF, colour::Black, 0x10},
      {colour::Cyan, colour::Yellow, 0x63}, {0x00FEFEFE, 0x00FFFFFE, 0x06},
  };
  auto store = std::make_unique<ProgramStoreArray>();
  auto packed = std::make_unique<PackedScenesArray>();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    (*store)[2 * i] = cases[i].even;
    (*store)[2 * i + 1] = cases[i].odd;
  }
  (*store)[kProgramStoreCells - 1] = colour::Green;
  PackScenes(*store, *packed);
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ((*packed)[i], cases[i].packed) << i;
  EXPECT_EQ(packed->back(), 0x02);
}

// The send command reading its "str.tab" from a folder of its own.
class ControllerSendTest : public ModelFixture {
 protected:
  ControllerSendTest() { model.Output().SetTableFile(table); }

  void TableFile(const std::string& separator, int first = 0) {
    std::string text;
    for (int i = 0; i < kTableFileValues; ++i)
      text += std::to_string((first + i) % 256) + separator;
    WriteBytes(table, text);
  }

  TempFolder folder;
  const std::string table = folder.File("str.tab");
};

TEST_F(ControllerSendTest, DefaultsGiveZerosAndTheTableFileFollows) {
  TableFile(" ", 1);
  EXPECT_TRUE(model.SendToController());
  for (int i = 0; i < kImageTableFile; ++i) ASSERT_EQ(model.Output().Image()[i], 0) << i;
  EXPECT_EQ(model.Output().Image()[kImageTableFile], 1);
  EXPECT_EQ(model.Output().Image()[kImageTableFile + 535], 536 % 256);
  for (int i = kImageTableFile + 536; i < kControllerImageSize; ++i) {
    ASSERT_EQ(model.Output().Image()[i], 0) << i;
  }
}

TEST_F(ControllerSendTest, LayoutOfTablesAndScenes) {
  TableFile("\n");
  EditConfig([](ConfigSnapshot& state) {
    state.programs.SetProgram(1, 2, 2);
    state.programs.SetProgram(2, 3, 3);
    std::vector<CellColour> firstScene(kCellsPerScene, colour::Black);
    firstScene[0] = colour::White;  // program 2, scene 1
    state.programs.StoreProgram(2, firstScene);
    state.autos.AutoTable[0] = 56;
  });
  ASSERT_TRUE(model.SendToController());
  EXPECT_EQ(model.Output().Image()[0], 55);
  EXPECT_EQ(model.Output().Image()[1], 0);
  EXPECT_EQ(model.Output().Image()[21], 0);
  EXPECT_EQ(model.Output().Image()[22], 2);
  EXPECT_EQ(model.Output().Image()[23], 2);
  EXPECT_EQ(model.Output().Image()[24], 3);
  EXPECT_EQ(model.Output().Image()[25], 3);
  EXPECT_EQ(model.Output().Image()[262], 0x70);
  const auto first = std::make_unique<ControllerImageArray>(model.Output().Image());
  ASSERT_TRUE(model.SendToController());
  EXPECT_EQ(model.Output().Image(), *first);
}

TEST_F(ControllerSendTest, TableFileIsReadAfreshAndKeptAsIntegers) {
  TableFile(" ");
  ASSERT_TRUE(model.SendToController());
  const auto oneLine = std::make_unique<ControllerImageArray>(model.Output().Image());
  TableFile("\r\n");
  ASSERT_TRUE(model.SendToController());
  EXPECT_EQ(model.Output().Image(), *oneLine);
  std::string odd = "256 300 ";
  for (int i = 2; i < kTableFileValues; ++i) odd += "7 ";
  WriteBytes(table, odd);
  ASSERT_TRUE(model.SendToController());
  EXPECT_EQ(model.Output().Image()[kImageTableFile], 256);
  EXPECT_EQ(model.Output().Image()[kImageTableFile] & 0xFF, 0);
  EXPECT_EQ(model.Output().Image()[kImageTableFile + 1] & 0xFF, 44);
  EXPECT_EQ(model.Output().Image()[kImageTableFile + 535], 7);
}

TEST_F(ControllerSendTest, RefusedTableFileKeepsTheWindowClosed) {
  TableFile(" ", 5);
  ASSERT_TRUE(model.SendToController());
  const auto good = std::make_unique<ControllerImageArray>(model.Output().Image());
  const struct {
    const char* bytes;
    const char* message;
  } cases[] = {{nullptr, "BRAK PLIKU: STR.TAB"},
               {"1 2 3", "BŁĘDNY PLIK: STR.TAB"},
               {"1 2 x 4", "BŁĘDNY PLIK: STR.TAB"}};
  for (const auto& c : cases) {
    std::filesystem::remove(table);
    if (c.bytes) WriteBytes(table, c.bytes);
    EXPECT_FALSE(model.SendToController());
    EXPECT_EQ(dialogs.errors.back(), c.message);
    EXPECT_EQ(model.Output().Image(), *good);
  }
}

// A "str.tab" that is there but no file is no table, and the send never waits on it.
TEST_F(ControllerSendTest, TableFileThatIsNoFileKeepsTheWindowClosed) {
  for (const SpecialKind kind : kSpecialKinds) {
    TempFolder place;
    model.Output().SetTableFile(place.File("str.tab"));
    ASSERT_TRUE(MakeSpecial(kind, place.File("str.tab"))) << Name(kind);
    bool ready = true;
    EXPECT_TRUE(FinishesWithoutWaiting(place.File("str.tab"), [&] {
      ready = model.SendToController();
    })) << Name(kind);
    EXPECT_FALSE(ready) << Name(kind);
    EXPECT_EQ(dialogs.errors.back(), "BŁĘDNY PLIK: STR.TAB") << Name(kind);
  }
}

TEST_F(ControllerSendTest, SendHaltsThePreviewWithoutRewindingOrStoringTheFrame) {
  TableFile(" ");
  SetSequence({A, B, C});
  model.Play();
  model.PreviewTick();
  model.PreviewTick();  // B on screen, position 3
  EXPECT_TRUE(model.SendToController());
  EXPECT_FALSE(model.PreviewRunning());
  EXPECT_FALSE(view.timerEnabled);
  EXPECT_EQ(Store().CurrentScene, 3);
  EXPECT_EQ(Shown(), B);
  model.SendToController();
  model.Play();
  EXPECT_EQ(Sequence(), (std::vector<CellColour>{A, B, C}));
}

TEST_F(ControllerSendTest, HaltedWaveStillNamesASceneOfTheSequence) {
  TableFile(" ");
  SetSequence({A, B});
  model.SelectEffectMode(EffectWave2);
  model.Play();
  for (int tick = 0; tick < 16; ++tick) model.PreviewTick();  // B in place, restart due
  model.SendToController();
  EXPECT_EQ(Store().CurrentScene, 2);
  EXPECT_EQ(Shown(), B);
}

}  // namespace
}  // namespace lumora::testing
