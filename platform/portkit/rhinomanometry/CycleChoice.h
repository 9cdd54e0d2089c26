#pragma once

// The choice of the samples of a rhinomanometry recording that are averaged
// into its curve: the whole recording, or one breathing cycle (an
// expiration and an inspiration) picked from the breathing-phase table.

#include "platform/portkit/MeasureDataTypes.h"
#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <cstddef>
#include <span>

namespace rhinomanometry {

// The evaluation algorithms, by the numbers the ini file and the stored
// tests keep.
enum class CycleAlgorithm : short {
  LargestCycle = 0,   // the cycle with the largest excursions
  WholeRecording = 1, // every sample, no cycle chosen
  SmallestCycle = 2,  // the cycle with the smallest excursions
};
inline constexpr short CycleAlgorithmCount = 3;

// Samples start to end, inclusive; the curve keeps end - start of them.
struct SampleRange {
  std::size_t start = 0;
  std::size_t end = 0;
  bool chosen = false;  // a cycle was found
};

// The cycle the algorithm picks. `phases` are the entries 0 to the table's
// index: entry 0 marks sample 0, entry k the last sample of phase k. A cycle
// is two consecutive phases; it replaces the one chosen before only when it
// beats it on both pressure sides, so ties keep the earlier cycle. A cycle
// is judged by the largest |flow| + |pressure| on each side. With fewer than
// two phases nothing is chosen and the range is [0, 0].
SampleRange ChooseCycle(CycleAlgorithm algorithm, std::span<const TPhaseEntry> phases, const RhinoCurve& curve);

// Moves samples start to end (inclusive, as far as the buffers reach) to the
// front of the buffers and answers the count the slot then keeps,
// end - start.
std::size_t KeepRange(RhinoCurve& curve, SampleRange range);

}  // namespace rhinomanometry
