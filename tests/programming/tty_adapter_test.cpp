#include "programming/adapters/tty_adapter.h"

// termios2 from the kernel's header, as the backend itself uses it.
#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "programming/adapter_choice.h"
#include "programming/adapters/kernel_tty_port.h"
#include "programming/programming_link.h"
#include "programming/wire_format.h"
#include "support/as_nobody.h"
#include "support/pty_pair.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

// The settings a line change gave the slave, and what the master had received by then.
struct LineChange {
  std::uint32_t Rate;
  bool TwoStopBits;
  bool EightBits;
  std::size_t Written;
  std::size_t Received;
  bool DrainedFirst;
};

// The kernel port on the pty, watched: the calls in order, at each line change the bytes on
// the master, and the settings the slave took.
class WatchedPort final : public TtyPort {
 public:
  explicit WatchedPort(PtyPair& pty) : pty_(pty) {}

  std::vector<std::uint8_t> Received;
  std::vector<LineChange> Changes;
  std::vector<std::string> Calls;

  int Open(const std::string& path) override { return Note("Open", real_.Open(path)); }
  void Close() override {
    Note("Close", 0);
    real_.Close();
  }
  int Flush() override { return Note("Flush", real_.Flush()); }
  int Drain() override { return Note("Drain", real_.Drain()); }
  int SetLine(const SerialLine& line) override {
    const bool drained = !Calls.empty() && Calls.back() == "Drain";
    Collect();
    const int result = Note("SetLine", real_.SetLine(line));
    const termios2 settings = pty_.SlaveSettings();
    Changes.push_back({settings.c_ospeed, (settings.c_cflag & CSTOPB) != 0,
                       (settings.c_cflag & CSIZE) == CS8, written_, Received.size(), drained});
    EXPECT_EQ(settings.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
    return result;
  }
  int SetModemLine(ModemLine line, bool on) override {
    return Note(line == ModemLine::Rts ? "Rts" : "Dtr", real_.SetModemLine(line, on));
  }
  int Write(std::span<const std::uint8_t> bytes) override {
    const int result = Note("Write", real_.Write(bytes));
    if (result > 0) written_ += static_cast<std::size_t>(result);
    return result;
  }
  int Read(std::span<std::uint8_t> buffer) override { return Note("Read", real_.Read(buffer)); }
  int WaitReadable(int timeoutMs) override { return real_.WaitReadable(timeoutMs); }
  int WaitWritable(int timeoutMs) override { return real_.WaitWritable(timeoutMs); }
  Clock::time_point Now() override { return real_.Now(); }

  void Collect() {
    const std::vector<std::uint8_t> bytes = pty_.Take();
    Received.insert(Received.end(), bytes.begin(), bytes.end());
  }

 private:
  int Note(const char* name, int result) {
    Calls.push_back(name);
    return result;
  }

  PtyPair& pty_;
  KernelTtyPort real_;
  std::size_t written_ = 0;
};

std::vector<std::uint8_t> UsbBlock() {
  std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  block[1] = kUsbBlockMarker;
  return block;
}

std::vector<std::uint8_t> Slots() {
  std::vector<std::uint8_t> slots;
  for (int slot = 1; slot <= kStandardFrameSlots; ++slot) slots.push_back(slot & 0xFF);
  return slots;
}

std::vector<std::uint8_t> Joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> bytes;
  for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

TEST(TtyAdapter, TheLinkPutsExactFramesOnThePtyAndDrainsBeforeEveryLineChange) {
  PtyPair pty;
  auto owned = std::make_unique<WatchedPort>(pty);
  WatchedPort& port = *owned;
  TtyAdapter adapter(pty.Path(), std::move(owned));
  ProgrammingLink link(adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  EXPECT_EQ(port.Calls, (std::vector<std::string>{"Open", "Flush", "SetLine", "Rts", "Dtr"}));
  port.Changes.clear();

  link.ConfigureUsbProgrammer(false);
  link.ConfigureStandardProgrammer();
  ASSERT_EQ(link.SendPacket(Slots()), FT_OK);
  pty.Send(std::vector<std::uint8_t>(kReplyBlockSize, 0x55));
  link.ConfigureUsbProgrammer(true);
  port.Collect();

  const std::vector<std::uint8_t> frame = Joined({{0x00, 0x00}, Slots()});
  EXPECT_EQ(port.Received, Joined({UsbBlock(), frame, UsbBlock()}));
  const std::size_t usb = kUsbBlockSize;
  const std::size_t breakSent = usb + 1;
  const std::size_t frameSent = usb + frame.size();
  const std::vector<std::tuple<std::uint32_t, bool, std::size_t>> expected = {
      {2'000'000, false, 0},        {2'000'000, false, 0},       // the USB programmer
      {250'000, false, usb},        {250'000, true, usb},        // the standard one
      {21'429, true, usb},          {250'000, true, breakSent},  // the break and back
      {2'000'000, true, frameSent}, {2'000'000, false, frameSent},
  };
  ASSERT_EQ(port.Changes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const LineChange& change = port.Changes[i];
    const auto [rate, twoStopBits, written] = expected[i];
    EXPECT_EQ(change.Rate, rate) << "change " << i;
    EXPECT_EQ(change.TwoStopBits, twoStopBits) << "change " << i;
    EXPECT_TRUE(change.EightBits) << "change " << i;
    EXPECT_EQ(change.Written, written) << "change " << i;
    // Everything written before the change had left before it.
    EXPECT_TRUE(change.DrainedFirst) << "change " << i;
    EXPECT_EQ(change.Received, change.Written) << "change " << i;
  }
  link.CloseProgrammer();
  EXPECT_EQ(port.Calls.back(), "Close");
}

TEST(TtyAdapter, TheChosenValueDrivesTheDeviceAtThePath) {
  PtyPair pty;
  AdapterChoice choice = ChooseAdapter("tty:" + pty.Path(), nullptr);
  ASSERT_NE(choice.Adapter, nullptr) << choice.Error;
  ProgrammingLink link(*choice.Adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  link.ConfigureStandardProgrammer();
  ASSERT_EQ(link.SendPacket(Slots()), FT_OK);
  EXPECT_EQ(pty.Take(), Joined({{0x00, 0x00}, Slots()}));
  const termios2 settings = pty.SlaveSettings();
  EXPECT_EQ(settings.c_ospeed, 250'000u);
  EXPECT_EQ(settings.c_cflag & (CSIZE | CSTOPB | PARENB), static_cast<tcflag_t>(CS8 | CSTOPB));
  // Raw both ways: no byte is changed or swallowed on the way.
  EXPECT_EQ(settings.c_oflag & OPOST, 0u);
  EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
  link.CloseProgrammer();
}

TEST(TtyAdapter, EachDivisorBecomesTheRateItMeansOnTheFtdiChip) {
  PtyPair pty;
  TtyAdapter adapter(pty.Path());
  FT_HANDLE handle = 0;
  ASSERT_EQ(adapter.FT_Open(0, &handle), FT_OK);
  const std::pair<std::uint16_t, std::uint32_t> cases[] = {
      {0, 3'000'000}, {1, 2'000'000},         {2, 1'500'000},
      {12, 250'000},  {140, 21'429},          {0x4000 | 12, 240'000},  // 12.5
      {3, 1'000'000}, {0xC000 | 2, 1'411'765}                          // 2.125
  };
  for (const auto& [divisor, rate] : cases) {
    EXPECT_EQ(adapter.FT_SetDivisor(handle, divisor), FT_OK);
    EXPECT_EQ(pty.SlaveSettings().c_ospeed, rate) << divisor;
  }
  // One and a half stop bits are the one format a kernel line cannot take with 8 bits.
  EXPECT_EQ(adapter.FT_SetDataCharacteristics(handle, 8, 1, 0), FT_IO_ERROR);
  EXPECT_EQ(adapter.FT_SetDataCharacteristics(handle, 9, 0, 0), FT_IO_ERROR);
  EXPECT_EQ(adapter.FT_Close(handle), FT_OK);
  EXPECT_EQ(adapter.FT_SetDivisor(handle, 12), FT_INVALID_HANDLE);
}

// Reads and writes end at their time-outs with FT_OK and what was moved.
TEST(TtyAdapter, TimeOutsEndReadsAndWritesWithoutAnError) {
  PtyPair pty;
  TtyAdapter adapter(pty.Path());
  FT_HANDLE handle = 0;
  ASSERT_EQ(adapter.FT_Open(0, &handle), FT_OK);
  ASSERT_EQ(adapter.FT_SetTimeouts(handle, 100, 100), FT_OK);
  std::vector<std::uint8_t> reply(kReplyBlockSize);
  std::uint32_t moved = 7;

  pty.Send(std::vector<std::uint8_t>(100, 0x55));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(adapter.FT_Read(handle, reply.data(), kReplyBlockSize, &moved), FT_OK);
  EXPECT_EQ(moved, 100u);
  EXPECT_EQ(reply[99], 0x55);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

  // Nobody reads the master: the pty's buffer fills and the write stops at its time-out.
  const std::vector<std::uint8_t> flood(1 << 20, 0xAA);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(adapter.FT_Write(handle, flood.data(), flood.size(), &moved), FT_OK);
  EXPECT_GT(moved, 0u);
  EXPECT_LT(moved, flood.size());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

  ASSERT_EQ(adapter.FT_SetTimeouts(handle, 0, 100), FT_OK);
  EXPECT_EQ(adapter.FT_Read(handle, reply.data(), kReplyBlockSize, &moved), FT_OK);
  EXPECT_EQ(moved, 0u);
}

TEST(TtyAdapter, ADeviceMissingOrNotASerialLineIsNotOpened) {
  testing::TempFolder folder;
  std::ofstream(folder.File("plain")) << "x";
  const std::pair<std::string, FT_STATUS> cases[] = {
      {folder.File("ttyUSB9"), FT_DEVICE_NOT_FOUND},
      {folder.File("plain/ttyUSB0"), FT_DEVICE_NOT_FOUND},
      {folder.File("plain"), FT_DEVICE_NOT_OPENED},
      {folder.Path().string(), FT_DEVICE_NOT_OPENED},
  };
  for (const auto& [path, status] : cases) {
    TtyAdapter adapter(path);
    FT_HANDLE handle = 0;
    EXPECT_EQ(adapter.FT_Open(0, &handle), status) << path;
    EXPECT_EQ(handle, 0u);
  }
  PtyPair pty;
  TtyAdapter adapter(pty.Path());
  FT_HANDLE handle = 0;
  EXPECT_EQ(adapter.FT_Open(1, &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(adapter.FT_Open(0, nullptr), FT_INVALID_HANDLE);
}

TEST(TtyAdapter, ADeviceTheUserMayNotOpenIsAccessDenied) {
  PtyPair pty;
  ASSERT_EQ(::chmod(pty.Path().c_str(), 0), 0);
  // 0 when the child is refused for lack of rights, 1 for any other answer.
  const int refused = testing::AsNobody([&] {
    TtyAdapter adapter(pty.Path());
    FT_HANDLE handle = 0;
    return adapter.FT_Open(0, &handle) == kAdapterAccessDenied && handle == 0 ? 0 : 1;
  });
  EXPECT_EQ(refused, 0);
}

// Another program writing to the same line would break the frames: while the adapter holds
// the device, a second opening is refused, and once it lets go the device opens again.
TEST(TtyAdapter, TheDeviceIsOpenedForThisProgramAlone) {
  PtyPair pty;
  // Anyone may open it, so that a refusal can only come from the exclusive use.
  ASSERT_EQ(::chmod(pty.Path().c_str(), 0666), 0);
  // 0 when a second adapter's opening gives the expected status.
  const auto secondOpening = [&](FT_STATUS expected) {
    return testing::AsNobody([&] {
      TtyAdapter second(pty.Path());
      FT_HANDLE handle = 0;
      return second.FT_Open(0, &handle) == expected ? 0 : 1;
    });
  };
  TtyAdapter adapter(pty.Path());
  FT_HANDLE handle = 0;
  ASSERT_EQ(adapter.FT_Open(0, &handle), FT_OK);
  EXPECT_EQ(secondOpening(FT_DEVICE_NOT_OPENED), 0);
  ASSERT_EQ(adapter.FT_Close(handle), FT_OK);
  EXPECT_EQ(secondOpening(FT_OK), 0);
}

// Unplugged during a transfer: every call after it says the device is gone, which the link
// passes on and the window answers by stopping the transfer.
TEST(TtyAdapter, AnAdapterUnpluggedMidTransferIsADeviceNotFound) {
  PtyPair pty;
  TtyAdapter adapter(pty.Path());
  ProgrammingLink link(adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  link.ConfigureStandardProgrammer();
  ASSERT_EQ(link.SendPacket(Slots()), FT_OK);
  pty.HangUp();
  EXPECT_EQ(link.SendPacket(Slots()), FT_DEVICE_NOT_FOUND);
}

TEST(TtyAdapter, EveryCallAfterTheUnplugSaysTheDeviceIsGone) {
  const std::pair<const char*, std::function<FT_STATUS(UsbAdapter&, FT_HANDLE)>> calls[] = {
      {"write",
       [](UsbAdapter& a, FT_HANDLE h) {
         std::uint8_t bytes[4] = {};
         std::uint32_t moved = 0;
         return a.FT_Write(h, bytes, 4, &moved);
       }},
      {"read",
       [](UsbAdapter& a, FT_HANDLE h) {
         std::uint8_t bytes[4] = {};
         std::uint32_t moved = 0;
         return a.FT_Read(h, bytes, 4, &moved);
       }},
      {"rate", [](UsbAdapter& a, FT_HANDLE h) { return a.FT_SetDivisor(h, 12); }},
      {"format",
       [](UsbAdapter& a, FT_HANDLE h) { return a.FT_SetDataCharacteristics(h, 8, 2, 0); }},
      {"rts", [](UsbAdapter& a, FT_HANDLE h) { return a.FT_SetRts(h); }},
  };
  for (const auto& [name, call] : calls) {
    PtyPair pty;
    TtyAdapter adapter(pty.Path());
    FT_HANDLE handle = 0;
    ASSERT_EQ(adapter.FT_Open(0, &handle), FT_OK);
    pty.HangUp();
    EXPECT_EQ(call(adapter, handle), FT_DEVICE_NOT_FOUND) << name;
    EXPECT_EQ(adapter.FT_Close(handle), FT_OK) << name;
  }
}

}  // namespace
}  // namespace lumora
