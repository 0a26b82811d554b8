#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "programming/adapters/tty_port.h"
#include "programming/adapters/usb_adapter.h"

namespace lumora {

// The adapter over a serial device the kernel drives (an FTDI chip on ftdi_sio, any other
// USB-RS485 adapter): device 0 is the one at the path. FT_SetDivisor takes the FTDI chip's
// divisor and sets the rate it means there: 3,000,000 / divisor, with 0 for 3,000,000 and 1
// for 2,000,000. Before the rate or format changes the bytes written must have left the
// line (tcdrain), so a break byte is a full 420 us low at its own rate. Writes and reads end
// at their time-outs with FT_OK and fewer bytes. A device missing or unplugged gives
// FT_DEVICE_NOT_FOUND, one the user may not open kAdapterAccessDenied.
class TtyAdapter final : public UsbAdapter {
 public:
  // Through the system's serial driver: the kernel's tty driver, or a Windows COM port.
  explicit TtyAdapter(std::string path);
  TtyAdapter(std::string path, std::unique_ptr<TtyPort> port);
  ~TtyAdapter() override;
  TtyAdapter(const TtyAdapter&) = delete;
  TtyAdapter& operator=(const TtyAdapter&) = delete;

  // Opens the device raw at 9600 baud 8N1, both queues emptied.
  FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) override;
  FT_STATUS FT_Close(FT_HANDLE handle) override;
  FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                    std::uint32_t* bytesReturned) override;
  FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                     std::uint32_t* bytesWritten) override;
  // 7 or 8 data bits, one or two stop bits (one and a half is refused), any parity.
  FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                      std::uint8_t stopBits, std::uint8_t parity) override;
  FT_STATUS FT_ClrDtr(FT_HANDLE handle) override;
  FT_STATUS FT_SetRts(FT_HANDLE handle) override;
  FT_STATUS FT_ClrRts(FT_HANDLE handle) override;
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                           std::uint32_t writeTimeoutMs) override;
  FT_STATUS FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) override;

 private:
  using Clock = TtyPort::Clock;

  FT_STATUS Usable(FT_HANDLE handle) const;
  template <typename Byte>
  FT_STATUS Move(std::span<Byte> bytes, std::uint32_t timeoutMs,
                 int (TtyPort::*step)(std::span<Byte>), int (TtyPort::*wait)(int),
                 std::uint32_t* moved);
  FT_STATUS ChangeLine(const SerialLine& line);
  FT_STATUS SetModemLine(FT_HANDLE handle, ModemLine line, bool on);
  // Milliseconds left until the deadline, rounded up.
  int Left(Clock::time_point deadline);

  mutable std::mutex mutex_;
  std::unique_ptr<TtyPort> port_;
  std::string path_;
  bool open_ = false;
  FT_HANDLE handle_ = 0;
  FT_HANDLE lastHandle_ = 0;
  SerialLine line_{};
  std::uint32_t readTimeoutMs_ = 0;
  std::uint32_t writeTimeoutMs_ = 0;
};

}  // namespace lumora
