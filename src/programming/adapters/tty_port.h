#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace lumora {

// The line settings of a serial device: the rate in baud and the format with the adapter
// calls' codes (7 or 8 data bits; stop bits 0 for one, 2 for two; parity 0 none, 1 odd,
// 2 even, 3 mark, 4 space).
struct SerialLine {
  std::uint32_t Rate;
  std::uint8_t WordLength;
  std::uint8_t StopBits;
  std::uint8_t Parity;

  bool operator==(const SerialLine&) const = default;
};

enum class ModemLine { Rts, Dtr };

// The system calls the serial backend makes on the one device open at a time. Each answers 0
// or a count on success and -errno on failure; a device that hung up (unplugged) answers
// -EIO. The clock is here too, so that the time-outs are tested without the wall clock.
class TtyPort {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~TtyPort() = default;

  // open(2) read-write without blocking, not as the controlling terminal and without waiting
  // for the carrier; then exclusive use of the device.
  virtual int Open(const std::string& path) = 0;
  virtual void Close() = 0;
  // Throws away what was received and what waits to be sent.
  virtual int Flush() = 0;
  // tcdrain: returns when every byte written has left the transmitter.
  virtual int Drain() = 0;
  // TCSETS2 with raw input and output and the rate as given (BOTHER).
  virtual int SetLine(const SerialLine& line) = 0;
  // TIOCMBIS (on) or TIOCMBIC (off).
  virtual int SetModemLine(ModemLine line, bool on) = 0;
  // What the device took now, or -EAGAIN when its buffer is full.
  virtual int Write(std::span<const std::uint8_t> bytes) = 0;
  // What has arrived, or -EAGAIN when nothing has; 0 once the device has hung up.
  virtual int Read(std::span<std::uint8_t> buffer) = 0;
  // poll(2) for reading or writing for up to timeoutMs: 1 when ready, 0 when the time ran out
  // (or a signal came), -EIO when the device hung up.
  virtual int WaitReadable(int timeoutMs) = 0;
  virtual int WaitWritable(int timeoutMs) = 0;

  virtual Clock::time_point Now() = 0;
};

}  // namespace lumora
