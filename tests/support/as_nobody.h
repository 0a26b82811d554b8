#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace lumora::testing {

// Runs body in a child process as a user without rights to the test's files and devices
// (user nobody when the test runs as root, else the test's own user); its result is the
// child's exit status.
inline int AsNobody(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace lumora::testing
