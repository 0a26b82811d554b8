#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "common/ui_language.h"
#include "programming/adapters/usb_adapter.h"
#include "programming/virtual/dmx_wire_decoder.h"
#include "programming/virtual/line_recording.h"
#include "programming/virtual/packet_receiver.h"
#include "programming/virtual/wire_log.h"

namespace lumora {

// The line as the adapter's calls have left it.
struct VirtualLine {
  bool Open = false;
  FT_HANDLE Handle = 0;
  SerialFormat Format;
  bool Rts = false;
  bool Dtr = false;
  std::uint32_t ReadTimeoutMs = 0;
  std::uint32_t WriteTimeoutMs = 0;
};

// Plays the Brightwave USB programmer, a standard DMX adapter and the controller behind
// them: takes the same calls as the real device, answers every accepted UsbBlock with a
// zero ReplyBlock on the next reads, and checks and reassembles the programming packets.
// Given a directory, it keeps there report.txt and image.bin (rewritten when a final packet
// first arrives and on FT_Close) and wire.log (every call, written out on FT_Close, at a
// final packet and when enough has gathered; capped, see WireLog) and line.vcd (the transmit
// line drawn from the writes for a logic analyser's view, written out at the same moments;
// capped, see LineRecording). While a file named "unplug" exists there, the device is away,
// so a person can pull the plug by creating the file and plug it in again by removing it.
// While a file named "stall" exists there, the line takes only as many more bytes as the
// number in it (none without a number) and then nothing, as a line nobody reads: writes end
// at their time-out with fewer bytes; removing the file frees the line. The unplug file is
// looked for at each opening, and both at the first write of each block or frame, not at
// every call.
// Calls may come from different threads one at a time; the test accessors may run beside
// them.
class VirtualAdapter final : public UsbAdapter {
 public:
  VirtualAdapter() = default;
  // The report is written in reportLanguage.
  explicit VirtualAdapter(const std::filesystem::path& directory,
                          UiLanguage reportLanguage = UiLanguage::Polish,
                          std::uint64_t wireLogCap = WireLog::kDefaultCap);
  ~VirtualAdapter() override;
  VirtualAdapter(const VirtualAdapter&) = delete;
  VirtualAdapter& operator=(const VirtualAdapter&) = delete;

  // False when the directory's files could not be written.
  bool FilesOk() const;

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

  // Unplugs (false) or plugs in (true) the device. While it is away FT_Open gives
  // FT_DEVICE_NOT_FOUND and the calls on an open handle fail; FT_Close still releases it.
  // As with a real adapter, a handle that has met the device away stays dead when it comes
  // back: only a new FT_Open reaches it again. The unplug file acts the same way, and the
  // calls on the open handle then give FT_DEVICE_NOT_FOUND, as the real adapter does.
  void SetDevicePresent(bool present);
  // The device goes away after this many more successful writes; from then on FT_Write
  // gives writeFailure (FT_IO_ERROR or FT_DEVICE_NOT_FOUND).
  void DisappearAfterWrites(std::uint32_t writes, FT_STATUS writeFailure = FT_IO_ERROR);

  ReceivedTransfer Received() const;
  VirtualLine Line() const;

 private:
  // FT_OK for the open handle of a present device; else what the call returns. The first
  // call that meets the device away marks the handle dead.
  FT_STATUS Usable(FT_HANDLE handle);
  // Whether the folder, when there is one, holds a file (or anything else) of that name.
  bool Has(const char* file) const;
  // The unplug and stall files, once per block or frame: a standard transfer makes some
  // 29,000 calls.
  void LookAtFiles();
  // One line-setting call: applies the change when the handle is usable, and logs it.
  template <typename Apply>
  FT_STATUS Change(const char* name, FT_HANDLE handle,
                   std::initializer_list<std::uint64_t> arguments, Apply apply) {
    std::lock_guard lock(mutex_);
    const FT_STATUS status = Usable(handle);
    if (status == FT_OK) apply(line_);
    Log(name, arguments, status);
    return status;
  }
  // Logs a call and draws it on the line, with the bytes it sent, if any.
  void Log(const char* name, std::initializer_list<std::uint64_t> arguments, FT_STATUS status,
           std::optional<std::uint64_t> result = std::nullopt,
           std::span<const std::uint8_t> bytes = {}, std::span<const std::uint8_t> sent = {});
  void WriteFiles();

  mutable std::mutex mutex_;
  PacketReceiver receiver_;
  DmxWireDecoder decoder_{receiver_};
  VirtualLine line_;
  FT_HANDLE lastHandle_ = 0;
  bool present_ = true;
  // FT_OK, or what every call on the open handle gives since it met the device away.
  FT_STATUS handleLost_ = FT_OK;
  std::optional<std::uint32_t> writesBeforeGone_;
  FT_STATUS goneWriteStatus_ = FT_IO_ERROR;
  std::uint64_t replyBytesPending_ = 0;
  std::filesystem::path directory_;
  UiLanguage reportLanguage_ = UiLanguage::Polish;
  // The stall file's number while the file is there, and the bytes taken since it was found.
  std::optional<std::uint64_t> stallLimit_;
  std::uint64_t stallTaken_ = 0;
  std::unique_ptr<WireLog> log_;
  std::unique_ptr<LineRecording> lineRecording_;
  bool filesOk_ = true;
};

}  // namespace lumora
