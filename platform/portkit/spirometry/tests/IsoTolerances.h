#pragma once

// Half the accuracy that ISO 26782 and ATS/ERS ask of a spirometer, which
// the test waveforms must meet: volumes 1.5 % or 25 mL, peak flows 5 % or
// 0.15 L/s, other flows 2.5 % or 0.1 L/s, whichever is larger.

#include <algorithm>
#include <cmath>

namespace spirometry::testing {

inline double VolumeTolerance(double litres) { return std::max(0.015 * std::abs(litres), 0.025); }
inline double PeakFlowTolerance(double lps) { return std::max(0.05 * std::abs(lps), 0.15); }
inline double FlowTolerance(double lps) { return std::max(0.025 * std::abs(lps), 0.1); }

// A ratio of two volumes may be off by the relative tolerances of both.
inline double RatioTolerance(double ratio, double part, double whole) {
  return std::abs(ratio) * (VolumeTolerance(part) / part + VolumeTolerance(whole) / whole);
}

}  // namespace spirometry::testing
