#include "shell/sheets/ServicePageModel.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"
#include "shell/sheets/StandAloneLink.h"
#include "shell/sheets/TestParameters.h"

#include <utility>

namespace {

constexpr int BitOfSecondPulse = 1;

constexpr std::array<const char*, 16> DiffusionBits = {
    "Shutter:",     "Calibration Valve:", "Gas Main Valve:", "Demand Enable:",        "Balloon Valve:",
    "Pressure Port Change:", "Autozero:", "Command:",        "Gas Slow:",             "Gas Fast:",
    "Analog MPX:",  "Reserve:",           "EXT Nebulizer Start:", "Reserve:",         "Start/Stop:",
    "Command:"};
constexpr std::array<const char*, 16> PlethysmographBits = {
    "Shutter:",  "B Valve:",  "A Valve:",    "Mouth Pressure Cal.:", "Cabin Valve:", "Metronom:",
    "Autozero:", "Command:",  "Pump In:",    "Pump Out:",            "Analog MPX:",  "PL oes-sel.:",
    "EXT Nebulizer Start:", "EXT2:", "Start/Stop:", "Command:"};

int Milliseconds(const std::string& text) {
  const auto value = TestParameters::ReadNumber(text);
  return value && *value > 0 && *value < 1.0e7 ? static_cast<int>(*value) : 0;
}

}  // namespace

TServicePageModel::TServicePageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind, bool wordForm,
                                     THooks hooks)
    : Demo(demo), Texts(texts), IniPath(std::move(iniPath)), Kind(deviceKind), Words(wordForm),
      Hooks(std::move(hooks)), ServiceLink(0xFFFD, &texts) {
  for (int bit = 0; bit < 16; ++bit)
    WordBoxes[static_cast<std::size_t>(bit)] = (WordIdle >> bit) & 1;
}

TServicePageModel::~TServicePageModel() { HaveToKillHandler(); }

