#include "programming/programming_link.h"

#include <algorithm>

namespace lumora {

bool ProgrammingLink::OpenProgrammer(MessageBoxes& messages) {
  FT_HANDLE opened = 0;
  const FT_STATUS status = adapter_.FT_Open(0, &opened);
  handle_ = status == FT_OK ? opened : 0;
  adapter_.FT_ClrRts(handle_);
  adapter_.FT_ClrDtr(handle_);
  if (status != FT_OK) {
    messages.ShowError(message::NoProgrammer);
    return false;
  }
  transmitBuffer_[1] = 0x01;
  return true;
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
  slotBase_ = kUsbSlotBase;
  // Whatever a standard frame left in the buffer must not reach the USB programmer's
  // header bytes: start from an empty block.
  ClearFrom(0);
  transmitBuffer_[1] = 0x01;
  SetLine(kUsbDivisor, FT_STOP_BITS_1);
  Write(transmitBuffer_.data(), kUsbBlockSize);
  if (readReply) adapter_.FT_Read(handle_, replyBlock_.data(), kReplyBlockSize, &bytesRead_);
}

void ProgrammingLink::ConfigureStandardProgrammer() {
  slotBase_ = kStandardSlotBase;
  SetLine(kDmxDivisor, FT_STOP_BITS_2);
}

FT_STATUS ProgrammingLink::UsbExchange() {
  adapter_.FT_SetRts(handle_);
  const FT_STATUS status = Write(transmitBuffer_.data(), kUsbBlockSize);
  adapter_.FT_Read(handle_, replyBlock_.data(), kReplyBlockSize, &bytesRead_);
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
  for (int first = 1; first <= kStandardFrameSlots; first += kStandardSlotWriteSize) {
    std::copy_n(transmitBuffer_.begin() + first, kStandardSlotWriteSize, staging_.begin());
    if (const FT_STATUS status = Write(staging_.data(), kStandardSlotWriteSize); status != FT_OK) {
      return status;
    }
  }
  return FT_OK;
}

FT_STATUS ProgrammingLink::Write(const void* data, std::uint32_t size) {
  return adapter_.FT_Write(handle_, data, size, &bytesWritten_);
}

void ProgrammingLink::ClearFrom(std::size_t first) {
  std::fill(transmitBuffer_.begin() + first, transmitBuffer_.end(), 0);
}

}  // namespace lumora
