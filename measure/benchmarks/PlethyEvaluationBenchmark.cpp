// The plethysmograph trial's evaluation through the window: a trial of
// about 60 s, its volumes, the 50-step search of the artefact share and
// the loops, from CurveMove (limit 20 ms).

#include "measure/core/MeasureCore.h"

#include "platform/portkit/plethysmography/Smoothing.h"
#include "platform/portkit/plethysmography/tests/AnalyticTrial.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

class TPlethyBenchCore final : public TMeasureCore {
public:
  TPlethyBenchCore() : TMeasureCore(nullptr, nullptr, MEASURE_PLETHY) {}
  void PostToSelf(unsigned, TParam1, TParam2) override {}
};

void EvaluateASixtySecondPlethysmographTrial(benchmark::State& state) {
  namespace pl = plethysmography;
  pl::testing::AnalyticPatient patient;
  patient.loops = 12;
  patient.breathPeriodS = 3.5;
  patient.ivcL = 4.0;
  const pl::testing::AnalyticTrial recorded = pl::testing::MakeTrial(patient, {});
  TPlethyBenchCore core;
  core.SetMeasureMode(MEASURE_PLETHY);
  core.AllocateSpiroBuffer(0, MEASURE_PLETHY, true);
  core.TrialIndex = 0;
  TMeasureSettings settings;
  settings.Plethysmograph.EndOfMeasurementWithIVC = 1;
  settings.Plethysmograph.BTPSAutoSetStep = 50;
  core.ApplySettings(settings);
  const std::size_t n = std::min<std::size_t>(recorded.Size(), TMeasureData::CurveSamples);
  state.counters["samples"] = static_cast<double>(n);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy_n(recorded.flowLps.begin(), n, core.Flow[0].begin());
    std::copy_n(recorded.boxPa.begin(), n, core.BoxPressure[0].begin());
    std::copy_n(recorded.mouthKPa.begin(), n, core.MouthPressure[0].begin());
    core.SampleCount[MEASURE_PLETHY][0] = static_cast<short>(n);
    core.ResistanceStartMark = static_cast<short>(recorded.marks.resistanceStart);
    core.ResistanceEndMark = static_cast<short>(recorded.marks.resistanceEnd);
    core.TGVStartMark = static_cast<short>(recorded.marks.tgvStart);
    core.EndMark = static_cast<short>(recorded.marks.end);
    pl::IntegrateVolume(core.PlethySignals(0), core.Extremes);
    state.ResumeTiming();
    core.CurveMove();
    benchmark::DoNotOptimize(core.AktParams[MEASURE_PLETHY][0].data());
  }
  state.counters["TGV"] = core.AktParams[MEASURE_PLETHY][0][pl::TGV];
}
BENCHMARK(EvaluateASixtySecondPlethysmographTrial)->Unit(benchmark::kMillisecond);

}  // namespace
