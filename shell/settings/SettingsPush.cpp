#include "shell/settings/SettingsPush.h"

#include "platform/framework/Profile.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "shell/settings/AppSettings.h"
#include "shell/sheets/TestParameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace SettingsPush {
namespace {

constexpr std::size_t UsbDescriptionSize = 64;  // 63 characters and the terminator

short Short(const TProfile& p, const char* key, short value) { return Settings::ReadShort(p, key, value); }

void CopyUsb(PORT_CONFIG& config, const TProfile& p) {
  const std::string text = Settings::ReadText(p, "USBDescription", "", UsbDescriptionSize);
  config.USBDescription.fill('\0');
  std::memcpy(config.USBDescription.data(), text.data(), std::min(text.size(), UsbDescriptionSize - 1));
}

// The link of the demonstration: built-in values, no device.
TLinkPush DemoLink(short deviceKind, short versionOfHardware) {
  TLinkPush push;
  PORT_CONFIG& c = push.Link.Config;
  c = PORT_CONFIG{};
  c.DelayCycle = 1;
  c.Type = 1;
  c.BaudRate = 3;
  c.InputBuffer = 32767;
  c.OutputBuffer = 128;
  c.Port = 1;
  c.VersionOfHardware = versionOfHardware;
  push.Link.DeviceKind = deviceKind;
  push.Link.Live = false;
  push.Link.StatusWord = 1;
  push.Check = TPortCheck::Demo;
  push.Spirometer.PumpVolumeL = 3;
  return push;
}

TSpirometerSettings ReadSpirometerKeys(const std::string& iniPath) {
  const TProfile p(HardwareSection, iniPath);
  TSpirometerSettings s;
  const int pump = p.GetInt("Pump", 3);
  s.PumpVolumeL = static_cast<short>(pump > 0 && pump <= 9 ? pump : 3);
  s.BackExtrapolation = p.GetInt("BackExtrapolation", 0) != 0;
  s.ShowLostVolume = p.GetInt("ShowLostVolume", 0) != 0;
  switch (p.GetInt("IndexOfCalibrationCycle", 2)) {
  case 0: s.CalibrationCycles = 6; break;
  case 1: s.CalibrationCycles = 8; break;
  case 2: s.CalibrationCycles = 10; break;
  default: s.CalibrationCycles = 0; break;  // the window keeps its count
  }
  return s;
}

TLinkPush LivePush(const std::string& iniPath, const char* section, short deviceKind, bool typeMatters) {
  TLinkPush push;
  push.Link = ReadLinkSection(iniPath, section, deviceKind);
  push.Link.StatusWord = 0;
  const bool verify = push.Link.Live && (!typeMatters || push.Link.Config.Type == 1);
  push.Check = verify ? TPortCheck::Verify : TPortCheck::Demo;
  push.HasSpirometerKeys = true;
  push.Spirometer = ReadSpirometerKeys(iniPath);
  return push;
}

}  // namespace

TLinkSettings ReadLinkSection(const std::string& iniPath, const char* section, short deviceKind) {
  const TProfile p(section, iniPath);
  TLinkSettings s;
  PORT_CONFIG& c = s.Config;
  c.DelayCycle = Short(p, "DelayCycle", 1);
  c.Type = Short(p, "Type", 1);
  c.BaudRate = Short(p, "BaudRate", 3);
  c.InputBuffer = Short(p, "InputBuffer", 32767);
  c.OutputBuffer = Short(p, "OutputBuffer", 128);
  c.Port = Short(p, "Port", 1);
  c.DelayCounter = Short(p, "DelayCounter", 12);
  c.VersionOfHardware = Short(p, "VersionOfHardware", 0);
  CopyUsb(c, p);
  s.DeviceKind = deviceKind;
  s.Live = p.GetInt("Install", 1) != 0 && p.GetInt("Demo", 1) == 0;
  s.StatusWord = s.Live ? 0 : 1;
  return s;
}

TLinkPush ReadSpirometerPort(const std::string& iniPath, bool demo) {
  return demo ? DemoLink(1, 0) : LivePush(iniPath, HardwareSection, 1, false);
}

