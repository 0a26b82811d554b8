#include "programming/adapters/ftdi_adapter.h"
#include "programming/adapters/system_usb_adapter.h"

namespace lumora {

std::unique_ptr<UsbAdapter> MakeSystemUsbAdapter() {
  return std::make_unique<FtdiAdapter>();
}

}  // namespace lumora
