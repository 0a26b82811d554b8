#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "programming/adapters/tty_port.h"

namespace lumora {

// The serial port through the Win32 communications calls and the steady clock: a COM port of
// the FTDI chip's virtual-port driver or of any other USB-RS485 adapter. The answers follow
// the kernel port's: -ENOENT for a port that is not there, -EBUSY for one another program has
// open, -EIO once the device is gone, -ENOTTY for a call the device does not take.
class ComPort final : public TtyPort {
 public:
  ComPort() = default;
  ~ComPort() override;
  ComPort(const ComPort&) = delete;
  ComPort& operator=(const ComPort&) = delete;

  int Open(const std::string& path) override;
  void Close() override;
  int Flush() override;
  int Drain() override;
  int SetLine(const SerialLine& line) override;
  int SetModemLine(ModemLine line, bool on) override;
  int Write(std::span<const std::uint8_t> bytes) override;
  int Read(std::span<std::uint8_t> buffer) override;
  int WaitReadable(int timeoutMs) override;
  int WaitWritable(int timeoutMs) override;
  Clock::time_point Now() override;

 private:
  int SetTimeouts(DWORD readWaitMs);
  // 0 while the device is there, else the failure of asking it for its status.
  int StillThere();

  HANDLE port_ = INVALID_HANDLE_VALUE;
  SerialLine line_{};
  bool rts_ = false;
  bool dtr_ = false;
  // A byte a wait for input took off the port, handed out by the next read.
  std::optional<std::uint8_t> waiting_;
};

}  // namespace lumora
