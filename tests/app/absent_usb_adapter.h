#pragma once

#include <memory>
#include <string>

#include "programming/adapters/usb_adapter.h"

namespace lumora::testing {

// The platform's real USB backend with no adapter to find, one file per platform, and the
// message the programming window shows for it.
std::unique_ptr<UsbAdapter> AbsentUsbAdapter();
std::string AbsentUsbAdapterMessage();

}  // namespace lumora::testing
