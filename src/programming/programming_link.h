#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "programming/adapters/usb_adapter.h"
#include "programming/programming_settings.h"
#include "programming/wire_format.h"

namespace lumora {

// The programming adapter seen from the programming window: the handle, the block or frame
// laid out for the chosen programmer, and the calls that put them on the wire. The owner
// keeps the timer thread out while it opens, configures or closes the link.
class ProgrammingLink {
 public:
  explicit ProgrammingLink(UsbAdapter& adapter) : adapter_(adapter) {}

  // Opens adapter 0 and clears RTS and DTR, for the Brightwave USB programmer; on failure
  // keeps no handle and returns the status of the open.
  FT_STATUS OpenProgrammer();
  bool IsOpen() const { return handle_ != 0; }
  // Closes the adapter if it is open; the handle is forgotten so it is never used again.
  void CloseProgrammer();

  // The line set-up of the Brightwave USB programmer: an empty block is written and, when
  // readReply and the line took the block, one reply read.
  void ConfigureUsbProgrammer(bool readReply);
  void ConfigureStandardProgrammer();

  // An empty block to the Brightwave USB programmer and its reply; returns the write's
  // status.
  FT_STATUS SendIdleBlock();
  // Slots from slot 1 on, the rest zero, to the programmer configured last: one block and
  // its reply to the Brightwave USB programmer, returning the write's status; or break,
  // start code and slots 1..387 to the standard one, stopping at the first write or divisor
  // change that fails and returning its status. A write the line took only part of within
  // its time-out fails with kLineStalled, and no reply is waited for after a failed write:
  // the page never reached the controller whole, and each stalled call costs one time-out
  // of the thread that waits for the tick.
  FT_STATUS SendPacket(std::span<const std::uint8_t> slots);

 private:
  // The block or frame with the given slots, the rest zero.
  void LayOut(std::span<const std::uint8_t> slots);
  FT_STATUS UsbExchange();
  FT_STATUS SendStandardFrame();
  FT_STATUS Write(const void* data, std::uint32_t size);
  void SetLine(std::uint16_t divisor, std::uint8_t stopBits);

  UsbAdapter& adapter_;
  FT_HANDLE handle_ = 0;
  ProgrammerKind kind_ = ProgrammerKind::UsbProgrammer;
  std::uint32_t bytesWritten_ = 0;
  std::uint32_t bytesRead_ = 0;
  std::array<std::uint8_t, kUsbBlockSize> transmitBuffer_{};
  std::array<std::uint8_t, kReplyBlockSize> replyBlock_{};
  const std::uint8_t breakByte_ = 0x00;
};

}  // namespace lumora
