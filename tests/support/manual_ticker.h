#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "timer/ticker.h"

namespace lumora::testing {

// A ticker the test drives: each tick runs when the test asks for it, on the calling thread
// or on a thread standing in for the timer's. Like the real timer it runs one tick at a
// time, and Stop from another thread waits for a running tick.
class ManualTicker : public Ticker {
 public:
  void Start(int periodMs, Tick tick) override {
    std::lock_guard lock(tickMutex_);
    period_ = periodMs;
    tick_ = std::move(tick);
    running_ = true;
  }
  void Stop() override {
    running_ = false;
    if (tickThread_.load() == std::this_thread::get_id()) return;
    {
      std::lock_guard lock(stopsMutex_);
      ++stops_;
    }
    stopped_.notify_all();
    std::lock_guard wait(tickMutex_);
  }

  // How often Stop was called from outside a tick.
  int Stops() {
    std::lock_guard lock(stopsMutex_);
    return stops_;
  }
  // Returns once Stop has been called from outside a tick count times in all (its waiting for
  // a running tick may still go on), or false if that takes 10 s.
  bool WaitForStops(int count) {
    std::unique_lock lock(stopsMutex_);
    return stopped_.wait_for(lock, std::chrono::seconds(10), [&] { return stops_ >= count; });
  }

  bool Running() const { return running_; }
  // The period of the last Start, 0 before any.
  int Period() const { return period_; }

  // One tick on the calling thread, if the ticker runs; what it posts is left queued.
  void Tick() {
    std::lock_guard lock(tickMutex_);
    if (!running_) return;
    tickThread_ = std::this_thread::get_id();
    tick_();
    tickThread_ = std::thread::id{};
  }
  // count ticks on a thread of their own, as the timer delivers them; returns when they ran.
  void TicksOnOwnThread(int count) {
    std::thread timer([&] {
      for (int i = 0; i < count; ++i) Tick();
    });
    timer.join();
  }

 private:
  std::mutex tickMutex_;
  std::atomic<bool> running_{false};
  std::atomic<int> period_{0};
  std::atomic<std::thread::id> tickThread_{};
  Ticker::Tick tick_;
  std::mutex stopsMutex_;
  std::condition_variable stopped_;
  int stops_ = 0;
};

}  // namespace lumora::testing
