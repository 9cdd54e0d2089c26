#include "shell/sheets/TestParameters.h"

#include "platform/framework/Profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace TestParameters {
namespace {

constexpr double NoBound = std::numeric_limits<double>::max();

std::string Print(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string WithPoint(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

std::string WriteTexts(TProfile& p, std::initializer_list<std::pair<const char*, std::string>> values) {
  bool ok = true;
  for (const auto& [key, value] : values)
    ok = p.WriteString(key, value) && ok;
  return ok ? std::string() : p.GetLastError();
}

}  // namespace

std::optional<double> ReadNumber(const std::string& text) {
  std::string s = WithPoint(text);
  s.erase(0, s.find_first_not_of(" \t"));
  if (!s.empty() && s[0] == '+')
    s.erase(0, 1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end == s.data() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

double ReadBounded(const std::string& text, double fallback) {
  constexpr double Limit = 1.0e6;
  return std::clamp(ReadNumber(text).value_or(fallback), -Limit, Limit);
}

std::string Clamp(const std::string& text, double low, double high, int decimals) {
  const std::optional<double> value = ReadNumber(text);
  if (!value)
    return Print(low, decimals);
  if (*value < low)
    return Print(low, decimals);
  if (*value > high)
    return Print(high, decimals);
  return WithPoint(text);
}

// --- Diffusion ----------------------------------------------------------------------

const std::array<TDiffusionField, DiffusionFieldCount>& DiffusionFields() {
  static constexpr std::array<TDiffusionField, DiffusionFieldCount> fields = {{
      {"WashOutVolume", "0", 0, NoBound, 0},
      {"Co2ExtractionCorrection", "95", 90, 100, 0},
      {"FlowTreshold", "10", 1, 200, 0},
      {"HeErrorLimit", "95", 90, 99, 0},
      {"PreparationTime", "15", 2, 25, 0},
      {"PreparationNumber", "10", 2, 10, 0},
      {"MeasureNumberAfterFirstWarning", "5", 1, 10, 0},
      {"BreathHoldTime", "10", 5, 10, 0},
      {"OriginalHeConcentration", "4.8", 1.0, 5.0, 2},
      {"OriginalCoConcentration", "0.3", 0.1, 0.5, 2},
  }};
  return fields;
}

TDiffusionValues ReadDiffusion(const std::string& iniPath) {
  const TProfile p("Diffusion Capacity Parameters", iniPath);
  TDiffusionValues values;
  for (std::size_t i = 0; i < DiffusionFieldCount; ++i)
    values[i] = p.GetString(DiffusionFields()[i].Key, DiffusionFields()[i].Default).substr(0, 100);
  return values;
}

std::string WriteDiffusion(const std::string& iniPath, const TDiffusionValues& values) {
  TProfile p("Diffusion Capacity Parameters", iniPath);
  bool ok = true;
  for (std::size_t i = 0; i < DiffusionFieldCount; ++i)
    ok = p.WriteString(DiffusionFields()[i].Key, values[i]) && ok;
  return ok ? std::string() : p.GetLastError();
}

std::string ClampDiffusion(std::size_t field, const std::string& text) {
  const TDiffusionField& f = DiffusionFields().at(field);
  return Clamp(text, f.Low, f.High, f.Decimals);
}

// --- Shutter -------------------------------------------------------------------------

TShutterValues ReadShutter(const std::string& iniPath) {
  const TProfile p("Shutter", iniPath);
  TShutterValues v;
  v.MetronomEnable = p.GetString("MetronomEnable", "1").substr(0, 100);
  v.BreathingRate = p.GetString("BreathingRate", "23").substr(0, 100);
  return v;
}

std::string WriteShutter(const std::string& iniPath, const TShutterValues& values) {
  TProfile p("Shutter", iniPath);
  return WriteTexts(p, {{"MetronomEnable", values.MetronomEnable}, {"BreathingRate", values.BreathingRate}});
}

std::string ClampShutterRate(const std::string& text) {
  const std::optional<double> value = ReadNumber(text);
  const double whole = value ? std::trunc(*value) : 0.0;
  if (whole < 10)
    return "10";
  if (whole > 30)
    return "30";
  return WithPoint(text);
}

// --- Plethysmograph ---------------------------------------------------------------

TPlethysmographValues ReadPlethysmograph(const std::string& iniPath) {
  const TProfile p("Plethysmograph Parameters", iniPath);
  TPlethysmographValues v;
  v.VolumeOfCabin = p.GetInt("VolumeOfCabin", 960);
  v.VolumeOfSensor = p.GetInt("VolumeOfSensor", 80);
  v.ResistanceOfSensor = p.GetInt("ResistanceOfSensor", 20);
  v.CalibrationVolume = p.GetInt("CalibrationVolume", 150);
  v.BTPSAutoSetStep = static_cast<int>(ReadBounded(p.GetString("BTPSAutoSetStep", "50"), 50));
  v.BTPSCorrectionEffect = static_cast<float>(ReadBounded(p.GetString("BTPSCorrectionEffect", "45"), 45));
  v.InspBTPSCorrectionEffect = static_cast<float>(ReadBounded(p.GetString("InspBTPSCorrectionEffect", "90"), 90));
  v.EnableAutomaticBTPS = p.GetInt("EnableAutomaticBTPS", 1);
  v.MetronomEnable = p.GetInt("MetronomEnable", 1);
  v.BreathingRate = p.GetInt("BreathingRate", 40);
  v.BreathingRateHigh = p.GetInt("BreathingRateHigh", 70);
  if (p.GetInt("EndOfMeasurementWithIVC", 0) != 0)
    v.EndMode = 2;
  else
    v.EndMode = p.GetInt("DeepExpiration", 1) == 0 ? 1 : 0;
  v.ResistanceMethod = p.GetInt("Matthys", 0) == 0 ? 1 : 0;
  v.ResistanceLoopSelection = p.GetInt("ResistanceLoopSelection", 0);
  v.NumberOfResistance = p.GetInt("NumberOfResistance", 4);
  v.NumberOfTGV = p.GetInt("NumberOfTGV", 4);
  v.BarometerOffset = 0;
  return v;
}

std::string WritePlethysmograph(const std::string& iniPath, const TPlethysmographValues& v) {
  TProfile p("Plethysmograph Parameters", iniPath);
  bool ok = true;
  const auto integer = [&](const char* key, int value) { ok = p.WriteInt(key, value) && ok; };
  const auto text = [&](const char* key, const std::string& value) { ok = p.WriteString(key, value) && ok; };
  integer("VolumeOfCabin", v.VolumeOfCabin);
  integer("VolumeOfSensor", v.VolumeOfSensor);
  integer("ResistanceOfSensor", v.ResistanceOfSensor);
  integer("CalibrationVolume", v.CalibrationVolume);
  integer("EnableAutomaticBTPS", v.EnableAutomaticBTPS);
  text("BTPSCorrectionEffect", Print(v.BTPSCorrectionEffect, 1));
  text("BTPSAutoSetStep", std::to_string(v.BTPSAutoSetStep));
  text("InspBTPSCorrectionEffect", Print(v.InspBTPSCorrectionEffect, 1));
  integer("MetronomEnable", v.MetronomEnable);
  integer("BreathingRate", v.BreathingRate);
  integer("BreathingRateHigh", v.BreathingRateHigh);
  if (v.EndMode == 2) {
    integer("EndOfMeasurementWithIVC", 1);
  } else {
    integer("DeepExpiration", v.EndMode == 0 ? 1 : 0);
    integer("EndOfMeasurementWithIVC", 0);
  }
  integer("Matthys", 1 - v.ResistanceMethod);
  integer("ResistanceLoopSelection", v.ResistanceLoopSelection);
  integer("NumberOfResistance", v.NumberOfResistance);
  integer("NumberOfTGV", v.NumberOfTGV);
  if (v.BarometerOffset != 0)
    integer("BarometerOffset", v.BarometerOffset);
  return ok ? std::string() : p.GetLastError();
}

int AutoSetStep(int value) {
  if (value == 0)
    return 0;
  value = std::clamp(value, 10, 1000);
  const int step = value < 100 ? 10 : value < 500 ? 50 : 100;
  return value / step * step;
}

std::string ClampAutoSetStep(const std::string& text) {
  const std::optional<double> value = ReadNumber(text);
  const double whole = value ? std::clamp(std::trunc(*value), -1.0e6, 1.0e6) : 0.0;
  return std::to_string(AutoSetStep(static_cast<int>(whole)));
}

std::string ClampHighRate(const std::string& text) {
  const std::optional<double> value = ReadNumber(text);
  if (value && *value == 0.0)
    return WithPoint(text);
  return Clamp(text, 70, 200, 0);
}

std::string ClampRate(const std::string& text, int highRate) {
  return Clamp(text, 20, highRate != 0 ? 70 : 200, 0);
}

}  // namespace TestParameters
