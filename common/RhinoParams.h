#pragma once

// The result of a rhinomanometry test: the flows read at the five
// evaluation pressures, each for the right nostril, the left nostril and
// both together.

#include <array>

inline constexpr short RHINO_PRESSURE_COUNT = 5;
inline constexpr short RHINO_FLOW_COUNT = 3;  // right, left, both

// The evaluation pressures in Pa, one per row.
inline constexpr std::array<float, RHINO_PRESSURE_COUNT> RhinoPressures{50.0f, 75.0f, 100.0f, 150.0f, 300.0f};

struct RHINO_PARAMS {
  std::array<std::array<float, RHINO_FLOW_COUNT>, RHINO_PRESSURE_COUNT> Flows{};
};
