#pragma once

#include <cstdint>

namespace lumora {

// Result codes of the adapter calls, with the meanings of the FTDI D2XX library.
using FT_STATUS = std::uint32_t;
inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
// Lumora's own status, beyond the D2XX codes: the adapter is there but the user has no right
// to open it, which the window reports apart from a missing adapter.
inline constexpr FT_STATUS kAdapterAccessDenied = 0x100;
// Lumora's own too: the line did not take all the bytes of a write within the write time-out
// (nobody reads the other end, the device stopped taking data). The link gives it for a short
// write; an adapter that gathers writes gives it from the call that sends them.
inline constexpr FT_STATUS kLineStalled = 0x101;
// Lumora's own status too: the adapter maker's driver library, through which the adapter is
// reached on Windows, is not installed.
inline constexpr FT_STATUS kAdapterDriverMissing = 0x102;

// Handle of an open adapter; 0 is never a valid handle.
using FT_HANDLE = std::uintptr_t;

// The calls the programming link makes on the USB adapter, shaped like the D2XX
// library's: a real FTDI backend and a virtual programmer/controller implement it.
// A time-out is not an error: the call returns FT_OK with fewer bytes moved; the link takes a
// short write as a failed one.
class UsbAdapter {
 public:
  virtual ~UsbAdapter() = default;
  virtual FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) = 0;
  virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
  virtual FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                            std::uint32_t* bytesReturned) = 0;
  virtual FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                             std::uint32_t* bytesWritten) = 0;
  virtual FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                              std::uint8_t stopBits, std::uint8_t parity) = 0;
  virtual FT_STATUS FT_ClrDtr(FT_HANDLE handle) = 0;
  virtual FT_STATUS FT_SetRts(FT_HANDLE handle) = 0;
  virtual FT_STATUS FT_ClrRts(FT_HANDLE handle) = 0;
  virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                   std::uint32_t writeTimeoutMs) = 0;
  virtual FT_STATUS FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) = 0;
};

// Stop-bit codes of FT_SetDataCharacteristics.
inline constexpr std::uint8_t FT_STOP_BITS_1 = 0;
inline constexpr std::uint8_t FT_STOP_BITS_2 = 2;
inline constexpr std::uint8_t FT_BITS_8 = 8;
inline constexpr std::uint8_t FT_PARITY_NONE = 0;

}  // namespace lumora
