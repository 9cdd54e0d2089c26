#include "shell/sheets/HardwareStatus.h"

#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"

namespace HardwareStatus {
namespace {

constexpr const char* Sections[] = {"Hardware", "Hardware Diffusion Test", "Hardware Plethysmograph"};

bool WriteAll(TProfile& p, std::initializer_list<std::pair<const char*, int>> values) {
  bool ok = true;
  for (const auto& [key, value] : values)
    ok = p.WriteInt(key, value) && ok;
  return ok;
}

}  // namespace

const char* SectionOf(short deviceKind) { return Sections[deviceKind >= 0 && deviceKind <= 2 ? deviceKind : 0]; }

short InstrumentKindOf(short deviceKind) {
  switch (deviceKind) {
  case 1: return 3;
  case 2: return 4;
  default: return 1;
  }
}

THardwareStatus DemoValues() {
  THardwareStatus s;
  s.Install = 1;
  s.Demo = 1;
  s.Type = 0;
  s.VersionOfHardware = 1;
  return s;
}

THardwareStatus Read(const std::string& iniPath, short deviceKind) {
  const TProfile p(SectionOf(deviceKind), iniPath);
  THardwareStatus s;
  s.Install = Settings::ReadShort(p, "Install", deviceKind == 0 ? 1 : 0);
  s.Demo = Settings::ReadShort(p, "Demo", 1);
  s.BaudRate = Settings::ReadShort(p, "BaudRate", 3);
  s.InputBuffer = Settings::ReadShort(p, "InputBuffer", 32767);
  s.OutputBuffer = Settings::ReadShort(p, "OutputBuffer", 128);
  s.Mode = Settings::ReadShort(p, "Mode", 0);
  s.Port = Settings::ReadShort(p, "Port", 1);
  s.DelayCycle = Settings::ReadShort(p, "DelayCycle", 1);
  s.DelayCounter = Settings::ReadShort(p, "DelayCounter", 12);
  s.VersionOfHardware = Settings::ReadShort(p, "VersionOfHardware", 0);
  s.USBDescription = Settings::ReadText(p, "USBDescription", "", UsbDescriptionSize);
  const TProfile hardware(Sections[0], iniPath);
  s.Pump = Settings::ReadShort(hardware, "Pump", 3);
  s.IndexOfCalibrationCycle = Settings::ReadShort(hardware, "IndexOfCalibrationCycle", 2);
  s.BackExtrapolation = Settings::ReadShort(hardware, "BackExtrapolation", 0);
  return s;
}

std::string Write(const std::string& iniPath, short deviceKind, const THardwareStatus& s) {
  TProfile p(SectionOf(deviceKind), iniPath);
  bool ok = WriteAll(p, {{"Install", s.Install}, {"Demo", s.Demo}, {"Type", s.Type}, {"Mode", s.Demo ? 7 : s.Mode}});
  if (deviceKind == 0)
    ok = p.WriteInt("DelayCycle", s.DelayCycle) && ok;
  ok = WriteAll(p, {{"Port", s.Port}, {"VersionOfHardware", s.VersionOfHardware}}) && ok;
  TProfile hardware(Sections[0], iniPath);
  TProfile& spirometer = deviceKind == 0 ? p : hardware;
  if (deviceKind == 0)
    ok = WriteAll(spirometer, {{"Pump", s.Pump},
                               {"IndexOfCalibrationCycle", s.IndexOfCalibrationCycle},
                               {"BackExtrapolation", s.BackExtrapolation}}) &&
         ok;
  ok = p.WriteString("USBDescription", s.USBDescription) && ok;
  if (deviceKind != 0)
    ok = WriteAll(spirometer, {{"Pump", s.Pump},
                               {"IndexOfCalibrationCycle", s.IndexOfCalibrationCycle},
                               {"BackExtrapolation", s.BackExtrapolation}}) &&
         ok;
  if (ok)
    return {};
  return !p.GetLastError().empty() ? p.GetLastError() : hardware.GetLastError();
}

}  // namespace HardwareStatus
