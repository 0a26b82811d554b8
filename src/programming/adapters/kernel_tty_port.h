#pragma once

#include "programming/adapters/tty_port.h"

namespace lumora {

// The serial port through the kernel's tty driver and the steady clock.
class KernelTtyPort final : public TtyPort {
 public:
  KernelTtyPort() = default;
  ~KernelTtyPort() override;
  KernelTtyPort(const KernelTtyPort&) = delete;
  KernelTtyPort& operator=(const KernelTtyPort&) = delete;

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
  int Wait(short events, int timeoutMs);

  int fd_ = -1;
};

}  // namespace lumora
