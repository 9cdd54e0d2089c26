#pragma once

// The averaging of a rhinomanometry recording into one flow-pressure loop
// per pressure side, and the curve a slot keeps after evaluation.

#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <cstddef>
#include <vector>

namespace rhinomanometry {

enum class PressureSide : int {
  Positive = 0,  // 0 <= pressure <= 900 Pa (expiration)
  Negative = 1,  // -900 <= pressure < 0 Pa (inspiration)
};

inline constexpr float SideWindowPa = 900.0f;
inline constexpr float BinWidthPa = 4.0f;
inline constexpr int SmoothingPasses = 15;
// The most points one side may give: the ±900-Pa window fills at most 225
// bins, so a loop has at most 449 points.
inline constexpr std::size_t SideOutputPoints = 500;

// One side of the first `curve.count` samples, averaged: the samples of the
// side in 4-Pa bins of |pressure| (bins that receive nothing are left out),
// each bin's mean flow and pressure, smoothed 15 times with the weights
// 1-2-1, then laid out from the lowest bin to the highest and back again
// (2L + 1 points for L + 1 bins). Empty when no bin received a sample.
std::vector<RhinoPoint> AverageSide(const RhinoCurve& curve, PressureSide side);

// Averages both sides of a slot and rewrites it in its stored form: the loop
// of the positive side, one separator point (0, 0), the loop of the negative
// side. Answers false, leaving only the separator, when neither side gave a
// point: the recording held no breath that could be evaluated.
bool AverageCurve(RhinoCurve& curve);

}  // namespace rhinomanometry
