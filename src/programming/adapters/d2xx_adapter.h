#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "programming/adapters/d2xx_functions.h"
#include "programming/adapters/usb_adapter.h"

namespace lumora {

// The real adapter on Windows, through the adapter maker's D2XX library, loaded when the
// first opening needs it. Without the library, or with one that lacks a call, FT_Open gives
// kAdapterDriverMissing. The calls go to the library as made; its statuses 1 to 4 come back
// as they are, any other failure as FT_IO_ERROR (an opening's as FT_DEVICE_NOT_OPENED).
// Before the rate or format changes, the bytes written must have left the chip, so a break
// byte is a full 420 us low at its own rate: the change waits for their time on the wire.
class D2xxAdapter final : public UsbAdapter {
 public:
  // library: the DLL's name, looked for where the system looks for DLLs, or its path.
  explicit D2xxAdapter(std::wstring library = L"ftd2xx.dll");
  ~D2xxAdapter() override;
  D2xxAdapter(const D2xxAdapter&) = delete;
  D2xxAdapter& operator=(const D2xxAdapter&) = delete;

  FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) override;
  FT_STATUS FT_Close(FT_HANDLE handle) override;
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
  using Clock = std::chrono::steady_clock;

  struct Calls {
    d2xx::Open Open;
    d2xx::Close Close;
    d2xx::Read Read;
    d2xx::Write Write;
    d2xx::SetDataCharacteristics SetDataCharacteristics;
    d2xx::ClrDtr ClrDtr;
    d2xx::SetRts SetRts;
    d2xx::ClrRts ClrRts;
    d2xx::SetTimeouts SetTimeouts;
    d2xx::SetDivisor SetDivisor;
  };

  bool Load();
  FT_STATUS Usable(FT_HANDLE handle) const;
  void WaitUntilSent();

  mutable std::mutex mutex_;
  const std::wstring library_;
  HMODULE module_ = nullptr;
  Calls calls_{};
  bool open_ = false;
  d2xx::Handle handle_ = nullptr;
  std::uint16_t divisor_ = 0;
  double bitsPerByte_ = 10;
  // When the bytes written so far leave the wire, counting from when each write returned.
  Clock::time_point wireEnd_{};
};

}  // namespace lumora
