#pragma once

// The provocation step a window shows in provocation view: the agent
// provoked with, the solvent measured after it, the concentration and the
// dose. The result table on screen and the spreadsheet export write it
// under the results.

#include <string>

struct TProvocationBlock {
  std::string Material;          // the agent of the provoked stage
  std::string SolutionMaterial;  // the solvent of the third stage; empty for none
  float ConcentrationMgPerMl = 0.0f;
  float Dose = 0.0f;             // ml
  short DoseUnit = 0;            // how the dose is told: 0 in ml, else in mg
};
