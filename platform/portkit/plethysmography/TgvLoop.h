#pragma once

// The panting loops against the closed shutter: the slope of mouth pressure
// against box pressure of each loop, and the loop whose slope lies nearest
// the mean of all.

#include "platform/portkit/plethysmography/Trial.h"

#include <optional>

namespace plethysmography {

inline constexpr std::size_t TgvSegmentCapacity = 50;

// |(positive mouth extreme - negative mouth extreme) / (box at the one -
// box at the other)| over samples from .. to - 1, kPa per Pa; later samples
// win ties. 0 when both extremes lie within ±0.5 kPa or the two box
// pressures are equal.
double FindBoxMouthTangent(const TrialSignals& trial, std::size_t from, std::size_t to);

struct TgvLoop {
  LoopBounds bounds;
  double slopeKPaPerPa = 0.0;
  float firstBoxPa = 0.0f;  // box pressure at the loop's first sample
};

// Over the TGV segments of the crossing list (the pairs after the one that
// straddles the resistance end, at most TgvSegmentCapacity): the first
// segment with a nonzero slope nearest the mean of the nonzero slopes. None
// when no segment has a slope.
std::optional<TgvLoop> CalculateBoxMouthTangent(const TrialSignals& trial, const Marks& marks,
                                                std::span<const std::size_t> crossings);

}  // namespace plethysmography
