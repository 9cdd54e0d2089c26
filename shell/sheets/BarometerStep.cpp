#include "shell/sheets/BarometerStep.h"

#include "shell/sheets/StandAloneLink.h"

#include <cmath>

namespace BarometerStep {
namespace {

constexpr unsigned short WordReadSensors = 0xEB7F;
constexpr unsigned short WordIdle = 0xAF7F;
constexpr int SettleMs = 100;
constexpr int ReadMs = 100;
constexpr short PlethysmographKind = 2;

}  // namespace

float PressureOf(unsigned short raw, short versionOfHardware) {
  const double factor = (versionOfHardware & 0x10) != 0 ? 0.6103515625 : 1250.0 / 4095.0;
  return static_cast<float>(raw * factor);
}

bool InBounds(float pressureHpa) { return pressureHpa >= LowestHpa && pressureHpa <= HighestHpa; }

int OffsetFor(int entered, float pressureHpa) {
  if (!InBounds(pressureHpa))
    return 0;
  return static_cast<int>(std::trunc(static_cast<double>(entered) - pressureHpa));
}

int Calibrate(const std::string& iniPath, TMessage* texts, int entered, const TWait& wait) {
  const THardwareStatus status = HardwareStatus::Read(iniPath, PlethysmographKind);
  if (entered == 0 || status.Install == 0 || status.Demo != 0)
    return 0;

  TStandAloneLink link(0xFFFF, texts, status, PlethysmographKind, iniPath);
  if (!link->TestSerialPort())
    return 0;
  link->InitHandler();
  if (wait)
    wait(SettleMs);
  link->CmSendToSerialPort(WordReadSensors, 2);
  TMeasureData::LastSentData = WordReadSensors;
  if (wait)
    wait(ReadMs);
  link->ReadDataFromSerialPortToBuffer(TMeasureData::IdCommDev);
  link->CmSendToSerialPort(WordIdle, 2);
  TMeasureData::LastSentData = WordIdle;
  const float pressure = PressureOf(link->RawPressure, link->PortConfig.VersionOfHardware);
  link->KillHandler();
  link->RestoreSerialPort();
  return OffsetFor(entered, pressure);
}

}  // namespace BarometerStep
