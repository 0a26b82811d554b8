#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/input_file.h"

namespace lumora {
namespace {

// Why path could not be opened: it is there but no file (a socket, a loop of links), or it is
// missing or unreadable.
ReadResult WhyNotOpened(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return errno == ELOOP ? ReadResult::NotAFile : ReadResult::CannotOpen;
  }
  return S_ISREG(info.st_mode) ? ReadResult::CannotOpen : ReadResult::NotAFile;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  // A pipe without a writer would hold a blocking open for ever; what is opened is checked
  // before anything is read from it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    opening_ = WhyNotOpened(path);
    return;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    opening_ = ReadResult::NotAFile;
    ::close(fd);
    return;
  }
  handle_ = fd;
  opening_ = ReadResult::Ok;
}

InputFile::~InputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

long InputFile::Read(void* buffer, std::size_t size) {
  if (handle_ < 0) return 0;
  ssize_t got;
  do {
    got = ::read(static_cast<int>(handle_), buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

}  // namespace lumora
