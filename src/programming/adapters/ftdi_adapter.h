#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "programming/adapters/ftdi_port.h"
#include "programming/adapters/usb_adapter.h"

namespace lumora {

// FTDI's USB-serial chips, tried in this order: FT232R/FT232BM, FT2232, FT4232, FT232H, FT-X.
inline constexpr std::array<UsbId, 5> kFtdiSerialIds = {
    {{0x0403, 0x6001}, {0x0403, 0x6010}, {0x0403, 0x6011}, {0x0403, 0x6014}, {0x0403, 0x6015}}};

// The real adapter, through libftdi (the port). FT_SetDivisor writes the chip's baud divisor as
// given, as the vendor library does: 3 MHz / divisor (12 gives 250,000 baud, 140 about 21,429),
// with the chip's own special values 0 (3 MBaud) and 1 (2 MBaud). Writes made while the line
// settings stay the same are sent as one USB transfer: on the next line change, read,
// modem-line change or close, or once a standard frame's start code and 387 slots are
// gathered; a transfer the chip takes only part of gives kLineStalled from the call that sent
// it. Before the rate or format changes, the bytes already sent must have left the chip, so a
// break byte is a full 420 us low at its own rate.
class FtdiAdapter final : public UsbAdapter {
 public:
  // Through libftdi1.
  explicit FtdiAdapter(std::span<const UsbId> ids = kFtdiSerialIds);
  explicit FtdiAdapter(std::unique_ptr<FtdiPort> port, std::span<const UsbId> ids = kFtdiSerialIds);
  ~FtdiAdapter() override;
  FtdiAdapter(const FtdiAdapter&) = delete;
  FtdiAdapter& operator=(const FtdiAdapter&) = delete;

  // Opens the deviceIndex-th chip found with the ids, sets the latency timer to 2 ms. A chip
  // the user may not open gives kAdapterAccessDenied.
  FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) override;
  FT_STATUS FT_Close(FT_HANDLE handle) override;
  // Reads until bytesToRead or the read time-out; a time-out gives FT_OK with fewer bytes.
  // A time-out of 0 takes what the chip has at one read.
  FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                    std::uint32_t* bytesReturned) override;
  FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                     std::uint32_t* bytesWritten) override;
  FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                      std::uint8_t stopBits, std::uint8_t parity) override;
  FT_STATUS FT_ClrDtr(FT_HANDLE handle) override;
  FT_STATUS FT_SetRts(FT_HANDLE handle) override;
  FT_STATUS FT_ClrRts(FT_HANDLE handle) override;
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                           std::uint32_t writeTimeoutMs) override;
  FT_STATUS FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) override;

 private:
  using Clock = FtdiPort::Clock;

  FT_STATUS Usable(FT_HANDLE handle) const;
  FT_STATUS SendGrouped();
  FT_STATUS WaitUntilSent();
  FT_STATUS SetModemLine(FT_HANDLE handle, int (FtdiPort::*set)(int), int state);
  void CloseDevice();

  mutable std::mutex mutex_;
  std::unique_ptr<FtdiPort> port_;
  std::vector<UsbId> ids_;
  bool open_ = false;
  FT_HANDLE handle_ = 0;
  FT_HANDLE lastHandle_ = 0;
  std::vector<std::uint8_t> grouped_;
  std::uint16_t divisor_ = 0;
  double bitsPerByte_ = 10;
  std::uint32_t readTimeoutMs_ = 5000;
  // Bytes sent and maybe still on their way out: not gone before earliest, surely by latest.
  bool sending_ = false;
  Clock::time_point earliestSent_;
  Clock::time_point latestSent_;
};

}  // namespace lumora
