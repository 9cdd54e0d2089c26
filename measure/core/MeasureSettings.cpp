// The window's lasting settings in the ini file. Each reader opens its
// section, reads with a default and closes it again; nothing is cached. A
// hand-edited value out of range is clamped to what the instrument can do.

#include "measure/core/MeasureCore.h"

#include "platform/portkit/shutter/ShutterCurve.h"

#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

#include <algorithm>

short TMeasureCore::SoundFrequency = 800;
short TMeasureCore::SoundTime = 50;

namespace {

short ReadShort(const TProfile& profile, std::string_view key, int defaultValue) {
  const int value = profile.GetInt(key, defaultValue);
  return static_cast<short>(std::clamp(value, -32768, 32767));
}

// The metronome's tone, shared by the shutter and the plethysmograph sets.
void ReadMetronome(const TProfile& profile, short& enable) {
  TMeasureCore::SoundFrequency = ReadShort(profile, "SoundFrequency", 800);
  TMeasureCore::SoundTime = std::clamp<short>(ReadShort(profile, "SoundTime", 50), 40, 60);
  enable = ReadShort(profile, "MetronomEnable", 1);
}

}  // namespace

void TMeasureCore::SetIniFile(std::string_view path) { IniFile = std::string(Utf8::Truncate(path, IniPathLength)); }

void TMeasureCore::ReadWindowSettings() {
  ReadUnitConstans();
  ReadDelayCounterConstans();
  ReadLimits();
  ReadMeasurePenSize();
  ReadDoseUnit();
  ReadAnimationSettings();
  if (MeasureType == MEASURE_RHINO)
    ReadRhinoSettings();
}

void TMeasureCore::ReadParameterSettings() {
  // A plethysmograph family instrument keeps its metronome apart.
  if (InstrumentType != 0 && (InstrumentType & 0xE0) == 0)
    ReadPlethyShutterParams();
  else
    ReadShutterParams();
  if (HasInstrument && InstrumentType != 0)
    Calibrated = WasInstrumentCalibrating();
}

void TMeasureCore::ReadLimits() {
  const TProfile profile("Limit", IniFile);
  FivFvcLimit = ReadShort(profile, "PercentOfFIV/FVC", 50);
}

void TMeasureCore::ReadUnitConstans() {
  const TProfile profile("Unit of Measurement", IniFile);
  // Only 0 (metric) and 1 (imperial) exist; anything else would show
  // metric numbers under imperial units.
  UnitSystem = ReadShort(profile, "Unit", 0);
  if (UnitSystem != 0 && UnitSystem != 1)
    UnitSystem = 0;
  UnitRead = !IniFile.empty();
}

void TMeasureCore::WriteUnitConstans() {
  if (IniFile.empty())
    return;
  TProfile profile("Unit of Measurement", IniFile);
  profile.WriteInt("Unit", UnitSystem);
  profile.Flush();
}

void TMeasureCore::ReadDelayCounterConstans() {
  // The instrument's hardware section; the run loads it into its running
  // count at every start.
  PortConfig.DelayCounter = 12;
  const TProfile profile("Hardware", IniFile);
  PortConfig.DelayCounter = ReadShort(profile, "DelayCounter", 12);
}

void TMeasureCore::ReadMeasurePenSize() {
  const TProfile profile("Screen", IniFile);
  PenSize = ReadShort(profile, "PenSizeOfMeasurement", 1);
  if (PenSize < 1 || Printing)
    PenSize = 1;
}

void TMeasureCore::ReadDoseUnit() {
  const TProfile profile("Nebulizer", IniFile);
  DoseUnit = ReadShort(profile, "UnitOfDose", 0);
}

void TMeasureCore::ReadShutterParams() {
  const TProfile profile("Shutter", IniFile);
  BreathingRate = std::clamp<short>(ReadShort(profile, "BreathingRate", 23), 10, 30);
  ReadMetronome(profile, MetronomEnable);
  // A correction of 0 or less would report every curve as no resistance.
  FlowCorrection = static_cast<float>(shutter::CorrectionFactor(ReadShort(profile, "CorrectionOfFlowValue", 100)));
  PressureCorrection =
      static_cast<float>(shutter::CorrectionFactor(ReadShort(profile, "CorrectionOfPressureValue", 100)));
}

void TMeasureCore::ReadPlethyShutterParams() {
  const TProfile profile("Plethysmograph Parameters", IniFile);
  BreathingRate = std::clamp<short>(ReadShort(profile, "BreathingRate", 40), 20, 200);
  ReadMetronome(profile, MetronomEnable);
}
