#include "programming/adapters/com_port.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <thread>

#include "common/windows_text.h"
#include "programming/wire_format.h"

namespace lumora {

namespace {

// Each write call waits at most this long for the port to take bytes, so a write's time-out
// is kept to within it.
constexpr DWORD kWriteSliceMs = 20;
// As long as the link lets a write wait for the line.
constexpr int kDrainStallMs = 100;

// A failed call's error as the kernel port's answers.
int Failure(DWORD error = GetLastError()) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return -ENOENT;
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_SUPPORTED:
      return -ENOTTY;
    default:
      // A driver whose device was unplugged answers access denied, bad command, device
      // removed or operation aborted, depending on the driver.
      return -EIO;
  }
}

}  // namespace

ComPort::~ComPort() {
  Close();
}

int ComPort::Open(const std::string& path) {
  Close();
  // A COM port is always opened for one program alone.
  port_ = CreateFileW(Utf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      0, nullptr);
  if (port_ == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? -EBUSY
                                                                            : Failure(error);
  }
  waiting_.reset();
  rts_ = false;
  dtr_ = false;
  int result = SetupComm(port_, 4096, 4096) ? 0 : Failure();
  if (result == 0) result = SetTimeouts(0);
  if (result < 0) Close();
  return result;
}

void ComPort::Close() {
  if (port_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(port_);
  port_ = INVALID_HANDLE_VALUE;
}

int ComPort::Flush() {
  waiting_.reset();
  return PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR)
             ? 0
             : Failure();
}

// The transmit queue is waited on for as long as its bytes take on the wire until it is empty,
// then the last byte is given its time too: FlushFileBuffers would wait as long with some
// drivers and throw the bytes away with others. A queue that does not shrink for as long as a
// write may wait is a stalled line, not one to wait on for ever.
int ComPort::Drain() {
  using Clock = std::chrono::steady_clock;
  const auto byteTime = std::chrono::microseconds(
      line_.Rate == 0
          ? 1
          : static_cast<long long>(std::ceil(
                BitsPerByte(line_.WordLength, line_.StopBits, line_.Parity) * 1e6 / line_.Rate)));
  DWORD smallest = MAXDWORD;
  Clock::time_point lastShrink = Clock::now();
  for (;;) {
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(port_, &errors, &status)) return Failure();
    if (status.cbOutQue == 0) break;
    if (status.cbOutQue < smallest) {
      smallest = status.cbOutQue;
      lastShrink = Clock::now();
    } else if (Clock::now() - lastShrink > std::chrono::milliseconds(kDrainStallMs)) {
      return -EIO;
    }
    std::this_thread::sleep_for(byteTime * status.cbOutQue);
  }
  std::this_thread::sleep_for(byteTime);
  return 0;
}

int ComPort::SetLine(const SerialLine& line) {
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (!GetCommState(port_, &settings)) return Failure();
  settings.BaudRate = line.Rate;
  settings.ByteSize = line.WordLength;
  // The adapter calls' codes are Windows's own: stop bits 0 one, 2 two; parity 0 none, 1 odd,
  // 2 even, 3 mark, 4 space.
  settings.StopBits = line.StopBits;
  settings.Parity = line.Parity;
  settings.fParity = line.Parity != 0;
  settings.fBinary = TRUE;
  // Raw bytes: no flow control and no character taken out or put in; the modem lines as set.
  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDsrSensitivity = FALSE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  settings.fErrorChar = FALSE;
  settings.fNull = FALSE;
  settings.fAbortOnError = FALSE;
  settings.fDtrControl = dtr_ ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  settings.fRtsControl = rts_ ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  if (!SetCommState(port_, &settings)) return Failure();
  line_ = line;
  return 0;
}

int ComPort::SetModemLine(ModemLine line, bool on) {
  const DWORD function = line == ModemLine::Rts ? (on ? SETRTS : CLRRTS) : (on ? SETDTR : CLRDTR);
  if (!EscapeCommFunction(port_, function)) return Failure();
  (line == ModemLine::Rts ? rts_ : dtr_) = on;
  return 0;
}

int ComPort::Write(std::span<const std::uint8_t> bytes) {
  DWORD written = 0;
  const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
  if (!WriteFile(port_, bytes.data(), size, &written, nullptr)) return Failure();
  return written > 0 ? static_cast<int>(written) : -EAGAIN;
}

int ComPort::Read(std::span<std::uint8_t> buffer) {
  if (buffer.empty()) return 0;
  std::size_t given = 0;
  if (waiting_) {
    buffer[0] = *waiting_;
    waiting_.reset();
    given = 1;
  }
  DWORD got = 0;
  const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - given, 1u << 20));
  if (size > 0 && !ReadFile(port_, buffer.data() + given, size, &got, nullptr)) {
    return given > 0 ? static_cast<int>(given) : Failure();
  }
  given += got;
  return given > 0 ? static_cast<int>(given) : -EAGAIN;
}

// Waiting for input takes the first byte to arrive: a read with these time-outs returns as
// soon as one byte is there, or empty at the time-out.
int ComPort::WaitReadable(int timeoutMs) {
  if (waiting_) return 1;
  int result = SetTimeouts(static_cast<DWORD>(std::max(timeoutMs, 1)));
  std::uint8_t byte = 0;
  DWORD got = 0;
  if (result == 0 && !ReadFile(port_, &byte, 1, &got, nullptr)) result = Failure();
  const int restored = SetTimeouts(0);
  if (result < 0) return result;
  if (restored < 0) return restored;
  if (got == 0) return StillThere();
  waiting_ = byte;
  return 1;
}

// A port whose device hung up may end a read at once with nothing, as a time-out would (Wine's
// port on a pseudo-terminal whose other end closed does); its status can no longer be read.
int ComPort::StillThere() {
  COMSTAT status{};
  DWORD errors = 0;
  return ClearCommError(port_, &errors, &status) ? 0 : Failure();
}

// Each write waits for room itself, for a slice of the time-out at a time.
int ComPort::WaitWritable(int) {
  return 1;
}

TtyPort::Clock::time_point ComPort::Now() {
  return Clock::now();
}

// A wait of 0: a read takes what has arrived and returns at once. Otherwise it returns as soon
// as a byte is there, or empty after the wait.
int ComPort::SetTimeouts(DWORD readWaitMs) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = readWaitMs == 0 ? 0 : MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = readWaitMs;
  timeouts.WriteTotalTimeoutConstant = kWriteSliceMs;
  return SetCommTimeouts(port_, &timeouts) ? 0 : Failure();
}

}  // namespace lumora
