#include "platform/portkit/spirometry/MvvParameters.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>
#include <vector>

namespace spirometry {

namespace {

constexpr std::size_t Window = 12 * SamplesPerSecond;
constexpr double SecondsPerMinute = 60.0;

// Expired volume up to each time: expired[k] covers the steps of samples
// 0 .. k - 1, starting from the level before the first sample.
std::vector<double> ExpiredSoFar(const TrialCurve& curve) {
  const std::size_t n = curve.Size();
  std::vector<double> expired(n + 1, 0.0);
  for (std::size_t k = 0; k < n; ++k) {
    const double step = curve.VolumeAt(static_cast<double>(k) - 1.0) - curve.VolumeAt(static_cast<double>(k));
    expired[k + 1] = expired[k] + std::max(0.0, step);
  }
  return expired;
}

}  // namespace

bool CalculateMvvParams(const TrialCurve& curve, const Extremes& extremes, MvvRecord record) {
  std::fill(record.begin(), record.end(), 0.0f);
  const std::size_t n = curve.Size();
  if (n < 2) {
    return false;
  }
  const std::vector<double> expired = ExpiredSoFar(curve);
  const std::size_t window = std::min(Window, n);
  std::size_t bestStart = 0;
  for (std::size_t start = 1; start + window <= n; ++start) {
    if (expired[start + window] - expired[start] > expired[bestStart + window] - expired[bestStart]) {
      bestStart = start;
    }
  }
  const double volumeL = expired[bestStart + window] - expired[bestStart];

  // Breaths are counted from one end of inspiration to the next inside the
  // window; the first of them may be the level the trial started from.
  std::vector<std::size_t> tops;
  const int last = extremes.LastEntry();
  for (int k = 0; k <= last; ++k) {
    const TurningPoint& point = extremes.points[static_cast<std::size_t>(k)];
    const bool top = (k == last || point.volumeL > extremes.points[static_cast<std::size_t>(k + 1)].volumeL) &&
                     (k == 0 || point.volumeL > extremes.points[static_cast<std::size_t>(k - 1)].volumeL);
    if (top && point.index >= bestStart && point.index < bestStart + window && point.index < n) {
      tops.push_back(point.index);
    }
  }
  if (tops.size() < 2 || tops.back() <= tops.front()) {
    return false;
  }
  const double breaths = static_cast<double>(tops.size() - 1);
  if (volumeL / breaths < MinimumManoeuvreL) {
    return false;
  }
  const double windowS = static_cast<double>(window) * SampleIntervalS;
  const double breathingS = static_cast<double>(tops.back() - tops.front()) * SampleIntervalS;
  record[MVV] = static_cast<float>(volumeL * SecondsPerMinute / windowS);
  record[MVV_F] = static_cast<float>(breaths * SecondsPerMinute / breathingS);
  return true;
}

}  // namespace spirometry
