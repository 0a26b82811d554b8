#include "programming/virtual/virtual_adapter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "programming/crc16.h"
#include "programming/virtual/line_runs.h"
#include "programming/virtual/receiver_report.h"

namespace lumora {
namespace {

using Slots = std::array<std::uint8_t, 512>;
using Image = std::vector<std::uint8_t>;

struct Header {
  std::uint8_t SoloProgram = 5;
  std::uint8_t SoloSpeed = 19;
  std::uint8_t TubeCount = 16;
  std::uint16_t Address = 300;
};

void PutWord(Slots& slots, int highSlot, std::uint16_t value) {
  slots[highSlot - 1] = static_cast<std::uint8_t>(value >> 8);
  slots[highSlot] = static_cast<std::uint8_t>(value & 0xFF);
}

// Header checksum over slots 17..26 into slots 27, 28.
void SealHeader(Slots& slots) {
  PutWord(slots, 27, TransferCrc16(std::span(slots).subspan(16, 10)));
}

// One programming packet as the controller expects it, independent of the sending side.
Slots Packet(std::uint8_t pageNumber, std::span<const std::uint8_t> page, const Header& header,
             std::optional<std::uint16_t> imageChecksum = std::nullopt) {
  Slots slots{};
  std::copy(ProgrammingSignature.begin(), ProgrammingSignature.end(), slots.begin());
  const std::uint8_t high = header.Address >> 8;
  slots[16] = pageNumber;
  slots[17] = header.SoloProgram;
  slots[18] = header.SoloSpeed;
  slots[19] = header.TubeCount;
  slots[20] = slots[21] = slots[22] = high;
  slots[23] = header.Address & 0xFF;
  if (imageChecksum) PutWord(slots, 21, *imageChecksum);
  std::copy(page.begin(), page.end(), slots.begin() + 28);
  PutWord(slots, 25, TransferCrc16(page));
  SealHeader(slots);
  return slots;
}

Image MakeImage(unsigned seed) {
  Image image(kTransferBytes);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>((i * 131 + i / 256 * 7 + seed) & 0xFF);
  }
  return image;
}

std::vector<Slots> Transfer(const Image& image, const Header& header = {}) {
  std::vector<Slots> packets;
  for (int p = 0; p < kTransferPackets; ++p) {
    const auto page = std::span(image).subspan(static_cast<std::size_t>(p) * kPageSize, kPageSize);
    const bool last = p == kTransferPackets - 1;
    packets.push_back(last ? Packet(kFinalPageNumber, page, header, TransferCrc16(image))
                           : Packet(static_cast<std::uint8_t>(p), page, header));
  }
  return packets;
}

std::filesystem::path FreshDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumora-virtual-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temp dir";
  return pattern;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Drives a VirtualAdapter the way the programming link does.
class Wire {
 public:
  explicit Wire(VirtualAdapter& adapter) : adapter_(adapter) {}

  void Open() { ASSERT_EQ(adapter_.FT_Open(0, &handle_), FT_OK); }
  void Close() { EXPECT_EQ(adapter_.FT_Close(handle_), FT_OK); }
  FT_HANDLE Handle() const { return handle_; }

