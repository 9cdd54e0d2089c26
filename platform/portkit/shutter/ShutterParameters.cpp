#include "platform/portkit/shutter/ShutterParameters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace shutter {

std::optional<double> BranchPressureKpa(std::span<const FlowPressure> curve, bool inspiration) {
  // The branch as magnitudes of flow, from the origin outwards; the
  // pressure keeps its sign.
  std::vector<FlowPressure> branch;
  for (const FlowPressure& p : curve)
    if (inspiration ? p.flowLps > 0.0 : p.flowLps < 0.0)
      branch.push_back({std::fabs(p.flowLps), p.pressureKpa});
  if (branch.empty())
    return std::nullopt;
  std::stable_sort(branch.begin(), branch.end(),
                   [](const FlowPressure& a, const FlowPressure& b) { return a.flowLps < b.flowLps; });

  if (branch.back().flowLps < ReferenceFlowLps) {
    double sxy = 0.0;
    double sxx = 0.0;
    for (const FlowPressure& p : branch) {
      sxy += p.flowLps * p.pressureKpa;
      sxx += p.flowLps * p.flowLps;
    }
    return sxy / sxx * ReferenceFlowLps;
  }
  FlowPressure below{0.0, 0.0};  // the curve passes through the origin
  for (const FlowPressure& above : branch) {
    if (above.flowLps >= ReferenceFlowLps) {
      if (above.flowLps == below.flowLps)
        return above.pressureKpa;
      const double t = (ReferenceFlowLps - below.flowLps) / (above.flowLps - below.flowLps);
      return below.pressureKpa + t * (above.pressureKpa - below.pressureKpa);
    }
    below = above;
  }
  return branch.back().pressureKpa;  // not reached: the last point lies at or beyond the reference
}

bool CalculateShutterParameters(std::span<const FlowPressure> curve, int breathingRate,
                                std::span<float, ParameterCount> record) {
  const std::optional<double> inspiration = BranchPressureKpa(curve, true);
  const std::optional<double> expiration = BranchPressureKpa(curve, false);
  if (!inspiration || !expiration)
    return false;
  const double raw = std::fabs(*inspiration - *expiration) / (2.0 * ReferenceFlowLps);
  std::fill(record.begin(), record.end(), 0.0f);
  record[Raw] = static_cast<float>(raw);
  record[Rin] = static_cast<float>(std::fabs(*inspiration) / ReferenceFlowLps);
  record[Rex] = static_cast<float>(std::fabs(*expiration) / ReferenceFlowLps);
  if (raw != 0.0)
    record[Gaw] = static_cast<float>(1.0 / raw);
  record[Rfreq] = static_cast<float>(breathingRate);
  return true;
}

}  // namespace shutter
