#include "files/atomic_save.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>

namespace lumora {
namespace {

// As many links as the kernel follows in one path before it calls it a loop.
constexpr int kMaxLinks = 40;

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

// The name the save replaces: path itself, or the end of its chain of symbolic links, each
// relative link read against its own folder. Empty for a loop.
std::optional<std::filesystem::path> EndOfLinks(std::filesystem::path path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    const std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    path = path.parent_path() / next;
  }
  return std::nullopt;
}

// A name beside the target that no other save of this process uses at the same time.
std::string TemporaryName(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".tmp";
  hidden += std::to_string(::getpid());
  hidden += '_';
  hidden += std::to_string(counter++);
  return (target.parent_path() / hidden).string();
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

// Gives a fresh temporary the rights a plain truncating write would leave on the target, the
// bytes, and a flush to disk.
bool Fill(int fd, const std::filesystem::path& target, std::string_view bytes) {
  struct stat replaced {};
  if (::stat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
    ::fchmod(fd, replaced.st_mode & 07777);
  }
  return WriteAll(fd, bytes) && ::fsync(fd) == 0;
}

// Puts a complete temporary in the target's place, or removes it.
bool RenameOver(const std::string& temporary, const std::filesystem::path& target) {
  if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

bool SaveThroughNamed(const std::filesystem::path& target, std::string_view bytes) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string temporary = TemporaryName(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return false;
    const bool filled = Fill(fd, target, bytes);
    if (::close(fd) != 0 || !filled) {
      ::unlink(temporary.c_str());
      return false;
    }
    return RenameOver(temporary, target);
  }
  return false;
}

enum class Outcome { Saved, Failed, Unsupported };

Outcome SaveThroughUnnamed(const std::filesystem::path& target, std::string_view bytes) {
  // A file in the target's folder that has no name yet.
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return Outcome::Unsupported;
  // Written and flushed before it has a name, so a crash up to here leaves nothing.
  if (!Fill(fd, target, bytes)) {
    ::close(fd);
    return Outcome::Failed;
  }
  // Named through the process's own view of its descriptors, which needs no privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string temporary = TemporaryName(target);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      const bool closed = ::close(fd) == 0;
      if (!closed) ::unlink(temporary.c_str());
      return closed && RenameOver(temporary, target) ? Outcome::Saved : Outcome::Failed;
    }
    if (errno != EEXIST) break;
  }
  ::close(fd);
  return Outcome::Unsupported;
}

}  // namespace

bool SaveFileAtomically(const std::string& path, std::string_view bytes, SaveTemporary temporary) {
  IgnoreFileSizeSignalOnce();
  // A link keeps pointing where it did: its target is what gets replaced.
  const auto target = EndOfLinks(path);
  if (!target) return false;
  // Only a file is replaced: a rename would put a file in place of a device, pipe or socket.
  struct stat existing {};
  if (::stat(target->c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return false;
  if (temporary == SaveTemporary::Unnamed) {
    const Outcome outcome = SaveThroughUnnamed(*target, bytes);
    if (outcome != Outcome::Unsupported) return outcome == Outcome::Saved;
  }
  return SaveThroughNamed(*target, bytes);
}

}  // namespace lumora
