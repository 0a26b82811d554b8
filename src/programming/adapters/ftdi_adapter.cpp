#include "programming/adapters/ftdi_adapter.h"

#include <algorithm>

#include "programming/adapters/libftdi_port.h"
#include "programming/adapters/transfer_arguments.h"
#include "programming/wire_format.h"

namespace lumora {

namespace {

using Clock = FtdiPort::Clock;

// A standard frame's start code and 387 slots: one USB transfer carries them all.
constexpr std::size_t kGroupBytes = 1 + kStandardFrameSlots;
constexpr std::uint8_t kLatencyMs = 2;
// libftdi's own, until FT_SetTimeouts.
constexpr std::uint32_t kOpenTimeoutMs = 5000;
// USB latency allowed on top of a byte's wire time before the line is changed regardless.
constexpr auto kSendSlack = std::chrono::milliseconds(2);

FT_STATUS Failure(int code) {
  return code == kFtdiDeviceUnavailable || code == kUsbNoDevice ? FT_DEVICE_NOT_FOUND : FT_IO_ERROR;
}

}  // namespace

FtdiAdapter::FtdiAdapter(std::span<const UsbId> ids)
    : FtdiAdapter(std::make_unique<LibftdiPort>(), ids) {}

FtdiAdapter::FtdiAdapter(std::unique_ptr<FtdiPort> port, std::span<const UsbId> ids)
    : port_(std::move(port)), ids_(ids.begin(), ids.end()) {}

FtdiAdapter::~FtdiAdapter() {
  std::lock_guard lock(mutex_);
  if (open_) {
    SendGrouped();
    CloseDevice();
  }
}

FT_STATUS FtdiAdapter::FT_Open(int deviceIndex, FT_HANDLE* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return FT_INVALID_HANDLE;
  if (open_) return FT_DEVICE_NOT_OPENED;
  if (deviceIndex < 0) return FT_DEVICE_NOT_FOUND;

  // The index counts the chips of all the ids, in their order; a failed search finds none.
  FT_STATUS status = FT_DEVICE_NOT_FOUND;
  int skip = deviceIndex;
  for (const UsbId& id : ids_) {
    const int count = std::max(port_->CountChips(id), 0);
    if (skip >= count) {
      skip -= count;
      continue;
    }
    const int opened = port_->OpenChip(id, skip);
    status = opened == 0                   ? FT_OK
             : opened == kChipAccessDenied ? kAdapterAccessDenied
                                           : FT_DEVICE_NOT_OPENED;
    break;
  }
  if (status == FT_OK && (port_->FlushBuffers() < 0 || port_->SetLatencyTimer(kLatencyMs) < 0)) {
    status = FT_DEVICE_NOT_OPENED;
  }
  if (status != FT_OK) {
    port_->CloseChip();
    return status;
  }
  port_->SetUsbTimeouts(kOpenTimeoutMs, kOpenTimeoutMs);
  open_ = true;
  handle_ = ++lastHandle_;
  readTimeoutMs_ = kOpenTimeoutMs;
  grouped_.clear();
  sending_ = false;
  *handle = handle_;
  return FT_OK;
}

FT_STATUS FtdiAdapter::FT_Close(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  const FT_STATUS sent = SendGrouped();
  CloseDevice();
  return sent;
}

FT_STATUS FtdiAdapter::FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                               std::uint32_t* bytesReturned) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToRead, bytesReturned);
  // What is read answers what was written: the grouped writes go out first.
  if (status == FT_OK) status = SendGrouped();
  if (status != FT_OK) return status;

  const std::span bytes(static_cast<std::uint8_t*>(buffer), bytesToRead);
  const Clock::time_point deadline = port_->Now() + std::chrono::milliseconds(readTimeoutMs_);
  std::uint32_t got = 0;
  // libftdi returns what the chip has; the chip answers every latency period, which paces
  // the loop.
  while (got < bytesToRead) {
    const int count = port_->ReadData(bytes.subspan(got));
    if (count < 0) {
      status = Failure(count);
      break;
    }
    got += static_cast<std::uint32_t>(count);
    if (port_->Now() >= deadline) break;
  }
  if (bytesReturned != nullptr) *bytesReturned = got;
  return status;
}

