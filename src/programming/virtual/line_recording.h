#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "programming/virtual/dmx_wire_decoder.h"
#include "programming/virtual/rotating_file.h"
#include "programming/wire_format.h"

namespace lumora {

// The adapter's transmit line as a Value Change Dump, for a logic analyser's view such as
// PulseView: one wire "tx" in steps of 100 ns. The line idles high (mark); each byte written
// goes out as a start bit (low), its data bits LSB first, the parity bit if any and the stop
// bits (high), at the rate and format the line has at that call. The time is modelled, not
// measured: every call first takes kCallGap, a USB round trip to the adapter, then its bytes
// follow one after the other; the waits between ticks are not on the line. So a standard
// frame's break is the slow zero byte (420 us low) and the mark after it its two stop bits
// and four calls' gaps (about 290 us).
// A file never grows past its cap: the full file becomes FILE.1, replacing the one before,
// and FILE starts again with its own header at the time it takes over, so either opens alone.
// With the default cap a whole standard transfer (about 5 MB) is always kept in the two.
class LineRecording {
 public:
  static constexpr std::uint64_t kDefaultCap = 64 * 1024 * 1024;
  // The time a call takes besides its bits, in eighths of the chip's clock (50 us).
  static constexpr std::uint64_t kCallGap = kChipEighthsPerSecond / 20'000;
  static constexpr std::uint64_t kStepsPerSecond = 10'000'000;

  // Starts the file with the line idle at time 0 and removes FILE.1 of an earlier run.
  explicit LineRecording(const std::filesystem::path& file, std::uint64_t cap = kDefaultCap);

  // False once the file could not be opened, rotated or written.
  bool Ok() const { return file_.Ok(); }
  // One adapter call: its round trip, then the bytes it puts on the line, if any.
  void Call(std::span<const std::uint8_t> sent = {}, const SerialFormat& format = {});
  // Writes out what is kept, ending at the time reached so that the last stop bits show.
  void Flush();

 private:
  void SendByte(std::uint8_t byte, const SerialFormat& format);
  // The line at level for the given eighths from now on.
  void Hold(bool level, std::uint64_t eighths);
  // A time stamp at the current time, with the line's new level if it changes there.
  void Stamp(std::optional<bool> level);
  void StartFile();
  void WriteOut();

  RotatingFile file_;
  std::string pending_;
  // Eighths of the chip's clock since the start.
  std::uint64_t now_ = 0;
  bool level_ = true;
  // The step of the last time stamp written, and whether the file holds any since its header.
  std::uint64_t lastStep_ = 0;
  bool stampedSinceHeader_ = false;
};

}  // namespace lumora
