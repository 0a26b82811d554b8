#include "programming/adapters/ftdi_adapter.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "programming/programming_link.h"
#include "programming/wire_format.h"
#include "recording_ftdi_port.h"

namespace lumora {
namespace {

// No chip has this product id, so the test never reaches a real device.
constexpr std::array<UsbId, 1> kNoSuchChip = {{{0x0403, 0x0000}}};

TEST(FtdiAdapter, WithoutADeviceOpenFailsAndEveryOtherCallRefusesTheHandle) {
  FtdiAdapter adapter(kNoSuchChip);
  FT_HANDLE handle = 0;
  EXPECT_EQ(adapter.FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(adapter.FT_Open(0, nullptr), FT_INVALID_HANDLE);

  std::array<std::uint8_t, 4> bytes{};
  for (FT_HANDLE bad : {FT_HANDLE{0}, FT_HANDLE{1}}) {
    std::uint32_t count = 7;
    EXPECT_EQ(adapter.FT_Write(bad, bytes.data(), 4, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    count = 7;
    EXPECT_EQ(adapter.FT_Read(bad, bytes.data(), 4, &count), FT_INVALID_HANDLE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(adapter.FT_SetDivisor(bad, 12), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetDataCharacteristics(bad, 8, 2, 0), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetTimeouts(bad, 100, 100), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_SetRts(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_ClrRts(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_ClrDtr(bad), FT_INVALID_HANDLE);
    EXPECT_EQ(adapter.FT_Close(bad), FT_INVALID_HANDLE);
  }
}

}  // namespace
}  // namespace lumora

namespace lumora::testing {
namespace {

using namespace std::chrono_literals;

constexpr UsbId kChip = {0x0403, 0x6001};
constexpr UsbId kOtherChip = {0x0403, 0x6010};

PortCall Named(std::string name, std::vector<int> args = {}) {
  return {std::move(name), std::move(args), {}};
}

// The adapter on a recording port, opened.
class FtdiSession {
 public:
  FtdiSession() {
    auto owned = std::make_unique<RecordingFtdiPort>();
    port = owned.get();
    adapter = std::make_unique<FtdiAdapter>(std::move(owned), kIds);
  }
  FT_STATUS Open() { return adapter->FT_Open(0, &handle); }

  static constexpr std::array<UsbId, 2> kIds = {kChip, kOtherChip};
  RecordingFtdiPort* port = nullptr;
  std::unique_ptr<FtdiAdapter> adapter;
  FT_HANDLE handle = 0;
};

// Time on the wire of the bytes of a write, at the rate and format in force.
std::chrono::nanoseconds WireTime(int divisor, int stopBitsCode, std::size_t bytes) {
  const auto bit = std::chrono::nanoseconds(divisor == 1 ? 500 : divisor * 1000 / 3);
  const int bitsPerByte = 1 + 8 + (stopBitsCode == 2 ? 2 : 1);
  return bit * bitsPerByte * static_cast<long long>(bytes);
}

// What the programming link's calls become on the chip, from an open link on.
struct WireCase {
  const char* Name;
  std::function<void(ProgrammingLink&)> Act;
  std::vector<PortCall> Expected;
};

void PrintTo(const WireCase& wire, std::ostream* out) {
  *out << wire.Name;
}

std::vector<std::uint8_t> UsbBlock() {
  std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  block[1] = 0x01;
  return block;
}

// The slots of the standard frames: slot n holds n's low byte.
std::vector<std::uint8_t> StartCodeAndSlots() {
  std::vector<std::uint8_t> bytes = {0};
  for (int slot = 1; slot <= kStandardFrameSlots; ++slot) bytes.push_back(slot & 0xFF);
  return bytes;
}

std::vector<std::uint8_t> Slots() {
  std::vector<std::uint8_t> slots;
  for (int slot = 1; slot <= kStandardFrameSlots; ++slot) slots.push_back(slot & 0xFF);
  return slots;
}

std::vector<PortCall> StandardFrame(bool afterAnother) {
  std::vector<PortCall> calls;
  if (afterAnother) calls.push_back(Named("PollModemStatus"));
  const std::vector<PortCall> frame = {
      Named("SetBaudDivisor", {140}),
      {"WriteData", {}, {0}},  // the break byte, handed over at the next rate change
      Named("PollModemStatus"),
      Named("SetBaudDivisor", {12}),
      Named("SetRts", {0}),
      Named("SetDtr", {0}),
      {"WriteData", {}, StartCodeAndSlots()},  // 388 bytes as one transfer
  };
  calls.insert(calls.end(), frame.begin(), frame.end());
  return calls;
}

std::vector<PortCall> Joined(std::initializer_list<std::vector<PortCall>> parts) {
  std::vector<PortCall> calls;
  for (const auto& part : parts) calls.insert(calls.end(), part.begin(), part.end());
  return calls;
}

const std::vector<PortCall> kStandardLine = {Named("SetBaudDivisor", {12}),
                                             Named("SetLineProperty", {8, 2, 0}),
                                             Named("SetUsbTimeouts", {100, 100})};
const std::vector<PortCall> kUsbLine = {Named("SetBaudDivisor", {1}),
                                        Named("SetLineProperty", {8, 0, 0}),
                                        Named("SetUsbTimeouts", {100, 100})};

const WireCase kWireCases[] = {
    {"TwoStandardFrames",
     [](ProgrammingLink& link) {
       link.ConfigureStandardProgrammer();
       EXPECT_EQ(link.SendPacket(Slots()), FT_OK);
       EXPECT_EQ(link.SendPacket(Slots()), FT_OK);
     },
     Joined({kStandardLine, StandardFrame(false), StandardFrame(true)})},
    {"UsbBlockAndReply",
     [](ProgrammingLink& link) {
       link.ConfigureUsbProgrammer(true);
       EXPECT_EQ(link.SendIdleBlock(), FT_OK);
     },
     Joined({kUsbLine,
             {{"WriteData", {}, UsbBlock()}, Named("ReadData", {kReplyBlockSize})},
             {Named("SetRts", {1}),
              {"WriteData", {}, UsbBlock()},
              Named("ReadData", {kReplyBlockSize}),
              Named("SetRts", {0})}})},
    // The block must have left the chip before the rate falls to the standard one.
    {"UsbThenStandard",
     [](ProgrammingLink& link) {
       link.ConfigureUsbProgrammer(false);
       link.ConfigureStandardProgrammer();
     },
     Joined({kUsbLine, {{"WriteData", {}, UsbBlock()}, Named("PollModemStatus")}, kStandardLine})},
};

class FtdiWire : public ::testing::TestWithParam<WireCase> {};

TEST_P(FtdiWire, CallsOnTheChipAndADrainBeforeEveryRateOrFormatChange) {
  FtdiSession session;
  // Every reply block arrives whole at the first read.
  for (int i = 0; i < 2; ++i) session.port->Replies.emplace_back(kReplyBlockSize, 0);
  ProgrammingLink link(*session.adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  EXPECT_EQ(session.port->Calls,
            (std::vector<PortCall>{Named("CountChips", {kChip.Vendor, kChip.Product}),
                                   Named("OpenChip", {kChip.Vendor, kChip.Product, 0}),
                                   Named("FlushBuffers"), Named("SetLatencyTimer", {2}),
                                   Named("SetUsbTimeouts", {5000, 5000}), Named("SetRts", {0}),
                                   Named("SetDtr", {0})}));
  session.port->Clear();

  GetParam().Act(link);
  const auto& calls = session.port->Calls;
  EXPECT_EQ(calls, GetParam().Expected);

  // A rate or format change never comes before the bytes written ahead of it can have left
  // the chip at the rate and format they were sent with.
  int divisor = 0;
  int stopBits = 0;
  // The write waiting for its drain, or none (GCC's sanitizer builds take an optional here for
  // uninitialised).
  constexpr std::size_t kNoWrite = SIZE_MAX;
  std::size_t lastWrite = kNoWrite;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const bool rate = calls[i].Name == "SetBaudDivisor";
    const bool format = calls[i].Name == "SetLineProperty";
    if ((rate || format) && lastWrite != kNoWrite) {
      const auto wire = WireTime(divisor, stopBits, calls[lastWrite].Bytes.size());
      EXPECT_GE(session.port->Times[i] - session.port->Times[lastWrite], wire) << "call " << i;
      lastWrite = kNoWrite;
    }
    if (rate) divisor = calls[i].Args[0];
    if (format) stopBits = calls[i].Args[1];
    if (calls[i].Name == "WriteData") lastWrite = i;
  }
}

INSTANTIATE_TEST_SUITE_P(Link, FtdiWire, ::testing::ValuesIn(kWireCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A failing libftdi call, and the status the adapter call that made it gives.
struct ErrorCase {
  const char* Name;
  const char* FailingCall;
  int Code;
  std::function<FT_STATUS(FtdiSession&)> Act;
  FT_STATUS Expected;
};

void PrintTo(const ErrorCase& error, std::ostream* out) {
  *out << error.Name;
}

FT_STATUS WriteBlock(FtdiSession& session) {
  const std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  std::uint32_t written = 0;
  return session.adapter->FT_Write(session.handle, block.data(), kUsbBlockSize, &written);
}

FT_STATUS ReadReply(FtdiSession& session) {
  std::array<std::uint8_t, kReplyBlockSize> reply{};
  std::uint32_t read = 0;
  return session.adapter->FT_Read(session.handle, reply.data(), kReplyBlockSize, &read);
}

// A break byte gathered, then the rate change that sends it and waits for it.
FT_STATUS BreakThenRate(FtdiSession& session) {
  const std::uint8_t zero = 0;
  std::uint32_t written = 0;
  EXPECT_EQ(session.adapter->FT_Write(session.handle, &zero, 1, &written), FT_OK);
  return session.adapter->FT_SetDivisor(session.handle, kDmxDivisor);
}

FT_STATUS OpenAgain(FtdiSession& session) {
  EXPECT_EQ(session.adapter->FT_Close(session.handle), FT_OK);
  return session.Open();
}

constexpr int kLibusbIo = -1;    // LIBUSB_ERROR_IO
constexpr int kLibusbPipe = -9;  // LIBUSB_ERROR_PIPE
constexpr int kOpenFailed = -5;  // ftdi_usb_open_desc_index: unable to claim the device

const ErrorCase kErrorCases[] = {
    {"WriteFailed", "WriteData", -1, WriteBlock, FT_IO_ERROR},
    {"WriteWithoutDevice", "WriteData", kFtdiDeviceUnavailable, WriteBlock, FT_DEVICE_NOT_FOUND},
    {"GatheredWriteFailsAtTheRateChange", "WriteData", -1, BreakThenRate, FT_IO_ERROR},
    // The chip took only part of the transfer within the USB write time-out.
    {"WriteTakenInPart", "WriteData", 100, WriteBlock, kLineStalled},
    {"GatheredWriteNotTakenAtTheRateChange", "WriteData", 0, BreakThenRate, kLineStalled},
    {"ReadFailed", "ReadData", kLibusbIo, ReadReply, FT_IO_ERROR},
    {"ReadDeviceGone", "ReadData", kUsbNoDevice, ReadReply, FT_DEVICE_NOT_FOUND},
    {"RateRequestStalled", "SetBaudDivisor", kLibusbPipe, BreakThenRate, FT_IO_ERROR},
    {"RateRequestDeviceGone", "SetBaudDivisor", kUsbNoDevice, BreakThenRate, FT_DEVICE_NOT_FOUND},
    {"LineFormatFailed", "SetLineProperty", -1,
     [](FtdiSession& s) { return s.adapter->FT_SetDataCharacteristics(s.handle, 8, 2, 0); },
     FT_IO_ERROR},
    {"RtsFailed", "SetRts", -1, [](FtdiSession& s) { return s.adapter->FT_SetRts(s.handle); },
     FT_IO_ERROR},
    {"DtrFailed", "SetDtr", -1, [](FtdiSession& s) { return s.adapter->FT_ClrDtr(s.handle); },
     FT_IO_ERROR},
    // Not knowing whether the chip is empty, the change waits out the bytes' time and goes on.
    {"PollFailed", "PollModemStatus", -1, BreakThenRate, FT_OK},
    {"NoChipFound", "CountChips", 0, OpenAgain, FT_DEVICE_NOT_FOUND},
    {"SearchFailed", "CountChips", -5, OpenAgain, FT_DEVICE_NOT_FOUND},
    {"OpenFailed", "OpenChip", kOpenFailed, OpenAgain, FT_DEVICE_NOT_OPENED},
    {"OpenDenied", "OpenChip", kChipAccessDenied, OpenAgain, kAdapterAccessDenied},
    {"FlushFailed", "FlushBuffers", -1, OpenAgain, FT_DEVICE_NOT_OPENED},
    {"LatencyFailed", "SetLatencyTimer", -1, OpenAgain, FT_DEVICE_NOT_OPENED},
};

class FtdiErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FtdiErrors, EachLibftdiFailureGivesItsStatus) {
  FtdiSession session;
  ASSERT_EQ(session.Open(), FT_OK);
  session.port->Failures[GetParam().FailingCall] = GetParam().Code;
  session.port->Clear();
  EXPECT_EQ(GetParam().Act(session), GetParam().Expected);
  // A chip that failed to open is closed again and its handle refused.
  if (GetParam().Expected == FT_DEVICE_NOT_OPENED || GetParam().Expected == kAdapterAccessDenied) {
    EXPECT_EQ(session.port->Calls.back(), Named("CloseChip"));
    EXPECT_EQ(session.adapter->FT_SetRts(session.handle), FT_INVALID_HANDLE);
  }
}

INSTANTIATE_TEST_SUITE_P(Libftdi, FtdiErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FtdiAdapterOpen, TheIndexCountsTheChipsOfEveryIdInTurn) {
  FtdiSession session;
  session.port->Chips = 2;
  FT_HANDLE handle = 0;
  ASSERT_EQ(session.adapter->FT_Open(3, &handle), FT_OK);
  EXPECT_EQ(session.port->Calls[2], Named("OpenChip", {kOtherChip.Vendor, kOtherChip.Product, 1}));
  EXPECT_EQ(session.adapter->FT_Close(handle), FT_OK);
  EXPECT_EQ(session.adapter->FT_Open(4, &handle), FT_DEVICE_NOT_FOUND);
}

// Reads gather until the bytes asked for or the time-out; a time-out of 0 takes what one
// read finds instead of waiting for ever.
struct ReadCase {
  const char* Name;
  std::uint32_t TimeoutMs;
  std::vector<std::size_t> Arriving;  // bytes each read finds
  std::uint32_t Got;
  int Reads;
};

void PrintTo(const ReadCase& read, std::ostream* out) {
  *out << read.Name;
}

const ReadCase kReadCases[] = {
    {"NoTimeOutNothingThere", 0, {}, 0, 1},
    {"NoTimeOutPartThere", 0, {100, 172}, 100, 1},
    {"GathersPieces", 100, {100, 0, 172}, 272, 3},
    // The chip answers every 2 ms latency period.
    {"TimeOutWithNothing", 100, {}, 0, 50},
};

class FtdiRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(FtdiRead, EndsAtTheBytesOrTheTimeOut) {
  FtdiSession session;
  ASSERT_EQ(session.Open(), FT_OK);
  ASSERT_EQ(session.adapter->FT_SetTimeouts(session.handle, GetParam().TimeoutMs, 100), FT_OK);
  for (std::size_t count : GetParam().Arriving) {
    session.port->Replies.emplace_back(count, 0x55);
  }
  session.port->Clear();
  std::array<std::uint8_t, kReplyBlockSize> reply{};
  std::uint32_t got = 0;
  EXPECT_EQ(session.adapter->FT_Read(session.handle, reply.data(), kReplyBlockSize, &got), FT_OK);
  EXPECT_EQ(got, GetParam().Got);
  EXPECT_EQ(static_cast<int>(session.port->Calls.size()), GetParam().Reads);
}

INSTANTIATE_TEST_SUITE_P(TimeOuts, FtdiRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace lumora::testing
