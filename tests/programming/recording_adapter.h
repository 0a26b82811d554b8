#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "programming/adapters/usb_adapter.h"

namespace lumora::testing {

// One adapter call: its name, its numeric arguments after the handle, and for FT_Write the
// bytes written.
struct AdapterCall {
  std::string Name;
  FT_HANDLE Handle = 0;
  std::vector<std::uint32_t> Args;
  std::vector<std::uint8_t> Bytes;

  bool operator==(const AdapterCall&) const = default;
};

// An adapter that records every call and can be told to fail opening or writing.
class RecordingAdapter : public UsbAdapter {
 public:
  static constexpr FT_HANDLE kHandle = 0x5A;

  FT_STATUS OpenStatus = FT_OK;
  // Writes from this one on (counted from 0) fail with FT_IO_ERROR.
  int FailWritesFrom = -1;
  // Writes from this one on end at their time-out, FT_OK with one byte fewer than asked.
  int ShortWritesFrom = -1;
  // FT_SetDivisor with this divisor fails with FT_IO_ERROR.
  int FailDivisor = -1;
  // Runs before each write is recorded, with the write's number; set it before the writer
  // starts.
  std::function<void(int write)> OnWrite;

  std::vector<AdapterCall> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  // The calls without the bytes written, from call first on.
  std::vector<AdapterCall> Sequence(std::size_t first = 0) const {
    std::vector<AdapterCall> calls = Calls();
    calls.erase(calls.begin(), calls.begin() + std::min(first, calls.size()));
    for (AdapterCall& call : calls) call.Bytes.clear();
    return calls;
  }
  int WriteCount() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  std::size_t CallCount() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
  }

  FT_STATUS FT_Open(int deviceIndex, FT_HANDLE* handle) override {
    Record("FT_Open", 0, {static_cast<std::uint32_t>(deviceIndex)});
    if (OpenStatus == FT_OK) *handle = kHandle;
    return OpenStatus;
  }
  FT_STATUS FT_Close(FT_HANDLE handle) override { return Record("FT_Close", handle, {}); }
  FT_STATUS FT_Read(FT_HANDLE handle, void*, std::uint32_t bytesToRead,
                    std::uint32_t* bytesReturned) override {
    // Nothing answers: a time-out.
    *bytesReturned = 0;
    return Record("FT_Read", handle, {bytesToRead});
  }
  FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                     std::uint32_t* bytesWritten) override {
    if (OnWrite) OnWrite(WriteCount());
    std::lock_guard lock(mutex_);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    calls_.push_back({"FT_Write", handle, {bytesToWrite}, {bytes, bytes + bytesToWrite}});
    const bool fail = FailWritesFrom >= 0 && writes_ >= FailWritesFrom;
    const bool cutShort = ShortWritesFrom >= 0 && writes_ >= ShortWritesFrom;
    ++writes_;
    *bytesWritten = fail ? 0 : bytesToWrite - (cutShort ? 1 : 0);
    return fail ? FT_IO_ERROR : Status(handle);
  }
  FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                      std::uint8_t stopBits, std::uint8_t parity) override {
    return Record("FT_SetDataCharacteristics", handle, {wordLength, stopBits, parity});
  }
  FT_STATUS FT_ClrDtr(FT_HANDLE handle) override { return Record("FT_ClrDtr", handle, {}); }
  FT_STATUS FT_SetRts(FT_HANDLE handle) override { return Record("FT_SetRts", handle, {}); }
  FT_STATUS FT_ClrRts(FT_HANDLE handle) override { return Record("FT_ClrRts", handle, {}); }
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                           std::uint32_t writeTimeoutMs) override {
    return Record("FT_SetTimeouts", handle, {readTimeoutMs, writeTimeoutMs});
  }
  FT_STATUS FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) override {
    const FT_STATUS status = Record("FT_SetDivisor", handle, {divisor});
    return divisor == FailDivisor ? FT_IO_ERROR : status;
  }

 private:
  static FT_STATUS Status(FT_HANDLE handle) {
    return handle == kHandle ? FT_OK : FT_INVALID_HANDLE;
  }
  FT_STATUS Record(const char* name, FT_HANDLE handle, std::vector<std::uint32_t> args) {
    std::lock_guard lock(mutex_);
    calls_.push_back({name, handle, std::move(args), {}});
    return Status(handle);
  }

  mutable std::mutex mutex_;
  std::vector<AdapterCall> calls_;
  int writes_ = 0;
};

}  // namespace lumora::testing
