#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "programming/wire_format.h"

namespace lumora {

// Serial format of the adapter's line at the moment of a write.
struct SerialFormat {
  std::uint16_t Divisor = 0;
  std::uint8_t WordLength = 8;
  std::uint8_t StopBits = 0;  // FT_STOP_BITS_1 or FT_STOP_BITS_2
  std::uint8_t Parity = 0;
};

enum class FrameKind : std::uint8_t { UsbBlock, StandardFrame };

// Receives what the decoder makes of the writes.
class WireFrameSink {
 public:
  virtual ~WireFrameSink() = default;
  // One DMX frame: its slots from slot 1 on (fewer than 387 when a frame was cut short).
  virtual void OnFrame(FrameKind kind, std::span<const std::uint8_t> slots) = 0;
  // A write that no receiver takes as part of a frame: wrong rate or format, slots without a
  // break, a block the USB programmer does not accept.
  virtual void OnStrayWrite(std::span<const std::uint8_t> bytes) = 0;
};

// Reads the writes made on the adapter the way the two programmers' receivers see them:
// a UsbBlock is one 528-byte write at divisor 1, 8N1, byte 1 = 0x01, slots 1..512 at bytes
// 16..527; a StandardFrame is a zero byte at divisor 140 (the break), then at divisor 12,
// 8N2, the start code 0x00 and the slots, ending at the next break or after 387 slots.
class DmxWireDecoder {
 public:
  explicit DmxWireDecoder(WireFrameSink& sink) : sink_(sink) {}

  void Write(std::span<const std::uint8_t> bytes, const SerialFormat& format);
  // The line stops (adapter closed): a frame under way ends here.
  void EndOfLine();

 private:
  enum class State : std::uint8_t { Idle, AfterBreak, InFrame };

  void EndFrame();
  void TakeSlots(std::span<const std::uint8_t> bytes);

  WireFrameSink& sink_;
  State state_ = State::Idle;
  std::array<std::uint8_t, kStandardFrameSlots> slots_{};
  std::size_t slotCount_ = 0;
};

}  // namespace lumora
