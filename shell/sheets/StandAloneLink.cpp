#include "shell/sheets/StandAloneLink.h"

#include <algorithm>
#include <cstring>

TStandAloneLink::TStandAloneLink(unsigned short measureType, TMessage* texts, const THardwareStatus& status,
                                 short deviceKind, const std::string& iniPath)
    : Link(measureType, texts) {
  Apply(Link, status, deviceKind, iniPath);
  TMeasureData::MeasureMode = -1;
}

void TStandAloneLink::Apply(TMeasureInterrupt& link, const THardwareStatus& status, short deviceKind,
                            const std::string& iniPath) {
  link.DeviceKind = HardwareStatus::InstrumentKindOf(deviceKind);
  PORT_CONFIG& c = link.PortConfig;
  c.Type = 1;
  c.BaudRate = status.BaudRate;
  c.InputBuffer = status.InputBuffer;
  c.OutputBuffer = status.OutputBuffer;
  c.Port = status.Port;
  c.DelayCycle = status.DelayCycle;
  c.DelayCounter = status.DelayCounter;
  c.VersionOfHardware = status.VersionOfHardware;
  c.USBDescription.fill('\0');
  std::memcpy(c.USBDescription.data(), status.USBDescription.data(),
              std::min(status.USBDescription.size(), c.USBDescription.size() - 1));
  link.HasInstrument = true;
  link.StatusWord = 0;
  link.SerialPortsIniFile = iniPath;
}

short TStandAloneLink::ModeOf(const TMeasureInterrupt& link) {
  return static_cast<short>((link.HasRhinomanometer ? 1 : 0) | (link.HasNebulizer ? 2 : 0) |
                            (link.HasShutter ? 4 : 0));
}
