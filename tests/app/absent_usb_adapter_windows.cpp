#include "absent_usb_adapter.h"
#include "common/dialogs.h"
#include "programming/adapters/d2xx_adapter.h"

namespace lumora::testing {

// Without the adapter maker's driver library no adapter can be reached.
std::unique_ptr<UsbAdapter> AbsentUsbAdapter() {
  return std::make_unique<D2xxAdapter>(L"lumora-no-such-ftd2xx.dll");
}

std::string AbsentUsbAdapterMessage() {
  return std::string(message::NoProgrammer) + "\n" + std::string(message::NoAdapterDriver);
}

}  // namespace lumora::testing
