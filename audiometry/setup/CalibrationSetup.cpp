#include "audiometry/setup/CalibrationSetup.h"

#include "platform/framework/Profile.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* CalibrationSection = "SPL";

std::optional<double> Number(const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ')
    ++begin;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin)
    return std::nullopt;
  while (*end == ' ')
    ++end;
  if (*end != '\0')
    return std::nullopt;
  return value;
}

}  // namespace

std::string TCalibrationSetup::Format(double db) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", db);
  return text;
}

TCalibrationSetup TCalibrationSetup::Read(const std::string& iniFile) {
  const TProfile p(CalibrationSection, iniFile);
  TCalibrationSetup s;
  s.Standard = p.GetInt("Standard", 0) == 1 ? 1 : 0;
  for (int f = 0; f < AudioFrequencies; ++f) {
    const auto i = static_cast<std::size_t>(f);
    const double reference = References[static_cast<std::size_t>(s.Standard)][i];
    const std::string stored = p.GetString(std::to_string(AudioHz[i]), Format(reference)).substr(0, 6);
    const double correction = Number(stored).value_or(reference);
    s.Measured[i] = Format(2 * reference - correction + 70.0);
  }
  return s;
}

void TCalibrationSetup::Default() {
  for (int f = 0; f < AudioFrequencies; ++f)
    Measured[static_cast<std::size_t>(f)] = Format(Nominal(Standard, f));
}

std::optional<int> TCalibrationSetup::FirstInvalid() const {
  for (int f = 0; f < AudioFrequencies; ++f)
    if (!Number(Measured[static_cast<std::size_t>(f)]))
      return f;
  return std::nullopt;
}

bool TCalibrationSetup::Write(const std::string& iniFile) const {
  if (FirstInvalid())
    return false;
  TProfile p(CalibrationSection, iniFile);
  bool ok = p.WriteInt("Standard", Standard);
  for (int f = 0; ok && f < AudioFrequencies; ++f) {
    const auto i = static_cast<std::size_t>(f);
    const double reference = References[static_cast<std::size_t>(Standard)][i];
    ok = p.WriteString(std::to_string(AudioHz[i]), Format(2 * reference - *Number(Measured[i]) + 70.0));
  }
  return ok && p.Flush();
}
