#include "programming/adapter_choice.h"

#include <filesystem>
#include <system_error>

#include "common/translation_mark.h"
#include "files/utf8_path.h"
#include "programming/adapters/serial_device.h"
#include "programming/adapters/tty_adapter.h"
#include "programming/virtual/virtual_adapter.h"

namespace lumora {

namespace {

constexpr std::string_view kVirtual = "virtual";
constexpr std::string_view kVirtualInto = "virtual:";

constexpr std::string_view kNoDirectory =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: brak katalogu po \"virtual:\"");
constexpr std::string_view kDirectoryNotMade =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: nie można utworzyć katalogu \"%1\"");
constexpr std::string_view kDirectoryNotWritable =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: nie można zapisywać w katalogu \"%1\"");
constexpr std::string_view kNoUsbDriver =
    LUMORA_TR_NOOP("message", "LUMORA_ADAPTER: sterownik USB niedostępny");

AdapterChoice Failure(AdapterProblem problem, std::string_view reason,
                      std::string_view value = {}) {
  std::string error(reason);
  if (const std::size_t mark = error.find("%1"); mark != std::string::npos) {
    error.replace(mark, 2, value);
  }
  return AdapterChoice{nullptr, problem, std::move(error), reason, std::string(value)};
}

AdapterChoice VirtualInto(std::string_view directoryText, UiLanguage reportLanguage) {
  if (directoryText.empty()) return Failure(AdapterProblem::NoDirectory, kNoDirectory);
  const std::filesystem::path directory = PathFromUtf8(directoryText);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error || !std::filesystem::is_directory(directory, error)) {
    return Failure(AdapterProblem::DirectoryNotMade, kDirectoryNotMade, directoryText);
  }
  auto adapter = std::make_unique<VirtualAdapter>(directory, reportLanguage);
  if (!adapter->FilesOk()) {
    return Failure(AdapterProblem::DirectoryNotWritable, kDirectoryNotWritable, directoryText);
  }
  return AdapterChoice{std::move(adapter)};
}

}  // namespace

AdapterChoice ChooseAdapter(std::string_view value, const UsbAdapterFactory& makeUsbAdapter,
                            UiLanguage reportLanguage) {
  if (value.empty() || value == "usb") {
    std::unique_ptr<UsbAdapter> adapter = makeUsbAdapter ? makeUsbAdapter() : nullptr;
    if (!adapter) return Failure(AdapterProblem::NoUsbDriver, kNoUsbDriver);
    return AdapterChoice{std::move(adapter)};
  }
  if (value == kVirtual) return AdapterChoice{std::make_unique<VirtualAdapter>()};
  if (value.starts_with(kVirtualInto)) {
    return VirtualInto(value.substr(kVirtualInto.size()), reportLanguage);
  }
  // The device is looked for when the programming window opens, as a USB chip is.
  if (value.starts_with(kSerialAdapterPrefix)) {
    const std::string_view name = value.substr(kSerialAdapterPrefix.size());
    if (name.empty()) return Failure(AdapterProblem::NoSerialDevice, kNoSerialDevice);
    return AdapterChoice{std::make_unique<TtyAdapter>(SerialDevicePath(name))};
  }
  return Failure(AdapterProblem::UnknownValue, kUnknownAdapterValue, value);
}

}  // namespace lumora
