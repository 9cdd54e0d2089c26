#include "trend/TrendSettings.h"

#include "platform/framework/Profile.h"
#include "trend/TrendParams.h"

#include <string>

namespace TrendSettings {
namespace {

constexpr std::string_view ParamsSection = "Trendanalysis";

std::string ParamKey(int slot) { return "Param" + std::to_string(slot + 1); }

}  // namespace

std::array<short, TrendSlots> ReadSelectedTrendParams(std::string_view iniFile) {
  const TProfile profile(ParamsSection, iniFile);
  std::array<short, TrendSlots> params{};
  for (int slot = 0; slot < TrendSlots; ++slot)
    params[slot] = TrendParams::FromIniText(profile.GetString(ParamKey(slot), ""));
  return params;
}

bool WriteSelectedTrendParams(std::string_view iniFile, const std::array<short, TrendSlots>& params) {
  TProfile profile(ParamsSection, iniFile);
  bool written = true;
  for (int slot = 0; slot < TrendSlots; ++slot)
    written = profile.WriteString(ParamKey(slot), TrendParams::IniText(params[slot])) && written;
  return written;
}

bool ReadGrid(std::string_view iniFile) { return TProfile("Grid", iniFile).GetInt("Enable", 1) != 0; }

bool WriteGrid(std::string_view iniFile, bool grid) {
  return TProfile("Grid", iniFile).WriteInt("Enable", grid ? 1 : 0);
}

bool ReadDottedLines(std::string_view iniFile) {
  return TProfile("Print Struct", iniFile).GetInt("EnableDottedLine", 1) != 0;
}

}  // namespace TrendSettings
