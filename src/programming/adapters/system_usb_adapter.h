#pragma once

#include <memory>

#include "programming/adapters/usb_adapter.h"

namespace lumora {

// The real USB backend of this system, one file per platform: libftdi on Linux, the adapter
// maker's D2XX library on Windows.
std::unique_ptr<UsbAdapter> MakeSystemUsbAdapter();

}  // namespace lumora
