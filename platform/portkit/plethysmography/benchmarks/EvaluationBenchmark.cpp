// Evaluating one plethysmograph trial of about 60 s with the 50-step search
// of the artefact share.

#include "platform/portkit/plethysmography/BoxEvaluation.h"
#include "platform/portkit/plethysmography/Smoothing.h"
#include "platform/portkit/plethysmography/tests/AnalyticTrial.h"

#include <benchmark/benchmark.h>

#include <array>

namespace plethysmography {
namespace {

void SixtySecondTrialWithSearch(benchmark::State& state) {
  testing::AnalyticPatient p;
  p.loops = 12;
  p.breathPeriodS = 3.5;
  p.ivcL = 4.0;
  const testing::AnalyticTrial recorded = testing::MakeTrial(p, {});
  EvaluationSettings s;
  s.cabinL = 890.0;
  s.filterPasses = 3;
  s.adaptiveSteps = 50;
  s.volumes.ivcAfterEnd = true;
  const BoxAir air{1013.25, 25.0, 50.0, 6280.0, 3169.0};
  state.counters["samples"] = static_cast<double>(recorded.Size());
  for (auto _ : state) {
    testing::AnalyticTrial trial = recorded;
    spirometry::Extremes extremes;
    IntegrateVolume(trial.Signals(), extremes);
    std::array<float, PLETHY_PARAMETER_COUNT> record{};
    const TrialEvaluation ev = EvaluateTrial(trial.Signals(), trial.marks, air, s, extremes, record);
    benchmark::DoNotOptimize(ev);
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(SixtySecondTrialWithSearch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plethysmography
