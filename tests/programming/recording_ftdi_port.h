#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "programming/adapters/ftdi_port.h"

namespace lumora::testing {

// One libftdi call: its name, its numbers and, for a write, the bytes of the transfer.
struct PortCall {
  std::string Name;
  std::vector<int> Args = {};
  std::vector<std::uint8_t> Bytes = {};

  bool operator==(const PortCall&) const = default;
};

// A chip behind the FTDI port: records every call with the time it came, on a clock that
// moves only by the calls (a USB round trip each, a latency period for a read) and the
// sleeps. Answers from what the test sets.
class RecordingFtdiPort final : public FtdiPort {
 public:
  static constexpr auto kRoundTrip = std::chrono::microseconds(125);
  static constexpr auto kLatency = std::chrono::milliseconds(2);
  // A read loop still going after this many reads never ends: the port fails it.
  static constexpr int kRunawayReads = 10'000;

  // Chips of each id.
  int Chips = 1;
  // The result of the named call, in place of success.
  std::map<std::string, int> Failures;
  // What the reads return, one entry a read; none left: nothing has arrived.
  std::deque<std::vector<std::uint8_t>> Replies;
  // What the polls return, in turn; none left: the transmitter is empty.
  std::deque<std::uint16_t> ModemStatuses;

  std::vector<PortCall> Calls;
  std::vector<Clock::time_point> Times;

  void Clear() {
    Calls.clear();
    Times.clear();
  }

  int CountChips(UsbId id) override {
    return Answer({"CountChips", {id.Vendor, id.Product}}, Chips);
  }
  int OpenChip(UsbId id, int index) override {
    return Answer({"OpenChip", {id.Vendor, id.Product, index}});
  }
  void CloseChip() override { Answer({"CloseChip"}); }
  int FlushBuffers() override { return Answer({"FlushBuffers"}); }
  int SetLatencyTimer(std::uint8_t milliseconds) override {
    return Answer({"SetLatencyTimer", {milliseconds}});
  }
  void SetUsbTimeouts(int readMs, int writeMs) override {
    Answer({"SetUsbTimeouts", {readMs, writeMs}});
  }
  int ReadData(std::span<std::uint8_t> buffer) override {
    std::vector<std::uint8_t> reply;
    if (!Replies.empty()) {
      reply = Replies.front();
      Replies.pop_front();
    }
    const int result = Answer({"ReadData", {static_cast<int>(buffer.size())}},
                              static_cast<int>(reply.size()), kLatency);
    if (++reads_ >= kRunawayReads) return -1;
    if (result > 0) std::copy(reply.begin(), reply.end(), buffer.begin());
    return result;
  }
  int WriteData(std::span<const std::uint8_t> bytes) override {
    return Answer({"WriteData", {}, {bytes.begin(), bytes.end()}}, static_cast<int>(bytes.size()));
  }
  int SetLineProperty(std::uint8_t wordLength, std::uint8_t stopBits,
                      std::uint8_t parity) override {
    return Answer({"SetLineProperty", {wordLength, stopBits, parity}});
  }
  int SetDtr(int state) override { return Answer({"SetDtr", {state}}); }
  int SetRts(int state) override { return Answer({"SetRts", {state}}); }
  int PollModemStatus(std::uint16_t& status) override {
    status = kTransmitterEmpty;
    if (!ModemStatuses.empty()) {
      status = ModemStatuses.front();
      ModemStatuses.pop_front();
    }
    return Answer({"PollModemStatus"});
  }
  int SetBaudDivisor(std::uint16_t divisor) override {
    return Answer({"SetBaudDivisor", {divisor}});
  }
  Clock::time_point Now() override { return now_; }
  void SleepUntil(Clock::time_point time) override { now_ = std::max(now_, time); }

 private:
  int Answer(PortCall call, int success = 0, Clock::duration takes = kRoundTrip) {
    const auto failure = Failures.find(call.Name);
    if (call.Name != "ReadData") reads_ = 0;
    Calls.push_back(std::move(call));
    Times.push_back(now_);
    now_ += takes;
    return failure == Failures.end() ? success : failure->second;
  }

  Clock::time_point now_{};
  int reads_ = 0;
};

}  // namespace lumora::testing
