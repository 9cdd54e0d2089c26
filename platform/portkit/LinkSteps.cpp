#include "platform/portkit/LinkSteps.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"

TSampleRoute RouteSample(const TSampleContext& c) {
  if (c.NebulizerWindow)
    return {WM_DATA_READY, TSampleValue::NebulizerPressure};
  if (c.MeasureMode == MEASURE_RHINO)
    return {WM_RHINO_DATA_READY, TSampleValue::FlowAndNasalPressure};
  if (c.MeasureMode == MEASURE_PLETHY || (c.MeasureMode == MEASURE_CALIBRATION && c.Plethysmograph)) {
    const bool leakTest = c.Step == StepBoxLeakPump || c.Step == StepBoxLeakHold;
    return {WM_PLETHY_DATA_READY, leakTest ? TSampleValue::BoxPressure : TSampleValue::Flow};
  }
  if (c.MeasureMode == MEASURE_SHUTTER)
    return {WM_DATA_READY, TSampleValue::FlowAndMouthPressure};
  switch (c.Step) {
  case StepGasZero:
  case StepGasAnalysis: return {WM_DATA_READY, TSampleValue::GasPair};
  case StepFleischPumpUp:
  case StepFleischHold:
  case StepBalloonPumpUp:
  case StepBalloonHold:
  case StepWashOutFast:
  case StepWashOutSlow: return {WM_DATA_READY, TSampleValue::LinePressure};
  default: return {WM_DATA_READY, TSampleValue::Flow};
  }
}

bool FillsZeroRings(short measureMode, short step) {
  return measureMode == MEASURE_ZERO || step == StepZeroUnderMeasurement;
}
