#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <algorithm>

namespace spirometry::testing {

namespace {

constexpr float LinkStepMlps = 8.7890625f;

// Volume[i] = Flow[i] × 0.01 + Volume[i − 1], each sample fed to LocalMaxMin.
void Integrate(RecordedTrial& trial) {
  trial.volumeL.resize(trial.flowLps.size());
  float previous = 0.0f;
  for (std::size_t i = 0; i < trial.flowLps.size(); ++i) {
    trial.volumeL[i] = trial.flowLps[i] * 0.01f + previous;
    previous = trial.volumeL[i];
    LocalMaxMin(trial.extremes, trial.flowLps[i], trial.volumeL[i], static_cast<std::uint16_t>(i));
  }
}

}  // namespace

RecordedTrial Acquire(const std::vector<short>& counts, short measureMode) {
  RecordedTrial trial;
  trial.extremes.Clear();
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
    trial.flowLps.push_back(sample * 0.001f);
  }
  Integrate(trial);
  return trial;
}

RecordedTrial Replay(const std::vector<float>& flowLps) {
  RecordedTrial trial;
  trial.extremes.Clear();
  trial.flowLps = flowLps;
  Integrate(trial);
  return trial;
}

void Filter(RecordedTrial& trial, short passes) {
  std::vector<float>& s = trial.flowLps;
  const std::size_t n = s.size();
  if (n == 0) {
    return;
  }
  if (n >= 2) {
    for (short pass = 0; pass < passes; ++pass) {
      s[0] = (s[0] + s[1]) / 2.0f;
      for (std::size_t i = 1; i + 1 < n; ++i) {
        s[i] = (2.0f * s[i] + s[i - 1] + s[i + 1]) / 4.0f;
      }
      s[n - 1] = (s[n - 2] + s[n - 1]) / 2.0f;
    }
  }
  trial.extremes.Clear();
  Integrate(trial);
}

void DoCurveMove(RecordedTrial& trial) {
  Extremes& extremes = trial.extremes;
  const int last = extremes.LastEntry();
  float lowest = extremes.points[0].volumeL;
  for (int k = 1; k <= last; ++k) {
    lowest = std::min(lowest, extremes.points[static_cast<std::size_t>(k)].volumeL);
  }
  for (float& volume : trial.volumeL) {
    volume -= lowest;
  }
  for (int k = 0; k <= last; ++k) {
    extremes.points[static_cast<std::size_t>(k)].volumeL -= lowest;
  }
}

FvcEvaluation EvaluateFvc(RecordedTrial& trial, FvcSettings settings) {
  FvcEvaluation result;
  if (settings.firstPasses != 0) {
    Filter(trial, settings.firstPasses);
  }
  DoCurveMove(trial);
  result.found = CalculateFvcParams(trial.Curve(), trial.extremes, result.manoeuvre, 0, result.record);
  if (result.found) {
    if (settings.backExtrapolation) {
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
