#include "platform/portkit/rhinomanometry/CycleChoice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rhinomanometry {
namespace {

struct Excursions {
  float positive = 0.0f;  // the largest |flow| + |pressure| where pressure >= 0
  float negative = 0.0f;  // the same where pressure < 0; 0 when none
};

Excursions ExcursionsOf(const RhinoCurve& curve, std::size_t from, std::size_t to) {
  Excursions e;
  to = std::min(to, std::min(curve.flowMlps.size(), curve.pressurePa.size()));
  for (std::size_t i = from; i < to; ++i) {
    const float v = std::fabs(curve.flowMlps[i]) + std::fabs(curve.pressurePa[i]);
    float& side = curve.pressurePa[i] >= 0.0f ? e.positive : e.negative;
    side = std::max(side, v);
  }
  return e;
}

}  // namespace

SampleRange ChooseCycle(CycleAlgorithm algorithm, std::span<const TPhaseEntry> phases, const RhinoCurve& curve) {
  SampleRange chosen;
  if (algorithm == CycleAlgorithm::WholeRecording)
    return chosen;
  const bool largest = algorithm == CycleAlgorithm::LargestCycle;
  // The smallest cycle starts its bests above anything a recording can
  // reach, so that the first cycle is always taken.
  Excursions best;
  if (!largest)
    best = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};

  for (std::size_t k = 0; k + 2 < phases.size(); k += 2) {
    const std::size_t previousEnd = phases[k].Index;
    const std::size_t s = k > 0 ? previousEnd + 1 : previousEnd;
    const std::size_t e = phases[k + 2].Index;
    if (e < s)
      continue;
    const Excursions cycle = ExcursionsOf(curve, s, e);
    const bool beats = largest ? cycle.positive > best.positive && cycle.negative > best.negative
                               : cycle.positive < best.positive && cycle.negative < best.negative;
    if (!beats)
      continue;
    best = cycle;
    // The smallest cycle begins one past the phase before it, also for the
    // first cycle.
    chosen = {largest ? s : previousEnd + 1, e, true};
  }
  return chosen;
}

std::size_t KeepRange(RhinoCurve& curve, SampleRange range) {
  const std::size_t size = std::min(curve.flowMlps.size(), curve.pressurePa.size());
  if (range.start >= size || range.end < range.start)
    return 0;
  const std::size_t last = std::min(range.end, size - 1);
  std::copy(curve.flowMlps.begin() + static_cast<std::ptrdiff_t>(range.start),
            curve.flowMlps.begin() + static_cast<std::ptrdiff_t>(last + 1), curve.flowMlps.begin());
  std::copy(curve.pressurePa.begin() + static_cast<std::ptrdiff_t>(range.start),
            curve.pressurePa.begin() + static_cast<std::ptrdiff_t>(last + 1), curve.pressurePa.begin());
  curve.count = last - range.start;
  return curve.count;
}

}  // namespace rhinomanometry
