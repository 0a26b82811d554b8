#include "programming/virtual/virtual_adapter.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <system_error>

#include "files/atomic_save.h"
#include "files/input_file.h"
#include "files/utf8_path.h"
#include "programming/virtual/receiver_report.h"
#include "programming/wire_format.h"

namespace lumora {

namespace {

constexpr const char* kUnplugFile = "unplug";
constexpr const char* kStallFile = "stall";

// The number at the start of the stall file; 0 for none, or for a stall file that is no
// regular file (a pipe would hold the line up), which is opened as every reader opens one.
std::uint64_t StallLimit(const std::filesystem::path& path) {
  InputFile file(Utf8Of(path));
  char text[32] = {};
  const long got = file.Read(text, sizeof text - 1);
  std::string_view number(text, got > 0 ? static_cast<std::size_t>(got) : 0);
  number.remove_prefix(std::min(number.find_first_not_of(" \t\r\n"), number.size()));
  std::uint64_t limit = 0;
  std::from_chars(number.data(), number.data() + number.size(), limit);
  return limit;
}

}  // namespace

VirtualAdapter::VirtualAdapter(const std::filesystem::path& directory, UiLanguage reportLanguage,
                               std::uint64_t wireLogCap)
    : directory_(directory),
      reportLanguage_(reportLanguage),
      log_(std::make_unique<WireLog>(directory / "wire.log", wireLogCap)),
      lineRecording_(std::make_unique<LineRecording>(directory / "line.vcd")) {
  filesOk_ = log_->Ok() && lineRecording_->Ok();
}

VirtualAdapter::~VirtualAdapter() {
  std::lock_guard lock(mutex_);
  WriteFiles();
}

bool VirtualAdapter::FilesOk() const {
  std::lock_guard lock(mutex_);
  return filesOk_ && (!log_ || (log_->Ok() && lineRecording_->Ok()));
}

FT_STATUS VirtualAdapter::FT_Open(int deviceIndex, FT_HANDLE* handle) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = FT_OK;
  if (handle == nullptr) {
    status = FT_INVALID_HANDLE;
  } else if (!present_ || Has(kUnplugFile) || deviceIndex != 0) {
    status = FT_DEVICE_NOT_FOUND;
  } else if (line_.Open) {
    status = FT_DEVICE_NOT_OPENED;  // one program at a time, as with the real device
  } else {
    line_ = VirtualLine{};
    handleLost_ = FT_OK;
    line_.Open = true;
    line_.Handle = ++lastHandle_;
    *handle = line_.Handle;
  }
  Log("FT_Open", {static_cast<std::uint64_t>(deviceIndex)}, status,
      status == FT_OK ? std::optional<std::uint64_t>(line_.Handle) : std::nullopt);
  return status;
}

FT_STATUS VirtualAdapter::FT_Close(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const bool ours = line_.Open && handle == line_.Handle;
  if (ours) {
    decoder_.EndOfLine();
    line_ = VirtualLine{};
    handleLost_ = FT_OK;
    replyBytesPending_ = 0;
  }
  const FT_STATUS status = ours ? FT_OK : FT_INVALID_HANDLE;
  Log("FT_Close", {handle}, status);
  if (ours) WriteFiles();
  return status;
}

FT_STATUS VirtualAdapter::FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                  std::uint32_t* bytesReturned) {
  std::lock_guard lock(mutex_);
  FT_STATUS status = Usable(handle);
  if (status == FT_OK && buffer == nullptr && bytesToRead > 0) status = FT_IO_ERROR;
  std::uint32_t count = 0;
  if (status == FT_OK) {
    // Only replies are ever read; a read with nothing pending times out empty.
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(bytesToRead, replyBytesPending_));
    replyBytesPending_ -= count;
    std::fill_n(static_cast<std::uint8_t*>(buffer), count, std::uint8_t{0});
  }
  if (bytesReturned != nullptr) *bytesReturned = count;
  Log("FT_Read", {handle, bytesToRead}, status, count,
      std::span(static_cast<const std::uint8_t*>(buffer), count));
  return status;
}

FT_STATUS VirtualAdapter::FT_Write(FT_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                   std::uint32_t* bytesWritten) {
  std::lock_guard lock(mutex_);
  // Every block and every break, but no slot write at the DMX rate: once per block or frame.
  if (line_.Open && handle == line_.Handle && line_.Format.Divisor != kDmxDivisor) LookAtFiles();
  FT_STATUS status = Usable(handle);
  if (status == FT_IO_ERROR) status = goneWriteStatus_;
  if (status == FT_OK && buffer == nullptr && bytesToWrite > 0) status = FT_IO_ERROR;
  const auto bytes =
      std::span(static_cast<const std::uint8_t*>(buffer), buffer != nullptr ? bytesToWrite : 0);
  if (status != FT_OK) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    Log("FT_Write", {handle, bytesToWrite}, status, 0, bytes);
    return status;
  }
  // A stalled line takes what it still has room for and returns at the time-out.
  std::uint32_t written = bytesToWrite;
  if (stallLimit_) {
    const std::uint64_t room = *stallLimit_ - std::min(stallTaken_, *stallLimit_);
    written = static_cast<std::uint32_t>(std::min<std::uint64_t>(written, room));
    stallTaken_ += written;
  }
  if (bytesWritten != nullptr) *bytesWritten = written;
  const auto taken = bytes.first(written);
  const ReceivedTransfer& received = receiver_.Received();
  const std::uint32_t blocksBefore = received.UsbBlocks;
  const bool finalBefore = received.FinalArrived;
  decoder_.Write(taken, line_.Format);
  replyBytesPending_ += (received.UsbBlocks - blocksBefore) * std::uint64_t{kReplyBlockSize};
  if (writesBeforeGone_ && --*writesBeforeGone_ == 0) {
    present_ = false;
    writesBeforeGone_.reset();
  }
  Log("FT_Write", {handle, bytesToWrite}, status, written, taken, taken);
  if (!finalBefore && received.FinalArrived) WriteFiles();
  return status;
}

