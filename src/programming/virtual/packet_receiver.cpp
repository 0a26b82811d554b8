#include "programming/virtual/packet_receiver.h"

#include <algorithm>

#include "programming/crc16.h"

namespace lumora {

namespace {

// Slot n of a packet (numbered from 1) in a span that starts at slot 1.
std::uint8_t Slot(std::span<const std::uint8_t> slots, std::size_t n) {
  return slots[n - 1];
}

std::uint16_t Word(std::span<const std::uint8_t> slots, std::size_t highSlot) {
  return static_cast<std::uint16_t>(Slot(slots, highSlot) << 8 | Slot(slots, highSlot + 1));
}

bool HasSignature(std::span<const std::uint8_t> slots) {
  return slots.size() >= ProgrammingSignature.size() &&
         std::equal(ProgrammingSignature.begin(), ProgrammingSignature.end(), slots.begin());
}

}  // namespace

void PacketReceiver::OnFrame(FrameKind kind, std::span<const std::uint8_t> slots) {
  ++(kind == FrameKind::UsbBlock ? received_.UsbBlocks : received_.StandardFrames);
  if (std::all_of(slots.begin(), slots.end(), [](std::uint8_t s) { return s == 0; })) {
    ++received_.IdleFrames;
  } else if (!HasSignature(slots)) {
    ++received_.ForeignFrames;
  } else {
    TakePacket(slots);
  }
}

void PacketReceiver::OnStrayWrite(std::span<const std::uint8_t>) {
  ++received_.StrayWrites;
}

void PacketReceiver::TakePacket(std::span<const std::uint8_t> slots) {
  PacketVerdict verdict;
  verdict.Slots = static_cast<std::uint16_t>(slots.size());
  if (slots.size() > ProgrammingSignature.size()) verdict.Page = Slot(slots, 17);

  const bool whole = slots.size() >= std::size_t{kPacketSlots};
  const bool headerOk = whole && TransferCrc16(slots.subspan(16, 10)) == Word(slots, 27);
  const bool pageOk =
      whole && TransferCrc16(slots.subspan(kPageSlot - 1, kPageSize)) == Word(slots, 25);
  const bool anyStored = std::find(received_.PageArrived.begin(), received_.PageArrived.end(),
                                   true) != received_.PageArrived.end();
  if (headerOk && verdict.Page == 0 && (anyStored || received_.FinalArrived)) StartTransfer();

  verdict.Packet = ++received_.Packets;
  if (!received_.FinalArrived) received_.Outcome = TransferOutcome::InProgress;
  if (!whole) {
    ++received_.CutShort;
    received_.Verdicts.push_back(verdict);
    return;
  }
  verdict.Header = headerOk ? Check::Good : Check::Bad;
  verdict.PageData = pageOk ? Check::Good : Check::Bad;
  ++(headerOk ? received_.GoodHeaders : received_.BadHeaders);
  ++(pageOk ? received_.GoodPages : received_.BadPages);
  if (verdict.Page != kFinalPageNumber) {
    verdict.AddressRepeated =
        Slot(slots, 21) == Slot(slots, 23) && Slot(slots, 22) == Slot(slots, 23);
  }
  if (headerOk) {
    received_.LastSettings = ReceivedSettings{verdict.Page, Slot(slots, 18), Slot(slots, 19),
                                              Slot(slots, 20), Word(slots, 23)};
  }

  // The controller takes a page only when both checksums hold.
  const bool isFinal = verdict.Page == kFinalPageNumber;
  if (headerOk && pageOk && (verdict.Page <= kLastPageNumber || isFinal)) {
    const std::size_t page = isFinal ? kTransferPackets - 1 : verdict.Page;
    std::copy_n(slots.begin() + (kPageSlot - 1), kPageSize,
                received_.Image.begin() + page * kPageSize);
    received_.PageArrived[page] = true;
    verdict.Stored = true;
    if (isFinal) FinishTransfer(slots, verdict);
  } else if (headerOk && pageOk) {
    ++received_.BadPageNumbers;
  }
  received_.Verdicts.push_back(verdict);
}

void PacketReceiver::FinishTransfer(std::span<const std::uint8_t> slots, PacketVerdict& verdict) {
  received_.ImageChecksumSent = Word(slots, 21);
  received_.ImageChecksumComputed = TransferCrc16(received_.Image);
  const bool imageOk = received_.ImageChecksumSent == received_.ImageChecksumComputed;
  verdict.Image = imageOk ? Check::Good : Check::Bad;
  ++(imageOk ? received_.GoodImages : received_.BadImages);

  const bool wasComplete = received_.Outcome == TransferOutcome::Complete;
  const bool allPages = std::all_of(received_.PageArrived.begin(), received_.PageArrived.end(),
                                    [](bool arrived) { return arrived; });
  received_.FinalArrived = true;
  received_.Outcome = !allPages ? TransferOutcome::MissingPages
                      : imageOk ? TransferOutcome::Complete
                                : TransferOutcome::BadImageChecksum;
  if (received_.Outcome == TransferOutcome::Complete && !wasComplete) {
    ++received_.CompletedTransfers;
  }
}

void PacketReceiver::StartTransfer() {
  ReceivedTransfer fresh;
  fresh.UsbBlocks = received_.UsbBlocks;
  fresh.StandardFrames = received_.StandardFrames;
  fresh.IdleFrames = received_.IdleFrames;
  fresh.ForeignFrames = received_.ForeignFrames;
  fresh.StrayWrites = received_.StrayWrites;
  fresh.CompletedTransfers = received_.CompletedTransfers;
  fresh.LastSettings = received_.LastSettings;
  received_ = std::move(fresh);
}

}  // namespace lumora
