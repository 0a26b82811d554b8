#pragma once

#include <cstdint>

namespace lumora {

// FTDI chips clock their serial line from 3 MHz. A raw baud divisor holds the integer part in
// bits 0..13 and an eighths code in bits 14..15; 0 and 1 are the chip's special 3 and 2 MBaud.
inline constexpr double kFtdiBaseClock = 3'000'000.0;

// Cycles of the 3 MHz clock in one bit at the divisor.
inline constexpr double FtdiBitCycles(std::uint16_t divisor) {
  constexpr double kEighths[4] = {0.0, 0.5, 0.25, 0.125};
  return divisor == 0 ? 1.0 : divisor == 1 ? 1.5 : (divisor & 0x3FFF) + kEighths[divisor >> 14];
}

}  // namespace lumora
