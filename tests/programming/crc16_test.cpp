#include "programming/crc16.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace lumora {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Crc16Test, TransferParametersGiveCrc16Umts) {
  EXPECT_EQ(TransferCrc16(Bytes("123456789")), 0xFEE8);
  // Slots 17..26 of the first packet with the settings at start and an all-zero image.
  const std::array<std::uint8_t, 10> header = {0, 0, 19, 16, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(TransferCrc16(header), 0x216C);
  EXPECT_EQ(TransferCrc16(std::array<std::uint8_t, 256>{}), 0);
  EXPECT_EQ(TransferCrc16({}), 0);
}

TEST(Crc16Test, FreshRecordReflectsAndInverts) {
  // Polynomial 0x1021, reflected both ways, initial value and final XOR 0xFFFF: CRC-16/X-25.
  Crc16Parameters fresh;
  EXPECT_EQ(fresh.Remainder, fresh.InitialValue);
  EXPECT_EQ(Crc16(fresh, Bytes("123456789")), 0x906E);
}

TEST(Crc16Test, EveryCallStartsFromTheInitialValue) {
  Crc16Parameters parameters = TransferCrc16Parameters;
  EXPECT_EQ(Crc16(parameters, Bytes("abc")), Crc16(parameters, Bytes("abc")));
  // Without reflection or final XOR the remainder is the result.
  EXPECT_EQ(parameters.Remainder, Crc16(parameters, Bytes("abc")));
}

}  // namespace
}  // namespace lumora
