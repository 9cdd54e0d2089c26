#pragma once

// The parameters of a slow vital capacity trial: tidal breathing, then a
// full expiration and a full inspiration in either order.

#include "common/ParameterBlocks.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/TrialCurve.h"

#include <cstddef>
#include <span>

namespace spirometry {

// Indexes into a VC record (all in litres).
enum VcParameter : std::size_t { IVC, IRV, ERV, TV, SVC };
static_assert(VcParameterNames[SVC] == "SVC" && VcParameterNames[TV] == "TV");

using VcRecord = std::span<float, VC_PARAMETER_COUNT>;

// Fills the record from the smoothed, base-line shifted curve and its
// turning points. Clears the record and returns false when the trial holds
// no vital capacity manoeuvre (no expiration of at least MinimumManoeuvreL).
bool CalculateVcParams(const TrialCurve& curve, const Extremes& extremes, VcRecord record);

}  // namespace spirometry
