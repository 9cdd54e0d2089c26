#pragma once

// The resistance loops of the open-shutter breathing: the slopes of
// alveolar pressure against flow of every breath, the loop chosen among
// them, and the resistance figures of a loop.

#include "platform/portkit/plethysmography/Trial.h"

#include <optional>
#include <vector>

namespace plethysmography {

inline constexpr std::size_t ResistanceSegmentCapacity = 15;

// kPa·s/L: total, expiratory and inspiratory resistance of one loop.
struct LoopSlopes {
  double total = 0.0;
  double expiration = 0.0;
  double inspiration = 0.0;
};

// From the loop's extreme points: the sample of largest |flow| + |Palv| on
// each flow side. The expiratory and inspiratory halves are measured from
// b0, the pressure at the loop's start (averaged with the one at its first
// expiratory sample). `correctionKPa` (the resistance of the flow sensor
// times its flow) comes off every pressure excursion. All 0 when a point
// is missing or has a zero flow or pressure.
LoopSlopes FindBoxFlowTangent(const TrialSignals& trial, std::size_t from, std::size_t to, double correctionKPa);

// After Matthys: the pressures where |flow| passes 0.5 L/s on the way up
// and down of each half, so the slopes are those of the loop's middle
// (over 1 L/s for the total, 0.5 L/s for a half). All 0 unless the flow
// passes 0.5 L/s in both directions twice.
LoopSlopes FindMatthysTangent(const TrialSignals& trial, std::size_t from, std::size_t to, double correctionKPa);

enum class LoopChoice { NearestMean, LeastDrift };

struct LoopSettings {
  bool matthys = false;
  LoopChoice choice = LoopChoice::NearestMean;
  double correctionKPa = 0.0;
};

// A segment of the crossing list read as a loop.
struct ResistanceSegment {
  LoopBounds bounds;
  LoopSlopes slopes;
};

// The loops of a trial. `valid` lists, in order, the positions of the
// segments with a nonzero total slope: a loop's number (what the user steps
// through and the adaptive table is kept by) indexes it.
struct ResistanceLoops {
  std::vector<ResistanceSegment> segments;  // by position in the crossing list
  std::vector<std::size_t> valid;
  std::optional<std::size_t> chosen;        // loop number

  const ResistanceSegment& Loop(std::size_t number) const { return segments[valid[number]]; }
  // The loop number of the segment at `position`; none for an invalid one.
  std::optional<std::size_t> NumberOf(std::size_t position) const;
};

// Every resistance segment (pairs whose first entry is at or before the
// resistance end, at most ResistanceSegmentCapacity) and the chosen loop:
// nearest the mean of the nonzero total slopes, or the least volume drift
// (|volume[end-1] - volume[begin]|); the earlier one on a tie.
ResistanceLoops CalculateBoxFlowTangent(const TrialSignals& trial, const Marks& marks,
                                        std::span<const std::size_t> crossings, const LoopSettings& settings);

// Raw, Rin, Rex of the slopes with their conductances, the specific
// resistances (× TGV from the record) and specific conductances; a value
// whose divisor is 0 stays as it was.
void CalculateRaw(const LoopSlopes& slopes, PlethyRecord record);

// Req (the loop's mean resistance weighted by flow², kPa·s/L) and W (the
// mean power of the breath) over the loop.
void CalculateReq(const TrialSignals& trial, const LoopBounds& loop, PlethyRecord record);

// The breathing rate the loop's length gives, 1/min.
void CalculateRfreq(const LoopBounds& loop, PlethyRecord record);

}  // namespace plethysmography
