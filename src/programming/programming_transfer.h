#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "common/program_tables.h"
#include "programming/programming_packet.h"
#include "programming/programming_settings.h"

namespace lumora {

enum class TransferState : std::uint8_t { Idle, Running, Finished };

// The transfer of the controller image as 223 packets: pages 0..221, then the final packet
// with page 222 and the image checksum. The user-interface thread hands it the image and
// requests it; each activation takes the image handed over into the transfer's own copy,
// the only image the timer thread reads. Counters keep their values while the window is
// closed.
class ProgrammingTransfer {
 public:
  // "Programuj sterownik": a transfer that runs goes on; otherwise one starts from page 0.
  // After the link failed, requests are refused until the next activation: a press that
  // reached the window before the failure's notice disabled the button must not arm a
  // transfer that the next opening would start without a press.
  void Request();
  TransferState State() const;

  // While the window is hidden: keeps the low bytes of the 57,088 image entries that are
  // sent, for the next activation.
  void HandOver(const ControllerImageArray& image);
  // At each successful activation, while no tick runs: takes the bytes handed over, and
  // their CRC-16. A transfer under way goes on from its page only when these are the bytes
  // it started with; otherwise it starts again from page 0, so the controller always
  // receives one whole image whose checksums hold.
  void Activate();
  std::uint16_t ImageChecksum() const { return imageChecksum_; }

  // Only while Running: writes the next packet into the DMX slots and returns the progress
  // bar's new position (packets prepared; 0 once the final packet is prepared).
  int PrepareNextPacket(std::span<std::uint8_t> slots, const PacketSettings& settings);

  // The link failed: the transfer ends unfinished and the next request, once the window has
  // been activated again, starts from page 0.
  void Abandon();

 private:
  // TransferState, and Failed: idle after the link failed, refusing requests.
  enum class Phase : std::uint8_t { Idle, Running, Finished, Failed };

  void WritePacket(std::span<std::uint8_t> slots, const PacketSettings& settings, bool final);

  std::atomic<Phase> phase_{Phase::Idle};
  // Timer thread, and the activation while no tick runs.
  bool started_ = false;
  int packetCount_ = 0;
  int imagePosition_ = 0;
  std::uint8_t pageNumber_ = 0;
  // User-interface thread only.
  std::array<std::uint8_t, kTransferBytes> handedOver_{};
  // Written by the activation while no tick runs, read by the ticks. All zero at first, whose
  // checksum is 0.
  std::array<std::uint8_t, kTransferBytes> image_{};
  std::uint16_t imageChecksum_ = 0;
};

}  // namespace lumora
