#include "programming/adapters/d2xx_adapter.h"
#include "programming/adapters/system_usb_adapter.h"

namespace lumora {

std::unique_ptr<UsbAdapter> MakeSystemUsbAdapter() {
  return std::make_unique<D2xxAdapter>();
}

}  // namespace lumora
