#pragma once

// Runs a program on the desktop's display (e.g. Xvfb) and measures it from outside, as a user
// meets it: the time from exec to its first window mapped, its resident memory and the
// processor time of all its threads.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

// Processor time of every thread of a process, in seconds.
inline double ProcessorSeconds(pid_t pid) {
  double total = 0;
  std::error_code error;
  const auto tasks = std::filesystem::path("/proc") / std::to_string(pid) / "task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double nanoseconds = 0;
    if (schedstat >> nanoseconds) total += nanoseconds / 1e9;
  }
  return total;
}

// The process's resident memory in MiB, shared library pages included.
inline double ResidentMiB(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string key;
  while (rollup >> key) {
    if (key == "Rss:") {
      double kilobytes = 0;
      rollup >> kilobytes;
      return kilobytes / 1024;
    }
    rollup.ignore(1 << 12, '\n');
  }
  return -1;
}

// One run of a program, stopped with SIGTERM when it goes. Runs are made one at a time: the
// first top-level window mapped on the display after the start is taken as the program's.
class ProgramRun {
 public:
  explicit ProgramRun(const std::vector<std::string>& argv) : display_(WatchedDisplay()) {
    // A round trip, then the events of earlier runs are dropped.
    free(xcb_get_input_focus_reply(display_, xcb_get_input_focus(display_), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(display_)) free(event);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
    secondsToWindow_ = std::chrono::duration<double>(WaitForMap() - start).count();
    processorToWindow_ = ProcessorSeconds(pid_);
  }

  ~ProgramRun() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  pid_t Pid() const { return pid_; }
  double SecondsToWindow() const { return secondsToWindow_; }
  // Processor time the program took until then: on a loaded machine the wall time above
  // also holds its waits for a core.
  double ProcessorToWindow() const { return processorToWindow_; }

  // Share of one core the program used over the given wall time.
  double CoreShare(std::chrono::milliseconds wall) const {
    const double before = ProcessorSeconds(pid_);
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(wall);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return (ProcessorSeconds(pid_) - before) / seconds * 100;
  }

 private:
  // One connection for every run, watching the windows made on the screen. A loaded server
  // may refuse a connection now and then, so it is tried more than once.
  static xcb_connection_t* WatchedDisplay() {
    static xcb_connection_t* const display = [] {
      for (int attempt = 0; attempt < 10; ++attempt) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection) == 0) {
          const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
          const std::uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
          xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &events);
          return connection;
        }
        xcb_disconnect(connection);
        std::this_thread::sleep_for(std::chrono::seconds(1));
      }
      throw std::runtime_error("no display");
    }();
    return display;
  }

  Clock::time_point WaitForMap() {
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(30);
    pollfd watch{xcb_get_file_descriptor(display_), POLLIN, 0};
    while (Clock::now() < limit) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(display_)) {
        const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                            !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
        free(event);
        if (mapped) return Clock::now();
      }
      poll(&watch, 1, 100);
    }
    throw std::runtime_error("no window within 30 s");
  }

  xcb_connection_t* display_ = nullptr;
  pid_t pid_ = 0;
  double secondsToWindow_ = 0;
  double processorToWindow_ = 0;
};

// The middle figure of a set.
inline double Median(std::vector<double> figures) {
  std::sort(figures.begin(), figures.end());
  return figures[figures.size() / 2];
}

// "least / median / most" of a set of figures.
inline std::string Spread(std::vector<double> figures, const char* format) {
  std::sort(figures.begin(), figures.end());
  char text[96];
  std::snprintf(text, sizeof text, (std::string(format) + " / " + format + " / " + format).c_str(),
                figures.front(), figures[figures.size() / 2], figures.back());
  return text;
}

}  // namespace bench
