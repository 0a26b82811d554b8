// Drives the serial adapter on a COM port through the adapter calls, for com_port_test.py,
// which holds the other end of the line (a pseudo-terminal the Wine prefix maps to the port)
// and checks what arrived there against what is printed here. One line per fact on stdout;
// at "pause LABEL" the probe waits for a line on stdin, so that the other end can look at
// the line while nothing moves.
//   com_port_probe link|settings|timeouts|stall|gone|unplugged|open PORT [MISSING_PORT]

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "programming/adapter_choice.h"
#include "programming/adapters/com_port.h"
#include "programming/adapters/serial_device.h"
#include "programming/adapters/tty_adapter.h"
#include "programming/programming_link.h"
#include "programming/wire_format.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;

void Pause(const std::string& label) {
  std::cout << "pause " << label << std::endl;
  std::string answer;
  std::getline(std::cin, answer);
}

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The COM port, watched: at each line change, once the port took it, the settings asked, how
// many bytes were written by then and whether the change came right after a drain; then the
// other end looks at the line.
class WatchedPort final : public TtyPort {
 public:
  int Open(const std::string& path) override { return Note(real_.Open(path)); }
  void Close() override { real_.Close(); }
  int Flush() override { return Note(real_.Flush()); }
  int Drain() override {
    const int result = Note(real_.Drain());
    drained_ = result == 0;
    return result;
  }
  int SetLine(const SerialLine& line) override {
    const bool drained = drained_;
    const int result = Note(real_.SetLine(line));
    std::cout << "line " << result << ' ' << line.Rate << ' ' << int{line.WordLength} << ' '
              << int{line.StopBits} << ' ' << written_ << ' ' << drained << std::endl;
    Pause("line");
    return result;
  }
  int SetModemLine(ModemLine line, bool on) override { return Note(real_.SetModemLine(line, on)); }
  int Write(std::span<const std::uint8_t> bytes) override {
    const int result = Note(real_.Write(bytes));
    if (result > 0) written_ += static_cast<std::size_t>(result);
    return result;
  }
  int Read(std::span<std::uint8_t> buffer) override { return Note(real_.Read(buffer)); }
  int WaitReadable(int timeoutMs) override { return Note(real_.WaitReadable(timeoutMs)); }
  int WaitWritable(int timeoutMs) override { return Note(real_.WaitWritable(timeoutMs)); }
  Clock::time_point Now() override { return real_.Now(); }

 private:
  // Any other call between a drain and a line change breaks the pair.
  int Note(int result) {
    drained_ = false;
    return result;
  }

  ComPort real_;
  std::size_t written_ = 0;
  bool drained_ = false;
};

std::vector<std::uint8_t> Slots() {
  std::vector<std::uint8_t> slots;
  for (int slot = 1; slot <= kStandardFrameSlots; ++slot) slots.push_back(slot & 0xFF);
  return slots;
}

// The USB programmer's set-up, the standard one's and a frame, then back to the USB
// programmer with its reply read: every line change and every byte of the way.
int Link(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port), std::make_unique<WatchedPort>());
  ProgrammingLink link(adapter);
  const FT_STATUS opened = link.OpenProgrammer();
  std::cout << "status open " << opened << std::endl;
  if (!link.IsOpen()) return 1;
  link.ConfigureUsbProgrammer(false);
  link.ConfigureStandardProgrammer();
  const FT_STATUS sent = link.SendPacket(Slots());
  std::cout << "status frame " << sent << std::endl;
  Pause("reply");
  link.ConfigureUsbProgrammer(true);
  link.CloseProgrammer();
  return 0;
}

// The read's status, how many bytes it moved, how long it took and the bytes in hex.
void Read(TtyAdapter& adapter, FT_HANDLE handle, const char* name) {
  std::vector<std::uint8_t> reply(kReplyBlockSize, 0);
  std::uint32_t moved = 7;
  const Clock::time_point start = Clock::now();
  const FT_STATUS status = adapter.FT_Read(handle, reply.data(), kReplyBlockSize, &moved);
  const long long ms = MillisecondsSince(start);
  std::string bytes = "-";
  for (std::uint32_t i = 0; i < moved && i < reply.size(); ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", reply[i]);
    bytes += hex;
  }
  std::cout << "read " << name << ' ' << status << ' ' << moved << ' ' << ms << ' ' << bytes
            << std::endl;
}

// Reads that end at their time-outs, with and without bytes, and a write to a line nobody
// reads that ends at its time-out short.
int Timeouts(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port));
  FT_HANDLE handle = 0;
  const FT_STATUS opened = adapter.FT_Open(0, &handle);
  std::cout << "status open " << opened << std::endl;
  if (handle == 0) return 1;
  adapter.FT_SetTimeouts(handle, 100, 100);
  Pause("send");
  Read(adapter, handle, "some");
  adapter.FT_SetTimeouts(handle, 300, 100);
  Read(adapter, handle, "waiting");
  adapter.FT_SetTimeouts(handle, 0, 100);
  Read(adapter, handle, "at-once");

  const std::vector<std::uint8_t> flood(1 << 20, 0xAA);
  std::uint32_t moved = 0;
  const Clock::time_point start = Clock::now();
  const FT_STATUS status = adapter.FT_Write(handle, flood.data(), flood.size(), &moved);
  std::cout << "write flood " << status << ' ' << moved << ' ' << MillisecondsSince(start) << ' '
            << flood.size() << std::endl;
  adapter.FT_Close(handle);
  return 0;
}