FT_STATUS VirtualAdapter::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                    std::uint8_t stopBits, std::uint8_t parity) {
  return Change("FT_SetDataCharacteristics", handle, {handle, wordLength, stopBits, parity},
                [&](VirtualLine& line) {
                  line.Format.WordLength = wordLength;
                  line.Format.StopBits = stopBits;
                  line.Format.Parity = parity;
                });
}

FT_STATUS VirtualAdapter::FT_ClrDtr(FT_HANDLE handle) {
  return Change("FT_ClrDtr", handle, {handle}, [](VirtualLine& line) { line.Dtr = false; });
}

FT_STATUS VirtualAdapter::FT_SetRts(FT_HANDLE handle) {
  return Change("FT_SetRts", handle, {handle}, [](VirtualLine& line) { line.Rts = true; });
}

FT_STATUS VirtualAdapter::FT_ClrRts(FT_HANDLE handle) {
  return Change("FT_ClrRts", handle, {handle}, [](VirtualLine& line) { line.Rts = false; });
}

FT_STATUS VirtualAdapter::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                         std::uint32_t writeTimeoutMs) {
  return Change("FT_SetTimeouts", handle, {handle, readTimeoutMs, writeTimeoutMs},
                [&](VirtualLine& line) {
                  line.ReadTimeoutMs = readTimeoutMs;
                  line.WriteTimeoutMs = writeTimeoutMs;
                });
}

FT_STATUS VirtualAdapter::FT_SetDivisor(FT_HANDLE handle, std::uint16_t divisor) {
  return Change("FT_SetDivisor", handle, {handle, divisor},
                [&](VirtualLine& line) { line.Format.Divisor = divisor; });
}

void VirtualAdapter::SetDevicePresent(bool present) {
  std::lock_guard lock(mutex_);
  present_ = present;
  writesBeforeGone_.reset();
}

void VirtualAdapter::DisappearAfterWrites(std::uint32_t writes, FT_STATUS writeFailure) {
  std::lock_guard lock(mutex_);
  goneWriteStatus_ = writeFailure;
  if (writes == 0) {
    present_ = false;
    writesBeforeGone_.reset();
  } else {
    writesBeforeGone_ = writes;
  }
}

ReceivedTransfer VirtualAdapter::Received() const {
  std::lock_guard lock(mutex_);
  return receiver_.Received();
}

VirtualLine VirtualAdapter::Line() const {
  std::lock_guard lock(mutex_);
  return line_;
}

FT_STATUS VirtualAdapter::Usable(FT_HANDLE handle) {
  if (!line_.Open || handle != line_.Handle) return FT_INVALID_HANDLE;
  if (handleLost_ == FT_OK && !present_) handleLost_ = FT_IO_ERROR;
  return handleLost_;
}

bool VirtualAdapter::Has(const char* file) const {
  std::error_code error;
  return !directory_.empty() &&
         std::filesystem::exists(std::filesystem::symlink_status(directory_ / file, error));
}

void VirtualAdapter::LookAtFiles() {
  if (directory_.empty()) return;
  if (handleLost_ == FT_OK && Has(kUnplugFile)) handleLost_ = FT_DEVICE_NOT_FOUND;
  if (!Has(kStallFile)) {
    stallLimit_.reset();
    return;
  }
  // The bytes count from the moment the file is found; a number changed while it stays
  // counts from then too.
  if (!stallLimit_) stallTaken_ = 0;
  stallLimit_ = StallLimit(directory_ / kStallFile);
}

void VirtualAdapter::Log(const char* name, std::initializer_list<std::uint64_t> arguments,
                         FT_STATUS status, std::optional<std::uint64_t> result,
                         std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> sent) {
  if (log_) log_->Call(name, arguments, status, result, bytes);
  if (lineRecording_) lineRecording_->Call(sent, line_.Format);
}

void VirtualAdapter::WriteFiles() {
  if (!log_) return;
  const ReceivedTransfer& received = receiver_.Received();
  const std::string report = FormatReceiverReport(received, reportLanguage_);
  // Whole or not at all, and never into a pipe or device put in their place.
  const bool reportOk = SaveFileAtomically(Utf8Of(directory_ / "report.txt"), report);
  const bool imageOk =
      SaveFileAtomically(Utf8Of(directory_ / "image.bin"),
                         std::string_view(reinterpret_cast<const char*>(received.Image.data()),
                                          received.Image.size()));
  log_->Flush();
  lineRecording_->Flush();
  filesOk_ = filesOk_ && reportOk && imageOk && log_->Ok() && lineRecording_->Ok();
}

}  // namespace lumora
