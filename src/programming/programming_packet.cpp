#include "programming/programming_packet.h"

#include <algorithm>

#include "programming/crc16.h"

namespace lumora {

namespace {

// Slot n lies at index n - 1.
constexpr int At(int slot) {
  return slot - 1;
}

void StoreHighFirst(std::span<std::uint8_t, kPacketSlots> slots, int slot, std::uint16_t value) {
  slots[At(slot)] = static_cast<std::uint8_t>(value >> 8);
  slots[At(slot + 1)] = static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

void WriteProgrammingPacket(std::span<std::uint8_t, kPacketSlots> slots, std::uint8_t pageNumber,
                            const PacketSettings& settings,
                            std::span<const std::uint8_t, kPageSize> page,
                            std::optional<std::uint16_t> imageChecksum) {
  std::copy(ProgrammingSignature.begin(), ProgrammingSignature.end(), slots.begin());
  slots[At(17)] = pageNumber;
  slots[At(18)] = settings.SoloProgram;
  slots[At(19)] = settings.SoloSpeed;
  slots[At(20)] = settings.TubeCount;
  // The address's high byte stands three times, its low byte once.
  slots[At(21)] = settings.AddressHigh;
  slots[At(22)] = settings.AddressHigh;
  slots[At(23)] = settings.AddressHigh;
  slots[At(24)] = settings.AddressLow;
  if (imageChecksum) StoreHighFirst(slots, 21, *imageChecksum);
  const auto pageBytes = slots.subspan<At(kPageSlot), kPageSize>();
  std::copy(page.begin(), page.end(), pageBytes.begin());
  StoreHighFirst(slots, 25, TransferCrc16(pageBytes));
  StoreHighFirst(slots, 27, TransferCrc16(slots.subspan<At(17), 10>()));
}

}  // namespace lumora
