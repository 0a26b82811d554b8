// Prints how closely the timer keeps the Brightwave USB transfer's 50 ms pace (223 ticks,
// nominally 11.15 s) idle, beside one busy core and with both cores busy, with the scheduling
// class its thread got, and what one standard burst of 223 frames costs in CPU time against
// an adapter that does nothing. A timer thread that cannot take SCHED_FIFO itself asks the
// desktop's real-time service, as the application does.
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDBusConnection>

#include "app/realtime_kit.h"
#include "common/program_tables.h"
#include "programming/programming_window_model.h"
#include "timer/mm_timer.h"

namespace {

using namespace lumora;
using Clock = std::chrono::steady_clock;

constexpr int kTicks = 223;
constexpr int kPeriodMs = 50;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

const char* PolicyName(int policy) {
  switch (policy & ~SCHED_RESET_ON_FORK) {
    case SCHED_FIFO:
      return "SCHED_FIFO";
    case SCHED_RR:
      return "SCHED_RR";
    case SCHED_OTHER:
      return "SCHED_OTHER";
    default:
      return "another class";
  }
}

// As in the application, a timer thread only tells of itself, and the main thread asks the
// service without waiting for the answer; the class is read at the last tick.
void MeasurePacing(const char* label, RealtimeKit& realtime) {
  std::atomic<int> threadsStarted = 0;
  TMMTimer timer(/*designMode=*/false, [&](const TimerThreadStart& start) {
    QMetaObject::invokeMethod(QCoreApplication::instance(),
                              [&realtime, start] { realtime.TimerThreadStarted(start); });
    ++threadsStarted;
  });
  // Waits until the service has answered for the given timer thread; the time waited.
  const auto answerFor = [&](int thread) {
    const Clock::time_point asked = Clock::now();
    while (threadsStarted < thread) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QCoreApplication::processEvents();
    while (realtime.Waiting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return Ms(Clock::now() - asked);
  };
  std::vector<Clock::time_point> stamps;
  stamps.reserve(kTicks);
  std::mutex mutex;
  int policy = -1;
  sched_param param{};
  timer.OnMMTimer = [&](TMMTimer&) {
    std::lock_guard lock(mutex);
    if (stamps.size() == kTicks - 1) pthread_getschedparam(pthread_self(), &policy, &param);
    if (stamps.size() < kTicks) stamps.push_back(Clock::now());
  };
  // A timer thread tells of itself as its gate first opens.
  const Clock::time_point start = Clock::now();
  timer.SetInterval(kPeriodMs);
  timer.SetEnabled(true);
  const double requestMs = answerFor(1);
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard lock(mutex);
    if (stamps.size() == kTicks) break;
  }
  timer.DisableAndWait();

  std::vector<double> lateness;
  for (int k = 0; k < kTicks; ++k) {
    lateness.push_back(Ms(stamps[k] - (start + std::chrono::milliseconds(kPeriodMs * (k + 1)))));
  }
  std::sort(lateness.begin(), lateness.end());
  const double total = Ms(stamps.back() - start);
  std::printf("%-28s total %9.2f ms (nominal %d ms, %+.2f ms)  mean period %.4f ms\n", label, total,
              kTicks * kPeriodMs, total - kTicks * kPeriodMs,
              Ms(stamps.back() - stamps.front()) / (kTicks - 1));
  // Lateness counts from the call that started the timer; the least of it is mostly the
  // caller's own delay in getting there, which every tick shares.
  std::printf(
      "%-28s lateness min %.3f ms, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n"
      "%-28s %s %d (real-time request %.1f ms)\n",
      "", lateness.front(), lateness[kTicks / 2], lateness[kTicks * 99 / 100], lateness.back(), "",
      PolicyName(policy), param.sched_priority, requestMs);
}

void MeasurePacingWithBusyCores(int busyCores, const char* label, RealtimeKit& realtime) {
  std::atomic<bool> stop = false;
  std::vector<std::thread> busy;
  for (int i = 0; i < busyCores; ++i) {
    busy.emplace_back([&] {
      volatile unsigned long spin = 0;
      while (!stop.load(std::memory_order_relaxed)) spin = spin + 1;
    });
  }
  MeasurePacing(label, realtime);
  stop = true;
  for (std::thread& thread : busy) thread.join();
}

class NullAdapter : public UsbAdapter {
 public:
  FT_STATUS FT_Open(int, FT_HANDLE* handle) override {
    *handle = 1;
    return FT_OK;
  }
  FT_STATUS FT_Close(FT_HANDLE) override { return FT_OK; }
  FT_STATUS FT_Read(FT_HANDLE, void*, std::uint32_t, std::uint32_t* read) override {
    *read = 0;
    return FT_OK;
  }
  FT_STATUS FT_Write(FT_HANDLE, const void*, std::uint32_t size, std::uint32_t* written) override {
    *written = size;
    return FT_OK;
  }
  FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, std::uint8_t, std::uint8_t,
                                      std::uint8_t) override {
    return FT_OK;
  }
  FT_STATUS FT_ClrDtr(FT_HANDLE) override { return FT_OK; }
  FT_STATUS FT_SetRts(FT_HANDLE) override { return FT_OK; }
  FT_STATUS FT_ClrRts(FT_HANDLE) override { return FT_OK; }
  FT_STATUS FT_SetTimeouts(FT_HANDLE, std::uint32_t, std::uint32_t) override { return FT_OK; }
  FT_STATUS FT_SetDivisor(FT_HANDLE, std::uint16_t) override { return FT_OK; }
};