FT_STATUS FtdiAdapter::FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                std::uint32_t* bytesWritten) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToWrite, bytesWritten);
  if (status != FT_OK) return status;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  grouped_.insert(grouped_.end(), bytes, bytes + bytesToWrite);
  if (grouped_.size() >= kGroupBytes) status = SendGrouped();
  if (status == FT_OK && bytesWritten != nullptr) *bytesWritten = bytesToWrite;
  return status;
}

FT_STATUS FtdiAdapter::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                 std::uint8_t stopBits, std::uint8_t parity) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  const bool valid = (wordLength == 7 || wordLength == 8) &&
                     (stopBits == 0 || stopBits == 1 || stopBits == 2) && parity <= 4;
  if (status == FT_OK && !valid) status = FT_IO_ERROR;
  if (status == FT_OK) status = WaitUntilSent();
  if (status != FT_OK) return status;
  const int result = port_->SetLineProperty(wordLength, stopBits, parity);
  if (result < 0) return Failure(result);
  bitsPerByte_ = BitsPerByte(wordLength, stopBits, parity);
  return FT_OK;
}

FT_STATUS FtdiAdapter::FT_ClrDtr(FT_HANDLE handle) {
  return SetModemLine(handle, &FtdiPort::SetDtr, 0);
}

FT_STATUS FtdiAdapter::FT_SetRts(FT_HANDLE handle) {
  return SetModemLine(handle, &FtdiPort::SetRts, 1);
}

FT_STATUS FtdiAdapter::FT_ClrRts(FT_HANDLE handle) {
  return SetModemLine(handle, &FtdiPort::SetRts, 0);
}

FT_STATUS FtdiAdapter::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                      std::uint32_t writeTimeoutMs) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  port_->SetUsbTimeouts(static_cast<int>(readTimeoutMs), static_cast<int>(writeTimeoutMs));
  readTimeoutMs_ = readTimeoutMs;
  return FT_OK;
}

FT_STATUS FtdiAdapter::FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  if (status == FT_OK) status = WaitUntilSent();
  if (status != FT_OK) return status;
  const int result = port_->SetBaudDivisor(divisor);
  if (result < 0) return Failure(result);
  divisor_ = divisor;
  return FT_OK;
}

FT_STATUS FtdiAdapter::Usable(FT_HANDLE handle) const {
  return open_ && handle == handle_ ? FT_OK : FT_INVALID_HANDLE;
}

FT_STATUS FtdiAdapter::SendGrouped() {
  if (grouped_.empty()) return FT_OK;
  const Clock::time_point start = port_->Now();
  const int result = port_->WriteData(grouped_);
  const Clock::time_point done = port_->Now();
  // Bytes the chip did not take within the USB write time-out never reach the line; the
  // writes they came from have returned, so the call that sends them reports it.
  if (result < 0 || static_cast<std::size_t>(result) < grouped_.size()) {
    grouped_.clear();
    return result < 0 ? Failure(result) : kLineStalled;
  }
  const auto wireTime = std::chrono::duration_cast<Clock::duration>(
      BitTime(divisor_) * bitsPerByte_ * static_cast<double>(grouped_.size()));
  earliestSent_ = (sending_ ? std::max(earliestSent_, start) : start) + wireTime;
  latestSent_ = (sending_ ? std::max(latestSent_, done) : done) + wireTime + kSendSlack;
  sending_ = true;
  grouped_.clear();
  return FT_OK;
}

// Waits until the chip's transmitter is empty, or surely so by the bytes' wire time, so
// that a rate or format change never reaches a byte still being sent.
FT_STATUS FtdiAdapter::WaitUntilSent() {
  const FT_STATUS status = SendGrouped();
  if (!sending_) return status;
  port_->SleepUntil(earliestSent_);
  std::uint16_t modem = 0;
  while (port_->Now() < latestSent_) {
    if (port_->PollModemStatus(modem) < 0) {
      port_->SleepUntil(latestSent_);
      break;
    }
    if ((modem & kTransmitterEmpty) != 0) break;
  }
  sending_ = false;
  return status;
}

FT_STATUS FtdiAdapter::SetModemLine(FT_HANDLE handle, int (FtdiPort::*set)(int), int state) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  // The modem lines change after the bytes written before them.
  if (status == FT_OK) status = SendGrouped();
  if (status != FT_OK) return status;
  const int result = (port_.get()->*set)(state);
  return result < 0 ? Failure(result) : FT_OK;
}

void FtdiAdapter::CloseDevice() {
  port_->CloseChip();
  open_ = false;
  handle_ = 0;
  grouped_.clear();
  sending_ = false;
}

}  // namespace lumora
