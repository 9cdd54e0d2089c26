#pragma once

// One closure of the shutter, a group of ten raw points (flow and mouth
// pressure, the shutter closed from the first), becomes one point of the
// pressure-flow curve: the pressure of the last three points, fitted by the
// first of ten model curves that fits them well, extrapolated back to the
// moment of closure; the flow from the last sample before the flow broke
// off (docs/shutter.md).

#include "platform/portkit/shutter/ShutterUnits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace shutter {

// The group positions of the three fitted pressures.
inline constexpr std::array<double, 3> FitPositions{7.0, 8.0, 9.0};
// A model is taken when its fit quality (R²) lies within this of 1.
inline constexpr double QualityTolerance = 0.1;
// A step of more than this share, per cent, between two pressures is the closure.
inline constexpr double ClosureRisePercent = 20.0;

struct ModelFit {
  int model = 0;  // 1 to 10
  double a = 0.0;
  double b = 0.0;
  double quality = 0.0;  // R² of the linearised fit
};

// The fit of one model to the three ordinates at x = 7, 8, 9; nothing when
// the model cannot take them (a logarithm or reciprocal of a value it is
// not defined for) or gives no coefficients.
std::optional<ModelFit> FitModel(int model, const std::array<double, 3>& ordinates);

// The first model, 1 to 10 in order, whose linearised fit of the three
// ordinates at x = 7, 8, 9 has |R² − 1| < 0.1; a model that would need the
// logarithm or reciprocal of a value it cannot take is skipped. Nothing
// when no model qualifies.
std::optional<ModelFit> FitClosure(const std::array<double, 3>& ordinates);

// The value of a fitted model at x; 0 where the model's guard fails
// (model 5: A + Bx ≤ 0.01, model 8: A + Bx² ≤ 0, model 10: B ≤ 0) or the
// value would not be a finite number.
double ModelValue(const ModelFit& fit, double x);

// The group position of the last pressure before the closure's rise: the
// search walks back from the newest point to the first step of more than
// 20 %. Nothing when no step qualifies or the pressure after the step is 0.
std::optional<double> ClosureMoment(std::span<const std::int16_t, GroupSize> pressures);

// The group position of the flow sample taken for the point: the ratios of
// successive magnitudes fix a direction, and the first ratio that turns
// against it or changes by more than 20 % stops the search; 9 without a
// stop.
std::size_t FlowSample(std::span<const std::int16_t, GroupSize> flows);

// What turns raw counts into the point's units.
struct Calibration {
  double flowZeroMlps = 0.0;
  double pressureZeroPa = 0.0;
  double btpsFactor = 1.0;            // divides inspiratory (positive) flow
  double inspirationFactor = 1.0;     // the spirometer calibration of positive flow
  double expirationFactor = 1.0;      // and of zero or negative flow
};

// The whole closure: its point, or nothing when the closure is dropped (no
// qualifying model, no rise of the pressure inside the group, a zero
// pressure at the stop).
std::optional<Point> ClosurePoint(std::span<const std::int16_t, GroupSize> flows,
                                  std::span<const std::int16_t, GroupSize> pressures, const Calibration& calibration);

}  // namespace shutter
