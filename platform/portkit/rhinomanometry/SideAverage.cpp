#include "platform/portkit/rhinomanometry/SideAverage.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rhinomanometry {
namespace {

// The bands of |pressure| a side can fill: 0 to 4 Pa, 4 to 8 Pa, ... up to
// the one that holds 900 Pa.
constexpr std::size_t BandCount = static_cast<std::size_t>(SideWindowPa / BinWidthPa) + 1;

struct Bin {
  double flowSum = 0.0;
  double pressureSum = 0.0;
  int samples = 0;
};

bool OnSide(float pressure, PressureSide side) {
  return side == PressureSide::Positive ? pressure >= 0.0f && pressure <= SideWindowPa
                                        : pressure >= -SideWindowPa && pressure < 0.0f;
}

// A bin's mean; a sum that is next to nothing gives 0.
double Mean(double sum, int samples) { return samples != 0 && std::fabs(sum) > 0.01 ? sum / samples : 0.0; }

void Smooth(std::vector<double>& values) {
  const std::size_t last = values.size() - 1;
  for (int pass = 0; pass < SmoothingPasses; ++pass) {
    // In place and rising: each bin sees the new value of the one below it.
    if (last >= 1)
      values[0] = (values[0] + values[1]) / 2.0;
    for (std::size_t i = 1; i + 1 <= last; ++i)
      values[i] = (values[i - 1] + 2.0 * values[i] + values[i + 1]) / 4.0;
    if (last > 1)
      values[last] = (values[last - 1] + values[last]) / 2.0;
  }
}

}  // namespace

std::vector<RhinoPoint> AverageSide(const RhinoCurve& curve, PressureSide side) {
  const std::size_t n = curve.Usable();
  std::array<Bin, BandCount> bands{};
  float largest = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const float pressure = curve.pressurePa[i];
    if (!OnSide(pressure, side) || !std::isfinite(curve.flowMlps[i]))
      continue;
    const float a = std::fabs(pressure);
    largest = std::max(largest, a);
    // Band b holds 4b <= |pressure| < 4b + 4, centred on 4b + 2.
    Bin& band = bands[std::min(static_cast<std::size_t>(a / BinWidthPa), BandCount - 1)];
    band.flowSum += curve.flowMlps[i];
    band.pressureSum += pressure;
    ++band.samples;
  }
  // Only the bands whose centre lies below the largest |pressure| (taken as
  // a whole number) count; empty bands leave no bin.
  const float reach = std::trunc(largest);
  std::vector<double> flows;
  std::vector<double> pressures;
  for (std::size_t b = 0; b < BandCount; ++b) {
    const float centre = BinWidthPa * static_cast<float>(b) + BinWidthPa / 2.0f;
    if (!(reach > centre))
      break;
    if (bands[b].samples == 0)
      continue;
    flows.push_back(Mean(bands[b].flowSum, bands[b].samples));
    pressures.push_back(Mean(bands[b].pressureSum, bands[b].samples));
  }
  if (flows.empty())
    return {};
  Smooth(flows);
  Smooth(pressures);

  const std::size_t last = flows.size() - 1;
  std::vector<RhinoPoint> loop;
  loop.reserve(2 * last + 1);
  for (std::size_t i = 0; i < 2 * last + 1 && i < SideOutputPoints; ++i) {
    const std::size_t bin = i < last ? i : 2 * last - i;
    loop.push_back({static_cast<float>(flows[bin]), static_cast<float>(pressures[bin])});
  }
  return loop;
}

bool AverageCurve(RhinoCurve& curve) {
  const std::vector<RhinoPoint> positive = AverageSide(curve, PressureSide::Positive);
  const std::vector<RhinoPoint> negative = AverageSide(curve, PressureSide::Negative);
  const std::size_t size = std::min(curve.flowMlps.size(), curve.pressurePa.size());
  std::size_t written = 0;
  const auto put = [&](RhinoPoint p) {
    if (written >= size)
      return;
    curve.flowMlps[written] = p.flowMlps;
    curve.pressurePa[written] = p.pressurePa;
    ++written;
  };
  std::for_each(positive.begin(), positive.end(), put);
  put({});
  std::for_each(negative.begin(), negative.end(), put);
  curve.count = written;
  return !positive.empty() || !negative.empty();
}

}  // namespace rhinomanometry
