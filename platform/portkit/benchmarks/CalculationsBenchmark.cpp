// Evaluating one 60-second FVC trial through TMeasureData as the measurement
// window does when the trial ends: the base-line shift, pass 0, back
// extrapolation, pass 1, five smoothing passes with the integration and the
// extremes again, pass 2 and the best-trial choice. Each round first puts
// the recorded curves back, which the smoothing overwrites.

#include "common/MeasureMode.h"
#include "platform/portkit/MeasureData.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/tests/support/EvaluatingWindow.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

namespace {

void FvcCurveMoveThroughMeasureData(benchmark::State& state) {
  using namespace spirometry::testing;
  TMeasureData data(MEASURE_FVC, nullptr);
  TEvaluatingWindow window(data);
  window.BackExtrapolation = 1;  // "ATS": the window makes the extra call
  window.Record(MEASURE_FVC, 0, Quantise(SixtySecondFvcTrial().Sample(0.5)));
  if (data.SampleCount[MEASURE_FVC][0] < 5900) {
    std::abort();
  }
  const TMeasureData::TCurve flow = data.Flow[0];
  const TMeasureData::TCurve volume = data.Volume[0];
  const spirometry::Extremes extremes = data.Extremes;
  for (auto _ : state) {
    std::copy(flow.begin(), flow.end(), data.Flow[0].begin());
    std::copy(volume.begin(), volume.end(), data.Volume[0].begin());
    data.Extremes = extremes;
    const bool found = window.CurveMove();
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(data.AktParams);
  }
  if (data.AktParams[MEASURE_FVC][0][0] <= 0.0f) {
    state.SkipWithError("the trial gave no result");
  }
}
BENCHMARK(FvcCurveMoveThroughMeasureData)->Unit(benchmark::kMicrosecond);

}  // namespace
