#pragma once

// A rhinomanometry recording from its end to its result: the samples the
// algorithm chooses, their averaged curve and the flows read off it.

#include "common/RhinoParams.h"
#include "platform/portkit/MeasureDataTypes.h"
#include "platform/portkit/rhinomanometry/CycleChoice.h"
#include "platform/portkit/rhinomanometry/EvaluationFlows.h"
#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <span>

namespace rhinomanometry {

// The flows of a slot's averaged curve (as evaluated or as loaded from a
// stored test) into its column of `params`, and the totals.
void CalculateFlows(const RhinoCurve& curve, RHINO_PARAMS& params, RhinoColumn column, bool posterior);

// Evaluates a finished recording in place: keeps the samples the algorithm
// chooses, rewrites the slot as its averaged curve and reads the flows.
// False when no breath could be evaluated (the slot then holds only the
// separator point and its column is 0).
bool EvaluateRecording(RhinoCurve& curve, CycleAlgorithm algorithm, std::span<const TPhaseEntry> phases,
                       RHINO_PARAMS& params, RhinoColumn column, bool posterior);

}  // namespace rhinomanometry
