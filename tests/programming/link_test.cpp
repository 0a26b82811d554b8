// The programming link owns the blocks and frames on the wire: every block carries the
// marker and only the slots it is given, whatever was sent before it.
#include "programming/programming_link.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumora::testing
