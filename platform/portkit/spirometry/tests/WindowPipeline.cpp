#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <algorithm>

namespace spirometry::testing {

namespace {

constexpr float LinkStepMlps = 8.7890625f;

void IntegrateTrial(RecordedTrial& trial) {
  trial.volumeL.resize(trial.flowLps.size());
  Integrate(std::span<const float>(trial.flowLps), trial.volumeL, [&](float flow, float volume, std::uint16_t index) {
    LocalMaxMin(trial.extremes, flow, volume, index);
  });
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

void Smooth(std::span<float> s, short passes) {
  const std::size_t n = s.size();
  if (n < 2) {
    return;
  }
  for (short pass = 0; pass < passes; ++pass) {
    s[0] = (s[0] + s[1]) / 2.0f;
    for (std::size_t i = 1; i + 1 < n; ++i) {
      s[i] = (2.0f * s[i] + s[i - 1] + s[i + 1]) / 4.0f;
    }
    s[n - 1] = (s[n - 2] + s[n - 1]) / 2.0f;
  }
}

void ShiftToBaseLine(std::span<float> volumeL, Extremes& extremes) {
  const int last = extremes.LastEntry();
  float lowest = extremes.points[0].volumeL;
  for (int k = 1; k <= last; ++k) {
    lowest = std::min(lowest, extremes.points[static_cast<std::size_t>(k)].volumeL);
  }
  for (float& volume : volumeL) {
    volume -= lowest;
  }
  for (int k = 0; k <= last; ++k) {
    extremes.points[static_cast<std::size_t>(k)].volumeL -= lowest;
  }
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
  trial.extremes.Clear();
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
