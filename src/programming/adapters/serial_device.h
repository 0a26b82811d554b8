#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "programming/adapters/tty_port.h"

namespace lumora {

// The serial devices of this system, one file per platform: on Linux a tty the kernel drives
// ("tty:/dev/ttyUSB0"), on Windows a COM port ("com:COM5").

// How LUMORA_ADAPTER names a serial device: this prefix, then the device.
extern const std::string_view kSerialAdapterPrefix;
// The messages of LUMORA_ADAPTER's choice that name the serial device (context "message"):
// nothing after the prefix, and an unknown value (%1) with the values allowed.
extern const std::string_view kNoSerialDevice;
extern const std::string_view kUnknownAdapterValue;

// The path the system opens for the device's name.
std::string SerialDevicePath(std::string_view name);

// The system's serial calls.
std::unique_ptr<TtyPort> MakeSerialPort();

}  // namespace lumora
