#include "audiometry/setup/HardwareSetup.h"

#include "audiometry/link/AudioInterrupt.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"

#include <algorithm>

namespace {

constexpr const char* HardwareSection = "Audio";
constexpr int TextNotInstalled = 308;
constexpr int TextTestPort = 34;
constexpr int TextDemonstration = 37;

}  // namespace

TAudioHardware TAudioHardware::Read(const std::string& iniFile, bool demoConfiguration) {
  TAudioHardware h;
  h.DemoConfiguration = demoConfiguration;
  if (demoConfiguration)
    return h;
  const TProfile p(HardwareSection, iniFile);
  h.Install = p.GetInt("Install", 0);
  h.Demo = p.GetInt("Demo", 1);
  h.BaudRate = p.GetInt("BaudRate", 3);
  h.InputBuffer = p.GetInt("InputBuffer", 32767);
  h.OutputBuffer = p.GetInt("OutputBuffer", 128);
  h.Port = p.GetInt("Port", 1);
  h.WaitAnswer = p.GetInt("WaitAnswer", 30);
  h.USBDescription = p.GetString("USBDescription", "").substr(0, DescriptionSize - 1);
  return h;
}

bool TAudioHardware::Write(const std::string& iniFile) const {
  if (DemoConfiguration)
    return true;
  TProfile p(HardwareSection, iniFile);
  return p.WriteInt("Install", Install) && p.WriteInt("Demo", Demo) && p.WriteInt("Port", Port) &&
         p.WriteString("USBDescription", USBDescription) && p.Flush();
}

std::vector<std::string> TAudioHardware::PortItems(const TMessage* texts,
                                                   const std::vector<std::string>& usbDevices) const {
  if (DemoConfiguration)
    return {"DEMO"};
  std::vector<std::string> items{texts ? texts->LoadStringA(TextNotInstalled) : std::string(), "DEMO", "COM1",
                                 "COM2", "COM3", "COM4", "COM5", "COM6"};
  std::size_t usb = 0;
  for (const std::string& device : usbDevices)
    if (device.find("Audiometer") != std::string::npos && usb++ < 8)
      items.push_back(device.substr(0, DescriptionSize - 1));
  return items;
}

int TAudioHardware::InitialItem(std::vector<std::string>& items) const {
  if (DemoConfiguration)
    return 0;
  if (Install == 0)
    return 0;
  if (Demo != 0)
    return 1;
  if (Port < 0 || Port > PortUsb)
    return 1;
  if (Port < PortUsb)
    return Port + 2;
  const auto found = std::find(items.begin() + FirstUsbItem, items.end(), USBDescription);
  if (found != items.end())
    return static_cast<int>(found - items.begin());
  items.push_back(USBDescription);
  return static_cast<int>(items.size()) - 1;
}

TAudioHardware::TChoice TAudioHardware::Choose(int index, const std::vector<std::string>& items) {
  TChoice choice;
  if (index < 2) {
    if (DemoConfiguration || index == 1) {
      choice.StatusText = TextDemonstration;
      Install = 1;
    } else {
      Install = 0;
    }
    Demo = 1;
    return choice;
  }
  choice.TestEnabled = true;
  choice.StatusText = TextTestPort;
  Port = index - 2;
  if (index >= FirstUsbItem) {
    Port = PortUsb;
    if (static_cast<std::size_t>(index) < items.size())
      USBDescription = items[static_cast<std::size_t>(index)].substr(0, DescriptionSize - 1);
  }
  Install = 1;
  Demo = 0;
  return choice;
}

void TAudioHardware::Tested(bool answered) {
  Demo = answered ? 0 : 1;
  Install = 1;
}

void TAudioHardware::Configure(TAudioInterrupt& link, const std::string& iniFile) const {
  link.Install = true;
  link.USBDescription = USBDescription;
  link.BaudRate = BaudRate;
  link.InputBuffer = InputBuffer;
  link.OutputBuffer = OutputBuffer;
  link.Port = Port;
  link.WaitAnswer = WaitAnswer;
  link.SerialPortsIniFile = iniFile;
}
