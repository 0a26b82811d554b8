#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "common/program_tables.h"
#include "programming/programming_settings.h"

namespace lumora {

inline constexpr std::array<std::uint8_t, 16> ProgrammingSignature = {
    0x5C, 0x21, 0x9A, 0x47, 0xE3, 0x0B, 0x76, 0xD8, 0x14, 0xAF, 0x62, 0x3E, 0xC9, 0x85, 0x1D, 0xB0};

// Slots 1..284 carry a packet; the page starts at slot 29.
inline constexpr int kPacketSlots = 284;
inline constexpr int kPageSlot = 29;
inline constexpr std::uint8_t kFinalPageNumber = 255;

// Writes one programming packet into DMX slots 1..284 (slots[0] is slot 1): signature,
// header, the 256 page bytes and the CRC-16 checksums, high byte first.
// The final packet gives header slots 21 and 22 to the image checksum.
void WriteProgrammingPacket(std::span<std::uint8_t, kPacketSlots> slots, std::uint8_t pageNumber,
                            const PacketSettings& settings,
                            std::span<const std::uint8_t, kPageSize> page,
                            std::optional<std::uint16_t> imageChecksum);

}  // namespace lumora
