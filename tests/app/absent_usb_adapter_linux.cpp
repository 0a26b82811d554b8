#include <array>

#include "absent_usb_adapter.h"
#include "common/dialogs.h"
#include "programming/adapters/ftdi_adapter.h"

namespace lumora::testing {

namespace {

// A product id no chip has, so that an adapter plugged into the machine is not found either.
constexpr std::array<UsbId, 1> kNoSuchChip = {{{0x0403, 0x0000}}};

}  // namespace

std::unique_ptr<UsbAdapter> AbsentUsbAdapter() {
  return std::make_unique<FtdiAdapter>(kNoSuchChip);
}

std::string AbsentUsbAdapterMessage() {
  return std::string(message::NoProgrammer);
}

}  // namespace lumora::testing
