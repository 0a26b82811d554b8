#include "programming/adapters/adapter_choice.h"

#include <filesystem>
#include <system_error>

#include "programming/adapters/serial_device.h"
#include "programming/adapters/tty_adapter.h"
#include "programming/virtual/virtual_adapter.h"

namespace lumora {

namespace {

constexpr std::string_view kVirtual = "virtual";
constexpr std::string_view kVirtualInto = "virtual:";

AdapterChoice Failure(std::string message) {
  return AdapterChoice{nullptr, "LUMORA_ADAPTER: " + std::move(message)};
}

AdapterChoice VirtualInto(std::string_view directoryText) {
  const std::string quoted = "\"" + std::string(directoryText) + "\"";
  if (directoryText.empty()) return Failure("brak katalogu po \"virtual:\"");
  const std::filesystem::path directory(directoryText);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error || !std::filesystem::is_directory(directory, error)) {
    return Failure("nie można utworzyć katalogu " + quoted);
  }
  auto adapter = std::make_unique<VirtualAdapter>(directory);
  if (!adapter->FilesOk()) return Failure("nie można zapisywać w katalogu " + quoted);
  return AdapterChoice{std::move(adapter), {}};
}

}  // namespace

AdapterChoice ChooseAdapter(std::string_view value, const UsbAdapterFactory& makeUsbAdapter) {
  if (value.empty() || value == "usb") {
    std::unique_ptr<UsbAdapter> adapter = makeUsbAdapter ? makeUsbAdapter() : nullptr;
    if (!adapter) return Failure("sterownik USB niedostępny");
    return AdapterChoice{std::move(adapter), {}};
  }
  if (value == kVirtual) return AdapterChoice{std::make_unique<VirtualAdapter>(), {}};
  if (value.starts_with(kVirtualInto)) return VirtualInto(value.substr(kVirtualInto.size()));
  // The device is looked for when the programming window opens, as a USB chip is.
  if (value.starts_with(kSerialAdapterPrefix)) {
    const std::string_view name = value.substr(kSerialAdapterPrefix.size());
    if (name.empty()) {
      return Failure("brak " + std::string(kSerialDeviceWord) + " po \"" +
                     std::string(kSerialAdapterPrefix) + "\"");
    }
    return AdapterChoice{std::make_unique<TtyAdapter>(SerialDevicePath(name)), {}};
  }
  return Failure("nieznana wartość \"" + std::string(value) +
                 "\"; dozwolone: virtual, virtual:KATALOG, usb, " +
                 std::string(kSerialAdapterUsage));
}

}  // namespace lumora
