#pragma once

// The numbers the shutter test shares with the instrument: raw counts and
// their units, the closure group, the limits of the point buffers.

#include <cstddef>
#include <cstdint>

namespace shutter {

inline constexpr double FlowMlpsPerCount = 8.7890625;
inline constexpr double PressurePaPerCount = 2.44140625;
// A sample whose raw mouth pressure reads this is no point: the shutter is open.
inline constexpr std::int16_t NoPointPressure = 5000;
// One closure is one group of ten stored points.
inline constexpr std::size_t GroupSize = 10;
// The raw point buffers and the fitted points hold this many entries.
inline constexpr std::size_t PointCapacity = 1000;
// Bins of the final curve are this wide in flow, L/s.
inline constexpr double BinWidthLps = 0.1;
// Bins at or below this flow magnitude are left out of the curve, L/s.
inline constexpr double MinimumCurveFlowLps = 0.1;

// One fitted point: the flow just before a closure and the alveolar
// pressure extrapolated back to its moment, with opposite signs (positive
// flow is inspiration, so its pressure is negative).
struct Point {
  double flowLps = 0.0;
  double pressureKpa = 0.0;
  bool falling = false;  // the flow at the chosen sample was not above the one before it
};

}  // namespace shutter
