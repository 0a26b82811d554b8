#pragma once

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

}  // namespace lumora
