#include "platform/portkit/plethysmography/Smoothing.h"

#include <cstdint>

namespace plethysmography {

void SmoothPass(std::span<float> s, std::size_t first, std::size_t last, std::size_t skipFrom, std::size_t skipTo) {
  const std::size_t n = s.size();
  if (n < 2 || first > last || last + 1 >= n)
    return;
  const auto skipped = [&](std::size_t i) { return skipTo >= skipFrom && i >= skipFrom && i <= skipTo; };
  for (std::size_t i = first; i <= last; ++i) {
    if (skipped(i))
      continue;
    s[i] = i == 0 ? (s[0] + s[1]) * 0.5f : (s[i - 1] + 2.0f * s[i] + s[i + 1]) * 0.25f;
  }
  s[last + 1] = (s[last] + s[last + 1]) * 0.5f;
}

void IntegrateVolume(const TrialSignals& trial, spirometry::Extremes& extremes) {
  extremes.Clear();
  const std::size_t n = std::min(trial.flowLps.size(), trial.volumeL.size());
  float volume = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    volume += trial.flowLps[i] * static_cast<float>(SampleIntervalS);
    trial.volumeL[i] = volume;
    spirometry::LocalMaxMin(extremes, trial.flowLps[i], volume, static_cast<std::uint16_t>(i));
  }
}

void FilterForPlethy(const TrialSignals& trial, const Marks& marks, int passes, spirometry::Extremes& extremes) {
  const std::size_t n = trial.Size();
  if (passes <= 0 || n < 2 || !marks.FitOn(n))
    return;
  for (int p = 0; p < passes; ++p)
    SmoothPass(trial.flowLps.first(n), 0, n - 2, marks.tgvStart + 1, marks.end);
  IntegrateVolume(trial, extremes);
  for (int p = 0; p < passes; ++p) {
    SmoothPass(trial.boxPa.first(n), marks.resistanceStart, marks.end - 2);
    SmoothPass(trial.mouthKPa.first(n), marks.tgvStart + 1, marks.end - 2);
  }
}

}  // namespace plethysmography
