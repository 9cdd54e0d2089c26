#include "platform/portkit/spirometry/VcParameters.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>
#include <vector>

namespace spirometry {

namespace {

constexpr std::size_t TidalBreaths = 3;

struct TidalBreath {
  float endExpiratoryL;
  float endInspiratoryL;
  float Volume() const { return endInspiratoryL - endExpiratoryL; }
};

// The inspirations among the turning points before sample `before`.
std::vector<TidalBreath> TidalBreathsBefore(const Extremes& extremes, std::size_t before) {
  std::vector<TidalBreath> breaths;
  const int last = extremes.LastEntry();
  for (int k = 0; k < last; ++k) {
    const TurningPoint& low = extremes.points[static_cast<std::size_t>(k)];
    const TurningPoint& high = extremes.points[static_cast<std::size_t>(k + 1)];
    if (high.index >= before) {
      break;
    }
    if (high.volumeL > low.volumeL) {
      breaths.push_back({low.volumeL, high.volumeL});
    }
  }
  return breaths;
}

// A regular breath lies within half and one and a half times the median
// breath, which leaves out sighs and breaths cut short.
std::vector<TidalBreath> LastRegular(const std::vector<TidalBreath>& breaths) {
  if (breaths.empty()) {
    return {};
  }
  std::vector<float> volumes;
  for (const TidalBreath& breath : breaths) {
    volumes.push_back(breath.Volume());
  }
  const auto middle = volumes.begin() + static_cast<std::ptrdiff_t>(volumes.size() / 2);
  std::nth_element(volumes.begin(), middle, volumes.end());
  const float median = *middle;
  std::vector<TidalBreath> regular;
  for (auto it = breaths.rbegin(); it != breaths.rend() && regular.size() < TidalBreaths; ++it) {
    if (it->Volume() >= 0.5f * median && it->Volume() <= 1.5f * median) {
      regular.push_back(*it);
    }
  }
  return regular;
}

}  // namespace

bool CalculateVcParams(const TrialCurve& curve, const Extremes& extremes, VcRecord record) {
  std::fill(record.begin(), record.end(), 0.0f);
  const std::size_t n = curve.Size();
  if (n < 2) {
    return false;
  }
  // The deepest expiration and the fullest inspiration, whichever way round
  // the patient breathed them, and the largest volume expired in one go.
  std::size_t deepest = 0;
  std::size_t fullest = 0;
  float highestSoFar = curve.volumeL[0];
  float largestFall = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const float v = curve.volumeL[i];
    deepest = v < curve.volumeL[deepest] ? i : deepest;
    fullest = v > curve.volumeL[fullest] ? i : fullest;
    highestSoFar = std::max(highestSoFar, v);
    largestFall = std::max(largestFall, highestSoFar - v);
  }
  const float lowest = curve.volumeL[deepest];
  const float highest = curve.volumeL[fullest];
  // The trial is recorded from an expiration on; one that never expires
  // deeply, because it only rises or only wanders, holds no manoeuvre.
  if (largestFall < MinimumManoeuvreL) {
    return false;
  }
  record[IVC] = highest - lowest;
  record[SVC] = largestFall;

  const std::vector<TidalBreath> tidal = LastRegular(TidalBreathsBefore(extremes, std::min(deepest, fullest)));
  if (!tidal.empty()) {
    float endExpiratory = 0.0f;
    float endInspiratory = 0.0f;
    for (const TidalBreath& breath : tidal) {
      endExpiratory += breath.endExpiratoryL;
      endInspiratory += breath.endInspiratoryL;
    }
    endExpiratory /= static_cast<float>(tidal.size());
    endInspiratory /= static_cast<float>(tidal.size());
    record[TV] = endInspiratory - endExpiratory;
    record[ERV] = endExpiratory - lowest;
    record[IRV] = highest - endInspiratory;
  }
  return true;
}

}  // namespace spirometry
