#include "cli/terminal_progress.h"

#include <algorithm>
#include <chrono>

#include "programming/programming_packet.h"

namespace lumora::cli {

void TerminalProgress::Begin() {
  begun_ = true;
  SetProgressPosition(0);
}

void TerminalProgress::SetProgressPosition(int position) {
  if (!begun_) return;
  packets_ = std::max(packets_, position);
  bar_.Show(position * 100 / kTransferPackets);
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

}  // namespace lumora::cli
