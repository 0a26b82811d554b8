#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "main_window/program_tables.h"
#include "programming/programming_packet.h"
#include "programming/programming_settings.h"

namespace lumora {

enum class TransferState : std::uint8_t { Idle, Running, Finished };

// The transfer of the controller image as 223 packets: pages 0..221, then the final packet
// with page 222 and the image checksum. The user-interface thread requests it; the timer
// thread prepares the packets. Counters keep their values while the window is closed.
class ProgrammingTransfer {
 public:
  explicit ProgrammingTransfer(const ControllerImageArray& image) : image_(image) {}

  // "Programuj sterownik": a transfer that runs goes on; otherwise one starts from page 0.
  void Request() { state_ = TransferState::Running; }
  TransferState State() const { return state_; }

  // CRC-16 over the low bytes of the 57,088 image entries that are sent.
  void ComputeImageChecksum();
  std::uint16_t ImageChecksum() const { return imageChecksum_; }

  // Only while Running: writes the next packet into the DMX slots and returns the progress
  // bar's new position (packets prepared; 0 once the final packet is prepared).
  int PrepareNextPacket(std::span<std::uint8_t> slots, const PacketSettings& settings);

  // The link failed: the transfer ends unfinished and the next request starts from page 0.
  void Abandon();

 private:
  void WritePacket(std::span<std::uint8_t> slots, const PacketSettings& settings, bool final);

  const ControllerImageArray& image_;
  std::atomic<TransferState> state_{TransferState::Idle};
  // Timer thread only.
  bool started_ = false;
  int packetCount_ = 0;
  int imagePosition_ = 0;
  std::uint8_t pageNumber_ = 0;
  // Written while the timer gate is closed, read by the ticks.
  std::uint16_t imageChecksum_ = 0;
  std::array<std::uint8_t, kTransferBytes> checksumScratch_{};
};

}  // namespace lumora
