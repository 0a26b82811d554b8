#include "programming/adapters/kernel_tty_port.h"

// termios2 and BOTHER come from the kernel's header, which <termios.h> would clash with.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace lumora {

namespace {

// The call's result, or -errno when it failed; calls a signal broke off are made again.
template <typename Call>
int Checked(Call call) {
  for (;;) {
    const auto result = call();
    if (result >= 0) return static_cast<int>(result);
    if (errno != EINTR) return -errno;
  }
}

tcflag_t FormatFlags(const SerialLine& line) {
  static constexpr tcflag_t kParities[5] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                            PARENB | CMSPAR};
  return (line.WordLength == 7 ? CS7 : CS8) | (line.StopBits == 2 ? CSTOPB : 0) |
         kParities[line.Parity];
}

}  // namespace

KernelTtyPort::~KernelTtyPort() {
  Close();
}

int KernelTtyPort::Open(const std::string& path) {
  Close();
  const int fd =
      Checked([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) return fd;
  fd_ = fd;
  // Another program writing to the same line would break the frames.
  const int exclusive = Checked([&] { return ::ioctl(fd_, TIOCEXCL); });
  if (exclusive < 0) Close();
  return exclusive;
}

void KernelTtyPort::Close() {
  if (fd_ < 0) return;
  // The kernel keeps the device exclusive while anyone else still holds it open.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
}

int KernelTtyPort::Flush() {
  return Checked([&] { return ::ioctl(fd_, TCFLSH, TCIOFLUSH); });
}

int KernelTtyPort::Drain() {
  // What tcdrain does.
  return Checked([&] { return ::ioctl(fd_, TCSBRK, 1); });
}

int KernelTtyPort::SetLine(const SerialLine& line) {
  termios2 settings{};
  // Raw bytes both ways, the receiver on, the modem status lines ignored; the same rate in
  // and out.
  settings.c_cflag = BOTHER | (BOTHER << IBSHIFT) | CREAD | CLOCAL | FormatFlags(line);
  settings.c_ispeed = line.Rate;
  settings.c_ospeed = line.Rate;
  settings.c_cc[VMIN] = 1;
  return Checked([&] { return ::ioctl(fd_, TCSETS2, &settings); });
}

int KernelTtyPort::SetModemLine(ModemLine line, bool on) {
  const int bits = line == ModemLine::Rts ? TIOCM_RTS : TIOCM_DTR;
  return Checked([&] { return ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits); });
}

int KernelTtyPort::Write(std::span<const std::uint8_t> bytes) {
  return Checked([&] { return ::write(fd_, bytes.data(), bytes.size()); });
}

int KernelTtyPort::Read(std::span<std::uint8_t> buffer) {
  return Checked([&] { return ::read(fd_, buffer.data(), buffer.size()); });
}

int KernelTtyPort::WaitReadable(int timeoutMs) {
  return Wait(POLLIN, timeoutMs);
}

int KernelTtyPort::WaitWritable(int timeoutMs) {
  return Wait(POLLOUT, timeoutMs);
}

int KernelTtyPort::Wait(short events, int timeoutMs) {
  pollfd polled{fd_, events, 0};
  const int result = ::poll(&polled, 1, timeoutMs);
  if (result < 0) return errno == EINTR ? 0 : -errno;
  if ((polled.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return -EIO;
  return (polled.revents & events) != 0 ? 1 : 0;
}

TtyPort::Clock::time_point KernelTtyPort::Now() {
  return Clock::now();
}

}  // namespace lumora
