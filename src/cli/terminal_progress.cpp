#include "cli/terminal_progress.h"

#include <chrono>
#include <string>

#include "programming/programming_packet.h"

namespace lumora::cli {

void TerminalProgress::SetProgressPosition(int position) {
  ShowPercent(position * 100 / kTransferPackets);
}

void TerminalProgress::ShowPercent(int percent) {
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

void TerminalProgress::PostToUiThread(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_one();
}

void TerminalProgress::RunPosted(int timeoutMs) {
  std::deque<std::function<void()>> tasks;
  {
    std::unique_lock lock(mutex_);
    posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                     [this] { return !tasks_.empty(); });
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
}

void TerminalProgress::Finish(bool complete) {
  if (complete) ShowPercent(100);
  if (terminal_ && shownPercent_ >= 0) out_ << "\n" << std::flush;
}

}  // namespace lumora::cli
