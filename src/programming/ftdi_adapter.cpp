#include "programming/ftdi_adapter.h"

#include <libftdi1/ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <thread>

#include "programming/programming_link.h"

namespace lumora {

namespace {

using Clock = std::chrono::steady_clock;

// A standard frame's start code and 387 slots: one USB transfer carries them all.
constexpr std::size_t kGroupBytes = 1 + kStandardFrameSlots;
constexpr unsigned char kLatencyMs = 2;
// Transmitter empty: bit 6 of the line status, the high byte of the polled status.
constexpr unsigned short kTransmitterEmpty = 0x40 << 8;
// USB latency allowed on top of a byte's wire time before the line is changed regardless.
constexpr auto kSendSlack = std::chrono::milliseconds(2);

// libftdi reports a missing device as -666 or passes libusb's "no device" through.
FT_STATUS Failure(int code) {
  return code == -666 || code == LIBUSB_ERROR_NO_DEVICE ? FT_DEVICE_NOT_FOUND : FT_IO_ERROR;
}

// One bit at the chip's raw divisor: bits 0..13 the integer part, bits 14..15 the eighths
// code; 0 and 1 are the chip's special 3 and 2 MBaud.
std::chrono::nanoseconds BitTime(std::uint16_t divisor) {
  static constexpr double kEighths[4] = {0.0, 0.5, 0.25, 0.125};
  const double cycles = divisor == 0   ? 1.0
                        : divisor == 1 ? 1.5
                                       : (divisor & 0x3FFF) + kEighths[divisor >> 14];
  return std::chrono::nanoseconds(static_cast<long long>(cycles * 1000.0 / 3.0));
}

}  // namespace

FtdiAdapter::FtdiAdapter(std::span<const UsbId> ids) : ids_(ids.begin(), ids.end()) {}

FtdiAdapter::~FtdiAdapter() {
  std::lock_guard lock(mutex_);
  if (ftdi_ != nullptr) {
    SendGrouped();
    CloseDevice();
  }
}

FT_STATUS FtdiAdapter::FT_Open(int deviceIndex, FT_HANDLE* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return FT_INVALID_HANDLE;
  if (ftdi_ != nullptr) return FT_DEVICE_NOT_OPENED;
  if (deviceIndex < 0) return FT_DEVICE_NOT_FOUND;
  ftdi_context* ftdi = ftdi_new();
  if (ftdi == nullptr) return FT_DEVICE_NOT_FOUND;  // no USB access at all

  FT_STATUS status = FT_DEVICE_NOT_FOUND;
  int skip = deviceIndex;
  for (const UsbId& id : ids_) {
    ftdi_device_list* list = nullptr;
    if (ftdi_usb_find_all(ftdi, &list, id.Vendor, id.Product) > 0) {
      for (ftdi_device_list* device = list; device != nullptr; device = device->next) {
        if (skip-- > 0) continue;
        status = ftdi_usb_open_dev(ftdi, device->dev) == 0 ? FT_OK : FT_DEVICE_NOT_OPENED;
        break;
      }
    }
    ftdi_list_free(&list);
    if (status != FT_DEVICE_NOT_FOUND) break;
  }
  if (status == FT_OK &&
      (ftdi_tcioflush(ftdi) < 0 || ftdi_set_latency_timer(ftdi, kLatencyMs) < 0)) {
    ftdi_usb_close(ftdi);
    status = FT_DEVICE_NOT_OPENED;
  }
  if (status != FT_OK) {
    ftdi_free(ftdi);
    return status;
  }
  ftdi_ = ftdi;
  handle_ = ++lastHandle_;
  readTimeoutMs_ = static_cast<std::uint32_t>(ftdi->usb_read_timeout);
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
  if (bytesReturned != nullptr) *bytesReturned = 0;
  FT_STATUS status = Usable(handle);
  if (status == FT_OK && buffer == nullptr && bytesToRead > 0) status = FT_IO_ERROR;
  // What is read answers what was written: the grouped writes go out first.
  if (status == FT_OK) status = SendGrouped();
  if (status != FT_OK) return status;

  auto* bytes = static_cast<unsigned char*>(buffer);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(readTimeoutMs_);
  std::uint32_t got = 0;
  // libftdi returns what the chip has; the chip answers every latency period, which paces
  // the loop.
  while (got < bytesToRead) {
    const int count = ftdi_read_data(ftdi_, bytes + got, static_cast<int>(bytesToRead - got));
    if (count < 0) {
      status = Failure(count);
      break;
    }
    got += static_cast<std::uint32_t>(count);
    if (readTimeoutMs_ != 0 && Clock::now() >= deadline) break;
  }
  if (bytesReturned != nullptr) *bytesReturned = got;
  return status;
}

FT_STATUS FtdiAdapter::FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                std::uint32_t* bytesWritten) {
  std::lock_guard lock(mutex_);
  if (bytesWritten != nullptr) *bytesWritten = 0;
  FT_STATUS status = Usable(handle);
  if (status == FT_OK && buffer == nullptr && bytesToWrite > 0) status = FT_IO_ERROR;
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
  static constexpr ftdi_stopbits_type kStops[3] = {STOP_BIT_1, STOP_BIT_15, STOP_BIT_2};
  static constexpr ftdi_parity_type kParities[5] = {NONE, ODD, EVEN, MARK, SPACE};
  const int result = ftdi_set_line_property(ftdi_, wordLength == 7 ? BITS_7 : BITS_8,
                                            kStops[stopBits], kParities[parity]);
  if (result < 0) return Failure(result);
  bitsPerByte_ = 1 + wordLength + (parity != 0 ? 1 : 0) + 1 + stopBits * 0.5;
  return FT_OK;
}

