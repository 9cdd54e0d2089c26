// The body box's sample during a test through the window, drawing
// included: one breathing sample through CmPlethyReady (stored, converted,
// integrated, read by the manoeuvre) with its live segments of the loops
// drawn into the window's frame and the changed rectangle updated, at
// 1280 x 1024 (limit 0.2 ms).

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

void OneBoxSampleWithItsDrawing(benchmark::State& state) {
  TMeasureInterrupt::ResetStatics();
  TMessage texts = TMessage::FromText("English", "");
  auto clock = std::make_shared<TManualLinkClock>();
  auto device = std::make_shared<TFakeDevice>(clock.get());
  PREDICTED_DATA patient{};
  patient.Age = 40;
  patient.Height = 180;
  patient.Weight = 80;
  patient.Sex = 1;
  TMeasure window(1.6f, 1024.0f / 600.0f, MEASURE_PLETHY, &texts, "", short{0}, patient, nullptr, 1.0f, false,
                  nullptr);
  window.resize(1280, 1024);
  window.SetupWindow();
  window.TMeasureInterrupt::SetClock(clock);
  window.SetDeviceOpener([&](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM1";
    return std::make_unique<TFakeTransport>(device, name);
  });
  window.SetMeasureMode(MEASURE_PLETHY);
  window.HasInstrument = true;
  window.InstrumentType = 0x11;
  window.MetronomEnable = 0;
  window.CmStart(CM_START);
  window.CmDoStart(CM_START);
  // Past the box's preparation: the patient breathes, the shutter asked
  // for, the loops drawn as they come.
  TMeasureInterrupt::TestMode = 0;
  window.CalculateBTPSParamsForMeasure();  // the live conversion the settling leaves
  window.ShutterRequested = true;
  window.SamplesLeft = 30000;
  dynamic_cast<TMeasureFrameScreen&>(window.GetScreen()).MeasurePaint();
  unsigned index = 1;
  // Quiet breathing of 0.5 L/s peak every 2 s, in flow counts; the box
  // and mouth pressures swing with it (about 10 Pa and 1.5 kPa in raw
  // counts, as the link leaves them for the window to convert), so that
  // the loops move on the screen with every sample.
  const auto phase = [](std::size_t i) { return 2.0 * std::numbers::pi * static_cast<double>(i) / 200.0; };
  const auto pressures = [&] {
    for (std::size_t i = 0; i < window.BoxPressure[0].size() && i < window.MouthPressure[0].size(); ++i) {
      window.BoxPressure[0][i] = static_cast<float>(std::lround(700.0 * std::sin(phase(i) + 0.3)));
      window.MouthPressure[0][i] = static_cast<float>(std::lround(500.0 * std::sin(phase(i))));
    }
  };
  const auto breathe = [&] { window.CmPlethyReady(index, std::lround(57.0 * std::sin(phase(index)))); };
  pressures();
  while (index < 300)  // the breath has begun
    breathe(), ++index;
  for (auto _ : state) {
    breathe();
    if (++index == 5000) {
      state.PauseTiming();
      index = 1;
      window.SamplesLeft = 30000;
      window.ResistanceStartMark = window.ResistanceEndMark = window.TGVStartMark = window.EndMark = 0;
      pressures();
      state.ResumeTiming();
    }
  }
  if (!window.IsRunning() || window.SampleCount[MEASURE_PLETHY][0] < 300)
    state.SkipWithError("the samples were not taken");
  window.CmStop();
}
BENCHMARK(OneBoxSampleWithItsDrawing)->Unit(benchmark::kMicrosecond);

}  // namespace
