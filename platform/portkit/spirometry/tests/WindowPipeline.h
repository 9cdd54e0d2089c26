#pragma once

// What the measurement window does with a trial before and around the
// library's calculations, reproduced for the tests: the acquisition's start
// detection, scaling and running integration, the smoothing and integration
// of `Filter`, the base-line shift of `DoCurveMove`, and the order in which
// `CurveMove` calls the calculations of each test kind.

#include "common/ParameterBlocks.h"
#include "platform/portkit/spirometry/Spirometry.h"

#include <array>
#include <vector>

namespace spirometry::testing {

struct RecordedTrial {
  std::vector<float> flowLps;
  std::vector<float> volumeL;
  Extremes extremes;

  TrialCurve Curve() const { return {flowLps, volumeL}; }
};

// The acquisition of a flow test from the link's counts: samples before the
// start of the breath are not stored (FVC and VC start on an expiration of
// 60 mL/s; MVV on such an expiration after an inspiration of 600 mL/s); each
// stored sample is scaled, integrated and fed to LocalMaxMin.
RecordedTrial Acquire(const std::vector<short>& counts, short measureMode);

// The replay of demonstration data: every sample is stored, no start detection.
RecordedTrial Replay(const std::vector<float>& flowLps);

// Smooths the flow `passes` times in place and integrates it again.
void Filter(RecordedTrial& trial, short passes);

// Shifts the volume curve and the extremes so that the lowest extreme is 0.
void DoCurveMove(RecordedTrial& trial);

struct FvcSettings {
  short firstPasses = 0;  // the window's defaults
  short secondPasses = 5;
  bool backExtrapolation = true;
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