FT_STATUS FtdiAdapter::FT_ClrDtr(FT_HANDLE handle) {
  return SetModemLine(handle, ftdi_setdtr, 0);
}

FT_STATUS FtdiAdapter::FT_SetRts(FT_HANDLE handle) {
  return SetModemLine(handle, ftdi_setrts, 1);
}

FT_STATUS FtdiAdapter::FT_ClrRts(FT_HANDLE handle) {
  return SetModemLine(handle, ftdi_setrts, 0);
}

FT_STATUS FtdiAdapter::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                      std::uint32_t writeTimeoutMs) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  ftdi_->usb_read_timeout = static_cast<int>(readTimeoutMs);
  ftdi_->usb_write_timeout = static_cast<int>(writeTimeoutMs);
  readTimeoutMs_ = readTimeoutMs;
  return FT_OK;
}

FT_STATUS FtdiAdapter::FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  if (status == FT_OK) status = WaitUntilSent();
  if (status != FT_OK) return status;
  // The divisor as the chip takes it, with libftdi's index: the channel on H chips.
  const bool hChip =
      ftdi_->type == TYPE_2232H || ftdi_->type == TYPE_4232H || ftdi_->type == TYPE_232H;
  const std::uint16_t index = hChip ? static_cast<std::uint16_t>(ftdi_->index) : 0;
  const int result =
      libusb_control_transfer(ftdi_->usb_dev, FTDI_DEVICE_OUT_REQTYPE, SIO_SET_BAUDRATE_REQUEST,
                              divisor, index, nullptr, 0, ftdi_->usb_write_timeout);
  if (result < 0) return Failure(result);
  divisor_ = divisor;
  return FT_OK;
}

FT_STATUS FtdiAdapter::Usable(FT_HANDLE handle) const {
  return ftdi_ != nullptr && handle == handle_ ? FT_OK : FT_INVALID_HANDLE;
}

FT_STATUS FtdiAdapter::SendGrouped() {
  if (grouped_.empty()) return FT_OK;
  const Clock::time_point start = Clock::now();
  const int result = ftdi_write_data(ftdi_, grouped_.data(), static_cast<int>(grouped_.size()));
  const Clock::time_point done = Clock::now();
  if (result < 0) {
    grouped_.clear();
    return Failure(result);
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
  std::this_thread::sleep_until(earliestSent_);
  unsigned short modem = 0;
  while (Clock::now() < latestSent_) {
    if (ftdi_poll_modem_status(ftdi_, &modem) < 0) {
      std::this_thread::sleep_until(latestSent_);
      break;
    }
    if ((modem & kTransmitterEmpty) != 0) break;
  }
  sending_ = false;
  return status;
}

FT_STATUS FtdiAdapter::SetModemLine(FT_HANDLE handle, int (*set)(ftdi_context*, int), int state) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  // The modem lines change after the bytes written before them.
  if (status == FT_OK) status = SendGrouped();
  if (status != FT_OK) return status;
  const int result = set(ftdi_, state);
  return result < 0 ? Failure(result) : FT_OK;
}

void FtdiAdapter::CloseDevice() {
  ftdi_usb_close(ftdi_);
  ftdi_free(ftdi_);
  ftdi_ = nullptr;
  handle_ = 0;
  grouped_.clear();
  sending_ = false;
}

}  // namespace lumora
