#include "programming/crc16.h"

namespace lumora {

namespace {

template <typename Word>
Word Reflect(Word value, int bits) {
  Word reflected = 0;
  for (int bit = 0; bit < bits; ++bit) {
    if (value & (Word{1} << bit)) reflected |= Word(Word{1} << (bits - 1 - bit));
  }
  return reflected;
}

}  // namespace

std::uint16_t Crc16(Crc16Parameters& parameters, std::span<const std::uint8_t> data) {
  std::uint16_t remainder = parameters.InitialValue;
  for (std::uint8_t byte : data) {
    if (parameters.ReflectInput) byte = Reflect<std::uint8_t>(byte, 8);
    remainder ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      remainder = (remainder & 0x8000)
                      ? static_cast<std::uint16_t>((remainder << 1) ^ parameters.Polynomial)
                      : static_cast<std::uint16_t>(remainder << 1);
    }
  }
  parameters.Remainder = remainder;
  const std::uint16_t output =
      parameters.ReflectOutput ? Reflect<std::uint16_t>(remainder, 16) : remainder;
  return static_cast<std::uint16_t>(output ^ parameters.FinalXor);
}

std::uint16_t TransferCrc16(std::span<const std::uint8_t> data) {
  Crc16Parameters parameters = TransferCrc16Parameters;
  return Crc16(parameters, data);
}

}  // namespace lumora
