#include "programming/programming_link.h"

#include <algorithm>

namespace lumora {

FT_STATUS ProgrammingLink::OpenProgrammer() {
  FT_HANDLE opened = 0;
  const FT_STATUS status = adapter_.FT_Open(0, &opened);
  handle_ = status == FT_OK ? opened : 0;
  kind_ = ProgrammerKind::UsbProgrammer;
  adapter_.FT_ClrRts(handle_);
  adapter_.FT_ClrDtr(handle_);
  return status;
}

void ProgrammingLink::CloseProgrammer() {
  if (handle_ == 0) return;
  adapter_.FT_Close(handle_);
  handle_ = 0;
}

void ProgrammingLink::SetLine(std::uint16_t divisor, std::uint8_t stopBits) {
  adapter_.FT_SetDivisor(handle_, divisor);
  adapter_.FT_SetDataCharacteristics(handle_, FT_BITS_8, stopBits, FT_PARITY_NONE);
  adapter_.FT_SetTimeouts(handle_, kLineTimeoutMs, kLineTimeoutMs);
}

void ProgrammingLink::ConfigureUsbProgrammer(bool readReply) {
  kind_ = ProgrammerKind::UsbProgrammer;
  LayOut({});
  SetLine(kUsbDivisor, FT_STOP_BITS_1);
  const FT_STATUS status = Write(transmitBuffer_.data(), kUsbBlockSize);
  if (readReply && status == FT_OK) {
    adapter_.FT_Read(handle_, replyBlock_.data(), kReplyBlockSize, &bytesRead_);
  }
}

void ProgrammingLink::ConfigureStandardProgrammer() {
  kind_ = ProgrammerKind::StandardProgrammer;
  SetLine(kDmxDivisor, FT_STOP_BITS_2);
}

FT_STATUS ProgrammingLink::SendIdleBlock() {
  LayOut({});
  return UsbExchange();
}

FT_STATUS ProgrammingLink::SendPacket(std::span<const std::uint8_t> slots) {
  LayOut(slots);
  return kind_ == ProgrammerKind::UsbProgrammer ? UsbExchange() : SendStandardFrame();
}

// Nothing a block or frame before left in the buffer reaches the next: the USB programmer's
// header bytes above all.
void ProgrammingLink::LayOut(std::span<const std::uint8_t> slots) {
  transmitBuffer_.fill(0);
  const bool usb = kind_ == ProgrammerKind::UsbProgrammer;
  if (usb) transmitBuffer_[1] = kUsbBlockMarker;
  const std::size_t room = usb ? kUsbBlockSlots : kStandardFrameSlots;
  std::copy_n(slots.begin(), std::min(slots.size(), room),
              transmitBuffer_.begin() + (usb ? kUsbSlotBase : kStandardSlotBase));
}

FT_STATUS ProgrammingLink::UsbExchange() {
  adapter_.FT_SetRts(handle_);
  const FT_STATUS status = Write(transmitBuffer_.data(), kUsbBlockSize);
  if (status == FT_OK) adapter_.FT_Read(handle_, replyBlock_.data(), kReplyBlockSize, &bytesRead_);
  adapter_.FT_ClrRts(handle_);
  return status;
}

FT_STATUS ProgrammingLink::SendStandardFrame() {
  // A device lost during the break may show first in a divisor call: an adapter that
  // gathers writes hands the break byte over at the rate change after it.
  if (const FT_STATUS status = adapter_.FT_SetDivisor(handle_, kBreakDivisor); status != FT_OK) {
    return status;
  }
  if (const FT_STATUS status = Write(&breakByte_, 1); status != FT_OK) return status;
  if (const FT_STATUS status = adapter_.FT_SetDivisor(handle_, kDmxDivisor); status != FT_OK) {
    return status;
  }
  adapter_.FT_ClrRts(handle_);
  adapter_.FT_ClrDtr(handle_);
  if (const FT_STATUS status = Write(&breakByte_, 1); status != FT_OK) return status;
  for (int first = kStandardSlotBase; first < kStandardSlotBase + kStandardFrameSlots;
       first += kStandardSlotWriteSize) {
    if (const FT_STATUS status = Write(transmitBuffer_.data() + first, kStandardSlotWriteSize);
        status != FT_OK) {
      return status;
    }
  }
  return FT_OK;
}

FT_STATUS ProgrammingLink::Write(const void* data, std::uint32_t size) {
  bytesWritten_ = 0;
  const FT_STATUS status = adapter_.FT_Write(handle_, data, size, &bytesWritten_);
  return status == FT_OK && bytesWritten_ < size ? kLineStalled : status;
}

}  // namespace lumora
