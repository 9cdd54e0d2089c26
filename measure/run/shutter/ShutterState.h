#pragma once

// The shutter test's own state in the measurement window: the raw points of
// the closures as they arrive, the points fitted from them, and what the
// final curve leaves behind.

#include "platform/portkit/shutter/ShutterCurve.h"
#include "platform/portkit/shutter/ShutterUnits.h"

#include <array>
#include <cstdint>
#include <vector>

struct TShutterState {
  // Raw flow and mouth-pressure counts of the closed samples, pairwise;
  // allocated for a test (PointCapacity each) and freed at its stop.
  std::vector<std::int16_t> FlowPoints;
  std::vector<std::int16_t> PressurePoints;
  short PointIndex = -1;  // the last pair stored
  // One point per closure, with its branch; at most PointCapacity.
  std::vector<shutter::Point> Fitted;
  // The first bins of the falling and the rising branch of the last final
  // curve: flow and pressure of each.
  shutter::FlowPressure FallingEnd;
  shutter::FlowPressure RisingEnd;

  bool Allocated() const { return !FlowPoints.empty() && !PressurePoints.empty(); }
};
