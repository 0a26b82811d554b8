#include "programming/programming_settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumora {
namespace {

TEST(ProgrammingSettingsTest, StartValues) {
  const ProgrammingSettings settings;
  EXPECT_EQ(settings.TargetAddress(), 0);
  EXPECT_EQ(settings.SoloProgram(), 0);
  EXPECT_EQ(settings.SoloSpeed(), 19);
  EXPECT_EQ(settings.TubeCount(), 16);
  EXPECT_EQ(settings.Kind(), ProgrammerKind::UsbProgrammer);
  EXPECT_EQ(settings.Position(Spinner::Speed), 20);
  EXPECT_EQ(settings.Position(Spinner::Tubes), 16);
  EXPECT_FALSE(settings.AddressChosen());
  EXPECT_FALSE(settings.AutoChosen());
}

TEST(ProgrammingSettingsTest, AddressChoiceAndBytes) {
  ProgrammingSettings settings;
  settings.ChooseAddress();  // the spinner was never moved
  EXPECT_EQ(settings.TargetAddress(), 1);

  struct Case {
    int position;
    int address, low, high;
  };
  for (const Case& c : {Case{300, 300, 44, 1}, Case{504, 504, 248, 1}, Case{255, 255, 255, 0},
                        Case{600, 504, 248, 1}, Case{0, 1, 1, 0}}) {
    settings.StepAddress(c.position);
    EXPECT_EQ(settings.TargetAddress(), c.address) << c.position;
    EXPECT_EQ(settings.AddressLow(), c.low) << c.position;
    EXPECT_EQ(settings.AddressHigh(), c.high) << c.position;
    const PacketSettings packet = settings.ForPacket();
    EXPECT_EQ(packet.AddressLow, c.low);
    EXPECT_EQ(packet.AddressHigh, c.high);
  }

  settings.StepAddress(300);
  settings.ChooseAllControllers();
  EXPECT_EQ(settings.TargetAddress(), 0);
  EXPECT_EQ(settings.Position(Spinner::Address), 300);  // the spinner stays where it was
  settings.StepAddress(301);                            // a disabled spinner changes nothing
  EXPECT_EQ(settings.TargetAddress(), 0);
  settings.ChooseAddress();
  EXPECT_EQ(settings.TargetAddress(), 301);
}

TEST(ProgrammingSettingsTest, HeldAddressArrowSpeedsUpUntilReleased) {
  ProgrammingSettings settings;
  settings.ChooseAddress();
  int position = 1;
  int step = 1;
  std::vector<int> addresses;
  for (int repeat = 0; repeat < 4; ++repeat) {
    position += step;
    step = settings.StepAddress(position);
    addresses.push_back(settings.TargetAddress());
  }
  EXPECT_EQ(addresses, (std::vector<int>{2, 3, 13, 23}));
  EXPECT_TRUE(settings.FastStep());

  EXPECT_EQ(settings.ReleaseAddressSpinner(), 1);
  EXPECT_FALSE(settings.FastStep());
  // Separate clicks step by 1 each.
  EXPECT_EQ(settings.StepAddress(24), 1);
  EXPECT_EQ(settings.ReleaseAddressSpinner(), 1);
  EXPECT_EQ(settings.StepAddress(25), 1);
}

TEST(ProgrammingSettingsTest, SoloProgramFollowsTheCheckedButton) {
  ProgrammingSettings settings;
  settings.StepProgram(56);
  EXPECT_EQ(settings.SoloProgram(), 55);
  settings.StepAuto(7);  // disabled while "Program" is checked
  EXPECT_EQ(settings.SoloProgram(), 55);
  settings.ChooseAuto();
  EXPECT_EQ(settings.SoloProgram(), 62);
  settings.StepAuto(1);
  EXPECT_EQ(settings.SoloProgram(), 56);
  settings.StepProgram(3);  // disabled while "Auto" is checked
  EXPECT_EQ(settings.SoloProgram(), 56);
  settings.ChooseProgram();
  EXPECT_EQ(settings.SoloProgram(), 2);

  settings.StepSpeed(32);
  settings.StepTubes(1);
  EXPECT_EQ(settings.SoloSpeed(), 31);
  EXPECT_EQ(settings.TubeCount(), 1);
  settings.StepSpeed(99);
  settings.StepTubes(-5);
  EXPECT_EQ(settings.SoloSpeed(), 31);
  EXPECT_EQ(settings.TubeCount(), 1);
}

}  // namespace
}  // namespace lumora
