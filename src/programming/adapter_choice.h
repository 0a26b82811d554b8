#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "programming/adapters/usb_adapter.h"

namespace lumora {

// Makes the real USB backend; the application supplies it, so the logic here never
// links the USB library.
using UsbAdapterFactory = std::function<std::unique_ptr<UsbAdapter>()>;

// The adapter to use, or, when Adapter is null, a message saying why there is none.
struct AdapterChoice {
  std::unique_ptr<UsbAdapter> Adapter;
  // The message: Reason with %1 standing for Value.
  std::string Error = {};
  // The message as marked for translation (context "message"), and the value it names.
  std::string_view Reason = {};
  std::string Value = {};
};

// Chooses the adapter from the value of LUMORA_ADAPTER (the caller reads the variable;
// unset is passed as empty): "" or "usb" -> makeUsbAdapter(); "virtual" -> a VirtualAdapter
// without files; "virtual:DIR" -> a VirtualAdapter writing into DIR, created if missing;
// "tty:PATH" (on Windows "com:PORT") -> a TtyAdapter on the serial device.
AdapterChoice ChooseAdapter(std::string_view value, const UsbAdapterFactory& makeUsbAdapter);

}  // namespace lumora
