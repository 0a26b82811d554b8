#include "programming/adapters/com_port.h"
#include "programming/adapters/serial_device.h"

#include "common/translation_mark.h"

namespace lumora {

const std::string_view kSerialAdapterPrefix = "com:";
const std::string_view kNoSerialDevice =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: brak nazwy portu po \"com:\"");
const std::string_view kUnknownAdapterValue =
    LUMORA_TR_NOOP("message",
                   "LUMORA_ADAPTER: nieznana wartość \"%1\"; dozwolone: virtual, virtual:KATALOG, "
                   "usb, com:PORT");

// The device namespace reaches every port; a plain "COM10" and above would not open.
std::string SerialDevicePath(std::string_view name) {
  return name.starts_with("\\\\.\\") ? std::string(name) : "\\\\.\\" + std::string(name);
}

std::unique_ptr<TtyPort> MakeSerialPort() {
  return std::make_unique<ComPort>();
}

}  // namespace lumora
