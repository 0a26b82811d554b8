// The programming window on a serial line that stops taking bytes: a pseudo-terminal whose
// other end nobody reads. The transfer must end as for a lost device, never run on and
// finish as if the controller had received the image, and a tick stuck in a write must not
// hold the user-interface thread past the write's time-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "programming/adapters/kernel_tty_port.h"
#include "programming/adapters/tty_adapter.h"
#include "support/pty_pair.h"
#include "window_fixture.h"

namespace lumora::testing {
namespace {

using namespace std::chrono_literals;

// The page number of the first programming packet in the bytes the line carried.
std::optional<int> FirstPage(const std::vector<std::uint8_t>& line) {
  const auto packet = std::search(line.begin(), line.end(), ProgrammingSignature.begin(),
                                  ProgrammingSignature.end());
  if (line.end() - packet <= static_cast<std::ptrdiff_t>(ProgrammingSignature.size())) {
    return std::nullopt;
  }
  return packet[ProgrammingSignature.size()];
}

// The kernel's port, telling when a write first finds the line full.
class StallWatch final : public TtyPort {
 public:
  explicit StallWatch(std::promise<void>& stalled) : stalled_(stalled) {}

  int Open(const std::string& path) override { return real_.Open(path); }
  void Close() override { real_.Close(); }
  int Flush() override { return real_.Flush(); }
  int Drain() override { return real_.Drain(); }
  int SetLine(const SerialLine& line) override { return real_.SetLine(line); }
  int SetModemLine(ModemLine line, bool on) override { return real_.SetModemLine(line, on); }
  int Write(std::span<const std::uint8_t> bytes) override {
    const int result = real_.Write(bytes);
    if (result == -EAGAIN && !told_.exchange(true)) stalled_.set_value();
    return result;
  }
  int Read(std::span<std::uint8_t> buffer) override { return real_.Read(buffer); }
  int WaitReadable(int timeoutMs) override { return real_.WaitReadable(timeoutMs); }
  int WaitWritable(int timeoutMs) override { return real_.WaitWritable(timeoutMs); }
  Clock::time_point Now() override { return real_.Now(); }

 private:
  KernelTtyPort real_;
  std::promise<void>& stalled_;
  std::atomic<bool> told_{false};
};

class StalledPty : public ::testing::TestWithParam<ProgrammerKind> {
 protected:
  PtyPair pty;
  WindowHarness<TtyAdapter> window{pty.Path()};
};

TEST_P(StalledPty, EndsTheTransferAsALostDeviceAndTheNextStartsFromPageZero) {
  const bool usb = GetParam() == ProgrammerKind::UsbProgrammer;
  window.Activate();
  if (!usb) window.OnUi([&] { window.model.ChooseStandardProgrammer(); });
  window.Press();
  // More than the line holds: the USB programmer sends a packet a tick, the standard one the
  // whole transfer in one.
  window.Ticks(usb ? kTransferPackets : 1);
  EXPECT_EQ(window.Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
  EXPECT_EQ(window.model.LinkFailure(), kLineStalled);
  EXPECT_EQ(window.model.State(), TransferState::Idle);
  EXPECT_FALSE(window.ticker.Running());
  EXPECT_EQ(window.Progress().back(), 0);
  window.OnUi([&] { EXPECT_EQ(window.view.ProgramButtonEnabled, false); });

  // The line is read again and the window opened again: the pages stuck in the line never
  // reached the controller, so the transfer starts again from page 0.
  window.Close();
  pty.Take();
  window.Activate();
  EXPECT_EQ(window.model.LinkFailure(), FT_OK);
  window.Press();
  window.Ticks(1);
  EXPECT_EQ(FirstPage(pty.Take()), 0);
}

INSTANTIATE_TEST_SUITE_P(BothProgrammers, StalledPty,
                         ::testing::Values(ProgrammerKind::UsbProgrammer,
                                           ProgrammerKind::StandardProgrammer),
                         [](const auto& info) {
                           return info.param == ProgrammerKind::UsbProgrammer ? "Usb" : "Standard";
                         });

// Closing the window while a standard burst waits on the full line: the close waits for
// that tick, which ends at the write's time-out instead of writing on into the full line.
TEST(StalledPtyClosing, AnswersWithinHalfASecond) {
  PtyPair pty;
  std::promise<void> stalled;
  WindowHarness<TtyAdapter> window(pty.Path(), std::make_unique<StallWatch>(stalled));
  window.Activate();
  window.OnUi([&] { window.model.ChooseStandardProgrammer(); });
  window.Press();
  std::thread tick([&] { window.Tick(); });
  stalled.get_future().wait();
  const auto start = std::chrono::steady_clock::now();
  window.Close();
  const auto took = std::chrono::steady_clock::now() - start;
  tick.join();
  EXPECT_LT(took, 500ms);
  EXPECT_EQ(window.model.LinkFailure(), kLineStalled);
  EXPECT_EQ(window.Errors(), std::vector<std::string>{std::string(message::NoProgrammer)});
}

}  // namespace
}  // namespace lumora::testing