  void UseUsb() {
    adapter_.FT_SetDivisor(handle_, kUsbDivisor);
    adapter_.FT_SetDataCharacteristics(handle_, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
    adapter_.FT_SetTimeouts(handle_, 100, 100);
  }
  void UseStandard() {
    adapter_.FT_SetDivisor(handle_, kDmxDivisor);
    adapter_.FT_SetDataCharacteristics(handle_, FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE);
    adapter_.FT_SetTimeouts(handle_, 100, 100);
  }

  // One exchange; returns the bytes of the reply.
  std::uint32_t UsbExchange(const Slots& slots) {
    std::array<std::uint8_t, kUsbBlockSize> block{};
    block[1] = 0x01;
    std::copy(slots.begin(), slots.end(), block.begin() + kUsbSlotBase);
    std::array<std::uint8_t, kReplyBlockSize> reply{};
    std::uint32_t written = 0, read = 0;
    adapter_.FT_SetRts(handle_);
    EXPECT_EQ(adapter_.FT_Write(handle_, block.data(), kUsbBlockSize, &written), FT_OK);
    EXPECT_EQ(adapter_.FT_Read(handle_, reply.data(), kReplyBlockSize, &read), FT_OK);
    adapter_.FT_ClrRts(handle_);
    return read;
  }

  // Break at breakDivisor, start code and `slots` slot bytes in writes of three.
  void StandardFrame(const Slots& slots, std::size_t slotCount = kStandardFrameSlots,
                     std::uint16_t breakDivisor = kBreakDivisor) {
    const std::uint8_t zero = 0;
    std::uint32_t written = 0;
    adapter_.FT_SetDivisor(handle_, breakDivisor);
    adapter_.FT_Write(handle_, &zero, 1, &written);
    adapter_.FT_SetDivisor(handle_, kDmxDivisor);
    adapter_.FT_ClrRts(handle_);
    adapter_.FT_ClrDtr(handle_);
    adapter_.FT_Write(handle_, &zero, 1, &written);
    for (std::size_t k = 0; k < slotCount; k += 3) {
      adapter_.FT_Write(handle_, slots.data() + k, 3, &written);
    }
  }

  void Send(bool usb, const std::vector<Slots>& packets) {
    for (const Slots& packet : packets) {
      if (usb) {
        UsbExchange(packet);
      } else {
        StandardFrame(packet);
      }
    }
  }

 private:
  VirtualAdapter& adapter_;
  FT_HANDLE handle_ = 0;
};

class WholeTransfer : public ::testing::TestWithParam<bool> {};

TEST_P(WholeTransfer, IsReassembledWithEveryChecksumGood) {
  const bool usb = GetParam();
  VirtualAdapter adapter;
  Wire wire(adapter);
  wire.Open();
  usb ? wire.UseUsb() : wire.UseStandard();
  const Image image = MakeImage(1);
  const Header header{.SoloProgram = 58, .SoloSpeed = 7, .TubeCount = 12, .Address = 300};
  if (usb) {
    EXPECT_EQ(wire.UsbExchange(Slots{}), std::uint32_t{kReplyBlockSize});  // an idle block
  }
  wire.Send(usb, Transfer(image, header));

  const ReceivedTransfer received = adapter.Received();
  EXPECT_EQ(received.Outcome, TransferOutcome::Complete);
  EXPECT_EQ(received.CompletedTransfers, 1u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), received.Image.begin()));
  EXPECT_EQ(received.Packets, 223u);
  EXPECT_EQ(received.GoodHeaders, 223u);
  EXPECT_EQ(received.GoodPages, 223u);
  EXPECT_EQ(received.BadHeaders + received.BadPages + received.BadImages, 0u);
  EXPECT_EQ(received.GoodImages, 1u);
  EXPECT_EQ(received.IdleFrames, usb ? 1u : 0u);
  EXPECT_EQ(usb ? received.UsbBlocks : received.StandardFrames, usb ? 224u : 223u);
  EXPECT_EQ(received.StrayWrites, 0u);
  ASSERT_TRUE(received.LastSettings.has_value());
  EXPECT_EQ(received.LastSettings->PageNumber, kFinalPageNumber);
  EXPECT_EQ(received.LastSettings->SoloProgram, 58);
  EXPECT_EQ(received.LastSettings->SoloSpeed, 7);
  EXPECT_EQ(received.LastSettings->TubeCount, 12);
  EXPECT_EQ(received.LastSettings->TargetAddress, 300);
  for (const PacketVerdict& verdict : received.Verdicts) {
    EXPECT_TRUE(verdict.Stored && verdict.AddressRepeated) << verdict.Packet;
  }
  EXPECT_EQ(received.Verdicts.back().Image, Check::Good);

  const VirtualLine line = adapter.Line();
  EXPECT_TRUE(line.Open);
  EXPECT_EQ(line.Format.Divisor, usb ? kUsbDivisor : kDmxDivisor);
  EXPECT_EQ(line.Format.StopBits, usb ? FT_STOP_BITS_1 : FT_STOP_BITS_2);
  EXPECT_EQ(line.ReadTimeoutMs, 100u);
  EXPECT_FALSE(line.Rts);
}

INSTANTIATE_TEST_SUITE_P(BothProgrammers, WholeTransfer, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Usb" : "Standard"; });

TEST(VirtualAdapter, ANewPageZeroAfterAFinishedTransferStartsAfresh) {
  VirtualAdapter adapter;
  Wire wire(adapter);
  wire.Open();
  wire.UseUsb();
  wire.Send(true, Transfer(MakeImage(1)));
  const Image second = MakeImage(2);
  wire.Send(true, Transfer(second));

  const ReceivedTransfer received = adapter.Received();
  EXPECT_EQ(received.CompletedTransfers, 2u);
  EXPECT_EQ(received.Packets, 223u);
  EXPECT_EQ(received.Verdicts.size(), 223u);
  EXPECT_TRUE(std::equal(second.begin(), second.end(), received.Image.begin()));
}

// Damage done to a good transfer, and what the controller must make of it. A page that
// never arrived also spoils the image checksum.
struct Damage {
  const char* Name;
  std::function<void(std::vector<Slots>&)> Apply;
  TransferOutcome Outcome;
  std::uint32_t BadHeaders, BadPages, BadImages;
};

void PrintTo(const Damage& damage, std::ostream* out) {
  *out << damage.Name;
}

class DamagedTransfer : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedTransfer, IsNeverComplete) {
  VirtualAdapter adapter;
  Wire wire(adapter);
  wire.Open();
  wire.UseUsb();
  std::vector<Slots> packets = Transfer(MakeImage(3));
  GetParam().Apply(packets);
  wire.Send(true, packets);

