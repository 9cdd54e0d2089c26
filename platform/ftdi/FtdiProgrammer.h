#pragma once

// Programs the EEPROM of an FTDI USB-serial chip: the first attached device
// is opened, its image written or its USB description read, and closed.
// The service dialog uses it to give an instrument the description the
// configuration pages find it by. Tests put a fake in its place.

#include <cstdint>
#include <memory>
#include <string>

class TFtdiProgrammer {
public:
  // What is written into the chip.
  struct TImage {
    std::uint16_t VendorId = 0x0403;
    std::uint16_t ProductId = 0x6001;
    std::string Manufacturer = "FTDI";
    std::string ManufacturerId = "FT";  // the prefix of the serial number
    std::string Description;            // at most 63 characters
    std::string SerialNumber = "FT000001";
    int MaxPowerMa = 44;
    bool PnP = true;
    bool SelfPowered = false;
    bool RemoteWakeup = true;
  };

  virtual ~TFtdiProgrammer() = default;

  // Opens the first attached FTDI device; false with the reason otherwise.
  virtual bool Open(std::string& error) = 0;
  virtual bool Program(const TImage& image, std::string& error) = 0;
  // The USB description the open device reports.
  virtual bool ReadDescription(std::string& description, std::string& error) = 0;
  // Closes the device when it is open.
  virtual void Close() = 0;

  // The programmer over libftdi1.
  static std::unique_ptr<TFtdiProgrammer> Create();
};
