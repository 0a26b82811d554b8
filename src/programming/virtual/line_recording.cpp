#include "programming/virtual/line_recording.h"

#include <bit>

namespace lumora {

namespace {

// Bounds the memory between writes to the file.
constexpr std::size_t kFlushAt = 256 * 1024;

// Parity and stop-bit codes of FT_SetDataCharacteristics.
enum ParityCode : std::uint8_t { kNoParity, kOddParity, kEvenParity, kMarkParity, kSpaceParity };
constexpr std::uint8_t kOneAndAHalfStopBits = 1;
constexpr std::uint8_t kTwoStopBits = 2;

std::uint64_t Step(std::uint64_t eighths) {
  constexpr std::uint64_t kNumerator = LineRecording::kStepsPerSecond / 2'000'000;  // 5
  constexpr std::uint64_t kDenominator = kChipEighthsPerSecond / 2'000'000;         // 12
  static_assert(kNumerator * kChipEighthsPerSecond ==
                kDenominator * LineRecording::kStepsPerSecond);
  return (eighths * kNumerator + kDenominator / 2) / kDenominator;
}

}  // namespace

LineRecording::LineRecording(const std::filesystem::path& file, std::uint64_t cap)
    : file_(file, cap) {
  StartFile();
  WriteOut();
}

void LineRecording::Call(std::span<const std::uint8_t> sent, const SerialFormat& format) {
  now_ += kCallGap;
  for (std::uint8_t byte : sent) SendByte(byte, format);
  if (pending_.size() >= kFlushAt) WriteOut();
}

void LineRecording::Flush() {
  if (Step(now_) > lastStep_) Stamp(std::nullopt);
  WriteOut();
}

// Word lengths other than 7 are drawn as 8 bits, stop-bit codes other than 1 and 2 as one.
void LineRecording::SendByte(std::uint8_t byte, const SerialFormat& format) {
  const std::uint64_t bit = BitEighths(format.Divisor);
  const int dataBits = format.WordLength == 7 ? 7 : 8;
  Hold(false, bit);
  for (int i = 0; i < dataBits; ++i) Hold(((byte >> i) & 1) != 0, bit);
  const bool odd = std::popcount(static_cast<unsigned>(byte & ((1u << dataBits) - 1))) % 2 == 1;
  switch (format.Parity) {
    case kOddParity:
      Hold(!odd, bit);
      break;
    case kEvenParity:
      Hold(odd, bit);
      break;
    case kMarkParity:
    case kSpaceParity:
      Hold(format.Parity == kMarkParity, bit);
      break;
    default:
      break;
  }
  const std::uint64_t stop = format.StopBits == kTwoStopBits           ? 2 * bit
                             : format.StopBits == kOneAndAHalfStopBits ? bit * 3 / 2
                                                                       : bit;
  Hold(true, stop);
}

void LineRecording::Hold(bool level, std::uint64_t eighths) {
  if (level != level_) Stamp(level);
  now_ += eighths;
}

void LineRecording::Stamp(std::optional<bool> level) {
  const std::uint64_t step = Step(now_);
  std::string entry = '#' + std::to_string(step) + '\n';
  if (level) entry += *level ? "1!\n" : "0!\n";
  if (stampedSinceHeader_ && pending_.size() + entry.size() > file_.Room()) {
    WriteOut();
    file_.Rotate();
    StartFile();
  }
  pending_ += entry;
  stampedSinceHeader_ = true;
  lastStep_ = step;
  if (level) level_ = *level;
}

// The header, and the line's level since the last time stamp.
void LineRecording::StartFile() {
  pending_ +=
      "$version Lumora virtual programming adapter $end\n"
      "$comment The adapter's transmit line; each call takes 50 us besides its bits $end\n"
      "$timescale 100 ns $end\n"
      "$scope module adapter $end\n"
      "$var wire 1 ! tx $end\n"
      "$upscope $end\n"
      "$enddefinitions $end\n"
      "#" +
      std::to_string(lastStep_) + "\n$dumpvars\n" + (level_ ? "1!" : "0!") + "\n$end\n";
  stampedSinceHeader_ = false;
}

void LineRecording::WriteOut() {
  file_.Write(pending_);
  file_.Flush();
  pending_.clear();
}

}  // namespace lumora
