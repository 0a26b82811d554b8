#include "timer/timer_service.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "timer/timer_thread.h"

namespace lumora {

namespace {

using Clock = std::chrono::steady_clock;

struct TimerRecord {
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
  bool open = true;
  // Whether it may be gated: one-shot timers are not.
  bool periodic = true;
  std::thread thread;
};

void StopTimer(TimerRecord& record) {
  {
    std::lock_guard lock(record.mutex);
    record.stop = true;
  }
  record.wake.notify_one();
  // Inside its own callback the thread cannot wait for itself; it ends after the callback.
  if (record.thread.get_id() == std::this_thread::get_id()) {
    record.thread.detach();
  } else {
    record.thread.join();
  }
}

struct TimerRegistry {
  std::mutex mutex;
  std::map<std::uint32_t, std::shared_ptr<TimerRecord>> timers;
  std::uint32_t lastId = 0;

  // Timers still running at exit are stopped so that no thread outlives the registry.
  ~TimerRegistry() {
    for (auto& [id, record] : timers) StopTimer(*record);
  }
};

TimerRegistry& Registry() {
  static TimerRegistry registry;
  return registry;
}

void RunTimer(std::shared_ptr<TimerRecord> record, std::uint32_t id, Clock::time_point origin,
              Clock::duration period, std::uint32_t resolutionMs, TimerCallback callback,
              std::uintptr_t user, ThreadStartCallback started) {
  NameTimerThread();
  const bool periodic = record->periodic;
  const auto shut = [&] { return record->stop; };
  bool precise = false;
  // What a precise thread asked of the whole system is given back on every road out.
  struct Release {
    const bool& precise;
    std::uint32_t resolutionMs;
    ~Release() {
      if (precise) ReleaseTimerPrecision(resolutionMs);
    }
  } release{precise, resolutionMs};
  Clock::time_point deadline = origin + period;
  std::unique_lock lock(record->mutex);
  for (;;) {
    if (!record->open && periodic) {
      if (precise) ReleaseTimerPrecision(resolutionMs);
      precise = false;
      record->wake.wait(lock, [&] { return record->open || record->stop; });
      if (record->stop) return;
      deadline = NextTickDeadline(origin, period, Clock::now());
    }
    if (!precise) {
      lock.unlock();
      const TimerThreadStart start = TakeTimerPrecision(resolutionMs);
      precise = true;
      if (started != nullptr) started(id, start, user);
      lock.lock();
    }
    if (record->wake.wait_until(lock, deadline, shut)) return;
    // A gate that closed during the wait stops this tick; the thread sleeps from the next turn.
    if (record->open) {
      lock.unlock();
      callback(id, 0, user, 0, 0);
      lock.lock();
    }
    if (!periodic) return;
    deadline = NextTickDeadline(origin, period, Clock::now());
  }
}

}  // namespace

Clock::time_point NextTickDeadline(Clock::time_point origin, Clock::duration period,
                                   Clock::time_point now) {
  if (now < origin + period) return origin + period;
  const auto periodsPassed = (now - origin) / period;
  return origin + (periodsPassed + 1) * period;
}

std::uint32_t timeSetEvent(std::uint32_t delayMs, std::uint32_t resolutionMs,
                           TimerCallback callback, std::uintptr_t user, std::uint32_t kind,
                           ThreadStartCallback started) {
  if (delayMs < 1 || delayMs > kMaxTimerDelayMs || callback == nullptr ||
      (kind != TIME_ONESHOT && kind != TIME_PERIODIC &&
       kind != (TIME_PERIODIC | TIME_GATE_CLOSED))) {
    return 0;
  }
  TimerRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  std::uint32_t id = registry.lastId;
  do {
    ++id;
  } while (id == 0 || registry.timers.contains(id));
  auto record = std::make_shared<TimerRecord>();
  record->periodic = (kind & TIME_PERIODIC) != 0;
  record->open = (kind & TIME_GATE_CLOSED) == 0;
  // The ticks count from the call, not from whenever the new thread first gets to run.
  const Clock::time_point origin = Clock::now();
  try {
    // The registry stays locked until the thread is stored, so a callback that kills its own
    // timer finds it complete.
    record->thread = std::thread(RunTimer, record, id, origin, std::chrono::milliseconds(delayMs),
                                 resolutionMs, callback, user, started);
  } catch (const std::system_error&) {
    return 0;
  }
  registry.lastId = id;
  registry.timers.emplace(id, std::move(record));
  return id;
}

MMRESULT timeKillEvent(std::uint32_t timerId) {
  std::shared_ptr<TimerRecord> record;
  {
    TimerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.timers.find(timerId);
    if (found == registry.timers.end()) return MMSYSERR_INVALPARAM;
    record = std::move(found->second);
    registry.timers.erase(found);
  }
  StopTimer(*record);
  return TIMERR_NOERROR;
}

MMRESULT timeGateEvent(std::uint32_t timerId, bool open) {
  std::shared_ptr<TimerRecord> record;
  {
    TimerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.timers.find(timerId);
    if (found == registry.timers.end() || !found->second->periodic) return MMSYSERR_INVALPARAM;
    record = found->second;
  }
  {
    std::lock_guard lock(record->mutex);
    record->open = open;
  }
  record->wake.notify_one();
  return TIMERR_NOERROR;
}

}  // namespace lumora
