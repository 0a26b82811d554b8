#pragma once

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <string>

namespace lumora::testing {

// Things a file dialog can hand over that are not files.
enum class SpecialKind { PipeWithoutWriter, Folder, Device, Socket, LinkLoop };

inline const char* Name(SpecialKind kind) {
  switch (kind) {
    case SpecialKind::PipeWithoutWriter:
      return "pipe without a writer";
    case SpecialKind::Folder:
      return "folder";
    case SpecialKind::Device:
      return "link to /dev/zero";
    case SpecialKind::Socket:
      return "socket";
    case SpecialKind::LinkLoop:
      return "loop of links";
  }
  return "?";
}

inline constexpr SpecialKind kSpecialKinds[] = {SpecialKind::PipeWithoutWriter, SpecialKind::Folder,
                                                SpecialKind::Device, SpecialKind::Socket,
                                                SpecialKind::LinkLoop};

// Puts a special file of the given kind at path; false when it could not be made.
inline bool MakeSpecial(SpecialKind kind, const std::string& path) {
  switch (kind) {
    case SpecialKind::PipeWithoutWriter:
      return ::mkfifo(path.c_str(), 0600) == 0;
    case SpecialKind::Folder:
      return ::mkdir(path.c_str(), 0700) == 0;
    case SpecialKind::Device:
      return ::symlink("/dev/zero", path.c_str()) == 0;
    case SpecialKind::Socket: {
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      if (path.size() >= sizeof address.sun_path) return false;
      std::memcpy(address.sun_path, path.c_str(), path.size());
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      ::close(fd);  // the socket's name stays in the folder
      return bound;
    }
    case SpecialKind::LinkLoop:
      return ::symlink((path + ".other").c_str(), path.c_str()) == 0 &&
             ::symlink(path.c_str(), (path + ".other").c_str()) == 0;
  }
  return false;
}

// Runs body, which may open path; false when it hung on it. The hang is then released by a
// writer that comes and goes, so the reader finds an empty pipe and the test goes on to fail
// instead of waiting for ever.
inline bool FinishesWithoutWaiting(const std::string& path, const std::function<void()>& body) {
  auto done = std::async(std::launch::async, body);
  if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
  const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
  if (writer >= 0) ::close(writer);
  done.wait();
  return false;
}

}  // namespace lumora::testing
