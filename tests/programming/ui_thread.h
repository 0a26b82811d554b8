#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace lumora::testing {

// A thread standing in for the user-interface thread: runs posted tasks one by one, in the
// order posted. Tasks still queued when it ends are dropped, as a closed window drops them.
class UiThread {
 public:
  UiThread() : thread_([this] { Loop(); }) {}
  ~UiThread() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  std::thread::id Id() const { return thread_.get_id(); }

  void Post(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
  }

  // Runs task on this thread after everything posted before it, and waits for it.
  void Run(const std::function<void()>& task) {
    std::promise<void> finished;
    Post([&] {
      task();
      finished.set_value();
    });
    finished.get_future().wait();
  }

 private:
  void Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return done_ || !tasks_.empty(); });
      if (done_) return;
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace lumora::testing
