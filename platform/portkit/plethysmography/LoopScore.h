#pragma once

// How open a resistance loop is on the screen, for the search of the
// artefact share: the loop's samples become integer plot points, sorted
// into the branch where the plotted flow rises and the one where it falls;
// the width between the two branches, summed over the plot columns, is the
// loop's score. The right share of the BTPS artefact closes the loop (the
// two branches lie on one line), so the search keeps the smallest score of
// a loop whose branches do not cross.

#include "platform/portkit/plethysmography/AlveolarPressure.h"
#include "platform/portkit/plethysmography/Trial.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace plethysmography {

inline constexpr std::size_t BranchCapacity = 1000;

struct PlotPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  bool operator==(const PlotPoint&) const = default;
};

struct LoopBranches {
  std::vector<PlotPoint> rising;   // Y above the Y of the point before
  std::vector<PlotPoint> falling;  // Y below it
  std::int32_t lastY = -1;         // -1: none yet

  void Clear();
};

// What the points of one trial are read against: its loop, the marks of a
// loop still being recorded, the box pressure at the loop's start, and the
// axis divisors of the zoom step (flow and pressure).
struct LoopPointSource {
  LoopBounds loop;
  std::size_t resistanceStart = 0;
  std::size_t resistanceEnd = 0;
  float firstBoxPressure = 0.0f;
  double flowDivisor = 1.0;
  double pressureDivisor = 1.0;
  // Set while the test records: the box pressure is converted on the fly.
  std::optional<LiveConversion> live;
};

// The plot point of sample i: X = b / pressureDivisor × 100.8, Y = -flow ×
// 30 / flowDivisor, both truncated.
PlotPoint LoopPoint(const TrialSignals& trial, std::size_t i, const LoopPointSource& source);

// Adds sample i to the branches when it lies strictly inside the loop (or,
// while the loop is recorded, after its start); a point of the same Y as
// the one before only moves lastY. Each branch holds BranchCapacity points.
void AddLoopPoint(LoopBranches& branches, const TrialSignals& trial, std::size_t i, const LoopPointSource& source);

struct LoopScore {
  std::int32_t area = 0;
  int crossings = 0;
};

// The two branches sorted by X, moved to the lowest Y and the leftmost X,
// spread over 2000 columns with straight lines between their points; over
// the columns from 5 to 4 before the shorter branch's end their distance is
// summed as the area, and the places where they trade sides between two
// columns (by more than the grid's rounding) are counted as crossings.
LoopScore ScoreLoop(const LoopBranches& branches);

}  // namespace plethysmography
