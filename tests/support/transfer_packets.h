#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "programming/programming_transfer.h"

namespace lumora::testing {

using PacketSlots = std::array<std::uint8_t, kPacketSlots>;

// The 223 packets of one whole transfer of the image with the given settings, in the order the
// transfer prepares them: pages 0..221, then the final packet.
inline std::vector<PacketSlots> TransferPackets(const ControllerImageArray& image,
                                                const PacketSettings& settings) {
  ProgrammingTransfer transfer;
  transfer.HandOver(image);
  transfer.Activate();
  transfer.Request();
  std::vector<PacketSlots> packets(kTransferPackets);
  for (PacketSlots& packet : packets) transfer.PrepareNextPacket(packet, settings);
  return packets;
}

}  // namespace lumora::testing
