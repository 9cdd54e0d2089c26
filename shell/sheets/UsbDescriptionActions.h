#pragma once

// The two actions of the USB description dialog over an FTDI programmer:
// write the chosen description into the first device's EEPROM, or read the
// description it holds. The device is closed whenever it was opened; a
// failure answers the message the user sees, with the library's reason.

#include <string>
#include <vector>

class TFtdiProgrammer;

namespace UsbDescriptionActions {

struct TOutcome {
  bool Ok = false;
  std::string Message;      // the failure; empty on success
  std::string Description;  // what Read found
};

// The descriptions offered, in list order.
const std::vector<std::string>& Offered();
TOutcome Save(TFtdiProgrammer& programmer, const std::string& description);
TOutcome Read(TFtdiProgrammer& programmer);

}  // namespace UsbDescriptionActions
