#pragma once

// termios2 from the kernel's header, as the tty backend itself uses it.
#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace lumora::testing {

// A pseudo-terminal pair: the adapter opens the slave by its path, the test reads the
// master and looks at the slave's settings through a descriptor of its own.
class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(master_, 0);
    EXPECT_EQ(::grantpt(master_), 0);
    EXPECT_EQ(::unlockpt(master_), 0);
    path_ = ::ptsname(master_);
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(slave_, 0);
  }
  ~PtyPair() {
    HangUp();
    ::close(slave_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& Path() const { return path_; }

  // Everything the slave has sent so far.
  std::vector<std::uint8_t> Take() {
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (ssize_t got; (got = ::read(master_, chunk, sizeof chunk)) > 0;) {
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
  }
  void Send(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  termios2 SlaveSettings() const {
    termios2 settings{};
    EXPECT_EQ(::ioctl(slave_, TCGETS2, &settings), 0);
    return settings;
  }
  // The adapter's end hangs up, as a USB-serial adapter's tty does when it is unplugged.
  void HangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace lumora::testing
