// Evaluating one 60-second FVC trial of 6,000 samples.

#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace spirometry::testing {
namespace {

RecordedTrial SixtySecondTrial() {
  RecordedTrial trial = Acquire(Quantise(SixtySecondFvcTrial().Sample(0.5)), MEASURE_FVC);
  if (trial.flowLps.size() < 5900) {
    std::abort();
  }
  return trial;
}

// The library's share: pass 0, back extrapolation and pass 1 on the recorded
// curve, pass 2 on the smoothed one.
void FvcThreePasses(benchmark::State& state) {
  RecordedTrial recorded = SixtySecondTrial();
  DoCurveMove(recorded);
  RecordedTrial smoothed = recorded;
  Filter(smoothed, 5);
  DoCurveMove(smoothed);
  std::array<float, FVC_PARAMETER_COUNT> record{};
  for (auto _ : state) {
    FvcManoeuvre manoeuvre;
    bool found = CalculateFvcParams(recorded.Curve(), recorded.extremes, manoeuvre, 0, record);
    CalculateBackExtrapolation(recorded.Curve(), manoeuvre);
    found &= CalculateFvcParams(recorded.Curve(), recorded.extremes, manoeuvre, 1, record);
    found &= CalculateFvcParams(smoothed.Curve(), smoothed.extremes, manoeuvre, 2, record);
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(FvcThreePasses)->Unit(benchmark::kMicrosecond);

// The whole evaluation as the window runs it, with its five smoothing passes
// and integration (and a copy of the trial, which the smoothing overwrites).
void FvcCurveMove(benchmark::State& state) {
  const RecordedTrial recorded = SixtySecondTrial();
  for (auto _ : state) {
    RecordedTrial trial = recorded;
    const FvcEvaluation result = EvaluateFvc(trial);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(FvcCurveMove)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace spirometry::testing
