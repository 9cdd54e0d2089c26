#pragma once

// The breathing rate of quiet breathing from the times of its flow
// reversals (docs/shutter.md).

#include <optional>
#include <span>

namespace shutter {

// Breaths a minute from the reversal times in seconds, oldest first: the
// mean of the three half-breaths before the newest reversal (which may
// still move) gives 30 / mean, truncated. Nothing, so the caller keeps its
// value, with fewer than five reversals or a time sum of 0 or less.
std::optional<int> BreathingRate(std::span<const double> reversalTimesS);

}  // namespace shutter
