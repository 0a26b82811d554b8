#include "programming/adapters/kernel_tty_port.h"
#include "programming/adapters/serial_device.h"

#include "common/translation_mark.h"

namespace lumora {

const std::string_view kSerialAdapterPrefix = "tty:";
const std::string_view kNoSerialDevice =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: brak ścieżki urządzenia po \"tty:\"");
const std::string_view kUnknownAdapterValue =
    LUMORA_TR_NOOP("message",
                   "LUMORA_ADAPTER: nieznana wartość \"%1\"; dozwolone: virtual, virtual:KATALOG, "
                   "usb, tty:URZĄDZENIE");

std::string SerialDevicePath(std::string_view name) {
  return std::string(name);
}

std::unique_ptr<TtyPort> MakeSerialPort() {
  return std::make_unique<KernelTtyPort>();
}

}  // namespace lumora
