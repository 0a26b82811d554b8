// The programming link owns the blocks and frames on the wire: every block carries the
// marker and only the slots it is given, whatever was sent before it.
#include "programming/programming_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "recording_adapter.h"

namespace lumora::testing {
namespace {

// The bytes of the last write of the given size.
std::vector<std::uint8_t> LastWrite(const RecordingAdapter& adapter, std::uint32_t size) {
  std::vector<std::uint8_t> bytes;
  for (const AdapterCall& call : adapter.Calls()) {
    if (call.Name == "FT_Write" && call.Args[0] == size) bytes = call.Bytes;
  }
  return bytes;
}

std::vector<std::uint8_t> UsbBlock(const std::vector<std::uint8_t>& slots) {
  std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  block[1] = kUsbBlockMarker;
  std::copy(slots.begin(), slots.end(), block.begin() + kUsbSlotBase);
  return block;
}

TEST(ProgrammingLinkTest, OpeningGivesTheStatusAndKeepsAHandleOnlyOnSuccess) {
  for (const FT_STATUS status : {FT_OK, FT_DEVICE_NOT_FOUND}) {
    RecordingAdapter adapter;
    adapter.OpenStatus = status;
    ProgrammingLink link(adapter);
    EXPECT_EQ(link.OpenProgrammer(), status);
    EXPECT_EQ(link.IsOpen(), status == FT_OK);
    link.CloseProgrammer();
    EXPECT_FALSE(link.IsOpen());
  }
}

TEST(ProgrammingLinkTest, EveryBlockAndFrameCarriesOnlyTheSlotsItIsGiven) {
  RecordingAdapter adapter;
  ProgrammingLink link(adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  link.ConfigureUsbProgrammer(false);
  EXPECT_EQ(LastWrite(adapter, kUsbBlockSize), UsbBlock({}));

  const std::vector<std::uint8_t> packet(kUsbBlockSlots, 0xA5);
  EXPECT_EQ(link.SendPacket(packet), FT_OK);
  EXPECT_EQ(LastWrite(adapter, kUsbBlockSize), UsbBlock(packet));
  EXPECT_EQ(link.SendIdleBlock(), FT_OK);  // the packet's slots are gone
  EXPECT_EQ(LastWrite(adapter, kUsbBlockSize), UsbBlock({}));
  EXPECT_EQ(link.SendPacket(std::vector<std::uint8_t>{0x11, 0x22}), FT_OK);
  EXPECT_EQ(LastWrite(adapter, kUsbBlockSize), UsbBlock({0x11, 0x22}));

  // A standard frame after the blocks: no marker in slot 1, the slots not given are zero.
  link.ConfigureStandardProgrammer();
  const std::size_t before = adapter.CallCount();
  EXPECT_EQ(link.SendPacket(std::vector<std::uint8_t>{0x33, 0x44, 0x55, 0x66}), FT_OK);
  std::vector<std::uint8_t> slots;
  const auto calls = adapter.Calls();
  for (std::size_t i = before; i < calls.size(); ++i) {
    if (calls[i].Name == "FT_Write" && calls[i].Args[0] == kStandardSlotWriteSize) {
      slots.insert(slots.end(), calls[i].Bytes.begin(), calls[i].Bytes.end());
    }
  }
  std::vector<std::uint8_t> expected(kStandardFrameSlots, 0);
  expected[0] = 0x33;
  expected[1] = 0x44;
  expected[2] = 0x55;
  expected[3] = 0x66;
  EXPECT_EQ(slots, expected);
}

// A write the line took only part of within its time-out is a failed write: the page never
// reached the controller whole. Nothing more is sent after it and no reply is waited for.
TEST(ProgrammingLinkTest, AShortWriteFailsThePacketAsAStalledLine) {
  for (const bool usb : {true, false}) {
    RecordingAdapter adapter;
    ProgrammingLink link(adapter);
    ASSERT_EQ(link.OpenProgrammer(), FT_OK);
    usb ? link.ConfigureUsbProgrammer(true) : link.ConfigureStandardProgrammer();
    // The standard frame's third write: its first three slots.
    adapter.ShortWritesFrom = adapter.WriteCount() + (usb ? 0 : 2);
    const std::size_t before = adapter.CallCount();
    EXPECT_EQ(link.SendPacket(std::vector<std::uint8_t>(kUsbBlockSlots, 0xA5)), kLineStalled);
    const std::vector<AdapterCall> calls = adapter.Sequence(before);
    ASSERT_FALSE(calls.empty());
    if (usb) {
      EXPECT_EQ(calls.back().Name, "FT_ClrRts");
      EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                              [](const AdapterCall& call) { return call.Name == "FT_Read"; }),
                0);
    } else {
      EXPECT_EQ(calls.back().Name, "FT_Write");
      EXPECT_EQ(calls.back().Args, std::vector<std::uint32_t>{kStandardSlotWriteSize});
    }
  }
}

}  // namespace
}  // namespace lumora::testing
