#include "measure/calibration/DiffCalibration.h"

#include "measure/calibration/PressureLines.h"

#include <cmath>

namespace calibration {

int PressureLineFault(const PressureLineState& s) {
  if (!s.pressureReached) {
    return PumpUpNotReachedText;
  }
  if (s.fleischLossPercent >= LossLimitPercent) {
    return FleischLossText;
  }
  if (s.bagOpenTimeout) {
    return BagOpenTimeoutText;
  }
  if (s.balloonLossPercent >= LossLimitPercent) {
    return BalloonLossText;
  }
  if (s.bagCloseTimeout) {
    return BagCloseTimeoutText;
  }
  return 0;
}

GasConstants GasRatios(float measuredCo, float measuredHe, float bottleCo, float bottleHe) {
  GasConstants g;
  g.co = measuredCo / bottleCo;
  g.he = measuredHe / bottleHe;
  if (g.co > 1.4f || g.co < 0.6f) {
    g.textId = CoRatioText;
  } else if (g.he > 1.25f || g.he < 0.75f) {
    g.textId = HeRatioText;
  }
  return g;
}

std::string_view BadDiffusionSetting(float pumpL, float bottleCo, float bottleHe, float heliumCorrection) {
  const auto usable = [](float v) { return v > 0.0f && std::isfinite(v); };
  if (!usable(pumpL)) {
    return "Pump";
  }
  if (!usable(bottleHe)) {
    return "OriginalHeConcentration";
  }
  if (!usable(bottleCo)) {
    return "OriginalCoConcentration";
  }
  if (!usable(heliumCorrection)) {
    return "CorrectionOfHeLSB";
  }
  return {};
}

}  // namespace calibration
