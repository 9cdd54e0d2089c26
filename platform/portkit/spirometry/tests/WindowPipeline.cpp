#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <algorithm>

namespace spirometry::testing {

namespace {

constexpr float LinkStepMlps = 8.7890625f;

void IntegrateTrial(RecordedTrial& trial) {
  trial.volumeL.resize(trial.flowLps.size());
  IntegrateWithExtremes(trial.flowLps, trial.volumeL, trial.extremes);
}

}  // namespace

std::vector<float> StoredSamples(const std::vector<short>& counts, short measureMode) {
  std::vector<float> flowLps;
  bool breathIn = false;
  bool begun = false;
  for (const short count : counts) {
    const float sample = static_cast<float>(count) * LinkStepMlps;
    if (!begun) {
      if (measureMode == MEASURE_MVV && sample >= 600.0f) {
        breathIn = true;
      }
      begun = sample <= -60.0f && (measureMode != MEASURE_MVV || breathIn);
      if (!begun) {
        continue;
      }
    }
    flowLps.push_back(sample * 0.001f);
  }
  return flowLps;
}

RecordedTrial Acquire(const std::vector<short>& counts, short measureMode) {
  return Replay(StoredSamples(counts, measureMode));
}

RecordedTrial Replay(const std::vector<float>& flowLps) {
  RecordedTrial trial;
  trial.extremes.Clear();
  trial.flowLps = flowLps;
  IntegrateTrial(trial);
  return trial;
}

void Filter(RecordedTrial& trial, short passes) {
  if (trial.flowLps.empty()) {
    return;
  }
  Smooth(trial.flowLps, passes);
  IntegrateTrial(trial);
}

void DoCurveMove(RecordedTrial& trial) { ShiftToBaseLine(trial.volumeL, trial.extremes); }

FvcEvaluation EvaluateFvc(RecordedTrial& trial, FvcSettings settings) {
  FvcEvaluation result;
  if (settings.firstPasses != 0) {
    Filter(trial, settings.firstPasses);
  }
  DoCurveMove(trial);
  result.found = CalculateFvcParams(trial.Curve(), trial.extremes, result.manoeuvre, 0, result.record);
  if (result.found) {
    if (settings.backExtrapolation != Eccs) {
      CalculateBackExtrapolation(trial.Curve(), result.manoeuvre);
    }
    CalculateFvcParams(trial.Curve(), trial.extremes, result.manoeuvre, 1, result.record);
    Filter(trial, settings.secondPasses);
    DoCurveMove(trial);
    CalculateFvcParams(trial.Curve(), trial.extremes, result.manoeuvre, 2, result.record);
  }
  return result;
}

bool EvaluateVc(RecordedTrial& trial, std::array<float, VC_PARAMETER_COUNT>& record, short passes) {
  Filter(trial, passes);
  DoCurveMove(trial);
  return CalculateVcParams(trial.Curve(), trial.extremes, record);
}

bool EvaluateMvv(RecordedTrial& trial, std::array<float, MVV_PARAMETER_COUNT>& record, short passes) {
  Filter(trial, passes);
  DoCurveMove(trial);
  return CalculateMvvParams(trial.Curve(), trial.extremes, record);
}

}  // namespace spirometry::testing
