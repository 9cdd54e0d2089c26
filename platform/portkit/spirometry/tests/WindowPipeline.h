#pragma once

// What the measurement window does with a trial before and around the
// library's calculations, reproduced for the tests: the acquisition's start
// detection, scaling and running integration, the smoothing and integration
// of `Filter`, the base-line shift of `DoCurveMove`, and the order in which
// `CurveMove` calls the calculations of each test kind.
//
// The steps over plain buffers serve both the trials below and the tests
// that drive TMeasureData's own buffers and extremes table.

#include "common/ParameterBlocks.h"
#include "platform/portkit/spirometry/Spirometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace spirometry::testing {

// The window's steps over a trial's buffers.

// The flow samples the window stores from the link's counts, in L/s: none
// before the start of the breath (FVC and VC start on an expiration of
// 60 mL/s; MVV on such an expiration after an inspiration of 600 mL/s).
std::vector<float> StoredSamples(const std::vector<short>& counts, short measureMode);

// Integrate, Smooth and ShiftToBaseLine are the library's (CurveSteps.h).

// A trial kept apart from TMeasureData, with its own extremes table.

struct RecordedTrial {
  std::vector<float> flowLps;
  std::vector<float> volumeL;
  Extremes extremes;

  TrialCurve Curve() const { return {flowLps, volumeL}; }
};

// The acquisition of a flow test from the link's counts: the stored samples,
// integrated and fed to LocalMaxMin.
RecordedTrial Acquire(const std::vector<short>& counts, short measureMode);

// The replay of demonstration data: every sample is stored, no start detection.
RecordedTrial Replay(const std::vector<float>& flowLps);

// Smooths the flow `passes` times in place and integrates it again; a trial
// without samples is left as it is.
void Filter(RecordedTrial& trial, short passes);

void DoCurveMove(RecordedTrial& trial);

// The choices of the [Hardware] key "BackExtrapolation"; with "ATS" the
// window calls CalculateBackExtrapolation between passes 0 and 1.
enum BackExtrapolationRule : short { Eccs = 0, Ats = 1 };

struct FvcSettings {
  short firstPasses = 0;  // the window's defaults
  short secondPasses = 5;
  short backExtrapolation = Eccs;  // the ini default
};

struct FvcEvaluation {
  bool found = false;
  std::array<float, FVC_PARAMETER_COUNT> record{};
  FvcManoeuvre manoeuvre;
};

FvcEvaluation EvaluateFvc(RecordedTrial& trial, FvcSettings settings = {});

// VC and MVV: Filter(first + second passes), DoCurveMove, the calculation.
bool EvaluateVc(RecordedTrial& trial, std::array<float, VC_PARAMETER_COUNT>& record, short passes = 5);
bool EvaluateMvv(RecordedTrial& trial, std::array<float, MVV_PARAMETER_COUNT>& record, short passes = 5);

}  // namespace spirometry::testing
