#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/process_lock.h"

namespace lumora {

// A holder that was done with the lock may have removed the file between the open and the
// lock, and another made a new one there: the lock counts only while path still names the
// file locked.
ProcessLock::Handle ProcessLock::Hold(const std::filesystem::path& path, bool fresh) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | (fresh ? O_EXCL : 0), 0600);
  if (fd < 0) return kNone;
  struct stat locked {};
  struct stat named {};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &locked) != 0 ||
      ::stat(path.c_str(), &named) != 0 || locked.st_dev != named.st_dev ||
      locked.st_ino != named.st_ino) {
    ::close(fd);
    return kNone;
  }
  return fd;
}

void ProcessLock::Unlink(Handle, const std::filesystem::path& path) {
  ::unlink(path.c_str());
}

void ProcessLock::Close(Handle handle) {
  ::close(static_cast<int>(handle));
}

}  // namespace lumora
