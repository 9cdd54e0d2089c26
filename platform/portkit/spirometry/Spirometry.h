#pragma once

// The spirometric calculations of the instrument library, as plain functions
// over a trial's curves. TMeasureData keeps the one extremes table
// (`Extremes`, fed by its LocalMaxMin), the FVC manoeuvre between the passes
// (`Manoeuvre`), the curves, counts and result records, and its calculation
// members hand them to these functions (MeasureDataCalculations.cpp).

#include "platform/portkit/spirometry/BestTrial.h"
#include "platform/portkit/spirometry/CurveSteps.h"
#include "platform/portkit/spirometry/Extremes.h"
#include "platform/portkit/spirometry/FvcParameters.h"
#include "platform/portkit/spirometry/MvvParameters.h"
#include "platform/portkit/spirometry/Sampling.h"
#include "platform/portkit/spirometry/TrialCurve.h"
#include "platform/portkit/spirometry/VcParameters.h"