TLinkPush ReadDiffusionPort(const std::string& iniPath, bool demo) {
  constexpr short DiffusionDemoVersion = 96;
  return demo ? DemoLink(3, DiffusionDemoVersion) : LivePush(iniPath, DiffusionSection, 3, true);
}

TLinkPush ReadPlethysmographPort(const std::string& iniPath, bool demo) {
  return demo ? DemoLink(4, 0) : LivePush(iniPath, PlethysmographSection, 4, true);
}

TLinkPush ReadMeasureLink(const std::string& iniPath, short measureType, short instrumentKind, bool demo) {
  if (measureType == 4)
    return ReadPlethysmographPort(iniPath, demo);
  if (measureType == 3 || instrumentKind == 3)
    return ReadDiffusionPort(iniPath, demo);
  if (instrumentKind == 4)
    return ReadPlethysmographPort(iniPath, demo);
  return ReadSpirometerPort(iniPath, demo);
}

TDiffusionSettings ReadDiffusion(const std::string& iniPath, short versionOfHardware) {
  const TProfile p("Diffusion Capacity Parameters", iniPath);
  const bool newHardware = (versionOfHardware & 0x10) != 0;
  TDiffusionSettings s;
  const auto f = [&p](const char* key, double value) { return static_cast<float>(p.GetFloat(key, value)); };
  const auto l = [&p](const char* key, double value) { return static_cast<int>(p.GetFloat(key, value)); };
  s.WashOutVolumeL = f("WashOutVolume", 0) * 0.001f;
  s.DeadSpaceL = f("DeadSpace", 330) * 0.001f;
  s.Co2ExtractionCorrection = f("Co2ExtractionCorrection", 95) * 0.01f;
  s.FlowThresholdLps = f("FlowTreshold", 10) * 0.001f;
  s.HeErrorLimit = l("HeErrorLimit", 95);
  s.PreparationTimeTicks = l("PreparationTime", 15) * 100;
  s.PreparationNumber = l("PreparationNumber", 10);
  s.MeasureNumberAfterFirstWarning = l("MeasureNumberAfterFirstWarning", 5);
  s.BreathHoldTimeTicks = l("BreathHoldTime", 10) * 100;
  s.OriginalHeConcentration = f("OriginalHeConcentration", 4.8);
  s.OriginalCoConcentration = f("OriginalCoConcentration", 0.3);
  s.GasCollectionVolumeL = f("GasCollectionVolume", 800) * 0.001f;
  const int heDefault = newHardware ? 106 : 100;
  int he = p.GetInt("CorrectionOfHeLSB", heDefault);
  if (he <= 0)  // a quotient by zero or a negative correction is no setting
    he = heDefault;
  s.HeLsbCorrection = 100.0f / static_cast<float>(he);
  s.GasSampleCorrection = static_cast<float>(p.GetInt("CorrectionOfGasSampleVolume", newHardware ? 120 : 100)) * 0.01f;
  s.WashOutTimeThreshold = p.GetInt("TressHoldForWashOutTime", 20);
  s.GasSampleTimeThreshold = p.GetInt("TressHoldForGasSampleTime", 20);
  s.GasInspirationMinVolumeL = f("GasInspirationMinVolume", 0.5);
  s.PumpLowSpeedExtraTimeTicks = p.GetInt("PumpLowSpeedExtraTime", 10) * 100;
  s.MouthPressureFactor = f("MouthPressureFactor", newHardware ? 0.6105 : 0.9765625);
  s.VacuumForBag = p.GetInt("VacuumForBag", 1000);
  s.ErrorPressure = p.GetInt("ErrorPressure", 1100);
  return s;
}

