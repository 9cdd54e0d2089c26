#include "platform/ftdi/FtdiDevice.h"

#include <ftdi.h>

namespace {

// Reads return after this long when the chip has nothing: short enough for
// the link's 10 ms polling, long enough for the chip's latency timer.
constexpr int ReadTimeoutMs = 5;
constexpr unsigned char LatencyMs = 2;

struct TDeviceListDeleter {
  void operator()(ftdi_device_list* list) const { ftdi_list_free(&list); }
};
using TDeviceList = std::unique_ptr<ftdi_device_list, TDeviceListDeleter>;

std::string Describe(ftdi_context* context, const char* what) {
  return std::string(what) + ": " + ftdi_get_error_string(context);
}

// The attached FTDI devices (the chip's default vendor and product ids).
TDeviceList FindAll(ftdi_context* context, std::string& error) {
  ftdi_device_list* list = nullptr;
  if (ftdi_usb_find_all(context, &list, 0, 0) < 0) {
    error = Describe(context, "the USB bus cannot be searched");
    return nullptr;
  }
  return TDeviceList(list);
}

std::string DescriptionOf(ftdi_context* context, libusb_device* device) {
  char description[128] = {};
  if (ftdi_usb_get_strings(context, device, nullptr, 0, description, sizeof description, nullptr, 0) < 0)
    return {};
  return description;
}

}  // namespace

void TFtdiDevice::TContextDeleter::operator()(ftdi_context* context) const {
  ftdi_usb_close(context);
  ftdi_free(context);
}

TFtdiDevice::TContext TFtdiDevice::NewContext(std::string& error) {
  ftdi_context* context = ftdi_new();
  if (!context)
    error = "the USB library cannot be started";
  return TContext(context);
}

TFtdiDevice::TList TFtdiDevice::ListDescriptions() {
  TList result;
  const TContext context = NewContext(result.Error);
  if (!context)
    return result;
  const TDeviceList list = FindAll(context.get(), result.Error);
  for (ftdi_device_list* entry = list.get(); entry; entry = entry->next)
    result.Descriptions.push_back(DescriptionOf(context.get(), entry->dev));
  return result;
}

std::unique_ptr<TFtdiDevice> TFtdiDevice::Open(std::string_view description, int baudRate, std::string& error,
                                               bool& missing) {
  missing = false;
  TContext context = NewContext(error);
  if (!context)
    return nullptr;
  const TDeviceList list = FindAll(context.get(), error);
  if (!list && !error.empty())
    return nullptr;
  libusb_device* found = nullptr;
  for (ftdi_device_list* entry = list.get(); entry && !found; entry = entry->next)
    if (DescriptionOf(context.get(), entry->dev) == description)
      found = entry->dev;
  if (!found) {
    missing = true;
    error = "no attached device has this description";
    return nullptr;
  }
  ftdi_context* const c = context.get();
  if (ftdi_usb_open_dev(c, found) < 0) {
    error = Describe(c, "the device cannot be opened");
    return nullptr;
  }
  if (ftdi_set_baudrate(c, baudRate) < 0 || ftdi_set_line_property(c, BITS_8, STOP_BIT_1, NONE) < 0 ||
      ftdi_setflowctrl(c, SIO_DISABLE_FLOW_CTRL) < 0 || ftdi_set_latency_timer(c, LatencyMs) < 0) {
    error = Describe(c, "the device cannot be set up");
    return nullptr;
  }
  c->usb_read_timeout = ReadTimeoutMs;
  ftdi_tcioflush(c);
  error.clear();
  return std::unique_ptr<TFtdiDevice>(new TFtdiDevice(std::move(context)));
}

TFtdiDevice::~TFtdiDevice() = default;

int TFtdiDevice::Read(std::span<std::uint8_t> buffer) {
  const int got = ftdi_read_data(Context.get(), buffer.data(), static_cast<int>(buffer.size()));
  if (got < 0)
    LastError = Describe(Context.get(), "reading failed");
  return got < 0 ? -1 : got;
}

bool TFtdiDevice::Write(std::span<const std::uint8_t> bytes) {
  const int put = ftdi_write_data(Context.get(), bytes.data(), static_cast<int>(bytes.size()));
  if (put != static_cast<int>(bytes.size())) {
    LastError = Describe(Context.get(), "writing failed");
    return false;
  }
  return true;
}

bool TFtdiDevice::Purge() { return ftdi_tciflush(Context.get()) >= 0; }

bool TFtdiDevice::SetDtr(bool on) { return ftdi_setdtr(Context.get(), on ? 1 : 0) >= 0; }

bool TFtdiDevice::SetRts(bool on) { return ftdi_setrts(Context.get(), on ? 1 : 0) >= 0; }

int TFtdiDevice::LineStatus() {
  unsigned short status = 0;
  if (ftdi_poll_modem_status(Context.get(), &status) < 0)
    return -1;
  return status >> 8;  // the second byte of the chip's status is the line status
}
