#pragma once

#include <chrono>
#include <cstdint>

namespace lumora {

// The bytes and line settings on the wire to the two programmers: what the link sends, what
// the USB backend groups and what the virtual programmer decodes.

// The Brightwave USB programmer takes blocks of 528 bytes, byte 1 the marker, and answers
// each with 272 bytes.
inline constexpr int kUsbBlockSize = 528;
inline constexpr int kReplyBlockSize = 272;
inline constexpr std::uint8_t kUsbBlockMarker = 0x01;
// DMX slot n lies at block byte kUsbSlotBase - 1 + n; a standard frame's at kStandardSlotBase
// - 1 + n, after the start code.
inline constexpr int kUsbSlotBase = 16;
inline constexpr int kStandardSlotBase = 1;
inline constexpr int kUsbBlockSlots = kUsbBlockSize - kUsbSlotBase;  // 512
// Slots of a standard frame, sent three to a write.
inline constexpr int kStandardFrameSlots = 387;
inline constexpr int kStandardSlotWriteSize = 3;

// Line settings passed to the adapter.
inline constexpr std::uint16_t kUsbDivisor = 1;
inline constexpr std::uint16_t kDmxDivisor = 12;     // 250,000 baud
inline constexpr std::uint16_t kBreakDivisor = 140;  // one zero byte holds the line low 420 us
inline constexpr std::uint32_t kLineTimeoutMs = 100;

// The adapter chip counts bit times in eighths of a cycle of its 3 MHz clock: a divisor holds
// the cycles in bits 0..13 and an eighths code in bits 14..15; 0 and 1 are the chip's own
// 3 and 2 MBaud. 12 gives 4 us, 140 gives 46.7 us.
inline constexpr std::uint32_t kChipEighthsPerSecond = 24'000'000;
constexpr std::uint32_t BitEighths(std::uint16_t divisor) {
  constexpr std::uint32_t kEighthsCode[4] = {0, 4, 2, 1};
  if (divisor == 0) return 8;
  if (divisor == 1) return 12;
  return (divisor & 0x3FFFu) * 8 + kEighthsCode[divisor >> 14];
}

// One bit at the chip's raw divisor.
constexpr std::chrono::nanoseconds BitTime(std::uint16_t divisor) {
  return std::chrono::nanoseconds(std::uint64_t{BitEighths(divisor)} * 1'000'000'000 /
                                  kChipEighthsPerSecond);
}

// Bits a byte takes on the wire with the adapter calls' format codes: start bit, data bits,
// parity bit, stop bits (code 0 one, 1 one and a half, 2 two).
constexpr double BitsPerByte(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) {
  return 1 + wordLength + (parity != 0 ? 1 : 0) + 1 + stopBits * 0.5;
}

}  // namespace lumora
