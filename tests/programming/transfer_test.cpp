#include "programming/programming_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "programming/crc16.h"

namespace lumora {
namespace {

// The packets of one whole transfer, with the progress position after each.
struct Prepared {
  std::vector<std::uint8_t> slots;  // slot n at index n - 1
  int progress;
};

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    // Entries wider than a byte: only the low byte is sent.
    for (int i = 0; i < kControllerImageSize; ++i) image[i] = (i * 7 + i / 256) | 0x300;
    image[0] = -1;
    transfer.HandOver(image);
    transfer.Activate();
  }

  Prepared Next() {
    std::vector<std::uint8_t> slots(512, 0);
    const int progress = transfer.PrepareNextPacket(slots, settings.ForPacket());
    return {slots, progress};
  }

  static std::vector<std::uint8_t> Slots(const Prepared& p, int first, int last) {
    return {p.slots.begin() + first - 1, p.slots.begin() + last};
  }

  std::vector<std::uint8_t> ImageBytes(int first, int count) const {
    std::vector<std::uint8_t> bytes;
    for (int i = first; i < first + count; ++i) bytes.push_back(image[i] & 0xFF);
    return bytes;
  }

  ControllerImageArray image{};
  ProgrammingSettings settings;
  ProgrammingTransfer transfer;
};

TEST(ProgrammingPacketTest, FirstPacketOfAnEmptyImageAtStartSettings) {
  const std::array<std::uint8_t, kPageSize> empty{};
  std::array<std::uint8_t, kPacketSlots> slots{};
  WriteProgrammingPacket(slots, 0, ProgrammingSettings().ForPacket(), empty, std::nullopt);
  EXPECT_TRUE(std::equal(ProgrammingSignature.begin(), ProgrammingSignature.end(), slots.begin()));
  EXPECT_EQ(std::vector(slots.begin() + 16, slots.begin() + 28),
            (std::vector<std::uint8_t>{0, 0, 19, 16, 0, 0, 0, 0, 0, 0, 0x21, 0x6C}));
  EXPECT_TRUE(std::all_of(slots.begin() + 28, slots.end(), [](auto b) { return b == 0; }));
}

TEST_F(TransferTest, WholeTransferPagesChecksumsAndProgress) {
  const std::uint16_t imageChecksum = transfer.ImageChecksum();
  EXPECT_EQ(imageChecksum, TransferCrc16(ImageBytes(0, kTransferBytes)));

  transfer.Request();
  std::vector<Prepared> packets;
  while (transfer.State() == TransferState::Running) packets.push_back(Next());
  ASSERT_EQ(packets.size(), 223u);
  EXPECT_EQ(transfer.State(), TransferState::Finished);

  for (int k = 0; k < 223; ++k) {
    const Prepared& p = packets[k];
    const bool final = k == 222;
    SCOPED_TRACE(k);
    EXPECT_EQ(p.progress, final ? 0 : k + 1);
    EXPECT_EQ(Slots(p, 1, 16),
              std::vector(ProgrammingSignature.begin(), ProgrammingSignature.end()));
    EXPECT_EQ(p.slots[16], final ? 255 : k);
    EXPECT_EQ(Slots(p, 29, 284), ImageBytes(k * 256, 256));
    const std::uint16_t page = TransferCrc16(ImageBytes(k * 256, 256));
    EXPECT_EQ(Slots(p, 25, 26),
              (std::vector<std::uint8_t>{std::uint8_t(page >> 8), std::uint8_t(page & 0xFF)}));
    const std::uint16_t header = TransferCrc16(Slots(p, 17, 26));
    EXPECT_EQ(Slots(p, 27, 28),
              (std::vector<std::uint8_t>{std::uint8_t(header >> 8), std::uint8_t(header & 0xFF)}));
    const std::vector<std::uint8_t> address =
        final ? std::vector<std::uint8_t>{std::uint8_t(imageChecksum >> 8),
                                          std::uint8_t(imageChecksum & 0xFF), 0, 0}
              : std::vector<std::uint8_t>{0, 0, 0, 0};
    EXPECT_EQ(Slots(p, 21, 24), address);
    EXPECT_TRUE(std::all_of(p.slots.begin() + 284, p.slots.end(), [](auto b) { return b == 0; }));
  }
  EXPECT_EQ(packets[0].slots[28], 0xFF);  // entry -1
}

TEST_F(TransferTest, AddressBytesInPageAndFinalPackets) {
  settings.ChooseAddress();
  settings.StepAddress(300);
  transfer.Request();
  EXPECT_EQ(Slots(Next(), 21, 24), (std::vector<std::uint8_t>{1, 1, 1, 44}));
  settings.StepAddress(504);
  EXPECT_EQ(Slots(Next(), 21, 24), (std::vector<std::uint8_t>{1, 1, 1, 248}));
  Prepared last{};
  while (transfer.State() == TransferState::Running) last = Next();
  EXPECT_EQ(Slots(last, 23, 24), (std::vector<std::uint8_t>{1, 248}));
}

TEST_F(TransferTest, SettingChangedDuringTransferShowsFromTheNextPacket) {
  transfer.Request();
  const Prepared first = Next();
  settings.StepTubes(5);
  settings.ChooseAuto();
  settings.StepSpeed(1);
  const Prepared second = Next();
  EXPECT_EQ(Slots(first, 17, 20), (std::vector<std::uint8_t>{0, 0, 19, 16}));
  EXPECT_EQ(Slots(second, 17, 20), (std::vector<std::uint8_t>{1, 56, 0, 5}));
}

TEST_F(TransferTest, RequestsWhileRunningAndAfterFinishing) {
  transfer.Request();
  for (int k = 0; k < 5; ++k) Next();
  transfer.Request();  // changes nothing
  EXPECT_EQ(Next().slots[16], 5);
  while (transfer.State() == TransferState::Running) Next();

  transfer.Request();  // starts again from page 0
  const Prepared again = Next();
  EXPECT_EQ(again.slots[16], 0);
  EXPECT_EQ(again.progress, 1);
  EXPECT_EQ(Slots(again, 29, 284), ImageBytes(0, 256));

  transfer.Abandon();
  EXPECT_EQ(transfer.State(), TransferState::Idle);
  transfer.Request();
  EXPECT_EQ(Next().slots[16], 0);
}

}  // namespace
}  // namespace lumora