const TResponseTable& TServicePageModel::ResponseTable() {
  using S = TServicePageModel;
  static constexpr TResponseEntry entries[] = {
      Response::Message<&S::EvCommNotify>(WM_COMMNOTIFY),
      Response::Command<&S::Stop>(CM_STOP),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

const char* TServicePageModel::BitLabel(short deviceKind, int bit) {
  const auto& labels = deviceKind == 2 ? PlethysmographBits : DiffusionBits;
  return bit >= 0 && bit < 16 ? labels[static_cast<std::size_t>(bit)] : "";
}

std::vector<std::string> TServicePageModel::TestCases(TMessage& texts) {
  return {texts.LoadStringA(190), "Start", "Stop", texts.LoadStringA(98)};
}

void TServicePageModel::ReadSettings() {
  if (Demo) {
    Hardware = HardwareStatus::DemoValues();
    Hardware.Type = 1;
    Hardware.VersionOfHardware = 0;
    NebulizerInstall = 0;
    NebulizerPort = 3;
    NebulizerDelayCycle = 1;
  } else {
    Hardware = HardwareStatus::Read(IniPath, Kind);
    const TProfile p(HardwareStatus::SectionOf(Kind), IniPath);
    Hardware.Install = Settings::ReadShort(p, "Install", 1);
    Hardware.Type = Settings::ReadShort(p, "Type", 1);
    const TProfile nebulizer("Nebulizer", IniPath);
    NebulizerInstall = Settings::ReadShort(nebulizer, "Install", 0);
    NebulizerPort = Settings::ReadShort(nebulizer, "Port", 3);
    NebulizerDelayCycle = Settings::ReadShort(nebulizer, "DelayCycle", 1);
  }
  MouthFactor = 1.0f;
  if (Kind == 1) {
    const TProfile p("Diffusion Capacity Parameters", IniPath);
    const char* fallback = (Hardware.VersionOfHardware & 0x10) != 0 ? "0.6105" : "0.9765625";
    MouthFactor = static_cast<float>(TestParameters::ReadBounded(
        p.GetString("MouthPressureFactor", fallback), *TestParameters::ReadNumber(fallback)));
  }
}

std::array<std::int32_t, 6> TServicePageModel::Indicators() const { return TMeasureInterrupt::pIndicator; }

unsigned char TServicePageModel::StatusInputs() const { return ServiceLink.InstrumentStatus; }

void TServicePageModel::ChangeNotice() {
  if (Hooks.Changed)
    Hooks.Changed();
}

void TServicePageModel::StartStop() {
  if (Running) {
    Stop();
    return;
  }
  Line.clear();
  ReadSettings();
  if (!(Words || Instrument == 0) || Hardware.Install == 0 || Hardware.Demo != 0) {
    Line = Texts.LoadStringA(143);
    ChangeNotice();
    return;
  }
  if (Hardware.Type != 1) {
    ChangeNotice();
    return;
  }
  Guard.emplace();
  TMeasureData::MeasureMode = -3;
  TStandAloneLink::Apply(ServiceLink, Hardware, Kind, IniPath);
  ServiceLink.MouthPressureFactor = MouthFactor;
  if (!ServiceLink.TestSerialPort()) {
    Line = Texts.LoadStringA(36);
    if (!ServiceLink.LastPortError.empty())
      Line += "\n" + ServiceLink.LastPortError;
    ServiceLink.RestoreSerialPort();
    Guard.reset();
    ChangeNotice();
    return;
  }
  TMeasureData::pThis = this;
  ServiceLink.InitHandler();
  if (!Words && Hardware.VersionOfHardware != 0) {
    SendWord(WordRunning);
  } else {
    SendButton = true;
    TestCaseList = true;
    TMeasureInterrupt::pIndicator[5] = 0;
  }
  InstrumentList = false;
  Running = true;
  ChangeNotice();
}

void TServicePageModel::HaveToKillHandler() {
  if (!Running)
    return;
  if (Hooks.KillTimer) {
    Hooks.KillTimer(PulseTimer);
    Hooks.KillTimer(SecondPulseTimer);
  }
  TMeasureData::MeasureMode = -1;
  if (Hardware.VersionOfHardware != 0)
    SendWord(WordIdle);
  ServiceLink.KillHandler();
  ServiceLink.RestoreSerialPort();
  TMeasureInterrupt::pIndicator.fill(0);
  Running = false;
  Guard.reset();  // the statics of the window that may be open come back
}

void TServicePageModel::Stop() {
  HaveToKillHandler();
  Running = false;
  Resend = false;
  ServiceLink.VersionRequest = false;
  if (Hardware.Type == 1) {
    SendButton = false;
    TestCaseList = false;
  }
  if (!Words)
    InstrumentList = true;
  ChangeNotice();
}

void TServicePageModel::SendWord(unsigned short word) {
  ServiceLink.CmSendToSerialPort(word, 2);
  TMeasureData::LastSentData = word;
}

void TServicePageModel::Send() {
  if (!Running)
    return;
  if (!Words) {
    for (unsigned char output = 0; output < 8; ++output) {
      if (OnRow[output]) {
        ServiceLink.CmSendToSerialPort(static_cast<unsigned short>(output + 8), 1);
        break;
      }
      if (OffRow[output]) {
        ServiceLink.CmSendToSerialPort(output, 1);
        break;
      }
    }
    return;
  }
  unsigned short word = 0;
  for (int bit = 0; bit < 16; ++bit)
    if (WordBoxes[static_cast<std::size_t>(bit)])
      word = static_cast<unsigned short>(word | (1u << bit));
  if (word == WordIdle) {
    if (TestCase == 2) {
      Resend = false;
      ServiceLink.VersionRequest = false;
    } else if (TestCase == 3) {
      if (Resend) {
        SendWord(WordIdle);
        if (Hooks.Wait)
          Hooks.Wait(50);
        Resend = false;
      }
      TMeasureInterrupt::pIndicator[5] = 0;
      ServiceLink.VersionRequest = true;
    }
    ServiceLink.ServiceFlag = false;
  } else if (word == WordRunning) {
    Resend = true;
    ServiceLink.VersionRequest = false;
  } else {
    Resend = (word & 0x4000) != 0;
    if (!Resend)
      ServiceLink.ServiceFlag = false;
    ServiceLink.VersionRequest = false;
  }
  SendWord(word);
  Last = word;
  if (Resend)
    TMeasureInterrupt::pIndicator[5] = 0;

  const int time1 = Milliseconds(PulseTime1);
  const int time2 = Milliseconds(PulseTime2);
  Mask = 0;
  for (int bit = 0; bit < 16; ++bit)
    if (PulseBoxes[static_cast<std::size_t>(bit)] && time1 > 0)
      Mask = static_cast<unsigned short>(Mask | (1u << bit));
  if (PulseBoxes[BitOfSecondPulse] && time2 > 0)
    Mask = static_cast<unsigned short>(Mask | (1u << BitOfSecondPulse));
  const auto start = [this](int id, int ms) {
    if (!Hooks.SetTimer)
      return;
    if (Hooks.KillTimer)
      Hooks.KillTimer(id);
    if (!Hooks.SetTimer(id, ms))
      Texts.MessageBox(430, 0, TMessageIcon::Information);
  };
  if (Mask & (1u << BitOfSecondPulse))
    start(SecondPulseTimer, time2);
  if (Mask & ~(1u << BitOfSecondPulse))
    start(PulseTimer, time1);
  ChangeNotice();
}

void TServicePageModel::OnTimer(int id) {
  if (id == PulseTimer) {
    if (Hooks.KillTimer)
      Hooks.KillTimer(id);
    Last = static_cast<unsigned short>(Last | (Mask & ~(1u << BitOfSecondPulse)));
  } else if (id == SecondPulseTimer) {
    if (Hooks.KillTimer)
      Hooks.KillTimer(id);
    if (Mask & (1u << BitOfSecondPulse))
      Last = static_cast<unsigned short>(Last | (1u << BitOfSecondPulse));
  } else {
    return;
  }
  if (!Running)
    return;
  SendWord(Last);
  ChangeNotice();
}

void TServicePageModel::SelectPreset(int index) {
  TestCase = index;
  const unsigned short words[] = {0, WordRunning, WordIdle, WordStopped};
  if (index < 1 || index > 3)
    return;
  for (int bit = 0; bit < 16; ++bit)
    WordBoxes[static_cast<std::size_t>(bit)] = (words[index] >> bit) & 1;
}

void TServicePageModel::SetPulseTimes(const std::string& time1, const std::string& time2) {
  PulseTime1 = time1;
  PulseTime2 = time2;
  const bool first = Milliseconds(time1) > 0;
  for (int bit = 0; bit < 16; ++bit)
    if (bit != 1 && bit != 7 && bit != 14 && bit != 15)
      PulseBoxEnabled[static_cast<std::size_t>(bit)] = first;
  PulseBoxEnabled[BitOfSecondPulse] = Milliseconds(time2) > 0;
}

TResult TServicePageModel::EvCommNotify(TParam1 device, TParam2) {
  if (!Running || static_cast<int>(device) != TMeasureData::IdCommDev)
    return 0;
  ServiceLink.CommNotify(device);
  if (ServiceLink.AnyEndFlag())
    PostMessage(this, WM_COMMAND, CM_STOP, 0);
  ChangeNotice();
  return 0;
}
