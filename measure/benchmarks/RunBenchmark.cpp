// The measurement window's two hot paths: one sample of the link through
// the ready machine (drawing stubbed), and the evaluation of a full
// one-minute FVC trial when it stops.

#include "measure/core/MeasureCore.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/spirometry/CurveSteps.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"
#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <benchmark/benchmark.h>

namespace {

class TBenchCore final : public TMeasureCore {
public:
  TBenchCore() : TMeasureCore(nullptr, nullptr, MEASURE_FVC) {}
  void PostToSelf(unsigned, TParam1, TParam2) override {}
};

void OneSampleThroughTheReadyMachine(benchmark::State& state) {
  TMeasureInterrupt::ResetStatics();
  auto clock = std::make_shared<TManualLinkClock>();
  auto device = std::make_shared<TFakeDevice>(clock.get());
  TBenchCore core;
  core.TMeasureInterrupt::SetClock(clock);
  core.SetDeviceOpener([&](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM1";
    return std::make_unique<TFakeTransport>(device, name);
  });
  core.SetMeasureMode(MEASURE_FVC);
  core.HasInstrument = true;
  core.CmStart(CM_START);
  core.CmDoStart(CM_START);
  unsigned index = 0;
  for (auto _ : state) {
    core.CmReady(index, -300);
    if (++index == 5000) {
      index = 0;
      core.SamplesLeft = 6000;
    }
  }
  core.CmStop();
}
BENCHMARK(OneSampleThroughTheReadyMachine)->Unit(benchmark::kMicrosecond);

void EvaluateASixtySecondFvcTrial(benchmark::State& state) {
  using namespace spirometry::testing;
  const std::vector<short> counts = Quantise(SixtySecondFvcTrial().Sample(0.0));
  std::vector<float> flow = StoredSamples(counts, MEASURE_FVC);
  flow.resize(std::min<std::size_t>(flow.size(), TMeasureData::CurveSamples));
  TBenchCore core;
  core.SetMeasureMode(MEASURE_FVC);
  core.AllocateSpiroBuffer(0, MEASURE_FVC, true);
  core.TrialIndex = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(flow.begin(), flow.end(), core.Flow[0].begin());
    core.SampleCount[MEASURE_FVC][0] = static_cast<short>(flow.size());
    spirometry::IntegrateWithExtremes(flow, std::span<float>(core.Volume[0]).first(flow.size()), core.Extremes);
    state.ResumeTiming();
    core.CurveMove();
    benchmark::DoNotOptimize(core.AktParams[MEASURE_FVC][0].data());
  }
}
BENCHMARK(EvaluateASixtySecondFvcTrial)->Unit(benchmark::kMicrosecond);

}  // namespace