  const ReceivedTransfer received = adapter.Received();
  EXPECT_EQ(received.Outcome, GetParam().Outcome);
  EXPECT_EQ(received.CompletedTransfers, 0u);
  EXPECT_EQ(received.BadHeaders, GetParam().BadHeaders);
  EXPECT_EQ(received.BadPages, GetParam().BadPages);
  EXPECT_EQ(received.BadImages, GetParam().BadImages);
}

INSTANTIATE_TEST_SUITE_P(
    Checksums, DamagedTransfer,
    ::testing::Values(Damage{"BadHeaderChecksum", [](auto& p) { p[10][27] ^= 1; },
                             TransferOutcome::MissingPages, 1, 0, 1},
                      Damage{"HeaderChangedAfterSealing", [](auto& p) { p[10][17] = 9; },
                             TransferOutcome::MissingPages, 1, 0, 1},
                      Damage{"BadPageChecksum", [](auto& p) { p[10][100] ^= 0x40; },
                             TransferOutcome::MissingPages, 0, 1, 1},
                      Damage{"BadImageChecksum",
                             [](auto& p) {
                               p.back()[20] ^= 0x01;
                               SealHeader(p.back());
                             },
                             TransferOutcome::BadImageChecksum, 0, 0, 1},
                      Damage{"MissingPage", [](auto& p) { p.erase(p.begin() + 50); },
                             TransferOutcome::MissingPages, 0, 0, 1},
                      Damage{"NoFinalPacket", [](auto& p) { p.pop_back(); },
                             TransferOutcome::InProgress, 0, 0, 0},
                      Damage{"PageNumberOutOfRange",
                             [](auto& p) {
                               p[5][16] = 230;
                               SealHeader(p[5]);
                             },
                             TransferOutcome::MissingPages, 0, 0, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

class StandardLine : public ::testing::Test {
 protected:
  void SetUp() override {
    wire_.Open();
    wire_.UseStandard();
  }
  VirtualAdapter adapter_;
  Wire wire_{adapter_};
  std::vector<Slots> packets_ = Transfer(MakeImage(4));
};

TEST_F(StandardLine, BreakAtTheWrongRateLosesTheFrame) {
  for (int p = 0; p < kTransferPackets; ++p) {
    wire_.StandardFrame(packets_[p], kStandardFrameSlots, p == 7 ? kDmxDivisor : kBreakDivisor);
  }
  const ReceivedTransfer received = adapter_.Received();
  EXPECT_FALSE(received.PageArrived[7]);
  EXPECT_EQ(received.Packets, 222u);
  EXPECT_GT(received.StrayWrites, 0u);
  EXPECT_EQ(received.Outcome, TransferOutcome::MissingPages);
}

TEST_F(StandardLine, FrameCutShortByTheNextBreakIsRejected) {
  for (int p = 0; p < kTransferPackets; ++p) {
    wire_.StandardFrame(packets_[p], p == 3 ? 99 : kStandardFrameSlots);
  }
  const ReceivedTransfer received = adapter_.Received();
  EXPECT_EQ(received.CutShort, 1u);
  EXPECT_EQ(received.Packets, 223u);
  EXPECT_FALSE(received.PageArrived[3]);
  EXPECT_EQ(received.Verdicts[3].Slots, 99);
  EXPECT_EQ(received.Verdicts[3].Header, Check::NotChecked);
  EXPECT_EQ(received.Outcome, TransferOutcome::MissingPages);
}

TEST_F(StandardLine, GarbageIsCountedAndNeverDecoded) {
  const std::array<std::uint8_t, 5> noise = {0x5C, 0x21, 0x9A, 0x47, 0xE3};
  std::uint32_t written = 0;
  adapter_.FT_Write(wire_.Handle(), noise.data(), noise.size(), &written);  // no break before
  adapter_.FT_SetDivisor(wire_.Handle(), 7);
  adapter_.FT_Write(wire_.Handle(), noise.data(), noise.size(), &written);  // wrong rate
  Slots foreign{};
  foreign[0] = 0xFF;
  wire_.StandardFrame(foreign);  // a frame without the signature
  adapter_.FT_SetDataCharacteristics(wire_.Handle(), FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
  wire_.StandardFrame(packets_[0]);  // 8N1: not the DMX line

  const ReceivedTransfer received = adapter_.Received();
  EXPECT_EQ(received.StrayWrites, 2u + 130u);  // two writes, then a whole frame
  EXPECT_EQ(received.ForeignFrames, 1u);
  EXPECT_EQ(received.Packets, 0u);
  EXPECT_EQ(received.Outcome, TransferOutcome::NoPackets);
}

TEST(VirtualAdapter, FilesInTheDirectoryTellWhatHappened) {
  const std::filesystem::path directory = FreshDirectory();
  {
    VirtualAdapter adapter(directory);
    ASSERT_TRUE(adapter.FilesOk());
    Wire wire(adapter);
    wire.Open();
    wire.UseUsb();
    const Image image = MakeImage(5);
    std::vector<Slots> packets = Transfer(image);
    packets[20][30] ^= 1;  // page 20 arrives damaged, then again intact
    packets.insert(packets.begin() + 21, Transfer(image)[20]);
    wire.Send(true, packets);

    // Written once the final packet is in, before any close.
    const std::string report = ReadText(directory / "report.txt");
    EXPECT_NE(report.find("Pakiety: 224 "), std::string::npos) << report;
    EXPECT_NE(report.find("Strony: 223 z 223\n"), std::string::npos);
    EXPECT_NE(report.find("Brakujące strony (222 = końcowa): brak\n"), std::string::npos);
    EXPECT_NE(report.find("Adres docelowy: 300\n"), std::string::npos);
    EXPECT_NE(report.find("Program solo: 5, prędkość: 19, liczba tub: 16\n"), std::string::npos);
    EXPECT_NE(report.find("Sumy kontrolne strony: dobre 223, złe 1\n"), std::string::npos);
    EXPECT_NE(report.find("\n21: strona 20, sloty 512, nagłówek OK, strona BŁĄD, pakiet "
                          "odrzucony\n"),
              std::string::npos);
    EXPECT_NE(report.find("\n224: strona 255 (końcowa), sloty 512, nagłówek OK, strona OK, "
                          "obraz OK, strona zapisana\n"),
              std::string::npos);
    EXPECT_NE(report.find("Wynik: transmisja kompletna"), std::string::npos);
    EXPECT_EQ(ReadText(directory / "image.bin"), std::string(image.begin(), image.end()));
    EXPECT_NE(ReadText(directory / "wire.log").find("FT_Write(1, 528)"), std::string::npos);
    wire.Close();
  }

  const std::vector<std::string> log = Lines(ReadText(directory / "wire.log"));
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "FT_Open(0) = FT_OK -> 1");
  EXPECT_EQ(log[1], "FT_SetDivisor(1, 1) = FT_OK");
  EXPECT_EQ(log[2], "FT_SetDataCharacteristics(1, 8, 0, 0) = FT_OK");
  EXPECT_EQ(log[3], "FT_SetTimeouts(1, 100, 100) = FT_OK");
  EXPECT_EQ(log[4], "FT_SetRts(1) = FT_OK");
  EXPECT_EQ(log[5].rfind("FT_Write(1, 528) = FT_OK -> 528: 00 01 00", 0), 0u);
  EXPECT_EQ(log[5].size(), std::string("FT_Write(1, 528) = FT_OK -> 528:").size() + 528 * 3);
  EXPECT_NE(log[5].find(" 5C 21 9A 47 E3 0B 76 D8 14 AF 62 3E C9 85 1D B0 00 05 13 10 01 01 01 2C"),
            std::string::npos);
  EXPECT_EQ(log[6].rfind("FT_Read(1, 272) = FT_OK -> 272: 00 00", 0), 0u);
  EXPECT_EQ(log.back(), "FT_Close(1) = FT_OK");
  std::filesystem::remove_all(directory);
}

TEST(ReceiverReport, ListsMissingPagesAsRuns) {
  ReceivedTransfer received;
  received.PageArrived.fill(true);
  for (int page : {5, 17, 18, 19, 222}) received.PageArrived[page] = false;
  EXPECT_NE(FormatReceiverReport(received, UiLanguage::Polish).find("końcowa): 5, 17-19, 222\n"),
            std::string::npos);
  received.PageArrived.fill(false);
  EXPECT_NE(FormatReceiverReport(received, UiLanguage::English).find("final): 0-222\n"),
            std::string::npos);
}

TEST(VirtualAdapter, DeviceThatDisappearsFailsWritesAndOpens) {
  VirtualAdapter adapter;
  adapter.SetDevicePresent(false);
  FT_HANDLE handle = 0;
  EXPECT_EQ(adapter.FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);
  adapter.SetDevicePresent(true);
  ASSERT_EQ(adapter.FT_Open(0, &handle), FT_OK);
  EXPECT_EQ(adapter.FT_Open(0, &handle), FT_DEVICE_NOT_OPENED);

  adapter.DisappearAfterWrites(2, FT_DEVICE_NOT_FOUND);
  const std::uint8_t byte = 0;
  std::uint32_t written = 9;
  EXPECT_EQ(adapter.FT_Write(handle, &byte, 1, &written), FT_OK);
  EXPECT_EQ(adapter.FT_Write(handle, &byte, 1, &written), FT_OK);
  EXPECT_EQ(adapter.FT_Write(handle, &byte, 1, &written), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(adapter.FT_SetDivisor(handle, kDmxDivisor), FT_IO_ERROR);
  std::uint32_t read = 9;
  std::array<std::uint8_t, 4> reply{};
  EXPECT_EQ(adapter.FT_Read(handle, reply.data(), 4, &read), FT_IO_ERROR);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(adapter.FT_Close(handle), FT_OK);
  EXPECT_EQ(adapter.FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);

  adapter.SetDevicePresent(true);
  FT_HANDLE again = 0;
  ASSERT_EQ(adapter.FT_Open(0, &again), FT_OK);
  EXPECT_NE(again, handle);
  EXPECT_EQ(adapter.FT_Write(handle, &byte, 1, &written), FT_INVALID_HANDLE);  // stale
  EXPECT_EQ(adapter.FT_Write(again, &byte, 1, &written), FT_OK);
}

TEST(VirtualAdapter, RepliesAreReadOnlyAfterAnAcceptedBlock) {
  VirtualAdapter adapter;
  Wire wire(adapter);
  wire.Open();
  wire.UseUsb();
  std::array<std::uint8_t, kReplyBlockSize> reply{};
  std::uint32_t read = 9;
  EXPECT_EQ(adapter.FT_Read(wire.Handle(), reply.data(), kReplyBlockSize, &read), FT_OK);
  EXPECT_EQ(read, 0u);  // nothing asked: the read times out

  std::array<std::uint8_t, kUsbBlockSize> block{};
  std::uint32_t written = 0;
  adapter.FT_Write(wire.Handle(), block.data(), kUsbBlockSize, &written);  // byte 1 not 0x01
  EXPECT_EQ(adapter.FT_Read(wire.Handle(), reply.data(), kReplyBlockSize, &read), FT_OK);
  EXPECT_EQ(read, 0u);

  block[1] = 0x01;
  adapter.FT_Write(wire.Handle(), block.data(), kUsbBlockSize, &written);
  EXPECT_EQ(adapter.FT_Read(wire.Handle(), reply.data(), 200, &read), FT_OK);
  EXPECT_EQ(read, 200u);
  EXPECT_EQ(adapter.FT_Read(wire.Handle(), reply.data(), 200, &read), FT_OK);
  EXPECT_EQ(read, 72u);
  EXPECT_EQ(adapter.Received().StrayWrites, 1u);
}

TEST(VirtualAdapter, ResultCanBeWatchedWhileTheTimerThreadSends) {
  VirtualAdapter adapter;
  Wire wire(adapter);
  wire.Open();
  wire.UseUsb();
  const std::vector<Slots> packets = Transfer(MakeImage(6));
  std::atomic<bool> done = false;
  std::thread timer([&] {
    wire.Send(true, packets);
    done = true;
  });
  std::uint32_t seen = 0;
  while (!done) {
    const std::uint32_t packetsNow = adapter.Received().Packets;
    EXPECT_GE(packetsNow, seen);
    seen = packetsNow;
    std::this_thread::yield();
  }
  timer.join();
  EXPECT_EQ(adapter.Received().Outcome, TransferOutcome::Complete);
  EXPECT_EQ(adapter.Received().Packets, 223u);
}

// Two ways of pulling the plug: the unplug file a person creates in the directory, and the
// call the tests make; and what every call on the open handle then gives.
struct Unplugging {
  const char* Name;
  std::function<void(VirtualAdapter&, const std::filesystem::path&, bool present)> Plug;
  FT_STATUS Gone;
};

void PrintTo(const Unplugging& unplugging, std::ostream* out) {
  *out << unplugging.Name;
}

class UnpluggedDevice : public ::testing::TestWithParam<Unplugging> {};

TEST_P(UnpluggedDevice, FailsEveryCallUntilPluggedInAndOpenedAgain) {
  const std::filesystem::path directory = FreshDirectory();
  {
    VirtualAdapter adapter(directory);
    Wire wire(adapter);
    wire.Open();
    wire.UseStandard();
    const Image image = MakeImage(7);
    const std::vector<Slots> packets = Transfer(image);
    wire.Send(false, std::vector<Slots>(packets.begin(), packets.begin() + 40));

    GetParam().Plug(adapter, directory, false);
    // The next frame meets the device away; from then on every call on the handle fails.
    wire.StandardFrame(packets[40]);
    const FT_HANDLE handle = wire.Handle();
    std::uint8_t bytes[kReplyBlockSize] = {};
    std::uint32_t moved = 9;
    const std::pair<const char*, std::function<FT_STATUS()>> calls[] = {
        {"FT_Write", [&] { return adapter.FT_Write(handle, bytes, 3, &moved); }},
        {"FT_Read", [&] { return adapter.FT_Read(handle, bytes, kReplyBlockSize, &moved); }},
        {"FT_SetDataCharacteristics",
         [&] {
           return adapter.FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_2,
                                                    FT_PARITY_NONE);
         }},
        {"FT_ClrDtr", [&] { return adapter.FT_ClrDtr(handle); }},
        {"FT_SetRts", [&] { return adapter.FT_SetRts(handle); }},
        {"FT_ClrRts", [&] { return adapter.FT_ClrRts(handle); }},
        {"FT_SetTimeouts", [&] { return adapter.FT_SetTimeouts(handle, 100, 100); }},
        {"FT_SetDivisor", [&] { return adapter.FT_SetDivisor(handle, kBreakDivisor); }},
    };
    for (const auto& [name, call] : calls) {
      moved = 9;
      EXPECT_EQ(call(), GetParam().Gone) << name;
      if (std::string_view(name) == "FT_Write" || std::string_view(name) == "FT_Read") {
        EXPECT_EQ(moved, 0u) << name;
      }
    }
    FT_HANDLE another = 0;
    EXPECT_EQ(adapter.FT_Open(0, &another), FT_DEVICE_NOT_FOUND);

    // Plugged in again, the handle opened before stays dead, as a real one does, until it
    // is closed; a new opening reaches the device and a whole transfer goes through.
    GetParam().Plug(adapter, directory, true);
    EXPECT_EQ(adapter.FT_Write(handle, bytes, 3, &moved), GetParam().Gone);
    EXPECT_EQ(adapter.Received().Packets, 40u);
    wire.Close();
    wire.Open();
    EXPECT_NE(wire.Handle(), handle);
    wire.UseStandard();
    wire.Send(false, packets);
    EXPECT_EQ(adapter.Received().Outcome, TransferOutcome::Complete);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), adapter.Received().Image.begin()));
    wire.Close();
  }
  std::filesystem::remove_all(directory);
}