// The link sends standard frames into a line nobody reads until one stalls.
int Stall(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port));
  ProgrammingLink link(adapter);
  const FT_STATUS opened = link.OpenProgrammer();
  std::cout << "status open " << opened << std::endl;
  if (!link.IsOpen()) return 1;
  link.ConfigureStandardProgrammer();
  const std::vector<std::uint8_t> slots = Slots();
  FT_STATUS status = FT_OK;
  int frames = 0;
  long long lastMs = 0;
  // Far more than a pseudo-terminal's buffer holds.
  while (status == FT_OK && frames < 2000) {
    const Clock::time_point start = Clock::now();
    status = link.SendPacket(slots);
    lastMs = MillisecondsSince(start);
    ++frames;
  }
  std::cout << "stall " << status << ' ' << frames << ' ' << lastMs << std::endl;
  link.CloseProgrammer();
  return 0;
}

// Each divisor the FTDI chip takes, then each format: every one the port took is a line
// change the other end looks at; the formats a line cannot have are refused.
int Settings(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port), std::make_unique<WatchedPort>());
  FT_HANDLE handle = 0;
  const FT_STATUS opened = adapter.FT_Open(0, &handle);
  std::cout << "status open " << opened << std::endl;
  if (handle == 0) return 1;
  for (const std::uint16_t divisor : {0, 1, 2, 12, 140, 0x4000 | 12, 3, 0xC000 | 2}) {
    const FT_STATUS status = adapter.FT_SetDivisor(handle, divisor);
    std::cout << "divisor " << divisor << ' ' << status << std::endl;
  }
  const std::uint8_t formats[][3] = {{7, 0, 1}, {8, 2, 2}, {7, 2, 3}, {8, 0, 4},
                                     {8, 0, 0}, {8, 1, 0}, {9, 0, 0}};
  for (const auto& [bits, stop, parity] : formats) {
    const FT_STATUS status = adapter.FT_SetDataCharacteristics(handle, bits, stop, parity);
    std::cout << "format " << int{bits} << ' ' << int{stop} << ' ' << int{parity} << ' ' << status
              << std::endl;
  }
  adapter.FT_Close(handle);
  return 0;
}

// Unplugged after a frame: the next frame says the device is gone.
int Gone(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port));
  ProgrammingLink link(adapter);
  const FT_STATUS opened = link.OpenProgrammer();
  std::cout << "status open " << opened << std::endl;
  if (!link.IsOpen()) return 1;
  link.ConfigureStandardProgrammer();
  const FT_STATUS before = link.SendPacket(Slots());
  std::cout << "status before " << before << std::endl;
  Pause("unplug");
  const FT_STATUS after = link.SendPacket(Slots());
  std::cout << "status after " << after << std::endl;
  link.CloseProgrammer();
  return 0;
}

// Unplugged while open: every call after it says the device is gone.
int Unplugged(const std::string& port) {
  TtyAdapter adapter(SerialDevicePath(port));
  FT_HANDLE handle = 0;
  const FT_STATUS opened = adapter.FT_Open(0, &handle);
  std::cout << "status open " << opened << std::endl;
  if (handle == 0) return 1;
  Pause("unplug");
  std::uint8_t bytes[4] = {};
  std::uint32_t moved = 0;
  std::cout << "call write " << adapter.FT_Write(handle, bytes, 4, &moved) << std::endl;
  std::cout << "call read " << adapter.FT_Read(handle, bytes, 4, &moved) << std::endl;
  std::cout << "call rate " << adapter.FT_SetDivisor(handle, kDmxDivisor) << std::endl;
  std::cout << "call format " << adapter.FT_SetDataCharacteristics(handle, 8, 2, 0) << std::endl;
  std::cout << "call rts " << adapter.FT_SetRts(handle) << std::endl;
  std::cout << "call close " << adapter.FT_Close(handle) << std::endl;
  return 0;
}

// The port opens by the name LUMORA_ADAPTER gives, and again once closed; a port that is not
// there is not found.
int Open(const std::string& port, const std::string& missing) {
  for (const std::string& name : {port, port, missing}) {
    AdapterChoice choice = ChooseAdapter("com:" + name, nullptr);
    if (!choice.Adapter) {
      std::cout << "choice " << choice.Error << std::endl;
      return 1;
    }
    FT_HANDLE handle = 0;
    const FT_STATUS opened = choice.Adapter->FT_Open(0, &handle);
    std::cout << "open " << name << ' ' << opened << ' ' << (handle != 0) << std::endl;
    if (handle == 0) continue;
    // A pseudo-terminal has no modem lines, which is no error.
    std::cout << "modem " << choice.Adapter->FT_SetRts(handle) << ' '
              << choice.Adapter->FT_ClrRts(handle) << ' ' << choice.Adapter->FT_ClrDtr(handle)
              << std::endl;
    choice.Adapter->FT_Close(handle);
  }
  return 0;
}

}  // namespace
}  // namespace lumora

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "link") return lumora::Link(argv[2]);
  if (mode == "timeouts") return lumora::Timeouts(argv[2]);
  if (mode == "stall") return lumora::Stall(argv[2]);
  if (mode == "settings") return lumora::Settings(argv[2]);
  if (mode == "gone") return lumora::Gone(argv[2]);
  if (mode == "unplugged") return lumora::Unplugged(argv[2]);
  if (mode == "open" && argc > 3) return lumora::Open(argv[2], argv[3]);
  std::cerr << "usage: com_port_probe link|settings|timeouts|stall|gone|unplugged|open PORT "
               "[MISSING_PORT]\n";
  return 2;
}
