#include "platform/portkit/shutter/ShutterCurve.h"

#include <algorithm>
#include <cmath>

namespace shutter {

namespace {

constexpr int SmoothingPasses = 3;

FlowPressure Mean(const FlowPressure& a, const FlowPressure& b) {
  return {(a.flowLps + b.flowLps) / 2.0, (a.pressureKpa + b.pressureKpa) / 2.0};
}

FlowPressure Corrected(const FlowPressure& p, double flowFactor, double pressureFactor) {
  return {p.flowLps * flowFactor, p.pressureKpa * pressureFactor};
}

}  // namespace

double CorrectionFactor(int percent) { return percent > 0 ? percent * 0.01 : 1.0; }

std::size_t BinBranch(std::span<FlowPressure> branch, bool ascending) {
  const std::size_t k = branch.size();
  std::size_t bins = 0;
  std::size_t s = 0;
  while (k > 0 && s < k - 1) {
    const double limit = ascending ? branch[s].flowLps + BinWidthLps : branch[s].flowLps - BinWidthLps;
    FlowPressure sum;
    std::size_t n = 0;
    std::size_t i = s;
    for (; i < k - 1 && (ascending ? branch[i].flowLps <= limit : branch[i].flowLps >= limit); ++i, ++n) {
      sum.flowLps += branch[i].flowLps;
      sum.pressureKpa += branch[i].pressureKpa;
    }
    branch[bins++] = {sum.flowLps / static_cast<double>(n), sum.pressureKpa / static_cast<double>(n)};
    s = i;
  }
  return bins;
}

void SmoothBins(std::span<FlowPressure> bins) {
  const std::size_t c = bins.size();
  if (c < 2)
    return;  // nothing written beside it to average with
  for (int pass = 0; pass < SmoothingPasses; ++pass) {
    bins[0] = Mean(bins[0], bins[1]);
    for (std::size_t j = 1; j + 1 < c; ++j) {
      bins[j] = {(2.0 * bins[j].flowLps + bins[j - 1].flowLps + bins[j + 1].flowLps) / 4.0,
                 (2.0 * bins[j].pressureKpa + bins[j - 1].pressureKpa + bins[j + 1].pressureKpa) / 4.0};
    }
    bins[c - 1] = Mean(bins[c - 1], bins[c - 2]);
  }
}

std::optional<Curve> BuildCurve(std::span<const Point> points, double flowFactor, double pressureFactor) {
  if (points.empty())
    return std::nullopt;
  // Both branches have room for every point and start zero-filled: an
  // empty branch still has a first slot, (0, 0).
  std::vector<FlowPressure> falling(points.size());
  std::vector<FlowPressure> rising(points.size());
  std::size_t nFalling = 0;
  std::size_t nRising = 0;
  for (const Point& p : points) {
    if (p.falling)
      falling[nFalling++] = {p.flowLps, p.pressureKpa};
    else
      rising[nRising++] = {p.flowLps, p.pressureKpa};
  }
  const auto byFlow = [](const FlowPressure& a, const FlowPressure& b) { return a.flowLps < b.flowLps; };
  std::stable_sort(falling.begin(), falling.begin() + static_cast<std::ptrdiff_t>(nFalling), byFlow);
  std::stable_sort(rising.begin(), rising.begin() + static_cast<std::ptrdiff_t>(nRising),
                   [&](const FlowPressure& a, const FlowPressure& b) { return byFlow(b, a); });

  const std::size_t fallingBins = BinBranch(std::span(falling).first(nFalling), true);
  const std::size_t risingBins = BinBranch(std::span(rising).first(nRising), false);
  SmoothBins(std::span(falling).first(fallingBins));
  SmoothBins(std::span(rising).first(risingBins));

  Curve curve;
  const auto write = [&](std::span<const FlowPressure> bins) {
    for (std::size_t j = 0; j + 1 < bins.size(); ++j)
      if (std::fabs(bins[j].flowLps) > MinimumCurveFlowLps)
        curve.points.push_back(Corrected(bins[j], flowFactor, pressureFactor));
  };
  write(std::span(falling).first(fallingBins));
  write(std::span(rising).first(risingBins));
  curve.fallingEnd = Corrected(falling[0], flowFactor, pressureFactor);
  curve.risingEnd = Corrected(rising[0], flowFactor, pressureFactor);
  curve.points.push_back(curve.fallingEnd);  // the curve closes
  return curve;
}

}  // namespace shutter