namespace {

// The number of steps of the artefact search, which the evaluation runs
// once for each: 0 (no search) or 10 to 1000 as the settings page keeps it.
// A hand-edited value beyond that (a billion steps would hold the program
// for hours) is brought to the page's nearest and named.
long ReadAutoSetStep(const TProfile& p, std::vector<TPlethysmographSettings::TReplaced>& replaced) {
  constexpr long Default = 50;
  const double read = p.GetFloat("BTPSAutoSetStep", Default);
  long used = Default;
  if (std::isfinite(read)) {
    const auto whole = static_cast<long>(std::clamp(std::trunc(read), -1.0e6, 1.0e6));
    if (whole == 0 || (whole >= 10 && whole <= 1000))
      return whole;
    used = TestParameters::AutoSetStep(static_cast<int>(whole));
  }
  replaced.push_back({"BTPSAutoSetStep", p.GetString("BTPSAutoSetStep"), std::to_string(used)});
  return used;
}

// The smoothing passes of the box evaluation: 0 (none) to 100. A pass is a
// 1-2-1 sweep whose gain at 1 Hz, the fastest panting asked of a patient,
// is 0.9987; after 100 passes 88 % of the panting is left (and box and
// mouth pressure lose it alike, so the TGV keeps its ratio), while more
// passes only smooth the breathing away. A hand-edited count outside that
// (a billion passes would hold the evaluation for hours) is brought to the
// nearest bound and named. Read as a number, so that "1e9" is the billion
// it says and not its leading 1.
int ReadFilterPasses(const TProfile& p, std::vector<TPlethysmographSettings::TReplaced>& replaced) {
  constexpr int Default = 3;
  constexpr double Most = 100;
  const double read = p.GetFloat("NumberOfFilterCycle", Default);
  int used = Default;
  if (std::isfinite(read)) {
    const double whole = std::trunc(read);
    used = static_cast<int>(std::clamp(whole, 0.0, Most));
    if (used == whole)
      return used;
  }
  replaced.push_back({"NumberOfFilterCycle", p.GetString("NumberOfFilterCycle"), std::to_string(used)});
  return used;
}

}  // namespace

TPlethysmographSettings ReadPlethysmograph(const std::string& iniPath) {
  const TProfile p("Plethysmograph Parameters", iniPath);
  TPlethysmographSettings s;
  const auto f = [&p](const char* key, double value) { return static_cast<float>(p.GetFloat(key, value)); };
  s.VolumeOfCabinL = f("VolumeOfCabin", 960);
  s.CalibrationVolumeL = f("CalibrationVolume", 150) * 0.001f;
  s.EnableAutomaticBTPS = p.GetInt("EnableAutomaticBTPS", 1) != 0;
  s.NumberOfResistance = p.GetInt("NumberOfResistance", 4);
  s.NumberOfTGV = p.GetInt("NumberOfTGV", 4);
  s.EnableFilter = p.GetInt("EnableFilter", 1);
  s.NumberOfFilterCycle = ReadFilterPasses(p, s.Replaced);
  s.Matthys = p.GetInt("Matthys", 0);
  s.ResistanceLoopSelection = p.GetInt("ResistanceLoopSelection", 0);
  s.DeepExpiration = p.GetInt("DeepExpiration", 1);
  s.ResistanceOfSensor = static_cast<float>(p.GetInt("ResistanceOfSensor", 20)) * 0.001f;
  s.BarometerOffset = p.GetInt("BarometerOffset", 0);
  s.VolumeOfSensorL = f("VolumeOfSensor", 80) * 0.001f;
  s.BTPSCorrectionEffect = f("BTPSCorrectionEffect", 45) * 0.01f;
  s.BTPSAutoSetStep = ReadAutoSetStep(p, s.Replaced);
  float insp = f("InspBTPSCorrectionEffect", 90);
  if (insp <= 0.0f)  // a quotient by zero or a negative effect is no setting
    insp = 90.0f;
  s.InspBTPSFactor = 100.0f / insp;
  s.EndOfMeasurementWithIVC = p.GetInt("EndOfMeasurementWithIVC", 0);
  s.NumberOfPart = p.GetInt("NumberOfPart", 3);
  s.MinBoxLeakageTimeS = f("MinBoxLeakageTime", 3.0);
  s.MaxBoxLeakageTimeS = f("MaxBoxLeakageTime", 12.0);
  return s;
}

