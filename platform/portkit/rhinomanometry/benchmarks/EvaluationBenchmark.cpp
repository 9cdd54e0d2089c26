// The evaluation of a full recording (6000 samples, 60 s of breathing)
// from the cycle choice to the flows.

#include "platform/portkit/rhinomanometry/Evaluation.h"
#include "platform/portkit/rhinomanometry/tests/Breaths.h"

#include <benchmark/benchmark.h>

namespace rhinomanometry::testing {
namespace {

void EvaluateFullRecording(benchmark::State& state) {
  std::vector<Breath> breaths;
  for (int i = 0; i < 30; ++i)
    breaths.push_back({200.0 + 10.0 * (i % 7), 2.0});
  const Recording original = Record(breaths, RohrerLaw(0.1, 0.0004), 6010);
  const auto algorithm = static_cast<CycleAlgorithm>(state.range(0));
  for (auto _ : state) {
    Recording r = original;
    RhinoCurve curve = r.Curve();
    RHINO_PARAMS params;
    benchmark::DoNotOptimize(EvaluateRecording(curve, algorithm, r.phases, params, RightNostril, false));
  }
}
BENCHMARK(EvaluateFullRecording)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rhinomanometry::testing
