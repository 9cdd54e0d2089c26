#pragma once

// The rhinomanometry settings of the ini file: the evaluation algorithm
// ("Rhino Algorithm") and the rows the tables show ("Params Struct of
// Rhinomanometer", keys Anterior50 ... Anterior300, Posterior50 ...
// Posterior300).

#include "special/rhinomanometry/RhinoState.h"

#include <string>
#include <string_view>
#include <vector>

// A value of the ini file that could not be used as it stands, and what was
// taken instead.
struct TRhinoSettingProblem {
  std::string Section;
  std::string Key;
  std::string Value;
  int Taken = 0;
};

// The algorithm, 0 to 2 (1, all samples, when the key is missing); a value
// outside them is reported and taken as 1.
short ReadRhinoAlgorithm(std::string_view iniFile, std::vector<TRhinoSettingProblem>& problems);
bool WriteRhinoAlgorithm(std::string_view iniFile, short algorithm);

// The row flags; each missing key takes its default. A flag is shown when
// its value is nonzero; a value other than 0 and 1 is reported and taken as
// 1 (shown).
void ReadRhinoRows(std::string_view iniFile, TRhinoRows& anterior, TRhinoRows& posterior,
                   std::vector<TRhinoSettingProblem>& problems);
bool WriteRhinoRows(std::string_view iniFile, const TRhinoRows& anterior, const TRhinoRows& posterior);

inline constexpr std::string_view RhinoAlgorithmSection = "Rhino Algorithm";
inline constexpr std::string_view RhinoRowsSection = "Params Struct of Rhinomanometer";