std::string CalibrationSection(short measureType, short statusWord, short instrumentKind) {
  if (measureType == 6)
    return statusWord != 0 ? "CalibrationOfRhinomanometer" : "Calibration";
  if (measureType == 4 || (measureType != 3 && instrumentKind == 4))
    return "CalibrationOfPlethysmograph";
  if (measureType == 3 || instrumentKind == 3)
    return "CalibrationOfDiffusionCapacity";
  return "Calibration";
}

TCalibrationSettings ReadCalibration(const std::string& iniPath, const std::string& section, short measureType,
                                     int warningLimit) {
  const TProfile p(section, iniPath);
  TCalibrationSettings s;
  const auto f = [&p](const char* key, double value) { return static_cast<float>(p.GetFloat(key, value)); };
  // A conversion constant multiplies or divides every sample: one that is
  // no finite number would turn every value into nothing.
  const auto constant = [&](const char* key) {
    const float value = f(key, 1.0);
    if (std::isfinite(value))
      return value;
    s.NotFinite.emplace_back(key);
    return 1.0f;
  };
  s.Section = section;
  s.InspFactor = constant("FlowInspirationConstans");
  s.ExpFactor = constant("FlowExpirationConstans");
  s.TimeOut = std::min(p.GetInt("TimeOut", 6), TCalibrationSettings::MaxTimeOut);
  s.CalibrationZoom = p.GetInt("CalibrationZoom", 1) != 0;
  s.HasInspGasFactor = measureType == 3;
  if (s.HasInspGasFactor)
    s.InspGasFactor = constant("FlowInspirationConstansWithGas");
  s.CoConstans = constant("COConstans");
  s.HeConstans = constant("HEConstans");
  s.WarningCounter = p.GetInt("WarningCounter", 0);
  s.CalibrationWarning = s.WarningCounter >= warningLimit;
  s.FleischPressureLoss = p.GetInt("FleischPressureLoss", 0);
  s.BalloonPressureLoss = p.GetInt("BalloonPressureLoss", 0);
  s.HasBoxReference = measureType == 4;
  if (s.HasBoxReference)
    s.PBOXref = f("PBOXref", 15.0);
  s.PBOX = f("PBOX", 15.0);
  s.TIMEconst = f("TIMEconst", 4.0);
  return s;
}

TMeasureSettings ReadMeasureSettings(const std::string& iniPath, short measureType, short instrumentKind,
                                     const TLinkPush& link) {
  TMeasureSettings s;
  s.HardwareCheckMessages = ReadHardwareCheckMessages(iniPath);
  if (link.HasSpirometerKeys)
    s.Spirometer = link.Spirometer;
  s.Diffusion = ReadDiffusion(iniPath, link.Link.Config.VersionOfHardware);
  s.Plethysmograph = ReadPlethysmograph(iniPath);
  // The spirometer's own link filters its second pass more.
  const bool spirometerLink = link.Link.DeviceKind == 1;
  const TProfile program("Program", iniPath);
  s.FilterCyclesSpiro1 = Settings::ReadShort(program, "NumberOfFilterCycleForSpiro1", 0);
  s.FilterCyclesSpiro2 = Settings::ReadShort(program, "NumberOfFilterCycleForSpiro2", spirometerLink ? 5 : 3);
  s.Calibration = ReadCalibration(iniPath, CalibrationSection(measureType, link.Link.StatusWord, instrumentKind),
                                  measureType, s.Diffusion.MeasureNumberAfterFirstWarning);
  s.BtpsDevice = ReadBtpsLink(iniPath).Live;
  return s;
}

TLinkSettings ReadBtpsLink(const std::string& iniPath) { return ReadLinkSection(iniPath, PlethysmographSection, 4); }