INSTANTIATE_TEST_SUITE_P(
    BothWays, UnpluggedDevice,
    ::testing::Values(Unplugging{"UnplugFileInTheDirectory",
                                 [](VirtualAdapter&, const std::filesystem::path& directory,
                                    bool present) {
                                   if (present) {
                                     std::filesystem::remove(directory / "unplug");
                                   } else {
                                     std::ofstream(directory / "unplug").put('\n');
                                   }
                                 },
                                 FT_DEVICE_NOT_FOUND},
                      Unplugging{"SetDevicePresent",
                                 [](VirtualAdapter& adapter, const std::filesystem::path&,
                                    bool present) { adapter.SetDevicePresent(present); },
                                 FT_IO_ERROR}),
    [](const auto& info) { return std::string(info.param.Name); });

// The stall file: from the moment it is found the line takes only as many more bytes as it
// says, then nothing, until it is removed. Blocks of 528 bytes, what each write takes.
struct Stall {
  const char* Name;
  const char* Text;
  std::vector<std::uint32_t> Taken;
};

void PrintTo(const Stall& stall, std::ostream* out) {
  *out << stall.Name;
}

class StalledLine : public ::testing::TestWithParam<Stall> {};

TEST_P(StalledLine, TakesOnlyTheBytesTheStallFileSaysThenNothing) {
  const std::filesystem::path directory = FreshDirectory();
  {
    VirtualAdapter adapter(directory);
    Wire wire(adapter);
    wire.Open();
    wire.UseUsb();
    std::ofstream(directory / "stall") << GetParam().Text;
    std::array<std::uint8_t, kUsbBlockSize> block{};
    block[1] = kUsbBlockMarker;
    std::vector<std::uint32_t> taken;
    for (std::size_t write = 0; write < GetParam().Taken.size(); ++write) {
      std::uint32_t written = 9;
      EXPECT_EQ(adapter.FT_Write(wire.Handle(), block.data(), kUsbBlockSize, &written), FT_OK);
      taken.push_back(written);
    }
    EXPECT_EQ(taken, GetParam().Taken);
    // Only whole blocks reach the controller; the rest is noise on its line.
    const auto whole = std::count(taken.begin(), taken.end(), kUsbBlockSize);
    EXPECT_EQ(adapter.Received().UsbBlocks, static_cast<std::uint32_t>(whole));

    // Removed: the line takes everything again.
    std::filesystem::remove(directory / "stall");
    std::uint32_t written = 0;
    EXPECT_EQ(adapter.FT_Write(wire.Handle(), block.data(), kUsbBlockSize, &written), FT_OK);
    EXPECT_EQ(written, kUsbBlockSize);
    wire.Close();
  }
  std::filesystem::remove_all(directory);
}

