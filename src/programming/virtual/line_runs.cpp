#include "programming/virtual/line_runs.h"

#include <bit>
#include <vector>

namespace lumora {

void LineRuns::Add(const std::string& line, std::string& out) {
  if (held_ > 0) {
    const std::size_t count = written_.size();
    std::uint32_t still = 0;
    for (std::size_t period = 1; period <= count; ++period) {
      const bool candidate = (cycles_ >> (period - 1)) & 1u;
      if (candidate && written_[count - period + held_ % period] == line) {
        still |= 1u << (period - 1);
      }
    }
    if (still != 0) {
      cycles_ = still;
      ++held_;
      return;
    }
    End(out);  // may write lines out or clear them
  }
  const std::size_t count = written_.size();
  cycles_ = 0;
  for (std::size_t period = 1; period <= count; ++period) {
    if (written_[count - period] == line) cycles_ |= 1u << (period - 1);
  }
  if (cycles_ != 0) {
    held_ = 1;
  } else {
    Write(line, out);
  }
}

void LineRuns::End(std::string& out) {
  if (held_ == 0) return;
  // Any cycle still standing fits every line held; the shortest reads best.
  const std::size_t period = static_cast<std::size_t>(std::countr_zero(cycles_)) + 1;
  const std::vector<std::string> cycle(written_.end() - static_cast<std::ptrdiff_t>(period),
                                       written_.end());
  const std::uint64_t repeats = held_ / period;
  const std::size_t unfinished = static_cast<std::size_t>(held_ % period);
  held_ = 0;
  cycles_ = 0;
  if (repeats > 0) {
    out += "… ×" + std::to_string(repeats) + " more of the " +
           (period == 1 ? std::string("line") : std::to_string(period) + " lines") + " above\n";
    written_.clear();
  }
  for (std::size_t i = 0; i < unfinished; ++i) Write(cycle[i], out);
}

void LineRuns::Write(const std::string& line, std::string& out) {
  out += line;
  out += '\n';
  written_.push_back(line);
  if (written_.size() > kLongestCycle) written_.pop_front();
}

}  // namespace lumora
