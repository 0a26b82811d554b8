#pragma once

#include <string>

#include "programming/virtual/packet_receiver.h"

namespace lumora {

// The plain-text report of what the controller received: frames, packets, pages, target
// address, solo settings, every checksum verdict and the outcome.
std::string FormatReceiverReport(const ReceivedTransfer& received);

}  // namespace lumora
