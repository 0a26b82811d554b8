// The virtual adapter's line.vcd of a whole standard burst, read back by sigrok-cli's UART
// decoder as a logic analyser would read the real line.

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "programming/programming_transfer.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/temp_folder.h"
#include "support/transfer_packets.h"
#include "window_fixture.h"

namespace lumora {
namespace {

// sigrok-cli samples the dump at its time step, 100 ns.
constexpr std::uint64_t kSamplesPerUs = 10;
// One bit at 250,000 baud.
constexpr std::uint64_t kBitSamples = 4 * kSamplesPerUs;

// An annotation of the UART decoder: its first and last sample and its text.
struct Annotation {
  std::uint64_t Start = 0;
  std::uint64_t End = 0;
  std::string Text;
};

struct CommandResult {
  int Status = -1;
  std::string Output;
};

CommandResult Capture(const std::string& command) {
  CommandResult run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
    run.Output.append(chunk.data(), got);
  }
  run.Status = ::pclose(pipe);
  return run;
}

// Lines such as "540-860 uart-1: 41" and "500-4700 uart-1: Break condition"; others are
// passed over.
std::vector<Annotation> Annotations(const std::string& output) {
  std::vector<Annotation> annotations;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    unsigned long long start = 0;
    unsigned long long end = 0;
    int text = 0;
    if (std::sscanf(line.c_str(), "%llu-%llu uart-1: %n", &start, &end, &text) != 2 || text == 0) {
      continue;
    }
    annotations.push_back({start, end, line.substr(static_cast<std::size_t>(text))});
  }
  std::stable_sort(annotations.begin(), annotations.end(),
                   [](const Annotation& a, const Annotation& b) { return a.Start < b.Start; });
  return annotations;
}

// The frames of the burst: each packet, then zero slots up to the frame's 387.
std::vector<std::vector<std::uint8_t>> Frames(const ControllerImageArray& image) {
  std::vector<std::vector<std::uint8_t>> frames;
  for (const testing::PacketSlots& packet :
       testing::TransferPackets(image, ProgrammingSettings{}.ForPacket())) {
    std::vector<std::uint8_t> slots(kStandardFrameSlots, 0);
    std::copy(packet.begin(), packet.end(), slots.begin());
    frames.push_back(slots);
  }
  return frames;
}

TEST(LineDump, StandardBurstDecodesAsDmxFramesInSigrok) {
  ASSERT_EQ(std::system("command -v sigrok-cli > /dev/null"), 0)
      << "sigrok-cli is missing: scripts/install-deps.sh installs it";
  testing::TempFolder folder;
  {
    testing::WindowHarness<VirtualAdapter> window(folder.Path());
    for (std::size_t i = 0; i < window.image.size(); ++i) {
      window.image[i] = static_cast<std::int32_t>(i * 7 + i / 251);
    }
    window.Activate();
    window.OnUi([&] { window.model.ChooseStandardProgrammer(); });
    window.Press();
    window.Ticks(1);
    EXPECT_EQ(window.adapter.Received().Outcome, TransferOutcome::Complete);
    window.Close();
    EXPECT_TRUE(window.adapter.FilesOk());
    const auto expected = Frames(window.image);

    const CommandResult run =
        Capture("sigrok-cli -i " + folder.File("line.vcd") +
                " -I vcd -P uart:rx=tx:baudrate=250000:data_bits=8:parity=none:stop_bits=2.0"
                " -A uart=rx-data:rx-break --protocol-decoder-samplenum");
    ASSERT_TRUE(WIFEXITED(run.Status) && WEXITSTATUS(run.Status) == 0) << run.Output;
    const std::vector<Annotation> annotations = Annotations(run.Output);

    // Before the first break: the USB programmer's blocks at 2 MBaud, no frames.
    std::vector<Annotation> breaks;
    for (const Annotation& annotation : annotations) {
      if (annotation.Text == "Break condition") breaks.push_back(annotation);
    }
    ASSERT_EQ(breaks.size(), expected.size()) << run.Output.substr(0, 2000);
    for (std::size_t frame = 0; frame < breaks.size(); ++frame) {
      const Annotation& brk = breaks[frame];
      const std::uint64_t next = frame + 1 < breaks.size() ? breaks[frame + 1].Start : UINT64_MAX;
      // The slots between the end of this break and the start of the next; the data sample
      // range starts after its start bit.
      std::vector<Annotation> slots;
      for (const Annotation& annotation : annotations) {
        if (annotation.Text != "Break condition" && annotation.Start > brk.End &&
            annotation.Start < next) {
          slots.push_back(annotation);
        }
      }
      SCOPED_TRACE("frame " + std::to_string(frame));
      // Stops at the first frame that is wrong.
      ASSERT_GE(brk.End - brk.Start, 92 * kSamplesPerUs);
      ASSERT_EQ(slots.size(), 1u + kStandardFrameSlots);
      ASSERT_GE(slots[0].Start - kBitSamples - brk.End, 12 * kSamplesPerUs);
      ASSERT_EQ(slots[0].Text, "00");  // start code
      std::vector<std::uint8_t> received;
      for (std::size_t k = 1; k < slots.size(); ++k) {
        received.push_back(static_cast<std::uint8_t>(std::stoul(slots[k].Text, nullptr, 16)));
      }
      ASSERT_EQ(received, expected[frame]);
      if (frame == 0) {
        std::cout << "break " << (brk.End - brk.Start) / kSamplesPerUs << " us, mark after "
                  << (slots[0].Start - kBitSamples - brk.End) / kSamplesPerUs << " us, dump "
                  << std::filesystem::file_size(folder.File("line.vcd")) << " bytes\n";
      }
    }
  }
}

}  // namespace
}  // namespace lumora
