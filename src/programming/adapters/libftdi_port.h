#pragma once

#include "programming/adapters/ftdi_port.h"

struct ftdi_context;

namespace lumora {

// The FTDI port through libftdi1 and the steady clock. A fresh libftdi context serves each
// opening and is freed when the chip is closed.
class LibftdiPort final : public FtdiPort {
 public:
  LibftdiPort() = default;
  ~LibftdiPort() override;
  LibftdiPort(const LibftdiPort&) = delete;
  LibftdiPort& operator=(const LibftdiPort&) = delete;

  int CountChips(UsbId id) override;
  int OpenChip(UsbId id, int index) override;
  void CloseChip() override;
  int FlushBuffers() override;
  int SetLatencyTimer(std::uint8_t milliseconds) override;
  void SetUsbTimeouts(int readMs, int writeMs) override;
  int ReadData(std::span<std::uint8_t> buffer) override;
  int WriteData(std::span<const std::uint8_t> bytes) override;
  int SetLineProperty(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) override;
  int SetDtr(int state) override;
  int SetRts(int state) override;
  int PollModemStatus(std::uint16_t& status) override;
  int SetBaudDivisor(std::uint16_t divisor) override;
  Clock::time_point Now() override;
  void SleepUntil(Clock::time_point time) override;

 private:
  ftdi_context* ftdi_ = nullptr;
};

}  // namespace lumora
