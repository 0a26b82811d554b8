#include "programming/adapters/d2xx_adapter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "programming/programming_link.h"
#include "programming/wire_format.h"

namespace lumora::testing {
namespace {

using namespace std::chrono_literals;

// One call the library got: its name, " !handle" after it when the handle was not the open
// device's, its numbers and, for a write, the bytes.
struct LibraryCall {
  std::string Name;
  std::vector<unsigned long> Args = {};
  std::vector<std::uint8_t> Bytes = {};

  bool operator==(const LibraryCall&) const = default;
};

void PrintTo(const LibraryCall& call, std::ostream* out) {
  *out << call.Name;
  for (unsigned long arg : call.Args) *out << ' ' << arg;
  if (!call.Bytes.empty()) *out << " [" << call.Bytes.size() << " bytes]";
}

LibraryCall Named(std::string name, std::vector<unsigned long> args = {}) {
  return {std::move(name), std::move(args)};
}

LibraryCall Write(std::vector<std::uint8_t> bytes) {
  return {"FT_Write", {static_cast<unsigned long>(bytes.size())}, std::move(bytes)};
}

// The calls with the times they came.
struct Log {
  std::vector<LibraryCall> Calls;
  std::vector<std::chrono::nanoseconds> Times;
};

// The recording ftd2xx.dll beside the test, loaded by the test too: the backend's loading
// finds the same module, whose log and script outlive any adapter.
class RecordingLibrary {
 public:
  RecordingLibrary() : module_(LoadLibraryW(L"ftd2xx.dll")) {
    if (module_ == nullptr) return;
    reset_ = Function<void (*)()>("RecordingReset");
    fail_ = Function<void (*)(const char*, int, ULONG)>("RecordingFail");
    shortWrite_ = Function<void (*)(int, DWORD)>("RecordingShortWrite");
    log_ = Function<const char* (*)()>("RecordingLog");
  }
  ~RecordingLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  RecordingLibrary(const RecordingLibrary&) = delete;
  RecordingLibrary& operator=(const RecordingLibrary&) = delete;

  bool Usable() const { return reset_ && fail_ && shortWrite_ && log_; }
  void Reset() { reset_(); }
  // The nth call of the function from now on (1: the next) gives status.
  void Fail(const char* function, int nth, FT_STATUS status) { fail_(function, nth, status); }
  // The nth write from now on moves only that many bytes.
  void ShortWrite(int nth, DWORD moved) { shortWrite_(nth, moved); }

  Log Read() const {
    Log log;
    std::istringstream lines(log_());
    std::string line;
    while (std::getline(lines, line)) {
      std::istringstream words(line);
      long long nanoseconds = 0;
      LibraryCall call;
      words >> nanoseconds >> call.Name;
      std::string word;
      bool bytes = false;
      while (words >> word) {
        if (word == "!handle") {
          call.Name += " !handle";
        } else if (word == ":") {
          bytes = true;
        } else if (bytes) {
          call.Bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
        } else {
          call.Args.push_back(std::stoul(word));
        }
      }
      log.Calls.push_back(std::move(call));
      log.Times.emplace_back(nanoseconds);
    }
    return log;
  }

 private:
  template <typename Pointer>
  Pointer Function(const char* name) {
    return reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_;
  void (*reset_)() = nullptr;
  void (*fail_)(const char*, int, ULONG) = nullptr;
  void (*shortWrite_)(int, DWORD) = nullptr;
  const char* (*log_)() = nullptr;
};

// The backend on the recording library, found by its name beside the test.
struct D2xxSession {
  FT_STATUS Open() { return adapter.FT_Open(0, &handle); }

  D2xxAdapter adapter;
  FT_HANDLE handle = 0;
};

class D2xxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.Usable()) << "the recording ftd2xx.dll beside the test";
    library.Reset();
  }

  RecordingLibrary library;
  // Made after the library and gone before it: its closing reaches the log.
  std::unique_ptr<D2xxSession> session = std::make_unique<D2xxSession>();
};

// The folder of the test program, where the libraries are built.
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L"\\/"));
}

