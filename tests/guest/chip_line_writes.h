#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "programming/virtual/dmx_wire_decoder.h"

namespace lumora::testing {

// A run of bytes the emulated FT232 put on its serial side with nothing asked of the chip in
// between, with the line settings in force: what one write of the program's is to a receiver.
struct ChipWrite {
  std::vector<std::uint8_t> Bytes;
  std::uint32_t Rate = 0;  // baud, as the chip computed it from the divisor it was given
  SerialFormat Format;     // Format.Divisor: the protocol's divisor of that rate, else 0
  bool Rts = false;
  bool Dtr = false;
  // RTS was low at some moment between the previous write and this one.
  bool RtsDroppedBefore = false;
};

// What a chip's life in the guest left: its writes in order, and what did not add up.
struct ChipLine {
  std::vector<ChipWrite> Writes;
  // Set when the trace and the bytes disagree: more bytes sent than arrived, or the other
  // way round.
  std::optional<std::string> Error;
};

// QEMU's trace of the emulated chip (events usb_serial_* and usb_xhci_xfer_*, one a line)
// and the bytes that left its serial side, in order. Each bulk transfer to the chip's
// endpoint 2 hands its bytes to the serial side at once, so the trace says how many bytes
// went out under each setting: a control request (a rate, a format, the modem lines, a
// status poll) ends a write.
ChipLine ReadChipLine(std::string_view trace, const std::vector<std::uint8_t>& wire);

// The protocol's divisor (1, 12 or 140) whose rate the chip reports as rate, else 0.
std::uint16_t ProtocolDivisor(std::uint32_t rate);

}  // namespace lumora::testing
