// The body box's hot path: one breathing sample through its ready machine
// (stored, converted, integrated, read by the manoeuvre; drawing stubbed,
// as the screen's drawing is measured apart).

#include "measure/core/MeasureCore.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

class TBoxBenchCore final : public TMeasureCore {
public:
  TBoxBenchCore() : TMeasureCore(nullptr, nullptr, MEASURE_PLETHY) {}
  void PostToSelf(unsigned, TParam1, TParam2) override {}
};

void OneBoxSampleThroughTheReadyMachine(benchmark::State& state) {
  TMeasureInterrupt::ResetStatics();
  auto clock = std::make_shared<TManualLinkClock>();
  auto device = std::make_shared<TFakeDevice>(clock.get());
  TBoxBenchCore core;
  core.TMeasureInterrupt::SetClock(clock);
  core.SetDeviceOpener([&](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM1";
    return std::make_unique<TFakeTransport>(device, name);
  });
  core.SetMeasureMode(MEASURE_PLETHY);
  core.HasInstrument = true;
  core.InstrumentType = 0x11;
  core.MetronomEnable = 0;
  core.CmStart(CM_START);
  core.CmDoStart(CM_START);
  // Past the box's preparation: the patient breathes, the shutter asked for.
  TMeasureInterrupt::TestMode = 0;
  core.ShutterRequested = true;
  core.SamplesLeft = 30000;
  unsigned index = 1;
  // Quiet breathing of 0.5 L/s peak every 2 s, in flow counts.
  const auto breathe = [&] {
    core.CmPlethyReady(index, std::lround(57.0 * std::sin(2.0 * std::numbers::pi * index / 200.0)));
  };
  while (index < 300)  // the breath has begun
    breathe(), ++index;
  for (auto _ : state) {
    breathe();
    if (++index == 5000) {
      index = 1;
      core.SamplesLeft = 30000;
      core.ResistanceStartMark = core.ResistanceEndMark = core.TGVStartMark = core.EndMark = 0;
    }
  }
  if (!core.IsRunning() || core.SampleCount[MEASURE_PLETHY][0] < 300)
    state.SkipWithError("the samples were not taken");
  core.CmStop();
}
BENCHMARK(OneBoxSampleThroughTheReadyMachine)->Unit(benchmark::kMicrosecond);

}  // namespace
