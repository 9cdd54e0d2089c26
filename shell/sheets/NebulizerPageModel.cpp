#include "shell/sheets/NebulizerPageModel.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"
#include "shell/sheets/StandAloneLink.h"

#include <utility>

TNebulizerPageModel::TNebulizerPageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind)
    : Demo(demo), Texts(texts), IniPath(std::move(iniPath)), Kind(deviceKind) {
  ReadHardwareStatus(false);
}

void TNebulizerPageModel::ReadHardwareStatus(bool hardwareOnly) {
  if (Demo) {
    Status = TNebulizerStatus{};
    InstrumentNebulizer = false;
    return;
  }
  if (!hardwareOnly) {
    const TProfile p("Nebulizer", IniPath);
    Status.Install = Settings::ReadShort(p, "Install", 0);
    Status.Port = Settings::ReadShort(p, "Port", 3);
    Status.DelayCycle = Settings::ReadShort(p, "DelayCycle", 1);
    Status.UnitOfDose = Settings::ReadShort(p, "UnitOfDose", 0);
    Status.HeadPurple = Settings::ReadText(p, "HeadPurple", "0.12", 6);
    Status.HeadGreen = Settings::ReadText(p, "HeadGreen", "0.3", 6);
    Status.MouthPressure = Settings::ReadText(p, "MouthPressure", "200", 4);
  }
  const TProfile hardware(HardwareStatus::SectionOf(Kind), IniPath);
  InstrumentNebulizer = hardware.GetInt("Install", 0) != 0 && hardware.GetInt("Demo", 0) == 0 &&
                        (hardware.GetInt("Mode", 0) & 2) != 0;
  Version = Settings::ReadShort(hardware, "VersionOfHardware", 0);
}

std::string TNebulizerPageModel::WriteHardwareStatus() {
  if (Demo)
    return {};
  TProfile p("Nebulizer", IniPath);
  bool ok = p.WriteInt("Install", Status.Install);
  ok = p.WriteInt("DelayCycle", Status.DelayCycle) && ok;
  ok = p.WriteInt("Port", Status.Port) && ok;
  ok = p.WriteInt("UnitOfDose", Status.UnitOfDose) && ok;
  ok = p.WriteString("HeadPurple", Status.HeadPurple) && ok;
  ok = p.WriteString("HeadGreen", Status.HeadGreen) && ok;
  ok = p.WriteString("MouthPressure", Status.MouthPressure) && ok;
  return ok ? std::string() : p.GetLastError();
}

void TNebulizerPageModel::Setup() {
  ModelEntries = {Texts.LoadStringA(308)};
  if (!Demo)
    ModelEntries.push_back("Vaporex");
  if (Status.Install != 0) {
    if (Version != 0 && Status.Port > 1)
      Status.Port = 1;
    Selection = Status.Port >= 0 && Status.Port < static_cast<short>(ModelEntries.size()) ? Status.Port : -1;
    CheckComPort();
    TestButton = true;
  } else {
    SelectModel(0);
  }
}

void TNebulizerPageModel::SelectModel(int index) {
  Selection = index >= 0 && index < static_cast<int>(ModelEntries.size()) ? index : -1;
  if (Selection > 0) {
    TestButton = true;
    Line = Texts.LoadStringA(34);
    Status.Port = static_cast<short>(Selection);
    Status.Install = 1;
  } else {
    Line = Texts.LoadStringA(37);
    TestButton = false;
    Status.Install = 0;
  }
}

void TNebulizerPageModel::CheckComPort() {
  ReadHardwareStatus(true);
  if (Selection != 1)
    return;
  bool passed = false;
  if (InstrumentNebulizer) {
    const THardwareStatus hardware = HardwareStatus::Read(IniPath, Kind);
    TStandAloneLink link(0xFFFF, &Texts, hardware, Kind, IniPath);
    passed = link->TestSerialPort() && link->HasNebulizer;
    link->RestoreSerialPort();
  }
  if (passed) {
    Line = Texts.LoadStringA(35);
    Status.Install = 1;
  } else {
    Line = Texts.LoadStringA(30) + " " + Texts.LoadStringA(163) + "\n\t" + Texts.LoadStringA(32) + "\n\t" +
           Texts.LoadStringA(33);
    Status.Install = 0;
  }
  if (const std::string error = WriteHardwareStatus(); !error.empty())
    Line += "\n" + error;
}

void TNebulizerPageModel::SetUnitOfDose(int index) {
  if (index == 0 || index == 1)
    Status.UnitOfDose = static_cast<short>(index);
}
