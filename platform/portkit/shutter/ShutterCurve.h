#pragma once

// The final pressure-flow curve of a shutter test from its fitted points:
// the points split into their two branches, each sorted by flow, averaged
// in 0.1-L/s bins, smoothed three times, and written falling branch first,
// closed by the falling branch's first bin (docs/shutter.md).

#include "platform/portkit/shutter/ShutterUnits.h"

#include <optional>
#include <span>
#include <vector>

namespace shutter {

// The ini's correction of flow or pressure, in per cent; 0 or less would
// report every curve as 0, and reads as 100.
double CorrectionFactor(int percent);

struct FlowPressure {
  double flowLps = 0.0;
  double pressureKpa = 0.0;
};

struct Curve {
  std::vector<FlowPressure> points;
  // The first bin of the falling and of the rising branch, corrected as
  // the curve is.
  FlowPressure fallingEnd;
  FlowPressure risingEnd;
};

// The curve of the fitted points, flow and pressure multiplied by their
// correction factors. With no points there is no curve: the caller keeps
// what it has.
std::optional<Curve> BuildCurve(std::span<const Point> points, double flowFactor, double pressureFactor);

// The steps of BuildCurve, for the tests: a branch sorted in its direction
// is averaged into bins in place (its last pair never enters one) and the
// number of bins answered; the bins are then smoothed three times.
std::size_t BinBranch(std::span<FlowPressure> branch, bool ascending);
void SmoothBins(std::span<FlowPressure> bins);

}  // namespace shutter