// What the programming link's calls become in the library, from an open link on.
struct WireCase {
  const char* Name;
  std::function<void(ProgrammingLink&)> Act;
  std::vector<LibraryCall> Expected;
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
std::vector<std::uint8_t> Slots() {
  std::vector<std::uint8_t> slots;
  for (int slot = 1; slot <= kStandardFrameSlots; ++slot) slots.push_back(slot & 0xFF);
  return slots;
}

// Each write goes to the library as the link makes it: the break byte, the start code, then
// the slots three at a time.
std::vector<LibraryCall> StandardFrame() {
  std::vector<LibraryCall> calls = {Named("FT_SetDivisor", {140}),
                                    Write({0}),
                                    Named("FT_SetDivisor", {12}),
                                    Named("FT_ClrRts"),
                                    Named("FT_ClrDtr"),
                                    Write({0})};
  for (int slot = 1; slot <= kStandardFrameSlots; slot += 3) {
    calls.push_back(
        Write({static_cast<std::uint8_t>(slot & 0xFF), static_cast<std::uint8_t>((slot + 1) & 0xFF),
               static_cast<std::uint8_t>((slot + 2) & 0xFF)}));
  }
  return calls;
}

std::vector<LibraryCall> Joined(std::initializer_list<std::vector<LibraryCall>> parts) {
  std::vector<LibraryCall> calls;
  for (const auto& part : parts) calls.insert(calls.end(), part.begin(), part.end());
  return calls;
}

const std::vector<LibraryCall> kStandardLine = {Named("FT_SetDivisor", {12}),
                                                Named("FT_SetDataCharacteristics", {8, 2, 0}),
                                                Named("FT_SetTimeouts", {100, 100})};
const std::vector<LibraryCall> kUsbLine = {Named("FT_SetDivisor", {1}),
                                           Named("FT_SetDataCharacteristics", {8, 0, 0}),
                                           Named("FT_SetTimeouts", {100, 100})};

const WireCase kWireCases[] = {
    {"TwoStandardFrames",
     [](ProgrammingLink& link) {
       link.ConfigureStandardProgrammer();
       EXPECT_EQ(link.SendPacket(Slots()), FT_OK);
       EXPECT_EQ(link.SendPacket(Slots()), FT_OK);
     },
     Joined({kStandardLine, StandardFrame(), StandardFrame()})},
    {"UsbBlockAndReply",
     [](ProgrammingLink& link) {
       link.ConfigureUsbProgrammer(true);
       EXPECT_EQ(link.SendIdleBlock(), FT_OK);
     },
     Joined({kUsbLine,
             {Write(UsbBlock()), Named("FT_Read", {kReplyBlockSize}), Named("FT_SetRts"),
              Write(UsbBlock()), Named("FT_Read", {kReplyBlockSize}), Named("FT_ClrRts")}})},
    // The block must have left the chip before the rate falls to the standard one.
    {"UsbThenStandard",
     [](ProgrammingLink& link) {
       link.ConfigureUsbProgrammer(false);
       link.ConfigureStandardProgrammer();
     },
     Joined({kUsbLine, {Write(UsbBlock())}, kStandardLine})},
};

// Time on the wire of the bytes of a write, at the divisor and stop-bit code in force.
std::chrono::nanoseconds WireTime(unsigned long divisor, unsigned long stopBitsCode,
                                  std::size_t bytes) {
  const auto bit = std::chrono::nanoseconds(divisor == 1 ? 500 : divisor * 1000 / 3);
  const int bitsPerByte = 1 + 8 + (stopBitsCode == 2 ? 2 : 1);
  return bit * bitsPerByte * static_cast<long long>(bytes);
}

class D2xxWire : public D2xxTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(D2xxWire, CallsInTheLibraryAndTheBytesGoneBeforeEveryRateOrFormatChange) {
  ProgrammingLink link(session->adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  const std::size_t opening = library.Read().Calls.size();
  EXPECT_EQ(
      library.Read().Calls,
      (std::vector<LibraryCall>{Named("FT_Open", {0}), Named("FT_ClrRts"), Named("FT_ClrDtr")}));

  GetParam().Act(link);
  const Log log = library.Read();
  EXPECT_EQ(std::vector<LibraryCall>(log.Calls.begin() + opening, log.Calls.end()),
            GetParam().Expected);

  // Every write's bytes leave the chip one after the other at the rate and format they were
  // written with; a rate or format change comes only when all written so far have.
  unsigned long divisor = 0;
  unsigned long stopBits = 0;
  std::chrono::nanoseconds wireEnd{};
  for (std::size_t i = opening; i < log.Calls.size(); ++i) {
    const LibraryCall& call = log.Calls[i];
    const bool rate = call.Name == "FT_SetDivisor";
    const bool format = call.Name == "FT_SetDataCharacteristics";
    if (rate || format) {
      EXPECT_GE(log.Times[i], wireEnd) << "call " << i;
    }
    if (rate) divisor = call.Args[0];
    if (format) stopBits = call.Args[1];
    if (call.Name == "FT_Write") {
      wireEnd = std::max(wireEnd, log.Times[i]) + WireTime(divisor, stopBits, call.Bytes.size());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Link, D2xxWire, ::testing::ValuesIn(kWireCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A library call failing with a status, and the status the backend call that made it gives.
struct ErrorCase {
  const char* Name;
  const char* FailingCall;
  FT_STATUS LibraryStatus;
  std::function<FT_STATUS(D2xxSession&)> Act;
  FT_STATUS Expected;
  // The device is no longer open for the backend: its handle is refused.
  bool Closed = false;
};

void PrintTo(const ErrorCase& error, std::ostream* out) {
  *out << error.Name;
}

FT_STATUS WriteBlock(D2xxSession& session) {
  const std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  std::uint32_t written = 7;
  const FT_STATUS status =
      session.adapter.FT_Write(session.handle, block.data(), kUsbBlockSize, &written);
  EXPECT_EQ(written, 0u);
  return status;
}

FT_STATUS ReadReply(D2xxSession& session) {
  std::vector<std::uint8_t> reply(kReplyBlockSize);
  std::uint32_t read = 7;
  const FT_STATUS status =
      session.adapter.FT_Read(session.handle, reply.data(), kReplyBlockSize, &read);
  EXPECT_EQ(read, 0u);
  return status;
}

FT_STATUS SetRate(D2xxSession& s) {
  return s.adapter.FT_SetDivisor(s.handle, kDmxDivisor);
}
FT_STATUS SetFormat(D2xxSession& s) {
  return s.adapter.FT_SetDataCharacteristics(s.handle, 8, 2, 0);
}
FT_STATUS SetTimeouts(D2xxSession& s) {
  return s.adapter.FT_SetTimeouts(s.handle, 100, 100);
}
FT_STATUS SetRts(D2xxSession& s) {
  return s.adapter.FT_SetRts(s.handle);
}
FT_STATUS ClrRts(D2xxSession& s) {
  return s.adapter.FT_ClrRts(s.handle);
}
FT_STATUS ClrDtr(D2xxSession& s) {
  return s.adapter.FT_ClrDtr(s.handle);
}
FT_STATUS Close(D2xxSession& s) {
  return s.adapter.FT_Close(s.handle);
}
FT_STATUS OpenAgain(D2xxSession& s) {
  EXPECT_EQ(s.adapter.FT_Close(s.handle), FT_OK);
  return s.Open();
}

// Statuses of the library beyond the four the link knows.
constexpr FT_STATUS kInsufficientResources = 5;
constexpr FT_STATUS kInvalidParameter = 6;
constexpr FT_STATUS kInvalidBaudRate = 7;
constexpr FT_STATUS kOtherError = 18;

const ErrorCase kErrorCases[] = {
    {"WriteInvalidHandle", "FT_Write", FT_INVALID_HANDLE, WriteBlock, FT_INVALID_HANDLE},
    {"WriteDeviceGone", "FT_Write", FT_DEVICE_NOT_FOUND, WriteBlock, FT_DEVICE_NOT_FOUND},
    {"WriteNotOpened", "FT_Write", FT_DEVICE_NOT_OPENED, WriteBlock, FT_DEVICE_NOT_OPENED},
    {"WriteIoError", "FT_Write", FT_IO_ERROR, WriteBlock, FT_IO_ERROR},
    {"WriteOutOfResources", "FT_Write", kInsufficientResources, WriteBlock, FT_IO_ERROR},
    {"ReadDeviceGone", "FT_Read", FT_DEVICE_NOT_FOUND, ReadReply, FT_DEVICE_NOT_FOUND},
    {"ReadOtherError", "FT_Read", kOtherError, ReadReply, FT_IO_ERROR},
    {"RateDeviceGone", "FT_SetDivisor", FT_DEVICE_NOT_FOUND, SetRate, FT_DEVICE_NOT_FOUND},
    {"RateRefused", "FT_SetDivisor", kInvalidBaudRate, SetRate, FT_IO_ERROR},
    {"FormatRefused", "FT_SetDataCharacteristics", kInvalidParameter, SetFormat, FT_IO_ERROR},
    {"FormatIoError", "FT_SetDataCharacteristics", FT_IO_ERROR, SetFormat, FT_IO_ERROR},
    {"TimeOutsRefused", "FT_SetTimeouts", kOtherError, SetTimeouts, FT_IO_ERROR},
    {"RtsDeviceGone", "FT_SetRts", FT_DEVICE_NOT_FOUND, SetRts, FT_DEVICE_NOT_FOUND},
    {"RtsClearFailed", "FT_ClrRts", FT_IO_ERROR, ClrRts, FT_IO_ERROR},
    {"DtrClearFailed", "FT_ClrDtr", kOtherError, ClrDtr, FT_IO_ERROR},
    {"CloseFailed", "FT_Close", FT_IO_ERROR, Close, FT_IO_ERROR, true},
    {"OpenNoDevice", "FT_Open", FT_DEVICE_NOT_FOUND, OpenAgain, FT_DEVICE_NOT_FOUND, true},
    {"OpenDeviceTaken", "FT_Open", FT_DEVICE_NOT_OPENED, OpenAgain, FT_DEVICE_NOT_OPENED, true},
    // A failure to open is one whatever the library says.
    {"OpenOtherError", "FT_Open", kOtherError, OpenAgain, FT_DEVICE_NOT_OPENED, true},
};

class D2xxErrors : public D2xxTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(D2xxErrors, EachLibraryStatusGivesItsStatus) {
  ASSERT_EQ(session->Open(), FT_OK);
  library.Fail(GetParam().FailingCall, 1, GetParam().LibraryStatus);
  EXPECT_EQ(GetParam().Act(*session), GetParam().Expected);
  // The failing call was made, once, and last.
  const Log log = library.Read();
  ASSERT_FALSE(log.Calls.empty());
  EXPECT_EQ(log.Calls.back().Name, GetParam().FailingCall);
  const FT_STATUS afterwards = GetParam().Closed ? FT_INVALID_HANDLE : FT_OK;
  EXPECT_EQ(session->adapter.FT_SetRts(session->handle), afterwards);
}

INSTANTIATE_TEST_SUITE_P(Library, D2xxErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A write the library ends at its time-out with part of the bytes: FT_OK and the count, which
// the link takes for a stalled line, ending the block or frame there.
struct ShortWriteCase {
  const char* Name;
  bool Usb;
  int Write;  // the write taken in part, 1 the first of the block or frame
  DWORD Moved;
  std::vector<std::string> Calls;  // the calls of the block or frame, up to the end
};

void PrintTo(const ShortWriteCase& shortWrite, std::ostream* out) {
  *out << shortWrite.Name;
}

const ShortWriteCase kShortWriteCases[] = {
    {"UsbBlockInPart", true, 1, 100, {"FT_SetRts", "FT_Write", "FT_ClrRts"}},
    {"BreakByteNotTaken", false, 1, 0, {"FT_SetDivisor", "FT_Write"}},
    {"SlotsInPart",
     false,
     3,
     2,
     {"FT_SetDivisor", "FT_Write", "FT_SetDivisor", "FT_ClrRts", "FT_ClrDtr", "FT_Write",
      "FT_Write"}},
};

class D2xxShortWrite : public D2xxTest, public ::testing::WithParamInterface<ShortWriteCase> {};

TEST_P(D2xxShortWrite, TheLinkTakesItForAStalledLine) {
  ProgrammingLink link(session->adapter);
  ASSERT_EQ(link.OpenProgrammer(), FT_OK);
  if (GetParam().Usb) {
    link.ConfigureUsbProgrammer(false);
  } else {
    link.ConfigureStandardProgrammer();
  }
  const std::size_t configured = library.Read().Calls.size();
  library.ShortWrite(GetParam().Write, GetParam().Moved);
  EXPECT_EQ(GetParam().Usb ? link.SendIdleBlock() : link.SendPacket(Slots()), kLineStalled);

  const Log log = library.Read();
  std::vector<std::string> calls;
  for (std::size_t i = configured; i < log.Calls.size(); ++i) calls.push_back(log.Calls[i].Name);
  EXPECT_EQ(calls, GetParam().Calls);
}

INSTANTIATE_TEST_SUITE_P(Link, D2xxShortWrite, ::testing::ValuesIn(kShortWriteCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(D2xxTest, AShortWriteIsTheLibrarysOkWithTheBytesMoved) {
  ASSERT_EQ(session->Open(), FT_OK);
  library.ShortWrite(1, 100);
  const std::vector<std::uint8_t> block(kUsbBlockSize, 0);
  std::uint32_t written = 0;
  EXPECT_EQ(session->adapter.FT_Write(session->handle, block.data(), kUsbBlockSize, &written),
            FT_OK);
  EXPECT_EQ(written, 100u);
}

TEST_F(D2xxTest, AnAdapterDroppedOpenClosesTheDevice) {
  ASSERT_EQ(session->Open(), FT_OK);
  session.reset();
  EXPECT_EQ(library.Read().Calls,
            (std::vector<LibraryCall>{Named("FT_Open", {0}), Named("FT_Close")}));
}

// The library as the backend is given it, and what the first opening gives.
struct LibraryCase {
  const char* Name;
  std::wstring Library;
  FT_STATUS Expected;
};

TEST_F(D2xxTest, OpenFindsTheLibraryOrGivesTheDriverMissing) {
  const LibraryCase cases[] = {
      {"by name beside the program", L"ftd2xx.dll", FT_OK},
      {"by path", ProgramFolder() + L"\\ftd2xx.dll", FT_OK},
      {"absent", L"no_such_ftd2xx.dll", kAdapterDriverMissing},
      {"lacking FT_SetDivisor", L"incomplete_ftd2xx.dll", kAdapterDriverMissing},
  };
  // The incomplete library is there and has the other calls.
  const HMODULE incomplete = LoadLibraryW(L"incomplete_ftd2xx.dll");
  ASSERT_NE(incomplete, nullptr);
  EXPECT_NE(GetProcAddress(incomplete, "FT_Open"), nullptr);
  EXPECT_EQ(GetProcAddress(incomplete, "FT_SetDivisor"), nullptr);
  FreeLibrary(incomplete);

  for (const LibraryCase& library : cases) {
    SCOPED_TRACE(library.Name);
    D2xxAdapter adapter(library.Library);
    FT_HANDLE handle = 0;
    EXPECT_EQ(adapter.FT_Open(0, &handle), library.Expected);
    EXPECT_EQ(handle != 0, library.Expected == FT_OK);
    EXPECT_EQ(adapter.FT_SetRts(handle), library.Expected == FT_OK ? FT_OK : FT_INVALID_HANDLE);
  }
}

// The driver may be installed while the program runs: a failed loading is tried again.
TEST_F(D2xxTest, ALibraryInstalledAfterAFailedOpeningIsLoadedAtTheNext) {
  const std::wstring installed = ProgramFolder() + L"\\late_ftd2xx.dll";
  DeleteFileW(installed.c_str());
  {
    D2xxAdapter adapter(installed);
    FT_HANDLE handle = 0;
    EXPECT_EQ(adapter.FT_Open(0, &handle), kAdapterDriverMissing);
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\ftd2xx.dll").c_str(), installed.c_str(), FALSE));
    EXPECT_EQ(adapter.FT_Open(0, &handle), FT_OK);
  }
  EXPECT_TRUE(DeleteFileW(installed.c_str()));
}

}  // namespace
}  // namespace lumora::testing
