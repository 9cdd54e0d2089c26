#pragma once

// The breath boundaries of a trial and the removal of box-pressure drift.
//
// The crossing list holds, in sample order, the inspiration starts of the
// resistance phase (flow turning from negative to non-negative), the
// resistance end mark, the mouth-pressure crossings from positive to
// non-positive of the panting against the closed shutter, and the end mark.
// Neighbouring entries bound the segments the loops are read on.

#include "platform/portkit/plethysmography/Trial.h"

#include <vector>

namespace plethysmography {

inline constexpr std::size_t CrossingCapacity = 161;

// y on the straight line through (x0, y0) and (x1, y1) at x; 0 for a
// vertical pair (x1 == x0).
double LinInt(double y0, double x0, double y1, double x1, double x);

// The boundaries of a trial whose marks fit it (at most CrossingCapacity;
// later ones are dropped).
std::vector<std::size_t> FindCrossings(const TrialSignals& trial, const Marks& marks);

// Subtracts the drift of the box pressure between neighbouring boundaries:
// the box pressure where the phase's signal (flow up to the resistance end,
// mouth pressure after it) crosses zero at each end of a segment differs by
// the drift, which is taken off as a ramp from 0 at the segment's start.
// All drifts are measured before any is removed; the ramp starts again at
// every boundary.
void RemoveBoxDrift(const TrialSignals& trial, const Marks& marks, std::span<const std::size_t> crossings);

// FindCrossings, then RemoveBoxDrift: the crossing list of the trial.
std::vector<std::size_t> BoxPressureDriftCompensation(const TrialSignals& trial, const Marks& marks);

}  // namespace plethysmography
