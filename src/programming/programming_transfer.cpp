#include "programming/programming_transfer.h"

#include "programming/crc16.h"

namespace lumora {

void ProgrammingTransfer::Request() {
  Phase phase = phase_.load();
  // A failure that lands meanwhile wins: the exchange fails and the loop sees Failed.
  while ((phase == Phase::Idle || phase == Phase::Finished) &&
         !phase_.compare_exchange_weak(phase, Phase::Running)) {
  }
}

TransferState ProgrammingTransfer::State() const {
  switch (phase_.load()) {
    case Phase::Running:
      return TransferState::Running;
    case Phase::Finished:
      return TransferState::Finished;
    case Phase::Idle:
    case Phase::Failed:
      break;
  }
  return TransferState::Idle;
}

void ProgrammingTransfer::HandOver(const ControllerImageArray& image) {
  handedOver_ = SentImage(image);
}

void ProgrammingTransfer::Activate() {
  if (handedOver_ != image_) {
    image_ = handedOver_;
    imageChecksum_ = TransferCrc16(image_);
    started_ = false;
  }
  Phase failed = Phase::Failed;
  phase_.compare_exchange_strong(failed, Phase::Idle);
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
    phase_ = Phase::Finished;
    started_ = false;
    return 0;
  }
  ++pageNumber_;
  WritePacket(slots, settings, false);
  ++packetCount_;
  return packetCount_;
}

void ProgrammingTransfer::Abandon() {
  phase_ = Phase::Failed;
  started_ = false;
}

}  // namespace lumora
