#pragma once

// The flow constants of a calibration with the calibration pump (syringe):
// the stroke volumes are the differences of neighbouring turning points of
// the calibration volume curve. The first series of N strokes gives the
// constants; the check series after it, measured with the new constants,
// must then meet the syringe's volume within ±3.0 % stroke by stroke
// (ATS/ERS 2019: ±2.5 % for the spirometer, ±0.5 % for the syringe).
//
// A spirometer is calibrated with N strokes each way; a diffusion unit's
// series adds two inspirations through the gas path, which give the gas
// path's constant.

#include <optional>
#include <span>

namespace calibration {

inline constexpr int TooFewStrokesText = 20;  // a format taking N
inline constexpr int StrokeMeansApartText = 21;
inline constexpr int StrokeApartText = 22;
inline constexpr int ConstantFarOffText = 23;
inline constexpr int ConstantOffText = 545;
inline constexpr int CheckStrokeOffText = 9210;  // the worst check stroke: number, litres, syringe, per cent

inline constexpr double CheckTolerancePercent = 3.0;

// d(x, y) = (1 - min / max) × 100 of two positive numbers, per cent.
float Deviation(float x, float y);

struct CalibrationRun {
  std::span<const float> turningVolumesL;  // e[0], e[1], ... of the calibration volume curve
  int count = 0;                           // the extremes' count: e[count] is the running extreme
  int seriesStrokes = 10;                  // N: 6, 8 or 10
  float syringeL = 3.0f;                   // V
  int strokesCounted = 0;                  // S
  bool interactive = false;
};

struct CheckStroke {
  int number = 0;  // 1 for the first stroke of the check series
  float volumeL = 0.0f;
  float deviationPercent = 0.0f;  // signed, against the syringe
};

struct CalibrationAnswer {
  bool valid = false;
  float inspiration = 0.0f;         // measured over true volume
  float expiration = 0.0f;
  float inspirationWithGas = 0.0f;  // diffusion unit only
  int textId = 0;                   // what to say (interactive only); 0 nothing
  bool clearTrial = false;          // empty the calibration trial
  bool deleteGasBuffers = false;
  // The check series, litres: mean inspiratory, mean expiratory and mean
  // gas-path stroke; filled by an interactive run that reaches it.
  bool checkFilled = false;
  float checkInspirationL = 0.0f;
  float checkExpirationL = 0.0f;
  float gasPathL = 0.0f;            // the gas-path mean, kept on the way
  std::optional<CheckStroke> worst; // the check stroke that failed ±3.0 %
};

// The spirometer's test: constants within 20 % of 1.0.
CalibrationAnswer TestSpiroCalibration(const CalibrationRun& run);

// The diffusion unit's test: N + 4 strokes per series with the two gas-path
// inspirations, constants within 40 % of 1.0.
CalibrationAnswer TestDiffCalibration(const CalibrationRun& run);

// The check series against the syringe: the stroke farthest off when it is
// beyond ±3.0 %, none when every stroke is within.
std::optional<CheckStroke> WorstCheckStroke(std::span<const float> strokesL, float syringeL);

}  // namespace calibration
