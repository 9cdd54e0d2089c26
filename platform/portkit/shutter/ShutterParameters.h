#pragma once

// The shutter parameters of a final pressure-flow curve: the airway
// resistance at ±0.5 L/s and its conductance (docs/shutter.md).

#include "platform/portkit/shutter/ShutterCurve.h"

#include <array>
#include <span>

namespace shutter {

// The order of the SHUTTER result record.
enum Parameter : std::size_t { Raw = 0, Rin = 1, Rex = 2, Gaw = 3, Rfreq = 4, ParameterCount = 5 };

inline constexpr double ReferenceFlowLps = 0.5;

// The pressure of one branch at the reference flow, kPa: interpolated
// between the branch's points and the origin, or, when the branch stays
// below the reference flow, from its least-squares slope through the
// origin. `inspiration` picks the points of positive flow, otherwise those
// of negative flow. Nothing when the branch has no point.
std::optional<double> BranchPressureKpa(std::span<const FlowPressure> curve, bool inspiration);

// Raw = |P(+0.5) − P(−0.5)| / 1 L/s, Rin and Rex = |P| / 0.5 L/s on their
// branch, Gaw = 1 / Raw (not written for Raw 0), Rfreq the breathing rate.
// False, with the record untouched, when either branch is missing.
bool CalculateShutterParameters(std::span<const FlowPressure> curve, int breathingRate,
                                std::span<float, ParameterCount> record);

}  // namespace shutter
