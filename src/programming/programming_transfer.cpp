#include "programming/programming_transfer.h"

#include <algorithm>

#include "programming/crc16.h"

namespace lumora {

void ProgrammingTransfer::ComputeImageChecksum() {
  std::transform(image_.begin(), image_.begin() + kTransferBytes, checksumScratch_.begin(),
                 [](std::int32_t entry) { return static_cast<std::uint8_t>(entry & 0xFF); });
  imageChecksum_ = TransferCrc16(checksumScratch_);
}

void ProgrammingTransfer::WritePacket(std::span<std::uint8_t> slots, const PacketSettings& settings,
                                      bool final) {
  WriteProgrammingPacket(slots.first<kPacketSlots>(), pageNumber_, settings,
                         std::span(image_).subspan(imagePosition_).first<kPageSize>(),
                         final ? std::optional(imageChecksum_) : std::nullopt);
  imagePosition_ += kPageSize;
}

int ProgrammingTransfer::PrepareNextPacket(std::span<std::uint8_t> slots,
                                           const PacketSettings& settings) {
  if (!started_) {
    started_ = true;
    imagePosition_ = 0;
    packetCount_ = 0;
    pageNumber_ = 0;
    WritePacket(slots, settings, false);
    packetCount_ = 1;
    return packetCount_;
  }
  if (packetCount_ == kTransferPackets - 1) {
    pageNumber_ = kFinalPageNumber;
    WritePacket(slots, settings, true);
    state_ = TransferState::Finished;
    started_ = false;
    return 0;
  }
  ++pageNumber_;
  WritePacket(slots, settings, false);
  ++packetCount_;
  return packetCount_;
}

void ProgrammingTransfer::Abandon() {
  state_ = TransferState::Idle;
  started_ = false;
}

}  // namespace lumora
