// Which message and channel the link hands the window for a sample, by the
// measure mode and the sequence step the window runs.

#include "platform/portkit/LinkSteps.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TRouteCase {
  std::string What;
  TSampleContext Context;
  TSampleRoute Expected;
};

TEST(LinkSteps, EachStepAndModeRoutesItsChannel) {
  using enum TSampleValue;
  const TRouteCase cases[] = {
      {"plain FVC", {MEASURE_FVC, StepPlain}, {WM_DATA_READY, Flow}},
      {"Fleisch pump-up", {MEASURE_CALIBRATION, StepFleischPumpUp}, {WM_DATA_READY, LinePressure}},
      {"Fleisch hold", {MEASURE_CALIBRATION, StepFleischHold}, {WM_DATA_READY, LinePressure}},
      {"balloon pump-up", {MEASURE_CALIBRATION, StepBalloonPumpUp}, {WM_DATA_READY, LinePressure}},
      {"balloon hold", {MEASURE_CALIBRATION, StepBalloonHold}, {WM_DATA_READY, LinePressure}},
      {"fast wash-out", {MEASURE_DFC, StepWashOutFast}, {WM_DATA_READY, LinePressure}},
      {"slow wash-out", {MEASURE_DFC, StepWashOutSlow}, {WM_DATA_READY, LinePressure}},
      {"automatic zero", {MEASURE_DFC, StepAutoZero}, {WM_DATA_READY, Flow}},
      {"gas zero", {MEASURE_DFC, StepGasZero}, {WM_DATA_READY, GasPair}},
      {"gas analysis", {MEASURE_CALIBRATION, StepGasAnalysis}, {WM_DATA_READY, GasPair}},
      {"breath hold", {MEASURE_DFC, StepBreathHold}, {WM_DATA_READY, Flow}},
      {"gas sampling", {MEASURE_DFC, StepGasSampling}, {WM_DATA_READY, Flow}},
      {"step 3 is plain", {MEASURE_DFC, 3}, {WM_DATA_READY, Flow}},
      {"step 8 is plain", {MEASURE_DFC, 8}, {WM_DATA_READY, Flow}},
      {"an unknown step is plain", {MEASURE_FVC, 99}, {WM_DATA_READY, Flow}},
      {"a negative step is plain", {MEASURE_FVC, -1}, {WM_DATA_READY, Flow}},
      {"box steps outside the box are plain", {MEASURE_FVC, StepBoxLeakPump}, {WM_DATA_READY, Flow}},
      // The body box: every step on its own message, the box pressure in
      // the leak test.
      {"box breathing", {MEASURE_PLETHY, StepPlain, true}, {WM_PLETHY_DATA_READY, Flow}},
      {"box door", {MEASURE_PLETHY, StepBoxDoor, true}, {WM_PLETHY_DATA_READY, Flow}},
      {"box leak pump", {MEASURE_PLETHY, StepBoxLeakPump, true}, {WM_PLETHY_DATA_READY, BoxPressure}},
      {"box leak hold", {MEASURE_PLETHY, StepBoxLeakHold, true}, {WM_PLETHY_DATA_READY, BoxPressure}},
      {"box BTPS reading", {MEASURE_PLETHY, StepBoxBtpsReading, true}, {WM_PLETHY_DATA_READY, Flow}},
      {"box zero", {MEASURE_PLETHY, StepZeroUnderMeasurement, true}, {WM_PLETHY_DATA_READY, Flow}},
      {"box calibration", {MEASURE_CALIBRATION, StepBoxLeakPump, true}, {WM_PLETHY_DATA_READY, BoxPressure}},
      {"calibration of a plain unit", {MEASURE_CALIBRATION, StepPlain, false}, {WM_DATA_READY, Flow}},
      // Modes with two channels in one value take no step into account.
      {"rhinomanometry", {MEASURE_RHINO, StepPlain}, {WM_RHINO_DATA_READY, FlowAndNasalPressure}},
      {"rhinomanometry, gas step", {MEASURE_RHINO, StepGasZero}, {WM_RHINO_DATA_READY, FlowAndNasalPressure}},
      {"shutter", {MEASURE_SHUTTER, StepFleischPumpUp}, {WM_DATA_READY, FlowAndMouthPressure}},
      // A nebulizer reporting to its own window overrides everything.
      {"nebulizer", {MEASURE_PLETHY, StepBoxLeakPump, true, true}, {WM_DATA_READY, NebulizerPressure}},
  };
  for (const TRouteCase& c : cases)
    EXPECT_EQ(RouteSample(c.Context), c.Expected) << c.What;
}

TEST(LinkSteps, ZeroRingsFillWhileZeroingAndInTheBoxZero) {
  EXPECT_TRUE(FillsZeroRings(MEASURE_ZERO, StepPlain));
  EXPECT_TRUE(FillsZeroRings(MEASURE_PLETHY, StepZeroUnderMeasurement));
  EXPECT_FALSE(FillsZeroRings(MEASURE_PLETHY, StepBoxBtpsWriting));
  EXPECT_FALSE(FillsZeroRings(MEASURE_FVC, StepPlain));
}

}  // namespace
