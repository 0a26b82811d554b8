#include "programming/adapters/d2xx_adapter.h"

#include <algorithm>
#include <thread>

#include "programming/adapters/transfer_arguments.h"
#include "programming/wire_format.h"

namespace lumora {

namespace {

// USB latency allowed on top of the bytes' wire time before the line is changed.
constexpr auto kSendSlack = std::chrono::milliseconds(2);

// The library's statuses that mean the same here; the rest are failures of the call.
FT_STATUS Status(d2xx::Status status) {
  return status <= FT_IO_ERROR ? status : FT_IO_ERROR;
}

d2xx::Handle Library(FT_HANDLE handle) {
  return reinterpret_cast<d2xx::Handle>(handle);
}

template <typename Function>
bool Find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace

D2xxAdapter::D2xxAdapter(std::wstring library) : library_(std::move(library)) {}

D2xxAdapter::~D2xxAdapter() {
  std::lock_guard lock(mutex_);
  if (open_) calls_.Close(handle_);
  if (module_ != nullptr) FreeLibrary(module_);
}

// Loaded once, when first needed: the driver may be installed while the program runs.
bool D2xxAdapter::Load() {
  if (module_ != nullptr) return true;
  // Only where the system keeps DLLs and beside the program, never the working folder, where
  // a planted ftd2xx.dll would be taken while the driver is not installed.
  const HMODULE module =
      LoadLibraryExW(library_.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (module == nullptr) return false;
  Calls calls{};
  const bool complete =
      Find(module, "FT_Open", calls.Open) && Find(module, "FT_Close", calls.Close) &&
      Find(module, "FT_Read", calls.Read) && Find(module, "FT_Write", calls.Write) &&
      Find(module, "FT_SetDataCharacteristics", calls.SetDataCharacteristics) &&
      Find(module, "FT_ClrDtr", calls.ClrDtr) && Find(module, "FT_SetRts", calls.SetRts) &&
      Find(module, "FT_ClrRts", calls.ClrRts) &&
      Find(module, "FT_SetTimeouts", calls.SetTimeouts) &&
      Find(module, "FT_SetDivisor", calls.SetDivisor);
  if (!complete) {
    FreeLibrary(module);
    return false;
  }
  module_ = module;
  calls_ = calls;
  return true;
}

FT_STATUS D2xxAdapter::FT_Open(int deviceIndex, FT_HANDLE* handle) {
  std::lock_guard lock(mutex_);
  if (handle == nullptr) return FT_INVALID_HANDLE;
  if (open_) return FT_DEVICE_NOT_OPENED;
  if (!Load()) return kAdapterDriverMissing;
  d2xx::Handle opened = nullptr;
  const d2xx::Status status = calls_.Open(deviceIndex, &opened);
  if (status != FT_OK) return status <= FT_IO_ERROR ? status : FT_DEVICE_NOT_OPENED;
  open_ = true;
  handle_ = opened;
  divisor_ = 0;
  bitsPerByte_ = 10;
  wireEnd_ = Clock::now();
  *handle = reinterpret_cast<FT_HANDLE>(opened);
  return FT_OK;
}

FT_STATUS D2xxAdapter::FT_Close(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  open_ = false;
  return Status(calls_.Close(Library(handle)));
}

FT_STATUS D2xxAdapter::FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                               std::uint32_t* bytesReturned) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToRead, bytesReturned);
  if (status != FT_OK) return status;
  DWORD read = 0;
  const d2xx::Status result = calls_.Read(Library(handle), buffer, bytesToRead, &read);
  if (bytesReturned != nullptr) *bytesReturned = read;
  return Status(result);
}

// A write that moves fewer bytes than asked returns FT_OK with the count, as the library
// does at its time-out; the link takes it as a failed write.
FT_STATUS D2xxAdapter::FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                std::uint32_t* bytesWritten) {
  std::lock_guard lock(mutex_);
  const FT_STATUS status = CheckTransfer(Usable(handle), buffer, bytesToWrite, bytesWritten);
  if (status != FT_OK) return status;
  DWORD written = 0;
  // The library takes the buffer as not const but only reads it.
  const d2xx::Status result =
      calls_.Write(Library(handle), const_cast<void*>(buffer), bytesToWrite, &written);
  const auto wireTime =
      std::chrono::duration_cast<Clock::duration>(BitTime(divisor_) * bitsPerByte_ * written);
  wireEnd_ = std::max(wireEnd_, Clock::now()) + wireTime;
  if (bytesWritten != nullptr) *bytesWritten = written;
  return Status(result);
}

FT_STATUS D2xxAdapter::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                 std::uint8_t stopBits, std::uint8_t parity) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  WaitUntilSent();
  const FT_STATUS status =
      Status(calls_.SetDataCharacteristics(Library(handle), wordLength, stopBits, parity));
  if (status == FT_OK) bitsPerByte_ = BitsPerByte(wordLength, stopBits, parity);
  return status;
}

FT_STATUS D2xxAdapter::FT_ClrDtr(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  return usable != FT_OK ? usable : Status(calls_.ClrDtr(Library(handle)));
}

FT_STATUS D2xxAdapter::FT_SetRts(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  return usable != FT_OK ? usable : Status(calls_.SetRts(Library(handle)));
}

FT_STATUS D2xxAdapter::FT_ClrRts(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  return usable != FT_OK ? usable : Status(calls_.ClrRts(Library(handle)));
}

FT_STATUS D2xxAdapter::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                      std::uint32_t writeTimeoutMs) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  return Status(calls_.SetTimeouts(Library(handle), readTimeoutMs, writeTimeoutMs));
}

FT_STATUS D2xxAdapter::FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) {
  std::lock_guard lock(mutex_);
  const FT_STATUS usable = Usable(handle);
  if (usable != FT_OK) return usable;
  WaitUntilSent();
  const FT_STATUS status = Status(calls_.SetDivisor(Library(handle), divisor));
  if (status == FT_OK) divisor_ = divisor;
  return status;
}

FT_STATUS D2xxAdapter::Usable(FT_HANDLE handle) const {
  return open_ && handle == reinterpret_cast<FT_HANDLE>(handle_) ? FT_OK : FT_INVALID_HANDLE;
}

// The library hands the bytes to the chip and returns; they leave it at the line's rate.
void D2xxAdapter::WaitUntilSent() {
  std::this_thread::sleep_until(wireEnd_ + kSendSlack);
}

}  // namespace lumora
