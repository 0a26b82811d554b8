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
  if (ftdi_ == nullptr) {
    ftdi_ = ftdi_new();
    if (ftdi_ == nullptr) return kFtdiDeviceUnavailable;  // no USB access at all
    // The chip goes back to the kernel's serial driver when it is closed, and its
    // /dev/ttyUSB* with it; otherwise the device node stays away until the adapter is
    // plugged in again.
    ftdi_->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  }
  ftdi_device_list* list = nullptr;
  const int count = ftdi_usb_find_all(ftdi_, &list, id.Vendor, id.Product);
  ftdi_list_free(&list);
  return count;
}

namespace {

// libftdi's answers of ftdi_usb_open_desc_index without description or serial: a libusb_open
// that failed, for any reason; and the kernel driver kept and the interface refused for lack
// of rights.
constexpr int kUsbOpenFailed = -4;
constexpr int kInappropriatePermissions = -8;

}  // namespace

int LibftdiPort::OpenChip(UsbId id, int index) {
  if (ftdi_ == nullptr) return kFtdiDeviceUnavailable;
  const int result = ftdi_usb_open_desc_index(ftdi_, id.Vendor, id.Product, nullptr, nullptr,
                                              static_cast<unsigned int>(index));
  if (result == kInappropriatePermissions) return kChipAccessDenied;
  if (result != kUsbOpenFailed) return result;
  // libftdi drops libusb's reason: asked again, the chips up to this one say whether it was
  // the rights.
  ftdi_device_list* list = nullptr;
  ftdi_usb_find_all(ftdi_, &list, id.Vendor, id.Product);
  bool denied = false;
  int position = 0;
  for (const ftdi_device_list* chip = list; chip != nullptr && position <= index && !denied;
       chip = chip->next, ++position) {
    libusb_device_handle* handle = nullptr;
    const int opened = libusb_open(chip->dev, &handle);
    denied = opened == LIBUSB_ERROR_ACCESS;
    if (opened == 0) libusb_close(handle);
  }
  ftdi_list_free(&list);
  return denied ? kChipAccessDenied : result;
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
