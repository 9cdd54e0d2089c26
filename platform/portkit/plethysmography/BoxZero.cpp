#include "platform/portkit/plethysmography/BoxZero.h"

#include <algorithm>
#include <cmath>

namespace plethysmography {

namespace {

float Mean(std::span<const float> s) {
  const std::size_t n = std::min(s.size(), ZeroSampleCount);
  if (n == 0)
    return 0.0f;
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i)
    sum += s[i];
  return static_cast<float>(sum / static_cast<double>(n));
}

}  // namespace

BoxZero CalculatePlethyZero(std::span<const float> flow, std::span<const float> box, std::span<const float> mouth) {
  BoxZero z;
  z.flowMlS = Mean(flow);
  if (std::fabs(z.flowMlS) >= 3600.0f) {
    z.failure = ZeroFailure::FlowOffset;
    return z;
  }
  for (std::size_t i = 0; i < std::min(flow.size(), ZeroSampleCount); ++i) {
    if (std::fabs(flow[i] - z.flowMlS) >= 180.0f) {
      z.failure = ZeroFailure::FlowNoise;
      return z;
    }
  }
  z.boxPa = Mean(box);
  if (std::fabs(z.boxPa) >= 6.0f) {
    z.failure = ZeroFailure::BoxOffset;
    return z;
  }
  z.mouthPa = Mean(mouth);
  if (std::fabs(z.mouthPa) >= 1200.0f)
    z.failure = ZeroFailure::MouthOffset;
  return z;
}

}  // namespace plethysmography
