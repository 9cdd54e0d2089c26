#include "platform/portkit/spirometry/TrialCurve.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>
#include <cmath>

namespace spirometry {

namespace {

double Sign(Direction direction) { return direction == Direction::Inspiration ? 1.0 : -1.0; }

// Calls visit(time) for from, every sample time strictly between from and
// to, and to: the breakpoints of the piecewise linear volume curve.
template <typename Visit>
void ForEachBreakpoint(double from, double to, Visit visit) {
  visit(from);
  for (double t = std::floor(from) + 1.0; t < to; t += 1.0) {
    visit(t);
  }
  if (to > from) {
    visit(to);
  }
}

}  // namespace

double TrialCurve::VolumeAt(double t) const {
  const std::size_t n = Size();
  if (n == 0) {
    return 0.0;
  }
  t = std::clamp(t, -1.0, End());
  if (t < 0.0) {
    const double before = static_cast<double>(volumeL[0]) - static_cast<double>(flowLps[0]) * SampleIntervalS;
    return before + (t + 1.0) * (static_cast<double>(volumeL[0]) - before);
  }
  const auto i = static_cast<std::size_t>(t);
  if (i + 1 >= n) {
    return volumeL[n - 1];
  }
  const double f = t - static_cast<double>(i);
  return static_cast<double>(volumeL[i]) + f * (static_cast<double>(volumeL[i + 1]) - volumeL[i]);
}

double TrialCurve::FlowAt(double t) const {
  const std::size_t n = Size();
  if (n == 0) {
    return 0.0;
  }
  // Flow sample i belongs to time i - 0.5.
  const double index = std::clamp(t + 0.5, 0.0, End());
  const auto i = static_cast<std::size_t>(index);
  if (i + 1 >= n) {
    return flowLps[n - 1];
  }
  const double f = index - static_cast<double>(i);
  return static_cast<double>(flowLps[i]) + f * (static_cast<double>(flowLps[i + 1]) - flowLps[i]);
}

std::optional<double> TimeOfDisplacement(const TrialCurve& curve, double from, double to, double levelL,
                                         double amountL, Direction direction) {
  const double sign = Sign(direction);
  std::optional<double> found;
  double previousTime = from;
  double previous = sign * (curve.VolumeAt(from) - levelL);
  ForEachBreakpoint(from, to, [&](double t) {
    if (found) {
      return;
    }
    const double moved = sign * (curve.VolumeAt(t) - levelL);
    if (moved >= amountL) {
      found = moved == previous ? t : previousTime + (t - previousTime) * (amountL - previous) / (moved - previous);
      found = std::max(*found, previousTime);
    }
    previousTime = t;
    previous = moved;
  });
  return found;
}

double LargestDisplacement(const TrialCurve& curve, double from, double to, double levelL, Direction direction) {
  const double sign = Sign(direction);
  double largest = 0.0;
  ForEachBreakpoint(from, to, [&](double t) { largest = std::max(largest, sign * (curve.VolumeAt(t) - levelL)); });
  return largest;
}

double VolumeMoment(const TrialCurve& curve, double from, double to, Direction direction) {
  const double sign = Sign(direction);
  double moment = 0.0;
  double previousTime = from;
  double previousVolume = curve.VolumeAt(from);
  ForEachBreakpoint(from, to, [&](double t) {
    const double volume = curve.VolumeAt(t);
    // The volume is linear between breakpoints, so each piece moves its
    // volume at the piece's middle.
    moment += ((previousTime + t) / 2.0 - from) * sign * (volume - previousVolume);
    previousTime = t;
    previousVolume = volume;
  });
  return moment * SampleIntervalS;
}

std::size_t PeakFlowSample(const TrialCurve& curve, std::size_t first, std::size_t last, Direction direction) {
  const std::size_t n = curve.Size();
  if (n == 0) {
    return 0;
  }
  last = std::min(last, n - 1);
  first = std::min(first, last);
  const float sign = direction == Direction::Inspiration ? 1.0f : -1.0f;
  std::size_t peak = first;
  for (std::size_t i = first + 1; i <= last; ++i) {
    if (sign * curve.flowLps[i] > sign * curve.flowLps[peak]) {
      peak = i;
    }
  }
  return peak;
}

double TangentMeetsLevel(const TrialCurve& curve, std::size_t peak, double levelL) {
  // Flow sample i is the slope of the volume curve at time i - 0.5.
  const double slope = curve.flowLps[peak] * SampleIntervalS;  // litres per sample
  const double peakTime = static_cast<double>(peak) - 0.5;
  return peakTime - (curve.VolumeAt(peakTime) - levelL) / slope;
}

}  // namespace spirometry
