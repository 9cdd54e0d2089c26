#include "measure/screen/MeasurePaintPlan.h"

#include "common/MeasureMode.h"

std::vector<TPaintStep> PaintPlan(const TPaintFlags& f) {
  using S = TPaintStep;
  if (f.FromFramework && (f.Running || (f.ZeroActive && f.AnimationPending)))
    return {};
  std::vector<S> steps{S::Background, S::FillFields};
  if (f.ZeroActive)
    steps.push_back(S::ZeroFrame);

  const auto tableAndAxes = [&](S axes) {
    if (f.ScreenMode == 0)
      steps.push_back(S::ClearFullScreen);
    else if (!f.AnyAnimationActive)
      steps.push_back(f.PrePost ? S::PrePostTable : S::Table);
    steps.push_back(axes);
  };

  const short mode = f.MeasureMode;
  if (mode == MEASURE_PLETHY || (mode == MEASURE_CALIBRATION && f.InstrumentType != 0 && (f.InstrumentType & 0xE0) == 0)) {
    steps.push_back(S::PlethyScreen);
  } else if (mode == MEASURE_RHINO) {
    if (f.BigTable) {
      steps.insert(steps.end(), {S::DateTime, S::RhinoBigTable});
    } else {
      if (f.ScreenMode == 0)
        steps.push_back(S::ClearFullScreen);
      else if (!f.AnyAnimationActive)
        steps.push_back(S::RhinoTable);
      steps.insert(steps.end(), {S::RhinoAxes, S::RhinoCurves});
      if (f.RhinoResults && f.ScreenMode == 1)
        steps.push_back(S::RhinoProvText);
    }
  } else if (f.BigTable) {
    steps.insert(steps.end(), {S::DateTime, S::BigTable});
  } else if (mode == MEASURE_SHUTTER) {
    tableAndAxes(S::ShutterAxes);
    steps.push_back(S::ShutterCurves);
  } else {
    tableAndAxes(S::Axes);
    if (f.PrePost) {
      steps.push_back(S::PrePostCurves);
    } else {
      steps.push_back(S::Curves);
      if (mode == MEASURE_CALIBRATION && IsPressureInstrument(f.InstrumentType)) {
        if (!f.AnyAnimationActive)
          steps.push_back(S::PressureText);
        if (f.PressureCurves)
          steps.push_back(S::PressureAxes);
        steps.push_back(S::PressureCurves);
      }
    }
  }
  steps.insert(steps.end(), {S::BtpsText, S::PatientLine});
  return steps;
}
