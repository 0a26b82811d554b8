// A stand-in for the adapter maker's ftd2xx.dll, with its ten calls that the program makes,
// for the D2XX backend's tests. Every call is logged with its arguments and the time it came;
// the test scripts failures and short writes, and reads the log, through the Recording* calls.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <type_traits>

#include "programming/adapters/d2xx_functions.h"

namespace {

using lumora::d2xx::Handle;
using lumora::d2xx::Status;

constexpr Status kOk = 0;
constexpr Status kInvalidHandle = 1;
constexpr Status kDeviceNotOpened = 3;

// A scripted answer: the call that many calls on from now gives it.
struct Scripted {
  int Countdown;
  unsigned long Value;
};

std::mutex mutex;
std::string calls;
std::string callsCopy;
std::map<std::string, Scripted> failures;
Scripted shortWrite{0, 0};
Handle openHandle = nullptr;
int opens = 0;

std::string Number(unsigned long value) {
  return " " + std::to_string(value);
}

// Logs a call: its time, its name, a mark when the handle is not the open device's, its
// arguments.
void Log(const char* name, bool handleGood, const std::string& args) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  calls += std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  calls += ' ';
  calls += name;
  if (!handleGood) calls += " !handle";
  calls += args + "\n";
}

// Whether the scripted failure of this call is due, and with which status.
bool Due(Scripted& script) {
  return script.Countdown > 0 && --script.Countdown == 0;
}

// Logs the call and gives the scripted status when due, else whether the handle is good.
Status Answer(const char* name, bool handleGood, const std::string& args = {}) {
  Log(name, handleGood, args);
  if (const auto failure = failures.find(name); failure != failures.end()) {
    if (Due(failure->second)) {
      const Status status = failure->second.Value;
      failures.erase(failure);
      return status;
    }
  }
  return handleGood ? kOk : kInvalidHandle;
}

Status Answer(const char* name, Handle handle, const std::string& args = {}) {
  return Answer(name, handle != nullptr && handle == openHandle, args);
}

}  // namespace

extern "C" {

__declspec(dllexport) Status WINAPI FT_Open(int deviceNumber, Handle* handle) {
  std::lock_guard lock(mutex);
  const Status status = Answer("FT_Open", true, Number(static_cast<unsigned long>(deviceNumber)));
  if (status != kOk) return status;
  // The one device is taken.
  if (openHandle != nullptr) return kDeviceNotOpened;
  // A new value for every opening, never null.
  openHandle = reinterpret_cast<Handle>(static_cast<std::uintptr_t>(0xD2000 + 0x10 * ++opens));
  *handle = openHandle;
  return kOk;
}

__declspec(dllexport) Status WINAPI FT_Close(Handle handle) {
  std::lock_guard lock(mutex);
  const Status status = Answer("FT_Close", handle);
  if (handle == openHandle) openHandle = nullptr;
  return status;
}

__declspec(dllexport) Status WINAPI
    FT_Read(Handle handle, void* buffer, DWORD bytesToRead, DWORD* bytesReturned) {
  std::lock_guard lock(mutex);
  const Status status = Answer("FT_Read", handle, Number(bytesToRead));
  // The reply comes whole, all zeros.
  if (status == kOk) std::memset(buffer, 0, bytesToRead);
  *bytesReturned = status == kOk ? bytesToRead : 0;
  return status;
}

__declspec(dllexport) Status WINAPI
    FT_Write(Handle handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten) {
  std::lock_guard lock(mutex);
  std::string args = Number(bytesToWrite) + " :";
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  for (DWORD i = 0; i < bytesToWrite; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
    args += hex;
  }
  const Status status = Answer("FT_Write", handle, args);
  *bytesWritten = status == kOk ? bytesToWrite : 0;
  if (status == kOk && Due(shortWrite)) *bytesWritten = shortWrite.Value;
  return status;
}

__declspec(dllexport) Status WINAPI
    FT_SetDataCharacteristics(Handle handle, UCHAR wordLength, UCHAR stopBits, UCHAR parity) {
  std::lock_guard lock(mutex);
  return Answer("FT_SetDataCharacteristics", handle,
                Number(wordLength) + Number(stopBits) + Number(parity));
}

__declspec(dllexport) Status WINAPI FT_ClrDtr(Handle handle) {
  std::lock_guard lock(mutex);
  return Answer("FT_ClrDtr", handle);
}

__declspec(dllexport) Status WINAPI FT_SetRts(Handle handle) {
  std::lock_guard lock(mutex);
  return Answer("FT_SetRts", handle);
}

__declspec(dllexport) Status WINAPI FT_ClrRts(Handle handle) {
  std::lock_guard lock(mutex);
  return Answer("FT_ClrRts", handle);
}

__declspec(dllexport) Status WINAPI
    FT_SetTimeouts(Handle handle, ULONG readTimeoutMs, ULONG writeTimeoutMs) {
  std::lock_guard lock(mutex);
  return Answer("FT_SetTimeouts", handle, Number(readTimeoutMs) + Number(writeTimeoutMs));
}

__declspec(dllexport) Status WINAPI FT_SetDivisor(Handle handle, USHORT divisor) {
  std::lock_guard lock(mutex);
  return Answer("FT_SetDivisor", handle, Number(divisor));
}

// The test's side.

// Forgets the calls, the script and any open device.
__declspec(dllexport) void RecordingReset() {
  std::lock_guard lock(mutex);
  calls.clear();
  failures.clear();
  shortWrite = {0, 0};
  openHandle = nullptr;
}

// The nth call of the named function from now on (1: the next) gives status and does nothing.
__declspec(dllexport) void RecordingFail(const char* function, int nth, ULONG status) {
  std::lock_guard lock(mutex);
  failures[function] = {nth, status};
}

// The nth write from now on (1: the next) moves only that many bytes and gives FT_OK, as the
// library does at its write time-out.
__declspec(dllexport) void RecordingShortWrite(int nth, DWORD moved) {
  std::lock_guard lock(mutex);
  shortWrite = {nth, moved};
}

// The calls so far, a line each: the time in steady-clock nanoseconds, the name, "!handle" when
// the handle was not the open device's, the numbers, and for a write ':' and the bytes in hex.
// Valid until the next call of this function.
__declspec(dllexport) const char* RecordingLog() {
  std::lock_guard lock(mutex);
  callsCopy = calls;
  return callsCopy.c_str();
}

}  // extern "C"

// Each call as the backend takes it from the library.
static_assert(std::is_same_v<decltype(&FT_Open), lumora::d2xx::Open>);
static_assert(std::is_same_v<decltype(&FT_Close), lumora::d2xx::Close>);
static_assert(std::is_same_v<decltype(&FT_Read), lumora::d2xx::Read>);
static_assert(std::is_same_v<decltype(&FT_Write), lumora::d2xx::Write>);
static_assert(
    std::is_same_v<decltype(&FT_SetDataCharacteristics), lumora::d2xx::SetDataCharacteristics>);
static_assert(std::is_same_v<decltype(&FT_ClrDtr), lumora::d2xx::ClrDtr>);
static_assert(std::is_same_v<decltype(&FT_SetRts), lumora::d2xx::SetRts>);
static_assert(std::is_same_v<decltype(&FT_ClrRts), lumora::d2xx::ClrRts>);
static_assert(std::is_same_v<decltype(&FT_SetTimeouts), lumora::d2xx::SetTimeouts>);
static_assert(std::is_same_v<decltype(&FT_SetDivisor), lumora::d2xx::SetDivisor>);
