#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "programming/programming_packet.h"
#include "programming/virtual/dmx_wire_decoder.h"

namespace lumora {

// Pages 0..221 travel in packets with their own number, the 223rd in the final packet.
inline constexpr std::uint8_t kLastPageNumber = kTransferPackets - 2;

enum class Check : std::uint8_t { NotChecked, Good, Bad };

// What the controller made of one packet.
struct PacketVerdict {
  std::uint32_t Packet = 0;  // 1-based within the transfer
  std::uint16_t Slots = 0;   // slots the frame carried
  std::uint8_t Page = 0;     // slot 17 as received
  Check Header = Check::NotChecked;
  Check PageData = Check::NotChecked;
  Check Image = Check::NotChecked;  // final packet only
  bool AddressRepeated = true;      // page packets: slots 21, 22 and 23 agree
  bool Stored = false;              // the page went into the image
};

// Header fields of the last packet whose header checksum was good.
struct ReceivedSettings {
  std::uint8_t PageNumber = 0;
  std::uint8_t SoloProgram = 0;
  std::uint8_t SoloSpeed = 0;
  std::uint8_t TubeCount = 0;
  std::uint16_t TargetAddress = 0;  // slots 23 (high) and 24 (low)
};

enum class TransferOutcome : std::uint8_t {
  NoPackets,
  InProgress,        // no good final packet yet
  Complete,          // every page and a matching image checksum
  MissingPages,      // the final packet came, some pages did not
  BadImageChecksum,  // every page came, the image checksum does not match
};

// Everything the controller received. The frame counters and CompletedTransfers run from
// the start; the rest belongs to the current transfer, which a good page-0 packet begins
// once the previous one has stored a page.
struct ReceivedTransfer {
  std::uint32_t UsbBlocks = 0;
  std::uint32_t StandardFrames = 0;
  std::uint32_t IdleFrames = 0;     // all slots zero
  std::uint32_t ForeignFrames = 0;  // no programming signature
  std::uint32_t StrayWrites = 0;
  std::uint32_t CompletedTransfers = 0;

  std::array<std::uint8_t, kTransferBytes> Image{};
  std::array<bool, kTransferPackets> PageArrived{};
  std::vector<PacketVerdict> Verdicts;
  std::uint32_t Packets = 0;
  std::uint32_t GoodHeaders = 0;
  std::uint32_t BadHeaders = 0;
  std::uint32_t GoodPages = 0;
  std::uint32_t BadPages = 0;
  std::uint32_t GoodImages = 0;
  std::uint32_t BadImages = 0;
  std::uint32_t CutShort = 0;        // too few slots to hold a packet
  std::uint32_t BadPageNumbers = 0;  // 222..254
  std::uint16_t ImageChecksumSent = 0;
  std::uint16_t ImageChecksumComputed = 0;
  std::optional<ReceivedSettings> LastSettings;
  TransferOutcome Outcome = TransferOutcome::NoPackets;
  bool FinalArrived = false;  // a final packet with good checksums came in this transfer
};

// The controller behind the programmer: checks and reassembles the programming packets in
// the frames it receives.
class PacketReceiver final : public WireFrameSink {
 public:
  void OnFrame(FrameKind kind, std::span<const std::uint8_t> slots) override;
  void OnStrayWrite(std::span<const std::uint8_t> bytes) override;

  const ReceivedTransfer& Received() const { return received_; }

 private:
  void TakePacket(std::span<const std::uint8_t> slots);
  void StartTransfer();
  void FinishTransfer(std::span<const std::uint8_t> slots, PacketVerdict& verdict);

  ReceivedTransfer received_;
};

}  // namespace lumora
