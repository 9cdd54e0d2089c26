#include "shell/sheets/UsbDescriptionActions.h"

#include "platform/ftdi/FtdiProgrammer.h"

namespace UsbDescriptionActions {
namespace {

TOutcome Failure(const char* what, const std::string& reason) {
  TOutcome outcome;
  outcome.Message = what;
  if (!reason.empty())
    outcome.Message += "\n" + reason;
  return outcome;
}

}  // namespace

const std::vector<std::string>& Offered() {
  static const std::vector<std::string> descriptions = {
      "USB Spirometer",     "USB Rhinomanometer", "USB Plethysmograph", "USB Diffusion Test",
      "USB Audiometer",     "USB Tovak",          "USB Tovak Tester"};
  return descriptions;
}

TOutcome Save(TFtdiProgrammer& programmer, const std::string& description) {
  std::string error;
  if (!programmer.Open(error))
    return Failure("FT_Open failed!", error);
  TFtdiProgrammer::TImage image;
  image.Description = description.substr(0, 63);
  TOutcome outcome;
  if (programmer.Program(image, error))
    outcome.Ok = true;
  else
    outcome = Failure("FT_EE_Program failed!", error);
  programmer.Close();
  return outcome;
}

TOutcome Read(TFtdiProgrammer& programmer) {
  std::string error;
  if (!programmer.Open(error))
    return Failure("FT_Open failed!", error);
  TOutcome outcome;
  if (programmer.ReadDescription(outcome.Description, error))
    outcome.Ok = true;
  else
    outcome = Failure("FT_GetDeviceInfo failed!", error);
  programmer.Close();
  return outcome;
}

}  // namespace UsbDescriptionActions
