#include "programming/adapters/libftdi_port.h"

#include <libftdi1/ftdi.h>
#include <libusb.h>

#include <thread>

namespace lumora {

static_assert(kUsbNoDevice == LIBUSB_ERROR_NO_DEVICE);

LibftdiPort::~LibftdiPort() {
  CloseChip();
}

int LibftdiPort::CountChips(UsbId id) {
  if (ftdi_ == nullptr) ftdi_ = ftdi_new();
  if (ftdi_ == nullptr) return kFtdiDeviceUnavailable;  // no USB access at all
  ftdi_device_list* list = nullptr;
  const int count = ftdi_usb_find_all(ftdi_, &list, id.Vendor, id.Product);
  ftdi_list_free(&list);
  return count;
}

int LibftdiPort::OpenChip(UsbId id, int index) {
  if (ftdi_ == nullptr) return kFtdiDeviceUnavailable;
  return ftdi_usb_open_desc_index(ftdi_, id.Vendor, id.Product, nullptr, nullptr,
                                  static_cast<unsigned int>(index));
}

void LibftdiPort::CloseChip() {
  if (ftdi_ == nullptr) return;
  ftdi_usb_close(ftdi_);
  ftdi_free(ftdi_);
  ftdi_ = nullptr;
}

int LibftdiPort::FlushBuffers() {
  return ftdi_tcioflush(ftdi_);
}

int LibftdiPort::SetLatencyTimer(std::uint8_t milliseconds) {
  return ftdi_set_latency_timer(ftdi_, milliseconds);
}

void LibftdiPort::SetUsbTimeouts(int readMs, int writeMs) {
  ftdi_->usb_read_timeout = readMs;
  ftdi_->usb_write_timeout = writeMs;
}

int LibftdiPort::ReadData(std::span<std::uint8_t> buffer) {
  return ftdi_read_data(ftdi_, buffer.data(), static_cast<int>(buffer.size()));
}

int LibftdiPort::WriteData(std::span<const std::uint8_t> bytes) {
  return ftdi_write_data(ftdi_, bytes.data(), static_cast<int>(bytes.size()));
}

int LibftdiPort::SetLineProperty(std::uint8_t wordLength, std::uint8_t stopBits,
                                 std::uint8_t parity) {
  static constexpr ftdi_stopbits_type kStops[3] = {STOP_BIT_1, STOP_BIT_15, STOP_BIT_2};
  static constexpr ftdi_parity_type kParities[5] = {NONE, ODD, EVEN, MARK, SPACE};
  return ftdi_set_line_property(ftdi_, wordLength == 7 ? BITS_7 : BITS_8, kStops[stopBits],
                                kParities[parity]);
}

int LibftdiPort::SetDtr(int state) {
  return ftdi_setdtr(ftdi_, state);
}

int LibftdiPort::SetRts(int state) {
  return ftdi_setrts(ftdi_, state);
}

int LibftdiPort::PollModemStatus(std::uint16_t& status) {
  unsigned short polled = 0;
  const int result = ftdi_poll_modem_status(ftdi_, &polled);
  status = polled;
  return result;
}

int LibftdiPort::SetBaudDivisor(std::uint16_t divisor) {
  // The divisor as the chip takes it, with libftdi's index: the channel on H chips.
  const bool hChip =
      ftdi_->type == TYPE_2232H || ftdi_->type == TYPE_4232H || ftdi_->type == TYPE_232H;
  const std::uint16_t index = hChip ? static_cast<std::uint16_t>(ftdi_->index) : 0;
  return libusb_control_transfer(ftdi_->usb_dev, FTDI_DEVICE_OUT_REQTYPE, SIO_SET_BAUDRATE_REQUEST,
                                 divisor, index, nullptr, 0, ftdi_->usb_write_timeout);
}

FtdiPort::Clock::time_point LibftdiPort::Now() {
  return Clock::now();
}

void LibftdiPort::SleepUntil(Clock::time_point time) {
  std::this_thread::sleep_until(time);
}

}  // namespace lumora
