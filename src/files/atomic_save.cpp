#include "files/atomic_save.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace lumora {
namespace {

// A file-size limit must turn into a failed write, not a killed process.
void IgnoreFileSizeSignalOnce() {
  static const bool ignored = [] {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGXFSZ, &action, nullptr) == 0;
  }();
  (void)ignored;
}

// A name beside the target that no other save of this process uses at the same time.
std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path target(path);
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".tmp";
  hidden += std::to_string(::getpid());
  hidden += '_';
  hidden += std::to_string(counter++);
  return (target.parent_path() / hidden).string();
}

// Creates a new file with the rights a plain truncating write would leave on the target.
int CreateTemporary(const std::string& path, std::string& temporary) {
  struct stat target {};
  const bool replaces = ::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = TemporaryName(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (replaces) ::fchmod(fd, target.st_mode & 07777);
      return fd;
    }
    if (errno != EEXIST) break;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

}  // namespace

bool SaveFileAtomically(const std::string& path, std::string_view bytes) {
  IgnoreFileSizeSignalOnce();
  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace lumora
