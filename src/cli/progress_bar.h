#pragma once

#include <ostream>

namespace lumora::cli {

// A percentage that only moves forward: on a terminal a bar that redraws itself on its line,
// elsewhere a "NN %" line for each new value.
class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

  void Show(int percent);
  // Shows 100 % when complete, and ends a bar's line.
  void Finish(bool complete);

 private:
  std::ostream& out_;
  const bool terminal_;
  int shownPercent_ = -1;
};

}  // namespace lumora::cli
