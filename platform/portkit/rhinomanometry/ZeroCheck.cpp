#include "platform/portkit/rhinomanometry/ZeroCheck.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace rhinomanometry {
namespace {

float Mean(std::span<const float> samples) {
  if (samples.empty())
    return 0.0f;
  const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
  return static_cast<float>(sum / static_cast<double>(samples.size()));
}

}  // namespace

ZeroLimits FlowZeroLimits(bool otherFlowScale) {
  // The flow head's full range, in the counts each scale reads: 20 % of it
  // is the largest offset, 1 % the largest noise.
  const float range = otherFlowScale ? 1000.0f * OtherFlowScale : 18000.0f;
  return {0.2f * range, 0.01f * range};
}

ZeroCheck CheckZero(std::span<const float> flowAtRestMlps, std::span<const float> pressureAtRestPa,
                    bool otherFlowScale) {
  ZeroCheck check;
  check.flowZeroMlps = Mean(flowAtRestMlps);
  const ZeroLimits limits = FlowZeroLimits(otherFlowScale);
  if (std::fabs(check.flowZeroMlps) >= limits.offsetMlps) {
    check.verdict = ZeroVerdict::FlowOffset;
    return check;
  }
  const bool unsteady = std::any_of(flowAtRestMlps.begin(), flowAtRestMlps.end(), [&](float flow) {
    return std::fabs(flow - check.flowZeroMlps) >= limits.noiseMlps;
  });
  if (unsteady) {
    check.verdict = ZeroVerdict::FlowUnsteady;
    return check;
  }
  check.pressureZeroPa = Mean(pressureAtRestPa);
  if (std::fabs(check.pressureZeroPa) >= PressureOffsetLimitPa)
    check.verdict = ZeroVerdict::PressureOffset;
  return check;
}

}  // namespace rhinomanometry
