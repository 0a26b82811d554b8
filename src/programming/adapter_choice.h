#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/ui_language.h"
#include "programming/adapters/usb_adapter.h"

namespace lumora {

// Makes the real USB backend; the application supplies it, so the logic here never
// links the USB library.
using UsbAdapterFactory = std::function<std::unique_ptr<UsbAdapter>()>;

// Why a value of LUMORA_ADAPTER gives no adapter.
enum class AdapterProblem {
  None,
  NoDirectory,           // "virtual:" with nothing after it
  DirectoryNotMade,      // the folder Value could not be made
  DirectoryNotWritable,  // the folder Value cannot be written
  NoUsbDriver,           // the USB backend is not there
  NoSerialDevice,        // the serial prefix with nothing after it
  UnknownValue,          // Value is none of the adapters
};

// The adapter to use, or, when Adapter is null, a message saying why there is none.
struct AdapterChoice {
  std::unique_ptr<UsbAdapter> Adapter;
  AdapterProblem Problem = AdapterProblem::None;
  // The message: Reason with %1 standing for Value.
  std::string Error = {};
  // The message as marked for translation (context "message"), and the value it names.
  std::string_view Reason = {};
  std::string Value = {};
};

// Chooses the adapter from the value of LUMORA_ADAPTER (the caller reads the variable;
// unset is passed as empty): "" or "usb" -> makeUsbAdapter(); "virtual" -> a VirtualAdapter
// without files; "virtual:DIR" -> a VirtualAdapter writing into DIR, created if missing;
// "tty:PATH" (on Windows "com:PORT") -> a TtyAdapter on the serial device. A virtual
// controller writes its report in reportLanguage.
AdapterChoice ChooseAdapter(std::string_view value, const UsbAdapterFactory& makeUsbAdapter,
                            UiLanguage reportLanguage = UiLanguage::Polish);

}  // namespace lumora
