#include "files/atomic_save.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "files/save_temporary.h"

namespace lumora {
namespace {

// As many links as the kernel follows in one path before it calls it a loop.
constexpr int kMaxLinks = 40;
// Tries at a temporary name before the save gives up.
constexpr int kNameAttempts = 16;

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

// A save killed between naming its temporary and the rename leaves a complete temporary
// beside the untouched target; once the process that made it is gone, nothing will use it.
void RemoveLeftTemporaries(const std::filesystem::path& target) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(FolderOf(target), error), end;
       !error && entry != end; entry.increment(error)) {
    const auto maker = static_cast<pid_t>(MakerOf(entry->path(), target));
    if (maker > 0 && maker != ::getpid() && ::kill(maker, 0) != 0 && errno == ESRCH) {
      ::unlink(entry->path().c_str());
    }
  }
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

// Gives the temporary the rights a plain truncating write would leave on the target: its
// mode, and its owner and group where the process may (a plain user cannot give a file away
// and keeps only a group it belongs to).
bool TakeRights(int fd, const std::filesystem::path& target) {
  struct stat replaced {};
  if (::stat(target.c_str(), &replaced) != 0 || !S_ISREG(replaced.st_mode)) return true;
  struct stat made {};
  if (::fstat(fd, &made) != 0) return false;
  if ((made.st_uid != replaced.st_uid || made.st_gid != replaced.st_gid) &&
      ::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
    if (errno != EPERM) return false;
    if (::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0 && errno != EPERM) {
      return false;
    }
  }
  // After the owner, whose change clears the set-user-ID and set-group-ID bits.
  return ::fchmod(fd, replaced.st_mode & 07777) == 0;
}

// The rename is only on disk once the folder that holds the names is.
bool SyncFolder(const std::filesystem::path& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

AtomicSave::AtomicSave(const std::string& path, SaveTemporary temporary) {
  IgnoreFileSizeSignalOnce();
  // A link keeps pointing where it did: its target is what gets replaced.
  const auto target = EndOfLinks(path);
  if (!target) return;
  target_ = *target;
  // Only a file is replaced: a rename would put a file in place of a device, pipe or socket.
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return;
  RemoveLeftTemporaries(target_);
  ok_ = (temporary == SaveTemporary::Unnamed && OpenUnnamed()) || OpenNamed();
}

AtomicSave::~AtomicSave() {
  Abandon();
}

bool AtomicSave::OpenUnnamed() {
  // A file in the target's folder that has no name yet: a crash before it is named leaves
  // nothing. Readable, in case it has to be copied to a named one.
  fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  return fd_ >= 0;
}

bool AtomicSave::OpenNamed() {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path name =
        TemporaryName(target_, static_cast<unsigned long>(::getpid()));
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) temporary_ = name;
    if (fd_ >= 0 || errno != EEXIST) return fd_ >= 0;
  }
  return false;
}

bool AtomicSave::Write(std::string_view bytes) {
  ok_ = ok_ && WriteAll(fd_, bytes);
  return ok_;
}

// Names the complete unnamed temporary through the process's own view of its descriptors,
// which needs no privilege; where that fails, its bytes are copied into a named one.
bool AtomicSave::Name() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path name =
        TemporaryName(target_, static_cast<unsigned long>(::getpid()));
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_ = name;
      return true;
    }
    if (errno != EEXIST) break;
  }
  const int unnamed = std::exchange(fd_, -1);
  bool copied = OpenNamed();
  std::string chunk(64 * 1024, '\0');
  for (off_t offset = 0; copied;) {
    const ssize_t got = ::pread(unnamed, chunk.data(), chunk.size(), offset);
    if (got == 0) break;
    copied = got > 0 && WriteAll(fd_, std::string_view(chunk.data(), got));
    offset += got;
  }
  ::close(unnamed);
  return copied && TakeRights(fd_, target_) && ::fsync(fd_) == 0;
}

bool AtomicSave::Commit() {
  // Flushed before it has a name, so a crash up to the rename leaves the old file whole.
  ok_ = ok_ && TakeRights(fd_, target_) && ::fsync(fd_) == 0 && (!temporary_.empty() || Name());
  ok_ = ok_ && ::close(std::exchange(fd_, -1)) == 0 &&
        ::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok_) {
    Abandon();
    return false;
  }
  temporary_.clear();
  ok_ = false;
  return SyncFolder(target_);
}

void AtomicSave::Abandon() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  ok_ = false;
}

}  // namespace lumora
