#include "cli/progress_bar.h"

#include <string>

namespace lumora::cli {

void ProgressBar::Show(int percent) {
  if (percent <= shownPercent_) return;
  shownPercent_ = percent;
  if (!terminal_) {
    out_ << percent << " %\n" << std::flush;
    return;
  }
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] " << percent
       << " %" << std::flush;
}

void ProgressBar::Finish(bool complete) {
  if (complete) Show(100);
  if (terminal_ && shownPercent_ >= 0) out_ << "\n" << std::flush;
}

}  // namespace lumora::cli
