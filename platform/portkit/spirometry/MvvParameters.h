#pragma once

// The parameters of maximal voluntary ventilation: the patient breathes as
// deeply and fast as possible for 12 to 15 s.

#include "common/ParameterBlocks.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/TrialCurve.h"

#include <cstddef>
#include <span>

namespace spirometry {

// Indexes into an MVV record: L/min and breaths per minute.
enum MvvParameter : std::size_t { MVV, MVV_F };
static_assert(MvvParameterNames[MVV_F] == "MVV*f");

using MvvRecord = std::span<float, MVV_PARAMETER_COUNT>;

// Fills the record from the smoothed, base-line shifted curve and its
// turning points, over the 12 s in which the patient expired most (the whole
// trial when it is shorter). Clears the record and returns false when that
// stretch holds less than one full breath.
bool CalculateMvvParams(const TrialCurve& curve, const Extremes& extremes, MvvRecord record);

}  // namespace spirometry
