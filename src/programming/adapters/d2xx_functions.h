#pragma once

// The ten calls of the adapter maker's D2XX library (ftd2xx.dll) that the program makes, with
// the types of the library's published interface, declared here from that interface. The
// library is loaded at run time; its calls use the system's calling convention.
#include <windows.h>

namespace lumora::d2xx {

using Handle = void*;
using Status = ULONG;

using Open = Status(WINAPI*)(int deviceNumber, Handle* handle);
using Close = Status(WINAPI*)(Handle handle);
using Read = Status(WINAPI*)(Handle handle, void* buffer, DWORD bytesToRead, DWORD* bytesReturned);
using Write = Status(WINAPI*)(Handle handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten);
using SetDataCharacteristics = Status(WINAPI*)(Handle handle, UCHAR wordLength, UCHAR stopBits,
                                               UCHAR parity);
using ClrDtr = Status(WINAPI*)(Handle handle);
using SetRts = Status(WINAPI*)(Handle handle);
using ClrRts = Status(WINAPI*)(Handle handle);
using SetTimeouts = Status(WINAPI*)(Handle handle, ULONG readTimeoutMs, ULONG writeTimeoutMs);
using SetDivisor = Status(WINAPI*)(Handle handle, USHORT divisor);

}  // namespace lumora::d2xx
