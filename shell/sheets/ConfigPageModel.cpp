#include "shell/sheets/ConfigPageModel.h"

#include "platform/basekit/Message.h"
#include "shell/sheets/StandAloneLink.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int FirstPort = 2;  // entries before it: no instrument, DEMO
constexpr std::array<int, 7> DemoFileTexts = {39, 40, 41, 470, 82, 481, 409};

// The part of a device's description that says which sheet it belongs to.
const char* DescriptionMarks(short kind, int which) {
  switch (kind) {
  case 0: return which == 0 ? "Spirometer" : "Rhinomanometer";
  case 1: return which == 0 ? "Diffusion" : nullptr;
  default: return which == 0 ? "Plethysmograph" : nullptr;
  }
}

bool Fits(const std::string& description, short kind) {
  for (int which = 0; which < 2; ++which)
    if (const char* mark = DescriptionMarks(kind, which); mark && description.find(mark) != std::string::npos)
      return true;
  return false;
}

}  // namespace

TConfigPageModel::TConfigPageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind,
                                   TDeviceLister lister, std::filesystem::path demoFolder)
    : Demo(demo), Texts(texts), IniPath(std::move(iniPath)), Kind(deviceKind), Lister(std::move(lister)),
      DemoFolder(std::move(demoFolder)) {
  ReadHardwareStatus();
}

const std::vector<std::string>& TConfigPageModel::DemoFiles() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> names;
    for (short kind = 0; !DemoReplay::DemoFileName(kind).empty(); ++kind)
      names.emplace_back(DemoReplay::DemoFileName(kind));
    return names;
  }();
  return files;
}

std::string TConfigPageModel::Text(int number) const { return Texts.LoadStringA(number); }

void TConfigPageModel::ReadHardwareStatus() {
  Hardware = Demo ? HardwareStatus::DemoValues() : HardwareStatus::Read(IniPath, Kind);
}

std::string TConfigPageModel::WriteHardwareStatus() {
  return Demo ? std::string() : HardwareStatus::Write(IniPath, Kind, Hardware);
}

void TConfigPageModel::Setup() {
  Entries.clear();
  if (Demo) {
    Entries.push_back("DEMO");
  } else {
    Entries = {Text(308), "DEMO", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6"};
    if (Lister)
      for (const std::string& description : Lister().Descriptions)
        if (Fits(description, Kind))
          Entries.push_back(description);
  }
  if (Demo) {
    // The one entry there is: the demonstration.
    Selection = 0;
    SelectPort(0);
    TestButton = false;
  } else if (Hardware.Install == 0) {
    Selection = 0;
    SelectPort(0);
    TestButton = false;
  } else if (Hardware.Demo != 0) {
    Selection = 1;
    SelectPort(1);
    TestButton = false;
  } else {
    Selection = -1;
    if (Hardware.Port == HardwareStatus::PortUsb) {
      // The stored device, when it is attached.
      const auto at = std::find(Entries.begin() + FirstPort + HardwareStatus::PortUsb, Entries.end(),
                                Hardware.USBDescription);
      if (!Hardware.USBDescription.empty() && at != Entries.end())
        Selection = static_cast<int>(at - Entries.begin());
    } else if (Hardware.Port >= 0 && Hardware.Port < HardwareStatus::PortUsb) {
      Selection = Hardware.Port + FirstPort;
    }
    CheckComPort();
    TestButton = true;
  }
}

void TConfigPageModel::SelectPort(int index) {
  Selection = index >= 0 && index < static_cast<int>(Entries.size()) ? index : -1;
  if (!Demo && Selection >= FirstPort) {
    TestButton = true;
    Line = Text(34);
    Hardware.Port = static_cast<short>(Selection - FirstPort);
    if (Hardware.Port >= HardwareStatus::PortUsb) {
      Hardware.Port = HardwareStatus::PortUsb;
      Hardware.USBDescription = Entries[static_cast<std::size_t>(Selection)].substr(0, HardwareStatus::UsbDescriptionSize - 1);
    }
    Hardware.Install = 1;
    Hardware.Demo = 0;
    return;
  }
  if (!Demo && Selection != 1) {
    Line.clear();
    Hardware.Install = Hardware.Mode = Hardware.Demo = Hardware.Type = Hardware.VersionOfHardware = 0;
    return;
  }
  Line = Text(37);
  TestButton = false;
  Hardware.Install = 1;
  Hardware.Demo = 1;
  Hardware.Type = 0;
  Hardware.VersionOfHardware = static_cast<short>(Kind == 1 ? 97 : Kind == 2 ? 1 : 0);
  CheckDemoFiles();
}

void TConfigPageModel::CheckDemoFiles() {
  const auto& files = DemoFiles();
  const bool missing = std::any_of(files.begin(), files.end(), [this](const std::string& name) {
    std::error_code error;
    return !std::filesystem::exists(DemoFolder / name, error);
  });
  if (!missing)
    return;
  Line = Text(38) + " " + Text(163);
  for (const int number : DemoFileTexts)
    Line += "\n\t" + Text(number);
}

void TConfigPageModel::CheckComPort() {
  if (Demo || Selection < FirstPort)
    return;
  {
    TStandAloneLink link(0xFFFF, &Texts, Hardware, Kind, IniPath);
    const bool passed = link->TestSerialPort();
    Hardware.Type = 1;
    Hardware.VersionOfHardware = passed ? link->PortConfig.VersionOfHardware : 0;
    Hardware.Mode = passed ? TStandAloneLink::ModeOf(*link) : 0;
    if (passed) {
      Hardware.Demo = 0;
      if (Kind != 0 || Hardware.VersionOfHardware == 0) {
        Line = Text(35);
        Hardware.Install = 1;
      } else {
        // A diffusion unit or plethysmograph on the spirometer's sheet.
        const auto plain = [this](int number) {
          std::string text = Text(number);
          text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
          return text;
        };
        Line = Text(473) + "\n\t- " + plain(425) + "..." + "\n\t- " + plain(483) + "...";
        Hardware.Install = 0;
      }
    } else {
      Line = Text(30) + " " + Text(163) + "\n\t" + Text(32) + "\n\t" + Text(33);
      if (!link->LastPortError.empty())
        Line += "\n" + link->LastPortError;
      Hardware.Install = 1;
      Hardware.Demo = 1;
    }
    link->RestoreSerialPort();
  }
  if (const std::string error = WriteHardwareStatus(); !error.empty())
    Line += "\n" + error;
}

void TConfigPageModel::SetPumpText(const std::string& text) {
  if (!text.empty() && text[0] >= '1' && text[0] <= '9')
    Hardware.Pump = static_cast<short>(text[0] - '0');
}

void TConfigPageModel::SetBackExtrapolation(int index) {
  if (index >= 0 && index < static_cast<int>(ExtrapolationEntries().size()))
    Hardware.BackExtrapolation = static_cast<short>(index);
}

void TConfigPageModel::SetCalibrationCycle(int index) {
  if (index >= 0 && index < static_cast<int>(CycleEntries().size()))
    Hardware.IndexOfCalibrationCycle = static_cast<short>(index);
}
