#pragma once

// The calibrations of the body box: the flow sensor against a syringe, the
// leak of the closed box (its pressure decays exponentially with the time
// constant of the leak), and the box pressure against the built-in pump
// (its peak-to-peak swing against the one Boyle's law gives for the pump's
// stroke in the empty box).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace plethysmography {

// (1 - min / max) × 100; 0 when both are 0.
double DeviationPercent(double a, double b);

// Time constant of the box leak, s, from three samples of its pressure
// decay n = (samples - 1) / parts apart: with p0, p1, p2 the magnitudes at 0, n and
// 2n, r = (p1 - p0) / (p2 - p1) and tau = |n × 0.01 / ln r|. 0 when the
// samples do not decay (r not above 0 or equal to 1, a zero step), when
// parts is below 2 or 2n lies past the samples.
double LeakTimeConstantS(std::span<const float> leakPa, int parts);

enum class StrokeFailure : std::uint8_t {
  None,
  TooFewStrokes,   // text 20
  Unbalanced,      // text 21: mean inspiratory and expiratory strokes deviate by more than 20 %
  Uneven,          // text 22: one stroke deviates by more than 10 % from its mean
  FactorOutOfRange,// text 23: a factor deviates from 1 by more than 40 %
  NoVolume,        // a sum of strokes is 0 (no message)
};

struct StrokeCheck {
  StrokeFailure failure = StrokeFailure::None;
  double inspiratoryFactor = 0.0;
  double expiratoryFactor = 0.0;
  // The mean strokes of the check series after the first `strokes`, L; 0
  // when not asked for.
  double inspiratoryCheckL = 0.0;
  double expiratoryCheckL = 0.0;
};

// The syringe strokes of a flow calibration: the stroke table holds one
// volume per counted reversal, the first at the start of the strokes, so
// v[k] - v[k+1] (even k) is an expiratory stroke and v[k+1] - v[k] (odd k)
// an inspiratory one. The first `strokes` strokes give the mean of each
// direction, which over the syringe volume is the factor that divides the
// flow of that direction. `withCheck` also asks for the check series of the
// next `strokes` strokes. Only strokes whose both ends are in the table
// count; a table too short for `strokes` strokes (or for the check series)
// fails with TooFewStrokes.
StrokeCheck CheckSyringeStrokes(std::span<const float> strokeTableL, int strokes, double syringeL, bool withCheck);

// The turning points of the pump's pressure swing (at most 300): maxima
// where the signal first falls, minima once it has risen four steps in a
// row; equal neighbours are skipped.
std::vector<std::size_t> PressureTurningPoints(std::span<const float> pressurePa);

struct BoxPressureCalibration {
  double amplitudePa = 0.0;  // mean swing between successive turning points
  double expectedPa = 0.0;   // 100 PB × calibration volume / cabin volume
  double factor = 0.0;       // amplitude / expected
};

// None (the calibration failed) with fewer than 7 turning points.
std::optional<BoxPressureCalibration> CalibrateBoxPressure(std::span<const float> pressurePa, double pressureHpa,
                                                           double calibrationVolumeL, double cabinL);

// The expected swing alone: what the pump's stroke does to the empty box.
double ExpectedBoxSwingPa(double pressureHpa, double calibrationVolumeL, double cabinL);

// What ends a box calibration: whether the constants are saved, with which
// flow factors, and the warnings shown first (texts 464: no pressure
// calibration, 486: its factor outside 0.5 .. 2.0).
struct CalibrationVerdict {
  bool save = false;
  StrokeFailure strokes = StrokeFailure::None;  // why the flow factors were refused
  double inspiratoryFactor = 1.0;
  double expiratoryFactor = 1.0;
  std::vector<int> warnings;
};

struct CalibrationOutcome {
  // The syringe was skipped (the calibration began with the door closed):
  // the flow factors in use stay, and a failed check does not stop the save.
  bool skipFlowCalibration = false;
  bool keepFlowConstants = false;    // the flow factors are not checked at all
  double currentInspiratory = 1.0;   // the factors in use
  double currentExpiratory = 1.0;
  StrokeCheck strokes;               // of the recorded syringe strokes
  bool pressureCalibrationFailed = false;
  double boxPressureFactor = 1.0;
};

CalibrationVerdict JudgeBoxCalibration(const CalibrationOutcome& outcome);

// A pump that still reports its status after this long has stuck: the
// calibration ends with a message and stores nothing.
inline constexpr double PumpTimeoutS = 60.0;

}  // namespace plethysmography
