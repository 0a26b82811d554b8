#pragma once

#include <string>

#include "common/ui_language.h"
#include "programming/virtual/packet_receiver.h"

namespace lumora {

// The plain-text report of what the controller received: frames, packets, pages, target
// address, solo settings, every checksum verdict and the outcome, in the session's language.
std::string FormatReceiverReport(const ReceivedTransfer& received, UiLanguage language);

}  // namespace lumora
