#include "audiometry/setup/ServiceConversion.h"

#include "platform/framework/Profile.h"

#include <algorithm>
#include <cstdio>

TServiceConversion TServiceConversion::Read(const std::string& iniFile) {
  const TProfile spl("SPL", iniFile);
  TServiceConversion c;
  const int max = spl.GetInt("Max", 120);
  c.Factor = max + 10 > 0 ? 255.0 / (max + 10) : 255.0 / 130.0;
  for (std::size_t i = 0; i < AudioFrequencies; ++i) {
    const std::string text = spl.GetString(std::to_string(AudioHz[i]), "");
    float value = 0;
    if (!text.empty() && std::sscanf(text.c_str(), "%f", &value) == 1)
      c.Correction[i] = value;
  }
  return c;
}

std::optional<int> TServiceConversion::GetFreq(unsigned code) {
  const auto found = std::find(FREQ.begin(), FREQ.end(), static_cast<int>(code & 0xFF));
  if (found == FREQ.end())
    return std::nullopt;
  return static_cast<int>(found - FREQ.begin());
}

int TServiceConversion::Value(int db, int frequency) const {
  const double value = (db + Correction[static_cast<std::size_t>(frequency)]) * Factor;
  return std::clamp(static_cast<int>(value) + 10, 0, 255);
}

int TServiceConversion::Db(int value, int frequency) const {
  value = std::clamp(value, 0, 255);
  return static_cast<int>((value - 10) / Factor - Correction[static_cast<std::size_t>(frequency)]);
}
