#include "programming/adapters/tty_adapter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <span>

#include "programming/adapters/serial_device.h"
#include "programming/adapters/transfer_arguments.h"
#include "programming/wire_format.h"

namespace lumora {

namespace {

constexpr SerialLine kOpeningLine = {9600, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE};
// Until FT_SetTimeouts.
constexpr std::uint32_t kOpenTimeoutMs = 5000;

bool DeviceGone(int error) {
  return error == -EIO || error == -ENODEV || error == -ENXIO;
}

FT_STATUS OpenFailure(int error) {
  if (error == -EACCES || error == -EPERM) return kAdapterAccessDenied;
  return DeviceGone(error) || error == -ENOENT || error == -ENOTDIR ? FT_DEVICE_NOT_FOUND
                                                                    : FT_DEVICE_NOT_OPENED;
}

FT_STATUS Failure(int error) {
  return DeviceGone(error) ? FT_DEVICE_NOT_FOUND : FT_IO_ERROR;
}

}  // namespace

TtyAdapter::TtyAdapter(std::string path) : TtyAdapter(std::move(path), MakeSerialPort()) {}

TtyAdapter::TtyAdapter(std::string path, std::unique_ptr<TtyPort> port)
    : port_(std::move(port)), path_(std::move(path)) {}

TtyAdapter::~TtyAdapter() {
  std::lock_guard lock(mutex_);
  if (open_) port_->Close();
}

FT_STATUS TtyAdapter::FT_Open(int deviceIndex, FT_HANDLE* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return FT_INVALID_HANDLE;
  if (open_) return FT_DEVICE_NOT_OPENED;
  if (deviceIndex != 0) return FT_DEVICE_NOT_FOUND;
  int result = port_->Open(path_);
  if (result < 0) return OpenFailure(result);
  result = port_->Flush();
  if (result >= 0) result = port_->SetLine(kOpeningLine);
  if (result < 0) {
    port_->Close();
    return DeviceGone(result) ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
  }
  open_ = true;
  handle_ = ++lastHandle_;
  line_ = kOpeningLine;
  readTimeoutMs_ = kOpenTimeoutMs;
  writeTimeoutMs_ = kOpenTimeoutMs;
  *handle = handle_;
  return FT_OK;
}

FT_STATUS TtyAdapter::FT_Close(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  port_->Close();
  open_ = false;
  handle_ = 0;
  return FT_OK;
}

FT_STATUS TtyAdapter::FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                              std::uint32_t* bytesReturned) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToRead, bytesReturned);
  if (status != FT_OK) return status;
  return Move(std::span(static_cast<std::uint8_t*>(buffer), bytesToRead), readTimeoutMs_,
              &TtyPort::Read, &TtyPort::WaitReadable, bytesReturned);
}

FT_STATUS TtyAdapter::FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                               std::uint32_t* bytesWritten) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToWrite, bytesWritten);
  if (status != FT_OK) return status;
  return Move(std::span(static_cast<const std::uint8_t*>(buffer), bytesToWrite), writeTimeoutMs_,
              &TtyPort::Write, &TtyPort::WaitWritable, bytesWritten);
}

// The device takes or gives what it can at once; when it cannot, the wait goes on until it
// can or the time-out ends the call with FT_OK and fewer bytes.
template <typename Byte>
FT_STATUS TtyAdapter::Move(std::span<Byte> bytes, std::uint32_t timeoutMs,
                           int (TtyPort::*step)(std::span<Byte>), int (TtyPort::*wait)(int),
                           std::uint32_t* moved) {
  const Clock::time_point deadline = port_->Now() + std::chrono::milliseconds(timeoutMs);
  FT_STATUS status = FT_OK;
  std::size_t done = 0;
  while (done < bytes.size()) {
    int result = (port_.get()->*step)(bytes.subspan(done));
    if (result > 0) {
      done += static_cast<std::size_t>(result);
      continue;
    }
    if (result == -EAGAIN) {
      const int left = Left(deadline);
      if (left <= 0) break;
      result = (port_.get()->*wait)(left);
      if (result >= 0) continue;
    }
    // Nothing moved and no error: the end of the file, the device hung up.
    status = Failure(result == 0 ? -EIO : result);
    break;
  }
  if (moved != nullptr) *moved = static_cast<std::uint32_t>(done);
  return status;
}

FT_STATUS TtyAdapter::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                std::uint8_t stopBits, std::uint8_t parity) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  const bool valid = (wordLength == 7 || wordLength == 8) &&
                     (stopBits == FT_STOP_BITS_1 || stopBits == FT_STOP_BITS_2) && parity <= 4;
  if (!valid) return FT_IO_ERROR;
  return ChangeLine({line_.Rate, wordLength, stopBits, parity});
}

FT_STATUS TtyAdapter::FT_ClrDtr(FT_HANDLE handle) {
  return SetModemLine(handle, ModemLine::Dtr, false);
}

FT_STATUS TtyAdapter::FT_SetRts(FT_HANDLE handle) {
  return SetModemLine(handle, ModemLine::Rts, true);
}

FT_STATUS TtyAdapter::FT_ClrRts(FT_HANDLE handle) {
  return SetModemLine(handle, ModemLine::Rts, false);
}

FT_STATUS TtyAdapter::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                     std::uint32_t writeTimeoutMs) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  readTimeoutMs_ = readTimeoutMs;
  writeTimeoutMs_ = writeTimeoutMs;
  return FT_OK;
}

FT_STATUS TtyAdapter::FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  // The rate the divisor means on an FTDI chip.
  const auto rate = static_cast<std::uint32_t>(
      std::lround(static_cast<double>(kChipEighthsPerSecond) / BitEighths(divisor)));
  return ChangeLine({rate, line_.WordLength, line_.StopBits, line_.Parity});
}

FT_STATUS TtyAdapter::Usable(FT_HANDLE handle) const {
  return open_ && handle == handle_ ? FT_OK : FT_INVALID_HANDLE;
}

// The bytes written under the old settings leave the line before the new ones apply.
FT_STATUS TtyAdapter::ChangeLine(const SerialLine& line) {
  int result = port_->Drain();
  if (result >= 0) result = port_->SetLine(line);
  if (result < 0) return Failure(result);
  line_ = line;
  return FT_OK;
}

FT_STATUS TtyAdapter::SetModemLine(FT_HANDLE handle, ModemLine line, bool on) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = Usable(handle);
  if (status != FT_OK) return status;
  const int result = port_->SetModemLine(line, on);
  // A device without modem lines (a pseudo-terminal, an RS485 adapter that turns its driver
  // round by itself) has nothing to set.
  if (result == -ENOTTY || result == -EINVAL) return FT_OK;
  return result < 0 ? Failure(result) : FT_OK;
}

int TtyAdapter::Left(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - port_->Now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace lumora
