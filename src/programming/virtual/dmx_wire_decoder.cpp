#include "programming/virtual/dmx_wire_decoder.h"

#include "programming/adapters/usb_adapter.h"

namespace lumora {

namespace {

bool IsEightBitsNoParity(const SerialFormat& format) {
  return format.WordLength == FT_BITS_8 && format.Parity == FT_PARITY_NONE;
}

bool IsBreak(std::span<const std::uint8_t> bytes, const SerialFormat& format) {
  return bytes.size() == 1 && bytes[0] == 0 && format.Divisor == kBreakDivisor &&
         IsEightBitsNoParity(format);
}

bool IsDmxLine(const SerialFormat& format) {
  return format.Divisor == kDmxDivisor && format.StopBits == FT_STOP_BITS_2 &&
         IsEightBitsNoParity(format);
}

bool IsUsbBlock(std::span<const std::uint8_t> bytes, const SerialFormat& format) {
  return bytes.size() == kUsbBlockSize && bytes[1] == kUsbBlockMarker &&
         format.Divisor == kUsbDivisor && format.StopBits == FT_STOP_BITS_1 &&
         IsEightBitsNoParity(format);
}

}  // namespace

void DmxWireDecoder::Write(std::span<const std::uint8_t> bytes, const SerialFormat& format) {
  if (bytes.empty()) return;
  if (IsBreak(bytes, format)) {
    EndFrame();
    state_ = State::AfterBreak;
    return;
  }
  if (IsDmxLine(format) && state_ == State::AfterBreak) {
    // Only start code 0 carries dimmer slots; a receiver skips any other frame.
    if (bytes[0] != 0) {
      state_ = State::Idle;
      sink_.OnStrayWrite(bytes);
      return;
    }
    state_ = State::InFrame;
    slotCount_ = 0;
    TakeSlots(bytes.subspan(1));
    return;
  }
  if (IsDmxLine(format) && state_ == State::InFrame) {
    TakeSlots(bytes);
    return;
  }
  // Anything else interrupts a frame under way.
  EndFrame();
  state_ = State::Idle;
  if (IsUsbBlock(bytes, format)) {
    sink_.OnFrame(FrameKind::UsbBlock, bytes.subspan(kUsbSlotBase));
  } else {
    sink_.OnStrayWrite(bytes);
  }
}

void DmxWireDecoder::EndOfLine() {
  EndFrame();
  state_ = State::Idle;
}

void DmxWireDecoder::TakeSlots(std::span<const std::uint8_t> bytes) {
  const std::size_t room = kStandardFrameSlots - slotCount_;
  const std::size_t taken = bytes.size() < room ? bytes.size() : room;
  for (std::size_t i = 0; i < taken; ++i) slots_[slotCount_ + i] = bytes[i];
  slotCount_ += taken;
  if (slotCount_ < kStandardFrameSlots) return;
  EndFrame();
  state_ = State::Idle;
  if (taken < bytes.size()) sink_.OnStrayWrite(bytes.subspan(taken));
}

void DmxWireDecoder::EndFrame() {
  if (state_ == State::InFrame) {
    sink_.OnFrame(FrameKind::StandardFrame, std::span(slots_).first(slotCount_));
  }
  state_ = State::Idle;
  slotCount_ = 0;
}

}  // namespace lumora
