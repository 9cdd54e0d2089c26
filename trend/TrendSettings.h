#pragma once

// The trend's settings in the settings file: the five chosen parameters
// ("Trendanalysis" "Param1" to "Param5"), the grid ("Grid" "Enable") and
// dashed printed curves ("Print Struct" "EnableDottedLine").

#include "trend/TrendLine.h"

#include <array>
#include <string_view>

namespace TrendSettings {

std::array<short, TrendSlots> ReadSelectedTrendParams(std::string_view iniFile);
// False when the file could not be written.
bool WriteSelectedTrendParams(std::string_view iniFile, const std::array<short, TrendSlots>& params);

bool ReadGrid(std::string_view iniFile);
bool WriteGrid(std::string_view iniFile, bool grid);

bool ReadDottedLines(std::string_view iniFile);

}  // namespace TrendSettings
