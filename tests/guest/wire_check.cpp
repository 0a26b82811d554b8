// Checks what an emulated FT232 put on its serial side during one plug-in, as the programmers
// and the controller behind them would take it: the bytes, cut into the program's writes by
// QEMU's trace of the chip, go through the virtual controller's wire decoder and packet
// receiver, and the packets must be the transfer's own, in the order of the transfers given.
//
//   guest_wire_check WIRE TRACE IMAGE --programmer usb|standard --transfers complete,cut,...
//                    [--address N] [--solo-program N | --solo-auto N] [--speed N] [--tubes N]
//
// IMAGE holds the 57,088 bytes lumora-cli image writes; the settings are the programming
// window's (unset: its starting values). Exit code 0 when everything holds, 1 with the reasons
// otherwise, 2 for a wrong command line.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "chip_line_writes.h"
#include "programming/adapters/usb_adapter.h"
#include "programming/programming_settings.h"
#include "programming/virtual/dmx_wire_decoder.h"
#include "programming/virtual/packet_receiver.h"
#include "support/transfer_packets.h"

namespace lumora::testing {
namespace {

enum class Expected { Complete, Cut };

struct Request {
  std::string wire, trace, image;
  ProgrammerKind programmer = ProgrammerKind::UsbProgrammer;
  std::vector<Expected> transfers;
  std::optional<int> address, soloProgram, soloAuto, speed, tubes;
};

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::optional<Request> ReadRequest(int argc, char** argv) {
  Request request;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!argument.starts_with("--")) {
      positional.push_back(argument);
      continue;
    }
    if (i + 1 == argc) return std::nullopt;
    const std::string value = argv[++i];
    try {
      if (argument == "--programmer" && (value == "usb" || value == "standard")) {
        request.programmer =
            value == "usb" ? ProgrammerKind::UsbProgrammer : ProgrammerKind::StandardProgrammer;
      } else if (argument == "--transfers") {
        std::istringstream list(value);
        for (std::string item; std::getline(list, item, ',');) {
          if (item != "complete" && item != "cut") return std::nullopt;
          request.transfers.push_back(item == "complete" ? Expected::Complete : Expected::Cut);
        }
      } else if (argument == "--address") {
        request.address = std::stoi(value);
      } else if (argument == "--solo-program") {
        request.soloProgram = std::stoi(value);
      } else if (argument == "--solo-auto") {
        request.soloAuto = std::stoi(value);
      } else if (argument == "--speed") {
        request.speed = std::stoi(value);
      } else if (argument == "--tubes") {
        request.tubes = std::stoi(value);
      } else {
        return std::nullopt;
      }
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  if (positional.size() != 3 || request.transfers.empty()) return std::nullopt;
  request.wire = positional[0];
  request.trace = positional[1];
  request.image = positional[2];
  return request;
}

// The packet header fields the window's controls give, set as a person sets them.
PacketSettings SettingsOf(const Request& request) {
  ProgrammingSettings settings;
  if (request.address) {
    settings.ChooseAddress();
    settings.StepAddress(*request.address);
    settings.ReleaseAddressSpinner();
  }
  if (request.soloAuto) {
    settings.ChooseAuto();
    settings.StepAuto(*request.soloAuto);
  } else if (request.soloProgram) {
    settings.StepProgram(*request.soloProgram);
  }
  if (request.speed) settings.StepSpeed(*request.speed);
  if (request.tubes) settings.StepTubes(*request.tubes);
  return settings.ForPacket();
}

// One frame as a receiver took it, with the line it came on.
struct Frame {
  FrameKind Kind;
  std::vector<std::uint8_t> Slots;
  const ChipWrite* Write;
};

// Keeps every frame and hands it on to the controller.
class RecordingSink final : public WireFrameSink {
 public:
  explicit RecordingSink(PacketReceiver& controller) : controller_(controller) {}
  void OnFrame(FrameKind kind, std::span<const std::uint8_t> slots) override {
    frames.push_back({kind, {slots.begin(), slots.end()}, write});
    controller_.OnFrame(kind, slots);
  }
  void OnStrayWrite(std::span<const std::uint8_t> bytes) override {
    strays.push_back(write);
    controller_.OnStrayWrite(bytes);
  }

  const ChipWrite* write = nullptr;  // the write being decoded
  std::vector<Frame> frames;
  std::vector<const ChipWrite*> strays;

