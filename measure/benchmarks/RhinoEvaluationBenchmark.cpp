// The evaluation of a full rhinomanometry recording through the window:
// 6,000 samples (60 s) of the simulated nose's breaths, from the cycle
// choice in SelectOneCurve to the flows of CalculateRhinoParams (limit
// 2 ms), for each of the three cycle choices.

#include "measure/core/MeasureCore.h"

#include "special/rhinomanometry/RhinoRecorder.h"
#include "tools/lungmodel/RhinoModel.h"

#include <benchmark/benchmark.h>

namespace {

class TRhinoBenchCore final : public TMeasureCore {
public:
  TRhinoBenchCore() : TMeasureCore(nullptr, nullptr, MEASURE_RHINO) {}
  void PostToSelf(unsigned, TParam1, TParam2) override {}
};

void SelectAndEvaluateAFullRecording(benchmark::State& state) {
  constexpr std::size_t Samples = 6000;
  // The nose's half inspiration and six breaths, again and again.
  const LungModel::TRhinoTrial trial = LungModel::RhinoTrial(LungModel::TNose{400.0, 0.2});
  TRhinoBenchCore core;
  core.SetMeasureMode(MEASURE_RHINO);
  core.AllocateSpiroBuffer(0, MEASURE_RHINO, true);
  core.TrialIndex = 0;
  core.Rhino.Side = 0;
  core.Rhino.Algorithm = static_cast<short>(state.range(0));
  std::vector<float> flow(Samples), pressure(Samples);
  for (std::size_t i = 0; i < Samples; ++i) {
    flow[i] = static_cast<float>(trial.FlowMlps[i % trial.FlowMlps.size()]);
    pressure[i] = static_cast<float>(trial.PressurePa[i % trial.PressurePa.size()]);
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(flow.begin(), flow.end(), core.Flow[0].begin());
    std::copy(pressure.begin(), pressure.end(), core.Third[0].begin());
    core.ClearPhaseTable();
    for (std::size_t i = 0; i < Samples; ++i)
      TrackRhinoPhase(core, flow[i], i);
    core.SampleCount[MEASURE_RHINO][0] = static_cast<short>(Samples);
    state.ResumeTiming();
    core.SelectOneCurve();
    core.CalculateRhinoParams();
    benchmark::DoNotOptimize(core.Rhino.ParamsAkt.Flows.data());
  }
  state.counters["Flow150"] = core.Rhino.ParamsAkt.Flows[3][1];  // the left nostril
}
BENCHMARK(SelectAndEvaluateAFullRecording)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
