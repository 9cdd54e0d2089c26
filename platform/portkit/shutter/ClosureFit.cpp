#include "platform/portkit/shutter/ClosureFit.h"

#include "platform/basekit/CurveModels.h"

#include <cmath>
#include <cstdlib>

namespace shutter {

std::optional<ModelFit> FitModel(int model, const std::array<double, 3>& ordinates) {
  std::array<double, 6> line{};
  if (!CurveModels::Sgen(model, FitPositions, ordinates, line))
    return std::nullopt;
  double a0 = 0.0;
  double a1 = 0.0;
  CurveModels::Alfa(line, a0, a1);
  ModelFit fit{model, 0.0, 0.0, CurveModels::Korrelacio(a1, line)};
  if (!CurveModels::Abgen(model, a0, a1, fit.a, fit.b))
    return std::nullopt;
  return fit;
}

std::optional<ModelFit> FitClosure(const std::array<double, 3>& ordinates) {
  for (int model = 1; model <= CurveModels::ModelCount; ++model) {
    const std::optional<ModelFit> fit = FitModel(model, ordinates);
    if (fit && std::fabs(fit->quality - 1.0) < QualityTolerance)
      return fit;
  }
  return std::nullopt;
}

double ModelValue(const ModelFit& fit, double x) {
  const double a = fit.a;
  const double b = fit.b;
  double value = 0.0;
  switch (fit.model) {
  case 1: value = a + b * x; break;
  case 2: value = a * std::exp(b * x); break;
  case 3: value = a * std::pow(x, b); break;
  case 4: value = a * std::exp(-b / x); break;
  case 5:
    if (a + b * x > 0.01)
      value = 1.0 / (a + b * x);
    break;
  case 6: value = a * x / (1.0 + b * x); break;
  case 7: value = x * (a + b * x); break;
  case 8:
    if (a + b * x * x > 0.0)
      value = std::sqrt(a + b * x * x);
    break;
  case 9: value = a + b / x; break;
  case 10:
    if (b > 0.0)
      value = a * std::log(b * x);
    break;
  default: break;
  }
  // A model taken back to x = 0 can run off to infinity (x^B, e^(-B/x),
  // B/x, ln Bx): such a value is no pressure, and counts as the guards do.
  return std::isfinite(value) ? value : 0.0;
}

std::optional<double> ClosureMoment(std::span<const std::int16_t, GroupSize> pressures) {
  const std::size_t last = GroupSize - 1;
  std::size_t j = 0;
  double v = 0.0;
  while (j + 1 < GroupSize) {
    const double u = std::abs(static_cast<int>(pressures[last - j - 1]));
    v = std::abs(static_cast<int>(pressures[last - j]));
    if (v == 0.0 || (1.0 - u / v) * 100.0 > ClosureRisePercent)
      break;
    ++j;
  }
  if (!(v > 0.0) || j >= last)
    return std::nullopt;
  return 8.0 - static_cast<double>(j);
}

std::size_t FlowSample(std::span<const std::int16_t, GroupSize> flows) {
  int direction = 0;  // +1 the magnitude rises, -1 it falls
  for (std::size_t k = 0; k + 1 < GroupSize; ++k) {
    const double here = std::abs(static_cast<int>(flows[k]));
    const double next = std::abs(static_cast<int>(flows[k + 1]));
    const double r = next == 0.0 ? here * 100.0 : here / next;
    if (r == 1.0)
      continue;
    if (std::fabs(std::trunc((1.0 - r) * 100.0)) > ClosureRisePercent)
      return k;
    const int turn = r < 1.0 ? 1 : -1;
    if (direction == 0)
      direction = turn;
    else if (turn != direction)
      return k;
  }
  return GroupSize - 1;
}

std::optional<Point> ClosurePoint(std::span<const std::int16_t, GroupSize> flows,
                                  std::span<const std::int16_t, GroupSize> pressures, const Calibration& calibration) {
  const std::array<double, 3> ordinates{std::abs(static_cast<double>(pressures[7])),
                                        std::abs(static_cast<double>(pressures[8])),
                                        std::abs(static_cast<double>(pressures[9]))};
  const std::optional<ModelFit> fit = FitClosure(ordinates);
  if (!fit)
    return std::nullopt;
  const std::optional<double> moment = ClosureMoment(pressures);
  if (!moment)
    return std::nullopt;
  const double counts = ModelValue(*fit, *moment);

  const std::size_t i = FlowSample(flows);
  Point point;
  point.flowLps = 0.001 * (flows[i] * FlowMlpsPerCount - calibration.flowZeroMlps);
  if (point.flowLps > 0.0) {
    if (calibration.btpsFactor != 0.0)
      point.flowLps /= calibration.btpsFactor;
    if (calibration.inspirationFactor != 0.0)
      point.flowLps /= calibration.inspirationFactor;
  } else if (calibration.expirationFactor != 0.0) {
    point.flowLps /= calibration.expirationFactor;
  }
  const double magnitude = 0.001 * std::fabs(counts * PressurePaPerCount - calibration.pressureZeroPa);
  point.pressureKpa = point.flowLps >= 0.0 ? -magnitude : magnitude;
  // The flow before the group's first sample is not part of the closure:
  // there the flag compares with no flow.
  const int before = i == 0 ? 0 : flows[i - 1];
  point.falling = before >= flows[i];
  return point;
}

}  // namespace shutter
