#include "chip_line_writes.h"

#include <charconv>
#include <map>
#include <sstream>

#include "programming/adapters/usb_adapter.h"
#include "programming/wire_format.h"

namespace lumora::testing {

namespace {

// xHCI's endpoint number of the chip's bulk OUT endpoint 2: twice the endpoint, plus one for IN.
constexpr unsigned kBulkOutEndpointId = 4;
// The FTDI vendor request that sets the modem lines: value bits 0 and 1 are DTR and RTS, bits 8
// and 9 say which of them change.
constexpr unsigned kSetModemControl = 0x4001;

// The number after key in line, decimal or with 0x hexadecimal.
std::optional<unsigned long> NumberAfter(std::string_view line, std::string_view key) {
  const std::size_t at = line.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view text = line.substr(at + key.size());
  int base = 10;
  if (text.starts_with("0x")) {
    base = 16;
    text.remove_prefix(2);
  }
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc()) return std::nullopt;
  return value;
}

// The transfer's address in QEMU, "0x7fe5dc5aec00:".
std::string_view TransferId(std::string_view line) {
  const std::size_t start = line.find(' ') + 1;
  return line.substr(start, line.find(':', start) - start);
}

}  // namespace

std::uint16_t ProtocolDivisor(std::uint32_t rate) {
  for (const std::uint16_t divisor : {kUsbDivisor, kDmxDivisor, kBreakDivisor}) {
    if (kChipEighthsPerSecond / BitEighths(divisor) == rate) return divisor;
  }
  return 0;
}

ChipLine ReadChipLine(std::string_view trace, const std::vector<std::uint8_t>& wire) {
  ChipLine line;
  ChipWrite current;
  std::size_t sent = 0;
  std::map<std::string, unsigned long, std::less<>> endpointOf;
  bool rtsDropped = true;
  const auto endWrite = [&] {
    if (!current.Bytes.empty()) {
      line.Writes.push_back(current);
      rtsDropped = !current.Rts;
    }
    current.Bytes.clear();
  };
  std::istringstream lines{std::string(trace)};
  for (std::string text; std::getline(lines, text);) {
    const std::string_view event = text;
    if (event.starts_with("usb_serial_handle_control ")) {
      endWrite();
      const auto request = NumberAfter(event, "got control ");
      const auto value = NumberAfter(event, "value ");
      if (request == kSetModemControl && value) {
        if ((*value & 0x100) != 0) current.Dtr = (*value & 0x1) != 0;
        if ((*value & 0x200) != 0) current.Rts = (*value & 0x2) != 0;
        rtsDropped = rtsDropped || !current.Rts;
      }
    } else if (event.starts_with("usb_serial_set_baud ")) {
      if (const auto rate = NumberAfter(event, "baud rate ")) {
        current.Rate = static_cast<std::uint32_t>(*rate);
        current.Format.Divisor = ProtocolDivisor(current.Rate);
      }
    } else if (event.starts_with("usb_serial_set_data ")) {
      const std::size_t parity = event.find("parity ");
      const auto bits = NumberAfter(event, "data bits ");
      const auto stops = NumberAfter(event, "stop bits ");
      if (parity != std::string_view::npos && bits && stops) {
        // 'N', 'O', 'E', 'M', 'S' as the adapter calls number them.
        const std::size_t code = std::string_view("NOEMS").find(event[parity + 7]);
        current.Format.Parity =
            static_cast<std::uint8_t>(code == std::string_view::npos ? 0xFF : code);
        current.Format.WordLength = static_cast<std::uint8_t>(*bits);
        current.Format.StopBits = *stops == 2 ? FT_STOP_BITS_2 : FT_STOP_BITS_1;
      }
    } else if (event.starts_with("usb_xhci_xfer_start ")) {
      if (const auto endpoint = NumberAfter(event, "epid ")) {
        endpointOf[std::string(TransferId(event))] = *endpoint;
      }
    } else if (event.starts_with("usb_xhci_xfer_success ")) {
      const auto found = endpointOf.find(TransferId(event));
      const auto length = NumberAfter(event, "len ");
      if (found == endpointOf.end() || found->second != kBulkOutEndpointId || !length) continue;
      if (sent + *length > wire.size()) {
        line.Error = "the trace sends " + std::to_string(sent + *length) +
                     " bytes, the wire holds " + std::to_string(wire.size());
        break;
      }
      if (current.Bytes.empty()) current.RtsDroppedBefore = rtsDropped;
      current.Bytes.insert(current.Bytes.end(), wire.begin() + static_cast<long>(sent),
                           wire.begin() + static_cast<long>(sent + *length));
      sent += *length;
    }
  }
  endWrite();
  if (!line.Error && sent != wire.size()) {
    line.Error = "the wire holds " + std::to_string(wire.size()) + " bytes, the trace sends " +
                 std::to_string(sent);
  }
  return line;
}

}  // namespace lumora::testing
