#include "platform/portkit/spirometry/CurveSteps.h"

#include <algorithm>

namespace spirometry {

void IntegrateWithExtremes(std::span<const float> flowLps, std::span<float> volumeL, Extremes& extremes) {
  extremes.Clear();
  Integrate(flowLps, volumeL,
            [&](float flow, float volume, std::uint16_t index) { LocalMaxMin(extremes, flow, volume, index); });
}

void Smooth(std::span<float> s, short passes) {
  const std::size_t n = s.size();
  if (n < 2) {
    return;
  }
  for (short pass = 0; pass < passes; ++pass) {
    s[0] = (s[0] + s[1]) / 2.0f;
    for (std::size_t i = 1; i + 1 < n; ++i) {
      s[i] = (2.0f * s[i] + s[i - 1] + s[i + 1]) / 4.0f;
    }
    s[n - 1] = (s[n - 2] + s[n - 1]) / 2.0f;
  }
}

float BaseLine(const Extremes& extremes) {
  const int last = extremes.LastEntry();
  float lowest = extremes.points[0].volumeL;
  for (int k = 1; k <= last; ++k) {
    lowest = std::min(lowest, extremes.points[static_cast<std::size_t>(k)].volumeL);
  }
  return lowest;
}

void ShiftExtremes(Extremes& extremes, float level) {
  const int last = extremes.LastEntry();
  for (int k = 0; k <= last; ++k) {
    extremes.points[static_cast<std::size_t>(k)].volumeL -= level;
  }
}

void ShiftToBaseLine(std::span<float> volumeL, Extremes& extremes) {
  const float lowest = BaseLine(extremes);
  for (float& volume : volumeL) {
    volume -= lowest;
  }
  ShiftExtremes(extremes, lowest);
}

}  // namespace spirometry
