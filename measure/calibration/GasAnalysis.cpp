#include "measure/calibration/GasAnalysis.h"

#include "platform/portkit/spirometry/CurveSteps.h"

#include <algorithm>

namespace calibration {

namespace {

constexpr std::size_t Point1 = 2666;
constexpr std::size_t Point2 = 5332;
constexpr std::size_t Point3 = 7998;
constexpr std::size_t EndLevelFrom = 7500;

}  // namespace

float ExtrapolatedEnd(float x1, float x2, float x3) {
  const float p = (x3 - x2) * (x3 - x2);
  const float q = 2.0f * x2 - x3 - x1;
  if (p == 0.0f) {
    return x3;
  }
  if (!(q > 0.0f)) {
    return 0.0f;
  }
  return p / q + x3;
}

GasAnalysisResult MakeGasAnalysis(std::span<float> co, std::span<float> helium, const GasAnalysisSettings& settings,
                                  int warningCounter) {
  GasAnalysisResult r;
  r.warningCounter = warningCounter;
  const auto n = static_cast<std::size_t>(GasAnalysisSamples);
  if (co.size() < n || helium.size() < n) {
    r.failed = true;
    return r;
  }
  // The window's filter, the one the trials are smoothed with.
  spirometry::Smooth(co.first(n), SmoothingPasses);
  const float coScale = settings.highResolution ? 0.00024414f : 0.00012207f;
  r.coPercent = ExtrapolatedEnd(co[Point1], co[Point2], co[Point3]) * coScale;

  spirometry::Smooth(helium.first(n), SmoothingPasses);
  float endSum = 0.0f;
  for (std::size_t i = EndLevelFrom; i < n; ++i) {
    endSum += helium[i];
  }
  const float heScale = settings.highResolution ? 0.002441406f : 0.001525785f;
  const float k = settings.heliumCorrection;
  r.heliumEndPercent = endSum * 0.002f * k * heScale;
  r.heliumPercent = *std::max_element(helium.begin(), helium.begin() + static_cast<std::ptrdiff_t>(n)) * k * heScale;

  const bool low = r.heliumPercent == 0.0f || r.heliumEndPercent == 0.0f ||
                   r.heliumEndPercent / r.heliumPercent * 100.0f < static_cast<float>(settings.endLimitPercent);
  if (low) {
    ++r.warningCounter;
    if (r.warningCounter < settings.warningLimit) {
      r.textId = HeliumLowWarningText;
    } else {
      r.failed = true;
      r.textId = HeliumLowFailureText;
    }
  } else if (settings.dfcMode || r.warningCounter >= settings.warningLimit) {
    r.warningCounter = 0;
  }
  return r;
}

WashOutTimes WashOut(int preparationTicks, int extraTicks, int preparations) {
  WashOutTimes t;
  t.lowSpeedTicks = preparationTicks + extraTicks;
  t.countDownTicks = preparationTicks * preparations / 2 + t.lowSpeedTicks * preparations / 2;
  return t;
}

bool GasSamplingLimits(float inspiredL, float collectionL, float sampleCorrection, float washOutL,
                       SampleWindow& window) {
  const float needed = collectionL * sampleCorrection;
  if (!(needed + washOutL < inspiredL)) {
    return false;
  }
  window.startL = washOutL != 0.0f ? washOutL : (inspiredL - collectionL) * 0.5f;
  window.endL = window.startL + needed;
  return true;
}

}  // namespace calibration
