// Prints how closely the timers keep the Brightwave USB transfer's 50 ms pace on Windows (223
// ticks, nominally 11.1 s from the first tick to the last): Lumora's timer thread, and the
// system's multimedia timer (timeSetEvent) beside it, idle and with every core busy.
// Ours first: its names are those of the multimedia timer API, which the system's header
// then defines as macros.
#include "timer/mm_timer.h"

#include <windows.h>
// The multimedia timer, which the lean <windows.h> leaves out.
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTicks = 223;
constexpr int kPeriodMs = 50;

// The tick times, handed over when the last one has come.
class Ticks {
 public:
  Ticks() { times_.reserve(kTicks); }
  void Add() {
    std::lock_guard lock(mutex_);
    if (times_.size() < kTicks) times_.push_back(Clock::now());
    if (times_.size() == kTicks) done_.notify_all();
  }
  std::vector<Clock::time_point> WaitForAll() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return times_.size() == kTicks; });
    return times_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  std::vector<Clock::time_point> times_;
};

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Each tick against the grid the first one starts: the whole run, the mean period, and the
// 99th percentile and the most of the lateness.
void Print(const char* label, const std::vector<Clock::time_point>& times) {
  std::vector<double> late;
  for (int i = 0; i < kTicks; ++i) {
    const auto due = times[0] + std::chrono::milliseconds(i * kPeriodMs);
    late.push_back(std::max(0.0, Ms(times[i] - due)));
  }
  std::sort(late.begin(), late.end());
  const double total = Ms(times.back() - times.front());
  std::printf("%-44s %9.2f ms  mean %8.4f ms  late p99 %6.2f ms  max %6.2f ms\n", label, total,
              total / (kTicks - 1), late[late.size() * 99 / 100], late.back());
}

std::vector<Clock::time_point> Ours() {
  Ticks ticks;
  lumora::TMMTimer timer;
  timer.OnMMTimer = [&](lumora::TMMTimer&) { ticks.Add(); };
  timer.SetInterval(kPeriodMs);
  timer.SetEnabled(true);
  std::vector<Clock::time_point> times = ticks.WaitForAll();
  timer.DisableAndWait();
  return times;
}

void CALLBACK SystemTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  reinterpret_cast<Ticks*>(user)->Add();
}

std::vector<Clock::time_point> System() {
  Ticks ticks;
  timeBeginPeriod(1);
  const MMRESULT id = timeSetEvent(kPeriodMs, 1, SystemTick, reinterpret_cast<DWORD_PTR>(&ticks),
                                   TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
  std::vector<Clock::time_point> times = ticks.WaitForAll();
  timeKillEvent(id);
  timeEndPeriod(1);
  return times;
}

// Every core spinning at normal priority while it lives.
class BusyCores {
 public:
  BusyCores() {
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
      threads_.emplace_back([this] {
        while (!stop_) {
        }
      });
    }
  }
  ~BusyCores() {
    stop_ = true;
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  std::atomic<bool> stop_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace

int main() {
  std::printf("%d ticks at %d ms, from the first tick to the last\n", kTicks, kPeriodMs);
  Print("Lumora's timer thread, idle", Ours());
  Print("system multimedia timer, idle", System());
  {
    BusyCores busy;
    Print("Lumora's timer thread, every core busy", Ours());
    Print("system multimedia timer, every core busy", System());
  }
  return 0;
}
