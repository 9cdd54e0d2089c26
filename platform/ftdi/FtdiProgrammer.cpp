#include "platform/ftdi/FtdiProgrammer.h"

#include <ftdi.h>
#include <libusb.h>

namespace {

constexpr std::size_t DescriptionLimit = 63;
constexpr int DefaultVendor = 0x0403;
constexpr int DefaultProduct = 0x6001;

class TLibFtdiProgrammer final : public TFtdiProgrammer {
public:
  ~TLibFtdiProgrammer() override { Close(); }

  bool Open(std::string& error) override {
    Close();
    Context = ftdi_new();
    if (!Context) {
      error = "the USB library cannot be started";
      return false;
    }
    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(Context, &list, 0, 0);
    if (found < 0) {
      error = ftdi_get_error_string(Context);
      Free();
      return false;
    }
    if (found == 0 || !list) {
      ftdi_list_free(&list);
      // The library's own open of the chip's default ids says why in its words.
      if (ftdi_usb_open(Context, DefaultVendor, DefaultProduct) >= 0)
        return true;
      error = ftdi_get_error_string(Context);
      Free();
      return false;
    }
    const bool opened = ftdi_usb_open_dev(Context, list->dev) >= 0;
    ftdi_list_free(&list);
    if (!opened) {
      error = ftdi_get_error_string(Context);
      Free();
      return false;
    }
    return true;
  }

  bool Program(const TImage& image, std::string& error) override {
    if (!Context)
      return Fail(error, "no device is open");
    const std::string description = image.Description.substr(0, DescriptionLimit);
    if (ftdi_eeprom_initdefaults(Context, const_cast<char*>(image.Manufacturer.c_str()),
                                 const_cast<char*>(description.c_str()),
                                 const_cast<char*>(image.SerialNumber.c_str())) < 0)
      return Fail(error, ftdi_get_error_string(Context));
    const struct {
      ftdi_eeprom_value Key;
      int Value;
    } values[] = {
        {VENDOR_ID, image.VendorId},
        {PRODUCT_ID, image.ProductId},
        {MAX_POWER, image.MaxPowerMa},
        {IS_NOT_PNP, image.PnP ? 0 : 1},
        {SELF_POWERED, image.SelfPowered ? 1 : 0},
        {REMOTE_WAKEUP, image.RemoteWakeup ? 1 : 0},
        {SUSPEND_PULL_DOWNS, 0},
        {USE_USB_VERSION, 0},
        // The serial number is always written, so the chip reports it.
        {USE_SERIAL, 1},
    };
    for (const auto& v : values)
      if (ftdi_set_eeprom_value(Context, v.Key, v.Value) < 0)
        return Fail(error, ftdi_get_error_string(Context));
    if (ftdi_eeprom_build(Context) < 0 || ftdi_write_eeprom(Context) < 0)
      return Fail(error, ftdi_get_error_string(Context));
    return true;
  }

  bool ReadDescription(std::string& description, std::string& error) override {
    if (!Context || !Context->usb_dev)
      return Fail(error, "no device is open");
    char text[64] = {};
    char serial[16] = {};
    if (ftdi_usb_get_strings2(Context, libusb_get_device(Context->usb_dev), nullptr, 0, text, sizeof text, serial, sizeof serial) < 0)
      return Fail(error, ftdi_get_error_string(Context));
    description = text;
    return true;
  }

  void Close() override {
    if (!Context)
      return;
    ftdi_usb_close(Context);
    Free();
  }

private:
  static bool Fail(std::string& error, std::string reason) {
    error = std::move(reason);
    return false;
  }
  void Free() {
    ftdi_free(Context);
    Context = nullptr;
  }

  ftdi_context* Context = nullptr;
};

}  // namespace

std::unique_ptr<TFtdiProgrammer> TFtdiProgrammer::Create() { return std::make_unique<TLibFtdiProgrammer>(); }
