#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/dialogs.h"
#include "programming/usb_adapter.h"

namespace lumora {

inline constexpr int kUsbBlockSize = 528;
inline constexpr int kReplyBlockSize = 272;
// DMX slot n lies at transmit-buffer byte SlotBase - 1 + n.
inline constexpr int kUsbSlotBase = 16;
inline constexpr int kStandardSlotBase = 1;
// Slots of a standard frame, sent three to a write.
inline constexpr int kStandardFrameSlots = 387;
inline constexpr int kStandardSlotWriteSize = 3;

// Line settings passed to the adapter.
inline constexpr std::uint16_t kUsbDivisor = 1;
inline constexpr std::uint16_t kDmxDivisor = 12;     // 250,000 baud
inline constexpr std::uint16_t kBreakDivisor = 140;  // one zero byte holds the line low 420 us
inline constexpr std::uint32_t kLineTimeoutMs = 100;

using TransmitBufferArray = std::array<std::uint8_t, kUsbBlockSize>;

// The programming adapter seen from the programming window: the handle, the transmit buffer
// laid out for the chosen programmer, and the calls that put blocks and frames on the wire.
// The owner keeps the timer thread out while it opens, configures or closes the link.
class ProgrammingLink {
 public:
  explicit ProgrammingLink(UsbAdapter& adapter) : adapter_(adapter) {}

  // Opens adapter 0 and clears RTS and DTR; on failure shows "Brak połączenia z
  // programatorem" and keeps no handle.
  bool OpenProgrammer(MessageBoxes& messages);
  bool IsOpen() const { return handle_ != 0; }
  // Closes the adapter if it is open; the handle is forgotten so it is never used again.
  void CloseProgrammer();

  // Lays the buffer out for the Brightwave USB programmer without touching the adapter.
  void UseUsbLayout() { slotBase_ = kUsbSlotBase; }
  // The line set-up of the Brightwave USB programmer: an empty block is written and, when
  // readReply, one reply read.
  void ConfigureUsbProgrammer(bool readReply);
  void ConfigureStandardProgrammer();

  // One block to the Brightwave USB programmer and its reply; returns the write's status.
  FT_STATUS UsbExchange();
  // Break, start code and slots 1..387; stops at the first write or divisor change that
  // fails and returns its status (a time-out is FT_OK).
  FT_STATUS SendStandardFrame();

  TransmitBufferArray& TransmitBuffer() { return transmitBuffer_; }
  int SlotBase() const { return slotBase_; }
  // DMX slots from slot 1 on.
  std::span<std::uint8_t> Slots() { return std::span(transmitBuffer_).subspan(slotBase_); }
  // Zeroes the transmit buffer from byte first on.
  void ClearFrom(std::size_t first);

 private:
  FT_STATUS Write(const void* data, std::uint32_t size);
  void SetLine(std::uint16_t divisor, std::uint8_t stopBits);

  UsbAdapter& adapter_;
  FT_HANDLE handle_ = 0;
  std::uint32_t bytesWritten_ = 0;
  std::uint32_t bytesRead_ = 0;
  int slotBase_ = kUsbSlotBase;
  TransmitBufferArray transmitBuffer_{};
  std::array<std::uint8_t, kReplyBlockSize> replyBlock_{};
  const std::uint8_t breakByte_ = 0x00;
  std::array<std::uint8_t, kStandardSlotWriteSize> staging_{};
};

}  // namespace lumora
