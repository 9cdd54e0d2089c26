#pragma once

// The smoothing of a plethysmograph trial before its evaluation: a 1-2-1
// filter run forward in place over the stretches each signal is read on,
// then the volume integrated again from the smoothed flow.

#include "platform/portkit/plethysmography/Trial.h"
#include "platform/portkit/spirometry/Extremes.h"

namespace plethysmography {

// One pass over samples first .. last and the closing sample last + 1. Each
// result is written back at once, so the smoothed sample before feeds the
// next: sample 0 becomes (s0 + s1) / 2, any other (s[i-1] + 2 s[i] +
// s[i+1]) / 4, the closing one (s[last] + s[last+1]) / 2. Indexes outside
// the signal are left alone; `skipFrom` .. `skipTo` (inclusive) stay as
// they are when skipTo >= skipFrom.
void SmoothPass(std::span<float> signal, std::size_t first, std::size_t last, std::size_t skipFrom = 1,
                std::size_t skipTo = 0);

// `passes` passes over each signal of a trial that fits its marks: the flow
// over the whole trial but the closed-shutter stretch (after tgvStart up to
// end), the box pressure from resistanceStart and the mouth pressure from
// tgvStart + 1, both closing at end - 1. Then the volume is integrated
// again and the turning points found anew in `extremes`. Nothing happens
// with passes 0 or marks that do not fit.
void FilterForPlethy(const TrialSignals& trial, const Marks& marks, int passes, spirometry::Extremes& extremes);

// volume[i] = volume[i-1] + flow[i] × 0.01 from the first sample, each
// sample fed to the turning-point search of a cleared table.
void IntegrateVolume(const TrialSignals& trial, spirometry::Extremes& extremes);

}  // namespace plethysmography