class NullView : public ProgrammingView {
 public:
  void SetSpinnerEnabled(Spinner, bool) override {}
  void SetAddressSpinnerStep(int) override {}
  void SetProgramButtonEnabled(bool) override {}
  void CheckUsbProgrammerButton() override {}
  void SetProgressPosition(int) override {}
  void PostToUiThread(std::function<void()>) override {}
};

class NullMessages : public MessageBoxes {
 public:
  void ShowError(std::string_view) override {}
  void ShowWarning(std::string_view) override {}
};

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void MeasureBurst() {
  NullAdapter adapter;
  TMMTimer timer(/*designMode=*/true);
  NullView view;
  NullMessages messages;
  static ControllerImageArray image{};
  for (int i = 0; i < kControllerImageSize; ++i) image[i] = i * 31;
  ProgrammingWindowModel model(adapter, timer, view, messages);
  model.FormCreate();
  model.HandOver(image);
  model.Open();
  model.ChooseStandardProgrammer();

  constexpr int kBursts = 50;
  std::vector<double> cpu;
  const Clock::time_point wallStart = Clock::now();
  for (int b = 0; b < kBursts; ++b) {
    model.StartTransfer();
    const double before = ThreadCpuMs();
    model.Tick();
    cpu.push_back(ThreadCpuMs() - before);
  }
  const double wall = Ms(Clock::now() - wallStart) / kBursts;
  std::sort(cpu.begin(), cpu.end());
  double sum = 0;
  for (double c : cpu) sum += c;
  std::printf(
      "standard burst, 223 frames    CPU mean %.3f ms, min %.3f ms, max %.3f ms "
      "(%.2f us per frame of 131 writes); wall mean %.3f ms\n",
      sum / kBursts, cpu.front(), cpu.back(), 1e3 * sum / kBursts / kTicks, wall);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  RealtimeKit realtime(QDBusConnection::systemBus());
  std::printf("timer at %d ms, %d ticks (nominal %.2f s), running as uid %d\n", kPeriodMs, kTicks,
              kTicks * kPeriodMs / 1000.0, static_cast<int>(getuid()));
  MeasurePacingWithBusyCores(0, "idle", realtime);
  MeasurePacingWithBusyCores(1, "other core busy", realtime);
  MeasurePacingWithBusyCores(2, "both cores busy", realtime);
  MeasureBurst();
}
