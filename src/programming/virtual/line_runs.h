#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace lumora {

// Folds repeats of one line, or of a short cycle of lines, into the lines written once and a
// count: A B C A B C A B C D gives A B C, "… ×2 more of the 3 lines above", D. A repetition
// cut short is written out line by line after the count. Only lines written out since the
// last count can be repeated, so "the lines above" always means the lines just above.
class LineRuns {
 public:
  // The longest cycle of lines that is recognised.
  static constexpr std::size_t kLongestCycle = 8;

  // Takes the next line, without its newline; appends to out what can be written now.
  void Add(const std::string& line, std::string& out);
  // Ends a run in progress: appends its count and the lines of an unfinished repetition.
  void End(std::string& out);

 private:
  void Write(const std::string& line, std::string& out);

  // The lines written out since the last count, at most kLongestCycle of them.
  std::deque<std::string> written_;
  // Bit p - 1 set: every line held back so far repeats the cycle of the last p lines written.
  std::uint32_t cycles_ = 0;
  // Lines of the run held back, not yet written.
  std::uint64_t held_ = 0;
};

}  // namespace lumora
