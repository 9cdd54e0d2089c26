#pragma once

// The nose of the rhinomanometry patient: the flow a transnasal pressure
// drives through one nostril or the whole nose, and the breaths of a test.

#include "tools/lungmodel/LungModel.h"

#include <vector>

namespace LungModel {

// A nasal passage by its flow at 150 Pa and the share of those 150 Pa its
// laminar (linear) part takes. Rohrer's law P = k1·V + k2·V² gives the
// pressure of a flow; a share of 0 is a pure orifice, V = k·√P.
struct TNose {
  double FlowAt150PaMlps = 400.0;
  double LaminarShare = 0.0;
};

// The flow in mL/s at a nasal pressure in Pa, with the instrument's signs:
// inspiration draws the pressure below the atmosphere and the flow in
// (positive), expiration the other way.
double NasalFlowMlps(const TNose& nose, double pressurePa);

// One breath of the test: the peak pressure of both halves and its length.
struct TNasalBreath {
  double PeakPa;
  double PeriodS;
};

// Breaths of differing depth, so that a cycle chosen by its size differs
// from the others: the deepest reaches 360 Pa, the shallowest 200 Pa.
const std::vector<TNasalBreath>& NasalBreaths();

// A test through a nose: half an inspiration, then each breath as an
// expiration and an inspiration of its depth. The recording so begins at
// the first turn from inspiration to expiration.
TRhinoTrial RhinoTrial(const TNose& nose, const std::vector<TNasalBreath>& breaths = NasalBreaths());

}  // namespace LungModel
