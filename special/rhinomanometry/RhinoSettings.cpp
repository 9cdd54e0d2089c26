#include "special/rhinomanometry/RhinoSettings.h"

#include "platform/framework/Profile.h"

#include <cstdint>

namespace {

std::string RowKey(std::string_view group, std::size_t row) {
  return std::string(group) + std::to_string(static_cast<int>(RhinoPressures[row]));
}

void ReadGroup(const TProfile& profile, std::string_view group, TRhinoRows& rows, const TRhinoRows& defaults,
               std::vector<TRhinoSettingProblem>& problems) {
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::string key = RowKey(group, row);
    // The value is kept as a 16-bit number, as the tables have always read it.
    const auto value = static_cast<std::int16_t>(profile.GetInt(key, static_cast<int>(defaults[row])));
    rows[row] = value != 0 ? 1u : 0u;
    if (value != 0 && value != 1)
      problems.push_back({std::string(RhinoRowsSection), key, profile.GetString(key), 1});
  }
}

}  // namespace

short ReadRhinoAlgorithm(std::string_view iniFile, std::vector<TRhinoSettingProblem>& problems) {
  const TProfile profile(RhinoAlgorithmSection, iniFile);
  const int algorithm = profile.GetInt("Algorithm", 1);
  if (algorithm < 0 || algorithm >= rhinomanometry::CycleAlgorithmCount) {
    problems.push_back({std::string(RhinoAlgorithmSection), "Algorithm", profile.GetString("Algorithm"), 1});
    return 1;
  }
  return static_cast<short>(algorithm);
}

bool WriteRhinoAlgorithm(std::string_view iniFile, short algorithm) {
  TProfile profile(RhinoAlgorithmSection, iniFile);
  return profile.WriteInt("Algorithm", algorithm);
}

void ReadRhinoRows(std::string_view iniFile, TRhinoRows& anterior, TRhinoRows& posterior,
                   std::vector<TRhinoSettingProblem>& problems) {
  const TProfile profile(RhinoRowsSection, iniFile);
  ReadGroup(profile, "Anterior", anterior, DefaultAnteriorRows, problems);
  ReadGroup(profile, "Posterior", posterior, DefaultPosteriorRows, problems);
}

bool WriteRhinoRows(std::string_view iniFile, const TRhinoRows& anterior, const TRhinoRows& posterior) {
  TProfile profile(RhinoRowsSection, iniFile);
  bool written = true;
  for (std::size_t row = 0; row < anterior.size(); ++row) {
    written = profile.WriteInt(RowKey("Anterior", row), static_cast<int>(anterior[row])) && written;
    written = profile.WriteInt(RowKey("Posterior", row), static_cast<int>(posterior[row])) && written;
  }
  return written;
}
