#pragma once

#include <cstdint>
#include <span>

namespace lumora {

// Parameters and running remainder of the CRC-16 routine. A fresh record holds the settings
// below; the programming transfer uses TransferCrc16Parameters instead.
struct Crc16Parameters {
  std::uint16_t Remainder = 0xFFFF;
  std::uint16_t InitialValue = 0xFFFF;
  std::uint16_t Polynomial = 0x1021;
  bool ReflectInput = true;
  bool ReflectOutput = true;
  std::uint16_t FinalXor = 0xFFFF;
};

// CRC-16/UMTS (also known as CRC-16/BUYPASS): the checksum of every programming packet.
inline constexpr Crc16Parameters TransferCrc16Parameters{.Remainder = 0,
                                                         .InitialValue = 0,
                                                         .Polynomial = 0x8005,
                                                         .ReflectInput = false,
                                                         .ReflectOutput = false,
                                                         .FinalXor = 0};

// CRC-16 of data, MSB-first; leaves the final remainder (before reflection and XOR) in
// parameters.Remainder.
std::uint16_t Crc16(Crc16Parameters& parameters, std::span<const std::uint8_t> data);

// CRC-16 of data with the transfer's parameters.
std::uint16_t TransferCrc16(std::span<const std::uint8_t> data);

}  // namespace lumora