TNebulizerPush ReadNebulizer(const std::string& iniPath) {
  const TProfile p("Nebulizer", iniPath);
  TNebulizerPush n;
  n.Settings.HeadPurple = static_cast<float>(p.GetFloat("HeadPurple", 0.12));
  n.Settings.HeadGreen = static_cast<float>(p.GetFloat("HeadGreen", 0.3));
  n.Settings.MouthPressure = Settings::ReadShort(p, "MouthPressure", 200);
  n.Settings.UnitOfDose = Settings::ReadShort(p, "UnitOfDose", 0);
  n.Install = p.GetInt("Install", 0) != 0;
  n.Port = Settings::ReadShort(p, "Port", 3);
  n.DelayCycle = Settings::ReadShort(p, "DelayCycle", 1);
  return n;
}

TAudioLinkSettings ReadAudioLink(const std::string& iniPath, bool demo) {
  TAudioLinkSettings s;
  if (demo)
    return s;
  const TProfile p("Audio", iniPath);
  s.BaudRate = Settings::ReadShort(p, "BaudRate", 3);
  s.InputBuffer = p.GetInt("InputBuffer", 32767);
  s.OutputBuffer = p.GetInt("OutputBuffer", 128);
  s.Port = Settings::ReadShort(p, "Port", 1);
  s.Live = p.GetInt("Install", 1) != 0 && p.GetInt("Demo", 1) == 0;
  s.WaitAnswer = p.GetInt("WaitAnswer", 30);
  s.USBDescription = Settings::ReadText(p, "USBDescription", "", UsbDescriptionSize);
  return s;
}

bool ReadHardwareCheckMessages(const std::string& iniPath) {
  return TProfile("Program", iniPath).GetInt("EnableErrorMsgDuringHwChecking", 1) != 0;
}

void ApplyLink(TMeasureInterrupt& link, const TLinkSettings& settings, const std::string& iniPath) {
  link.PortConfig = settings.Config;
  link.DeviceKind = settings.DeviceKind;
  link.HasInstrument = settings.Live;
  link.StatusWord = settings.StatusWord;
  link.SerialPortsIniFile = iniPath;
}

bool PushLink(TMeasureInterrupt& link, const TLinkPush& push, const std::string& iniPath, bool showMessages) {
  ApplyLink(link, push.Link, iniPath);
  if (push.HasSpirometerKeys)
    link.SyringeVolume = push.Spirometer.PumpVolumeL;
  return push.Check == TPortCheck::Verify ? link.VerifySerialPort(showMessages) : link.TestDemo();
}

bool FindNebulizerInstrument(TMeasureInterrupt& link, const std::string& iniPath, bool showMessages) {
  for (const char* section : {HardwareSection, PlethysmographSection, DiffusionSection}) {
    TLinkSettings settings = ReadLinkSection(iniPath, section, 2);
    ApplyLink(link, settings, iniPath);
    link.VerifySerialPort(showMessages);
    if (link.CheckPassed && link.HasNebulizer)
      return true;
  }
  return false;
}

bool CheckNebulizer(TMeasureInterrupt* measureLink, const TNebulizerPush& nebulizer, const std::string& iniPath,
                    bool showMessages, TMessage* texts) {
  if (!nebulizer.Install)
    return false;
  if (!measureLink) {
    TMeasureInterrupt::ResetStatics();
    TMeasureInterrupt alone(0xFFFF, texts);
    alone.DeviceKind = 2;
    const bool ready = FindNebulizerInstrument(alone, iniPath, showMessages);
    alone.RestoreSerialPort();
    return ready;
  }
  measureLink->DeviceKind = 2;
  if (nebulizer.Port < 2)
    return FindNebulizerInstrument(*measureLink, iniPath, showMessages);
  // The nebulizer on a port of its own.
  measureLink->HasInstrument = true;
  const auto port = static_cast<short>(nebulizer.Port - 2);
  measureLink->PortConfig.Type = 2;
  measureLink->PortConfig.DelayCycle = nebulizer.DelayCycle;
  measureLink->PortConfig.Port = port;
  measureLink->SerialPortsIniFile = iniPath;
  measureLink->TestConfiguration(nebulizer.DelayCycle, port, showMessages);
  return measureLink->CheckPassed;
}

}  // namespace SettingsPush
