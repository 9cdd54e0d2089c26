#include "tools/lungmodel/RhinoModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace LungModel {

double NasalFlowMlps(const TNose& nose, double pressurePa) {
  // Rohrer's coefficients from the flow at 150 Pa: k1·V150 takes the
  // laminar share of 150 Pa, k2·V150² the rest.
  const double v150 = nose.FlowAt150PaMlps;
  if (v150 <= 0.0)
    return 0.0;
  const double k1 = nose.LaminarShare * 150.0 / v150;
  const double k2 = (1.0 - nose.LaminarShare) * 150.0 / (v150 * v150);
  const double p = std::fabs(pressurePa);
  const double flow = k2 > 0.0 ? (-k1 + std::sqrt(k1 * k1 + 4.0 * k2 * p)) / (2.0 * k2) : p / k1;
  return pressurePa < 0.0 ? flow : -flow;
}

const std::vector<TNasalBreath>& NasalBreaths() {
  static const std::vector<TNasalBreath> breaths{{200.0, 3.2}, {320.0, 3.6}, {250.0, 3.0},
                                                 {360.0, 4.0}, {230.0, 3.4}, {300.0, 3.2}};
  return breaths;
}

TRhinoTrial RhinoTrial(const TNose& nose, const std::vector<TNasalBreath>& breaths) {
  TRhinoTrial trial;
  const auto half = [&](double peakPa, double periodS, double sign) {
    const int n = std::max(1, static_cast<int>(std::lround(periodS / 2.0 / SampleSeconds)));
    for (int i = 0; i < n; ++i) {
      const double pressure = sign * peakPa * std::sin(std::numbers::pi * (i + 0.5) / n);
      trial.PressurePa.push_back(pressure);
      trial.FlowMlps.push_back(NasalFlowMlps(nose, pressure));
    }
  };
  if (breaths.empty())
    return trial;
  half(breaths.front().PeakPa, breaths.front().PeriodS, -1.0);
  for (const TNasalBreath& b : breaths) {
    half(b.PeakPa, b.PeriodS, 1.0);   // expiration: pressure up, flow out
    half(b.PeakPa, b.PeriodS, -1.0);  // inspiration
  }
  return trial;
}

TRhinoTrial RhinoTrial(const TPatient& patient) { return RhinoTrial(TNose{patient.NasalFlowAt150Pa, 0.0}); }

}  // namespace LungModel
