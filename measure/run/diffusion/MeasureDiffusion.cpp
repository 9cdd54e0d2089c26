// The evaluation of a single-breath diffusion trial: the failures of the
// gas sequence first, then the smoothing, the gas analysis and the
// parameters (platform/portkit/diffusion), the lung volumes lifted by RV.

#include "measure/core/MeasureCore.h"

#include "measure/calibration/DiffCalibration.h"
#include "platform/basekit/Message.h"

namespace {

// What the operator is told when a breath gives no result.
int RefusalText(diffusion::Refusal refusal) {
  switch (refusal) {
  case diffusion::Refusal::NoManoeuvre: return 9212;
  case diffusion::Refusal::TooLittleInspired: return 9213;
  case diffusion::Refusal::NoGasReading: return 9214;
  case diffusion::Refusal::NoCoUptake: return 9215;
  case diffusion::Refusal::NoBreathHold: return 9216;
  case diffusion::Refusal::BadPressure: return 9217;
  default: return 0;
  }
}

}  // namespace

void TMeasureCore::ApplyDiffusionSettings(const TDiffusionSettings& settings) {
  Diffusion = settings;
  Gas.GasFlowLimit = settings.FlowThresholdLps;
  Gas.GasVolumeLimit = settings.GasInspirationMinVolumeL;
  Gas.BelowCountLimit = static_cast<short>(settings.WashOutTimeThreshold);
  Gas.BetweenCountLimit = static_cast<short>(settings.GasSampleTimeThreshold);
}

void TMeasureCore::EvaluateDfcTrial() {
  const short trial = TrialIndex;
  const auto clearWith = [&](int text) {
    if (Messages && text != 0)
      Messages->MessageBox(text, 0, TMessageIcon::Stop);
    ClearAktBuffer(MEASURE_DFC, trial);
  };
  if (Gas.GasBufferFailure) {
    clearWith(3);
    return;
  }
  if (Gas.GasSamplingLimit) {
    clearWith(461);
    return;
  }
  if (!HasInstrument && (!Gas.GasSampleTaken || Gas.DelayPending || Gas.BreathHoldPending || Gas.GasAnalysisPending)) {
    clearWith(0);
    return;
  }
  const std::string_view bad =
      calibration::BadDiffusionSetting(static_cast<float>(SyringeVolume), Diffusion.OriginalCoConcentration,
                                       Diffusion.OriginalHeConcentration, Diffusion.HeLsbCorrection);
  if (!bad.empty()) {
    if (Messages)
      Messages->MessageBoxText(Messages->Format(calibration::BadSettingText, {std::string(bad)}), 0,
                               TMessageIcon::Stop);
    DeleteGasBuffers();
    clearWith(0);
    return;
  }
  Filter(static_cast<short>(FilterPasses[0] + FilterPasses[1]));
  DoCurveMove();
  // A replayed trial brings its readings along; a live one analyses its sample.
  if (!Gas.HeliumGasBuffer.empty() && !MakeGasAnalysis()) {
    clearWith(0);
    return;
  }
  float temperatureC = 20.0f;
  float pressureHpa = 1013.25f;
  BtpsConditions(temperatureC, pressureHpa);
  if (!CalculateDfcParams(temperatureC, pressureHpa)) {
    clearWith(RefusalText(DfcRefusal));
    return;
  }
  CurveMoveWithRV(trial, static_cast<unsigned long>(SampleCount[MEASURE_DFC][static_cast<std::size_t>(trial)]));
}