INSTANTIATE_TEST_SUITE_P(StallFile, StalledLine,
                         ::testing::Values(Stall{"Number", "1000", {528, 472, 0}},
                                           Stall{"NumberOnItsOwnLine", " 600\n", {528, 72, 0}},
                                           Stall{"Zero", "0", {0, 0}}, Stall{"Empty", "", {0}},
                                           Stall{"NotANumber", "many", {0}}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The files are looked for at the first write of each block or frame, not at every call: a
// standard transfer makes some 29,000. One made in the middle of a frame leaves the rest of
// that frame whole and stops the next one at its break.
struct MidFrameFile {
  const char* Name;
  const char* File;
  FT_STATUS NextBreak;
};

void PrintTo(const MidFrameFile& file, std::ostream* out) {
  *out << file.Name;
}

class FileMadeMidFrame : public ::testing::TestWithParam<MidFrameFile> {};

TEST_P(FileMadeMidFrame, TakesEffectAtTheNextFrame) {
  const std::filesystem::path directory = FreshDirectory();
  {
    VirtualAdapter adapter(directory);
    Wire wire(adapter);
    wire.Open();
    wire.UseStandard();
    const std::vector<Slots> packets = Transfer(MakeImage(9));
    constexpr std::size_t kSlotsBefore = 99;
    wire.StandardFrame(packets[0], kSlotsBefore);
    std::ofstream(directory / GetParam().File) << "0";
    for (std::size_t k = kSlotsBefore; k < kStandardFrameSlots; k += kStandardSlotWriteSize) {
      std::uint32_t written = 0;
      EXPECT_EQ(
          adapter.FT_Write(wire.Handle(), packets[0].data() + k, kStandardSlotWriteSize, &written),
          FT_OK);
      EXPECT_EQ(written, kStandardSlotWriteSize);
    }
    EXPECT_TRUE(adapter.Received().PageArrived[0]);

    const std::uint8_t breakByte = 0;
    std::uint32_t written = 9;
    EXPECT_EQ(adapter.FT_SetDivisor(wire.Handle(), kBreakDivisor), FT_OK);
    EXPECT_EQ(adapter.FT_Write(wire.Handle(), &breakByte, 1, &written), GetParam().NextBreak);
    EXPECT_EQ(written, 0u);
    wire.Close();
  }
  std::filesystem::remove_all(directory);
}

INSTANTIATE_TEST_SUITE_P(BothFiles, FileMadeMidFrame,
                         ::testing::Values(MidFrameFile{"Stall", "stall", FT_OK},
                                           MidFrameFile{"Unplug", "unplug", FT_DEVICE_NOT_FOUND}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The report and the image are saved whole or not at all: never into a pipe put in the
// report's place, which a plain write would feed (or wait on, with nobody reading it).
TEST(VirtualAdapter, AReportThatIsAPipeIsLeftAloneAndTheFilesAreNotOk) {
  const std::filesystem::path directory = FreshDirectory();
  const std::filesystem::path report = directory / "report.txt";
  ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
  // Someone reads the pipe, so that a write into it would not hang the test.
  const int reader = ::open(report.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  {
    VirtualAdapter adapter(directory);
    Wire wire(adapter);
    wire.Open();
    wire.UseUsb();
    wire.Send(true, Transfer(MakeImage(10)));
    EXPECT_FALSE(adapter.FilesOk());
    wire.Close();
  }
  char byte = 0;
  EXPECT_LE(::read(reader, &byte, 1), 0);
  ::close(reader);
  EXPECT_TRUE(std::filesystem::is_fifo(report));
  EXPECT_EQ(std::filesystem::file_size(directory / "image.bin"), std::uintmax_t{kTransferBytes});
  std::filesystem::remove_all(directory);
}

// Lines given to LineRuns, one letter a line, and what it writes out.
struct Folding {
  const char* Name;
  const char* Lines;
  std::vector<std::string> Written;
};

void PrintTo(const Folding& folding, std::ostream* out) {
  *out << folding.Name;
}

class LineFolding : public ::testing::TestWithParam<Folding> {};

TEST_P(LineFolding, WritesRepeatsOnceWithACount) {
  LineRuns runs;
  std::string out;
  for (const char* letter = GetParam().Lines; *letter != '\0'; ++letter) {
    runs.Add(std::string(1, *letter), out);
  }
  runs.End(out);
  EXPECT_EQ(Lines(out), GetParam().Written);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LineFolding,
    ::testing::Values(
        Folding{"NoRepeats", "ABCD", {"A", "B", "C", "D"}},
        Folding{"OneLineRepeated", "AAAAB", {"A", "… ×3 more of the line above", "B"}},
        Folding{"CycleOfFour",
                "ABCDABCDABCDE",
                {"A", "B", "C", "D", "… ×2 more of the 4 lines above", "E"}},
        Folding{"RepetitionCutShort",
                "ABCABCABD",
                {"A", "B", "C", "… ×1 more of the 3 lines above", "A", "B", "D"}},
        Folding{"CycleOnlyBegun", "ABCABD", {"A", "B", "C", "A", "B", "D"}},
        Folding{"RunOpenAtTheEnd", "ABAB", {"A", "B", "… ×1 more of the 2 lines above"}},
        Folding{"LongerCycleThanTheFirstMatch",
                "ABACABACABAC",
                {"A", "B", "A", "C", "… ×2 more of the 4 lines above"}},
        // A count stands for lines written out since the previous count, never for lines
        // that count stands for: Z X Y Z is written out, not folded over the first count.
        Folding{"CountNeverReachesAboveTheLastCount",
                "XYXYZXYZ",
                {"X", "Y", "… ×1 more of the 2 lines above", "Z", "X", "Y", "Z"}},
        Folding{"CycleLongerThanRecognised",
                "ABCDEFGHIABCDEFGHI",
                {"A", "B", "C", "D", "E", "F", "G", "H", "I", "A", "B", "C", "D", "E", "F", "G",
                 "H", "I"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VirtualAdapter, IdleExchangesTakeAFewLinesOfTheWireLog) {
  const std::filesystem::path directory = FreshDirectory();
  std::ofstream(directory / "wire.log.1") << "an earlier run\n";
  {
    VirtualAdapter adapter(directory);
    EXPECT_FALSE(std::filesystem::exists(directory / "wire.log.1"));
    Wire wire(adapter);
    wire.Open();
    wire.UseUsb();
    for (int tick = 0; tick < 1000; ++tick) wire.UsbExchange(Slots{});  // 50 s of idling
    wire.Close();
  }
  const std::vector<std::string> log = Lines(ReadText(directory / "wire.log"));
  ASSERT_EQ(log.size(), 10u) << ReadText(directory / "wire.log").substr(0, 2000);
  EXPECT_EQ(log[4], "FT_SetRts(1) = FT_OK");
  EXPECT_EQ(log[5].rfind("FT_Write(1, 528) = FT_OK -> 528: 00 01 00 00", 0), 0u);
  EXPECT_EQ(log[6].rfind("FT_Read(1, 272) = FT_OK -> 272: 00 00", 0), 0u);
  EXPECT_EQ(log[7], "FT_ClrRts(1) = FT_OK");
  EXPECT_EQ(log[8], "… ×999 more of the 4 lines above");
  EXPECT_EQ(log[9], "FT_Close(1) = FT_OK");
  std::filesystem::remove_all(directory);
}

TEST(VirtualAdapter, WireLogRotatesAtItsCapAndTheOtherFilesStayTheSame) {
  constexpr std::uint64_t kCap = 64 * 1024;
  const std::filesystem::path whole = FreshDirectory();
  const std::filesystem::path capped = FreshDirectory();
  const Image image = MakeImage(8);
  ReceivedTransfer received;
  for (const auto& [directory, cap] : {std::pair(whole, WireLog::kDefaultCap), {capped, kCap}}) {
    VirtualAdapter adapter(directory, UiLanguage::Polish, cap);
    Wire wire(adapter);
    wire.Open();
    wire.UseUsb();
    for (int tick = 0; tick < 30; ++tick) wire.UsbExchange(Slots{});
    wire.Send(true, Transfer(image));
    wire.Close();
    received = adapter.Received();
  }
  ASSERT_EQ(received.Outcome, TransferOutcome::Complete);
  const std::string report = FormatReceiverReport(received, UiLanguage::Polish);
  for (const std::filesystem::path& directory : {whole, capped}) {
    EXPECT_EQ(ReadText(directory / "report.txt"), report);
    EXPECT_EQ(ReadText(directory / "image.bin"), std::string(image.begin(), image.end()));
  }

  const std::string wholeLog = ReadText(whole / "wire.log");
  ASSERT_GT(wholeLog.size(), 2 * kCap);
  EXPECT_FALSE(std::filesystem::exists(whole / "wire.log.1"));
  const std::string older = ReadText(capped / "wire.log.1");
  const std::string newer = ReadText(capped / "wire.log");
  for (const std::string& part : {older, newer}) {
    EXPECT_LE(part.size(), kCap);
    EXPECT_GT(part.size(), kCap / 2);
    EXPECT_EQ(part.back(), '\n');
  }
  // The two files are the last lines of the whole log, in order and whole.
  const std::string tail = older + newer;
  ASSERT_LE(tail.size(), wholeLog.size());
  EXPECT_EQ(wholeLog.substr(wholeLog.size() - tail.size()), tail);
  EXPECT_EQ(wholeLog[wholeLog.size() - tail.size() - 1], '\n');
  EXPECT_EQ(Lines(newer).back(), "FT_Close(1) = FT_OK");
  std::filesystem::remove_all(whole);
  std::filesystem::remove_all(capped);
}

}  // namespace
}  // namespace lumora
