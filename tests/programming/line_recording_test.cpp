#include "programming/virtual/line_recording.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "programming/adapters/usb_adapter.h"
#include "support/temp_folder.h"

namespace lumora {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

// A level the line takes at a step of 100 ns.
struct Edge {
  std::uint64_t Step = 0;
  bool Level = true;
  bool operator==(const Edge&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Edge& edge) {
  return out << '#' << edge.Step << ':' << edge.Level;
}

// What a viewer reads from a dump: the level given in $dumpvars and at its time stamp
// first, then every change; time stamps without a change add the step with the last level.
// Fails the test on anything else.
struct Dump {
  std::vector<Edge> Edges;
  std::uint64_t LastStep = 0;
};

Dump Read(const std::string& text) {
  const std::size_t body = text.find("$enddefinitions $end\n");
  EXPECT_NE(text.find("$timescale 100 ns $end\n"), std::string::npos);
  EXPECT_NE(text.find("$var wire 1 ! tx $end\n"), std::string::npos);
  Dump dump;
  if (body == std::string::npos) {
    ADD_FAILURE() << "no header end";
    return dump;
  }
  std::istringstream in(text.substr(body + 21));
  bool stamped = false;
  for (std::string token; in >> token;) {
    if (token == "$dumpvars" || token == "$end") continue;
    if (token[0] == '#') {
      const std::uint64_t step = std::stoull(token.substr(1));
      EXPECT_TRUE(!stamped || step > dump.LastStep) << token;
      dump.LastStep = step;
      stamped = true;
    } else if (token == "0!" || token == "1!") {
      EXPECT_TRUE(stamped);
      dump.Edges.push_back({dump.LastStep, token == "1!"});
    } else {
      ADD_FAILURE() << "unexpected " << token;
    }
  }
  return dump;
}

SerialFormat Format(std::uint16_t divisor, std::uint8_t stopBits, std::uint8_t wordLength = 8,
                    std::uint8_t parity = FT_PARITY_NONE) {
  return {divisor, wordLength, stopBits, parity};
}

struct Calls {
  const char* Name;
  // Each call's bytes, in the format of the call.
  std::vector<std::pair<std::vector<std::uint8_t>, SerialFormat>> Sequence;
  std::vector<Edge> Expected;  // after the idle level at 0
  std::uint64_t End;
};

void PrintTo(const Calls& calls, std::ostream* out) {
  *out << calls.Name;
}

class LineDrawing : public ::testing::TestWithParam<Calls> {};

// Every call starts 50 us (500 steps) after the previous one ended.
TEST_P(LineDrawing, GivesExactEdges) {
  TempFolder folder;
  {
    LineRecording line(folder.Path() / "line.vcd");
    for (const auto& [bytes, format] : GetParam().Sequence) line.Call(bytes, format);
    line.Flush();
    EXPECT_TRUE(line.Ok());
  }
  const Dump dump = Read(ReadBytes(folder.File("line.vcd")));
  std::vector<Edge> expected{{0, true}};
  expected.insert(expected.end(), GetParam().Expected.begin(), GetParam().Expected.end());
  EXPECT_EQ(dump.Edges, expected);
  EXPECT_EQ(dump.LastStep, GetParam().End);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, LineDrawing,
    ::testing::Values(
        // 250,000 baud 8N2: 4 us bits; 0xA5 = 1,0,1,0,0,1,0,1 from bit 0; two stop bits.
        Calls{"SlotAt250kBaud8N2",
              {{{0xA5}, Format(kDmxDivisor, FT_STOP_BITS_2)}},
              {{500, false},
               {540, true},
               {580, false},
               {620, true},
               {660, false},
               {740, true},
               {780, false},
               {820, true}},
              940},
        // The break: a zero byte at divisor 140 holds the line low 9 x 46.67 us = 420 us,
        // then two stop bits of mark.
        Calls{"BreakByteAtDivisor140",
              {{{0x00}, Format(kBreakDivisor, FT_STOP_BITS_2)}},
              {{500, false}, {4700, true}},
              5633},
        // A call without bytes adds its gap; the next byte starts 50 us after the stop bits.
        Calls{"GapsBetweenCalls",
              {{{0x00}, Format(kDmxDivisor, FT_STOP_BITS_2)},
               {{}, Format(kDmxDivisor, FT_STOP_BITS_2)},
               {{0x00, 0xFF}, Format(kDmxDivisor, FT_STOP_BITS_2)}},
              {{500, false}, {860, true}, {1940, false}, {2300, true}, {2380, false}, {2420, true}},
              2820},
        // The USB programmer's rate, 2 MBaud 8N1: 0.5 us bits.
        Calls{"UsbRate8N1",
              {{{0x01, 0x80}, Format(kUsbDivisor, FT_STOP_BITS_1)}},
              {{500, false}, {505, true}, {510, false}, {545, true}, {550, false}, {590, true}},
              600},
        // 7 data bits, even parity (0x03 has two ones: parity 0), one and a half stop bits.
        Calls{"SevenEvenOneAndAHalf",
              {{{0x83}, Format(kDmxDivisor, 1, 7, 2)}},
              {{500, false}, {540, true}, {620, false}, {860, true}},
              920}),
    [](const auto& info) { return std::string(info.param.Name); });

// The level of the line at a step.
bool LevelAt(const std::vector<Edge>& edges, std::uint64_t step) {
  bool level = true;
  for (const Edge& edge : edges) {
    if (edge.Step > step) break;
    level = edge.Level;
  }
  return level;
}

// The edges after the first (the $dumpvars level) of a part.
std::vector<Edge> Changes(const Dump& part) {
  return {part.Edges.begin() + 1, part.Edges.end()};
}

// The edges of the whole line in (after, until].
std::vector<Edge> Between(const std::vector<Edge>& edges, std::uint64_t after,
                          std::uint64_t until) {
  std::vector<Edge> between;
  for (const Edge& edge : edges) {
    if (edge.Step > after && edge.Step <= until) between.push_back(edge);
  }
  return between;
}

TEST(LineRecording, RotatesAtItsCapAndEachFileOpensAlone) {
  constexpr std::uint64_t kCap = 8 * 1024;
  TempFolder whole;
  TempFolder capped;
  testing::WriteBytes(whole.File("line.vcd.1"), "an earlier run\n");
  for (const auto& [folder, cap] :
       {std::pair(&whole, LineRecording::kDefaultCap), {&capped, kCap}}) {
    LineRecording line(folder->Path() / "line.vcd", cap);
    for (int frame = 0; frame < 6; ++frame) {
      line.Call(std::vector<std::uint8_t>{0}, Format(kBreakDivisor, FT_STOP_BITS_2));
      line.Call({}, Format(kDmxDivisor, FT_STOP_BITS_2));
      for (int slot = 0; slot < 120; slot += 3) {
        const auto value = static_cast<std::uint8_t>(slot * 37 + frame);
        line.Call(std::vector<std::uint8_t>{value, 0x55, 0xF0},
                  Format(kDmxDivisor, FT_STOP_BITS_2));
      }
    }
    line.Flush();
    EXPECT_TRUE(line.Ok());
  }
  EXPECT_FALSE(std::filesystem::exists(whole.File("line.vcd.1")));
  const std::string wholeText = ReadBytes(whole.File("line.vcd"));
  ASSERT_GT(wholeText.size(), 3 * kCap);
  const Dump all = Read(wholeText);
  const std::string olderText = ReadBytes(capped.File("line.vcd.1"));
  const std::string newerText = ReadBytes(capped.File("line.vcd"));
  for (const std::string& text : {olderText, newerText}) {
    EXPECT_LE(text.size(), kCap);
    EXPECT_GT(text.size(), kCap / 2);
  }
  const Dump older = Read(olderText);
  const Dump newer = Read(newerText);
  ASSERT_GE(older.Edges.size(), 2u);
  ASSERT_GE(newer.Edges.size(), 2u);
  // Each file starts with the level the line has at its first time stamp, and the two are
  // the last part of the whole line, edge for edge.
  for (const Dump* part : {&older, &newer}) {
    EXPECT_GT(part->Edges[0].Step, 0u);
    EXPECT_EQ(part->Edges[0].Level, LevelAt(all.Edges, part->Edges[0].Step));
  }
  EXPECT_EQ(Changes(older), Between(all.Edges, older.Edges[0].Step, newer.Edges[0].Step));
  EXPECT_EQ(Changes(newer), Between(all.Edges, newer.Edges[0].Step, all.LastStep));
  EXPECT_EQ(newer.LastStep, all.LastStep);
}

}  // namespace
}  // namespace lumora
