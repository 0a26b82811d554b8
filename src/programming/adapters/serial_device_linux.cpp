#include "programming/adapters/kernel_tty_port.h"
#include "programming/adapters/serial_device.h"

namespace lumora {

const std::string_view kSerialAdapterPrefix = "tty:";
const std::string_view kSerialAdapterUsage = "tty:URZĄDZENIE";
const std::string_view kSerialDeviceWord = "ścieżki urządzenia";

std::string SerialDevicePath(std::string_view name) {
  return std::string(name);
}

std::unique_ptr<TtyPort> MakeSerialPort() {
  return std::make_unique<KernelTtyPort>();
}

}  // namespace lumora
