#include "programming/adapters/com_port.h"
#include "programming/adapters/serial_device.h"

namespace lumora {

const std::string_view kSerialAdapterPrefix = "com:";
const std::string_view kSerialAdapterUsage = "com:PORT";
const std::string_view kSerialDeviceWord = "nazwy portu";

// The device namespace reaches every port; a plain "COM10" and above would not open.
std::string SerialDevicePath(std::string_view name) {
  return name.starts_with("\\\\.\\") ? std::string(name) : "\\\\.\\" + std::string(name);
}

std::unique_ptr<TtyPort> MakeSerialPort() {
  return std::make_unique<ComPort>();
}

}  // namespace lumora