 private:
  PacketReceiver& controller_;
};

// "250000 baud 8N2", as the chip was set for the write.
std::string LineSetting(const ChipWrite& write) {
  const SerialFormat& format = write.Format;
  std::string setting = std::to_string(write.Rate) + " baud " + std::to_string(format.WordLength) +
                        (format.Parity < 5 ? "NOEMS"[format.Parity] : '?');
  return setting + (format.StopBits == FT_STOP_BITS_2 ? "2" : "1");
}

bool AllZero(std::span<const std::uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

bool HasSignature(std::span<const std::uint8_t> slots) {
  return slots.size() >= ProgrammingSignature.size() &&
         std::equal(ProgrammingSignature.begin(), ProgrammingSignature.end(), slots.begin());
}

class Checker {
 public:
  Checker(const Request& request, const ChipLine& line, const std::vector<std::uint8_t>& image)
      : request_(request), line_(line), image_(image) {}

  int Run() {
    if (line_.Error) Fail(*line_.Error);
    Decode();
    CheckLineSettings();
    CheckPackets();
    CheckController();
    std::cout << report_.str();
    for (const std::string& failure : failures_) std::cout << "FAILED: " << failure << "\n";
    return failures_.empty() ? 0 : 1;
  }

 private:
  void Fail(const std::string& text) { failures_.push_back(text); }

  void Decode() {
    for (const ChipWrite& write : line_.Writes) {
      sink_.write = &write;
      decoder_.Write(write.Bytes, write.Format);
      ++writesAtSetting_[LineSetting(write)];
    }
    sink_.write = nullptr;
    decoder_.EndOfLine();
  }

  // Every block went out at 2 MBaud 8N1 and every frame's break at the slow rate and its slots
  // at 250,000 baud 8N2: the decoder takes a block or frame only at its rate and format, and
  // reports anything else as a stray write. The opening's block, which sets the line up, goes
  // out as it is; each exchange after it raises RTS for its block and drops it after the reply.
  // The standard frames go with RTS and DTR low.
  void CheckLineSettings() {
    int blocks = 0;
    int exchangesWithRts = 0;
    bool openingBlockPlain = false;
    int frames = 0;
    int frameLinesLow = 0;
    for (const Frame& frame : sink_.frames) {
      // A frame the unplug cut short ends with the line, after its last write.
      if (frame.Write == nullptr) continue;
      if (frame.Kind == FrameKind::UsbBlock) {
        if (blocks++ == 0) {
          openingBlockPlain = !frame.Write->Rts;
        } else if (frame.Write->Rts && frame.Write->RtsDroppedBefore) {
          ++exchangesWithRts;
        }
      } else {
        ++frames;
        if (!frame.Write->Rts && !frame.Write->Dtr) ++frameLinesLow;
      }
    }
    report_ << "writes: " << line_.Writes.size() << ":";
    const char* separator = " ";
    for (const auto& [setting, writes] : writesAtSetting_) {
      report_ << separator << writes << " at " << setting;
      separator = ", ";
    }
    report_ << "\n";
    if (blocks > 0) {
      report_ << "USB blocks: " << blocks << " at 2000000 baud 8N1: the opening's with RTS "
              << (openingBlockPlain ? "low" : "high") << ", then " << exchangesWithRts
              << " exchanges with RTS raised for the block and dropped after it\n";
      if (!openingBlockPlain) Fail("RTS high for the opening's block");
    }
    if (request_.programmer == ProgrammerKind::UsbProgrammer) {
      if (frames != 0) Fail(std::to_string(frames) + " standard frames from the USB programmer");
      if (blocks > 0 && exchangesWithRts != blocks - 1)
        Fail("RTS did not change for every exchange");
    } else {
      report_ << "standard frames: " << frames << ", each after a break byte at 21428 baud (a "
              << "zero byte to QEMU's chip, its length not measured), slots at 250000 baud 8N2; "
              << frameLinesLow << " with RTS and DTR low\n";
      if (frameLinesLow != frames) Fail("RTS or DTR high during a standard frame");
      // The opening sends the USB programmer its block before the standard one is chosen.
      if (blocks > 1) Fail(std::to_string(blocks) + " USB blocks beside the standard frames");
    }
    const bool lastCut = request_.transfers.back() == Expected::Cut;
    const std::size_t allowedStrays = lastCut ? 1 : 0;
    const bool straysAtEnd = sink_.strays.empty() || (sink_.strays.size() <= allowedStrays &&
                                                      sink_.strays.back() == &line_.Writes.back());
    if (!straysAtEnd) {
      Fail(std::to_string(sink_.strays.size()) +
           " writes at a rate or format no programmer takes, or not where one expects them");
    }
  }

  // The frames that carry packets, split into transfers at each page 0, each equal to the
  // transfer's packets: all 223, or the first ones for a transfer cut off by the unplug
  // (whose last frame may be cut short).
  void CheckPackets() {
    const std::vector<PacketSlots> expected = TransferPackets(Image(), SettingsOf(request_));
    std::vector<std::vector<const Frame*>> transfers;
    for (const Frame& frame : sink_.frames) {
      if (AllZero(frame.Slots)) continue;  // the USB programmer's idle blocks
      if (!HasSignature(frame.Slots)) {
        Fail("a frame with slots but no programming signature");
        continue;
      }
      const bool pageZero = frame.Slots.size() > 16 && frame.Slots[16] == 0;
      if (pageZero || transfers.empty()) transfers.emplace_back();
      transfers.back().push_back(&frame);
    }
    if (transfers.size() != request_.transfers.size()) {
      Fail(std::to_string(transfers.size()) + " transfers on the wire, " +
           std::to_string(request_.transfers.size()) + " expected");
    }
    for (std::size_t t = 0; t < std::min(transfers.size(), request_.transfers.size()); ++t) {
      const std::vector<const Frame*>& sent = transfers[t];
      if (const std::vector<std::uint8_t>& first = sent.front()->Slots;
          first.size() > 16 && first[16] != 0) {
        Fail("transfer " + std::to_string(t + 1) + " begins at page " + std::to_string(first[16]) +
             ", not at page 0");
        continue;
      }
      const bool cut = request_.transfers[t] == Expected::Cut;
      std::size_t whole = 0;
      for (std::size_t i = 0; i < sent.size(); ++i) {
        const std::vector<std::uint8_t>& slots = sent[i]->Slots;
        const bool lastOfCut = cut && i + 1 == sent.size() && t + 1 == transfers.size();
        const std::size_t roomFor = std::min(slots.size(), std::size_t{kPacketSlots});
        const bool matches = i < expected.size() &&
                             std::equal(slots.begin(), slots.begin() + static_cast<long>(roomFor),
                                        expected[i].begin()) &&
                             AllZero(std::span(slots).subspan(roomFor));
        const bool shortFrame = slots.size() < std::size_t{kPacketSlots};
        if (!matches || (shortFrame && !lastOfCut)) {
          Fail("transfer " + std::to_string(t + 1) + ": frame " + std::to_string(i + 1) +
               " is not packet " + std::to_string(i + 1) + " of the image");
          break;
        }
        if (!shortFrame) ++whole;
      }
      report_ << "transfer " << t + 1 << ": " << whole << " of " << kTransferPackets
              << " packets, each equal to the image's, from page 0";
      if (cut) {
        report_ << " (cut off by the unplug)\n";
        if (whole == 0 || whole >= expected.size()) Fail("the cut transfer is not cut");
      } else {
        report_ << ", the final packet with the image checksum last\n";
        if (whole != expected.size()) Fail("the transfer is not whole");
      }
    }
  }

  // What the controller made of it: checksums, pages and the settings of its headers.
  void CheckController() {
    const ReceivedTransfer& received = controller_.Received();
    const auto completes = static_cast<std::uint32_t>(
        std::count(request_.transfers.begin(), request_.transfers.end(), Expected::Complete));
    report_ << "controller: " << received.CompletedTransfers << " complete transfers; in the "
            << "last " << received.GoodPages << " good and " << received.BadPages
            << " bad page checksums, " << received.CutShort << " packets cut short\n";
    if (received.CompletedTransfers != completes) {
      Fail("the controller completed " + std::to_string(received.CompletedTransfers) +
           " transfers, not " + std::to_string(completes));
    }
    if (received.ForeignFrames != 0) Fail("foreign frames reached the controller");
    if (request_.transfers.back() == Expected::Complete) {
      const PacketSettings settings = SettingsOf(request_);
      const bool settingsKept =
          received.LastSettings && received.LastSettings->SoloProgram == settings.SoloProgram &&
          received.LastSettings->SoloSpeed == settings.SoloSpeed &&
          received.LastSettings->TubeCount == settings.TubeCount &&
          received.LastSettings->TargetAddress == (settings.AddressHigh << 8 | settings.AddressLow);
      if (received.Outcome != TransferOutcome::Complete || received.BadPages != 0 ||
          received.BadHeaders != 0) {
        Fail("the controller did not receive the last transfer whole with good checksums");
      }
      if (!std::equal(received.Image.begin(), received.Image.end(), image_.begin())) {
        Fail("the controller's image differs from the image");
      }
      if (!settingsKept) Fail("the headers do not carry the settings");
    } else if (received.Outcome == TransferOutcome::Complete && completes == 0) {
      Fail("the controller took a cut transfer for a complete one");
    }
  }

  ControllerImageArray Image() const {
    ControllerImageArray image{};
    std::copy(image_.begin(), image_.end(), image.begin());
    return image;
  }

  const Request& request_;
  const ChipLine& line_;
  const std::vector<std::uint8_t>& image_;
  PacketReceiver controller_;
  RecordingSink sink_{controller_};
  DmxWireDecoder decoder_{sink_};
  std::map<std::string, int> writesAtSetting_;
  std::ostringstream report_;
  std::vector<std::string> failures_;
};

}  // namespace
}  // namespace lumora::testing

int main(int argc, char** argv) {
  using namespace lumora::testing;
  const std::optional<Request> request = ReadRequest(argc, argv);
  if (!request) {
    std::cerr << "usage: guest_wire_check WIRE TRACE IMAGE --programmer usb|standard "
                 "--transfers complete,cut,... [--address N] [--solo-program N | --solo-auto N] "
                 "[--speed N] [--tubes N]\n";
    return 2;
  }
  const auto wire = ReadBytes(request->wire);
  const auto trace = ReadBytes(request->trace);
  const auto image = ReadBytes(request->image);
  if (!wire || !trace || !image || image->size() != lumora::kTransferBytes) {
    std::cerr << "guest_wire_check: cannot read the wire, the trace or a whole image\n";
    return 2;
  }
  const ChipLine line = ReadChipLine(
      std::string_view(reinterpret_cast<const char*>(trace->data()), trace->size()), *wire);
  return Checker(*request, line, *image).Run();
}
