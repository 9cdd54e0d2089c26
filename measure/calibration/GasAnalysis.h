#pragma once

// The analysis of the gas sample: the analyser's CO curve is extrapolated
// to its end value from three points of a first-order approach, the
// helium curve gives its maximum and its end level; too low an end level
// counts a warning, and after the limit of warnings the analysis fails.
// And the arithmetic of the steps around it: the wash-out times and the
// sample window in the expired volume.

#include <span>

namespace calibration {

inline constexpr int GasAnalysisSamples = 8000;
inline constexpr int GasBufferSamples = 8010;
inline constexpr int SmoothingPasses = 5;
inline constexpr int HeliumLowWarningText = 462;
inline constexpr int HeliumLowFailureText = 463;

struct GasAnalysisSettings {
  bool highResolution = false;     // bit 0x10 of the instrument's kind word
  float heliumCorrection = 1.0f;   // k = 100 / "CorrectionOfHeLSB"
  int endLimitPercent = 95;        // L, "HeErrorLimit"
  int warningLimit = 5;            // M, "MeasureNumberAfterFirstWarning"
  bool dfcMode = false;            // a diffusion test, not a calibration
};

struct GasAnalysisResult {
  float coPercent = 0.0f;          // the extrapolated end value
  float heliumPercent = 0.0f;      // the maximum
  float heliumEndPercent = 0.0f;   // the mean of the last 5 s
  int warningCounter = 0;
  int textId = 0;                  // 0, HeliumLowWarningText or HeliumLowFailureText
  bool failed = false;
};

// The end value of a first-order approach through three equally spaced
// points: x3 + (x3 - x2)² / (2·x2 - x3 - x1). A settled curve (x2 = x3)
// gives x3; points that do not converge (denominator 0 or less) give 0.
float ExtrapolatedEnd(float x1, float x2, float x3);

// Smooths both buffers in place (samples 0 to 7999, five passes of the
// window's filter) and evaluates them. Each buffer must hold at least
// GasAnalysisSamples samples.
GasAnalysisResult MakeGasAnalysis(std::span<float> co, std::span<float> helium, const GasAnalysisSettings& settings,
                                  int warningCounter);

// The wash-out of the gas path: the low-speed time T1 = T + X and the
// count-down Q = (T × n) / 2 + (T1 × n) / 2, each half rounded toward zero.
struct WashOutTimes {
  int lowSpeedTicks = 0;
  int countDownTicks = 0;
};
WashOutTimes WashOut(int preparationTicks, int extraTicks, int preparations);

// The gas sample's window in the expired volume at the end of the breath
// hold: it needs R = G × c; the discard S0 is the wash-out volume W, or
// (I - G) / 2 when W is 0. None when R + W does not fit the inspired volume I.
struct SampleWindow {
  float startL = 0.0f;  // S0
  float endL = 0.0f;
};
bool GasSamplingLimits(float inspiredL, float collectionL, float sampleCorrection, float washOutL,
                       SampleWindow& window);

}  // namespace calibration
