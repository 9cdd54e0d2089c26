#include "platform/portkit/plethysmography/TgvLoop.h"

#include <cmath>
#include <vector>

namespace plethysmography {

double FindBoxMouthTangent(const TrialSignals& trial, std::size_t from, std::size_t to) {
  to = std::min(to, trial.Size());
  float pos = 0.0f, neg = 0.0f, boxPos = 0.0f, boxNeg = 0.0f;
  for (std::size_t i = from; i < to; ++i) {
    const float m = trial.mouthKPa[i];
    if (m >= 0.0f && std::fabs(m) >= std::fabs(pos)) {
      pos = m;
      boxPos = trial.boxPa[i];
    } else if (m < 0.0f && std::fabs(m) >= std::fabs(neg)) {
      neg = m;
      boxNeg = trial.boxPa[i];
    }
  }
  if ((std::fabs(pos) <= 0.5f && std::fabs(neg) <= 0.5f) || boxPos == boxNeg)
    return 0.0;
  return std::fabs((static_cast<double>(pos) - neg) / (static_cast<double>(boxPos) - boxNeg));
}

std::optional<TgvLoop> CalculateBoxMouthTangent(const TrialSignals& trial, const Marks& marks,
                                                std::span<const std::size_t> crossings) {
  // The first TGV segment starts at the entry after the resistance end.
  std::size_t first = 0;
  while (first < crossings.size() && crossings[first] <= marks.resistanceEnd)
    ++first;
  struct Segment {
    LoopBounds bounds;
    double slope;
  };
  std::vector<Segment> segments;
  for (std::size_t k = first; k + 1 < crossings.size() && segments.size() < TgvSegmentCapacity; ++k)
    segments.push_back({{crossings[k], crossings[k + 1]}, FindBoxMouthTangent(trial, crossings[k], crossings[k + 1])});

  double sum = 0.0;
  int counted = 0;
  for (const Segment& s : segments) {
    if (s.slope != 0.0) {
      sum += s.slope;
      ++counted;
    }
  }
  if (counted == 0)
    return std::nullopt;
  const double mean = sum / counted;
  const Segment* chosen = nullptr;
  double nearest = 2147483648.0;
  for (const Segment& s : segments) {
    if (s.slope != 0.0 && std::fabs(s.slope - mean) < nearest) {
      nearest = std::fabs(s.slope - mean);
      chosen = &s;
    }
  }
  return TgvLoop{chosen->bounds, chosen->slope, trial.boxPa[chosen->bounds.begin]};
}

}  // namespace plethysmography
