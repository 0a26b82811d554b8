#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace lumora {

struct UsbId {
  std::uint16_t Vendor;
  std::uint16_t Product;
};

// Failures that mean the chip is gone: libftdi's "USB device unavailable", and libusb's
// LIBUSB_ERROR_NO_DEVICE, which libftdi passes through from reads and control requests.
inline constexpr int kFtdiDeviceUnavailable = -666;
inline constexpr int kUsbNoDevice = -4;
// The port's own answer of OpenChip, never a libftdi or libusb code: the chip is there but
// the user may not open its USB device.
inline constexpr int kChipAccessDenied = -1000;

// Transmitter empty: bit 6 of the line status, the high byte of the polled modem status.
inline constexpr std::uint16_t kTransmitterEmpty = 0x40 << 8;

// The libftdi1 calls the FTDI adapter makes, one function each, on the one chip open at a
// time. Each answers as libftdi does: 0 or a count on success, a negative libftdi or libusb
// code on failure. The clock is here too, so the wait for sent bytes is tested without
// waiting.
class FtdiPort {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~FtdiPort() = default;

  // ftdi_usb_find_all: how many chips carry the id.
  virtual int CountChips(UsbId id) = 0;
  // ftdi_usb_open_desc_index: opens the index-th chip with the id; kChipAccessDenied when
  // the user lacks the rights to it.
  virtual int OpenChip(UsbId id, int index) = 0;
  // ftdi_usb_close.
  virtual void CloseChip() = 0;
  // ftdi_tcioflush.
  virtual int FlushBuffers() = 0;
  // ftdi_set_latency_timer.
  virtual int SetLatencyTimer(std::uint8_t milliseconds) = 0;
  // The USB time-outs of reads and writes.
  virtual void SetUsbTimeouts(int readMs, int writeMs) = 0;
  // ftdi_read_data: what the chip has, up to the buffer's size.
  virtual int ReadData(std::span<std::uint8_t> buffer) = 0;
  // ftdi_write_data: the bytes as one transfer.
  virtual int WriteData(std::span<const std::uint8_t> bytes) = 0;
  // ftdi_set_line_property, with the adapter calls' codes: 7 or 8 data bits; stop bits 0
  // (one), 1 (one and a half) or 2 (two); parity 0 none, 1 odd, 2 even, 3 mark, 4 space.
  virtual int SetLineProperty(std::uint8_t wordLength, std::uint8_t stopBits,
                              std::uint8_t parity) = 0;
  // ftdi_setdtr and ftdi_setrts.
  virtual int SetDtr(int state) = 0;
  virtual int SetRts(int state) = 0;
  // ftdi_poll_modem_status.
  virtual int PollModemStatus(std::uint16_t& status) = 0;
  // The set-baud-rate control request with the chip's raw divisor as its value.
  virtual int SetBaudDivisor(std::uint16_t divisor) = 0;

  virtual Clock::time_point Now() = 0;
  virtual void SleepUntil(Clock::time_point time) = 0;
};

}  // namespace lumora
