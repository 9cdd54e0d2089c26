#include "platform/portkit/plethysmography/BoxCalibration.h"

#include <algorithm>
#include <cmath>

namespace plethysmography {

double DeviationPercent(double a, double b) {
  const double hi = std::max(a, b);
  if (hi == 0.0)
    return 0.0;
  return (1.0 - std::min(a, b) / hi) * 100.0;
}

double LeakTimeConstantS(std::span<const float> leakPa, int parts) {
  if (parts < 2 || leakPa.size() < 2)
    return 0.0;
  const std::size_t n = (leakPa.size() - 1) / static_cast<std::size_t>(parts);
  if (n == 0 || 2 * n >= leakPa.size())
    return 0.0;
  const double p0 = std::fabs(leakPa[0]);
  const double p1 = std::fabs(leakPa[n]);
  const double p2 = std::fabs(leakPa[2 * n]);
  if (p2 == p1 || p1 == p0)
    return 0.0;
  const double r = (p1 - p0) / (p2 - p1);
  if (r <= 0.0 || r == 1.0)
    return 0.0;
  return std::fabs(static_cast<double>(n) * 0.01 / std::log(r));
}

namespace {

// Stroke k runs from record k to record k + 1: expiratory (the volume
// falls) for even k, inspiratory for odd k; both as positive volumes.
double Stroke(std::span<const float> v, std::size_t k) {
  return k % 2 == 0 ? static_cast<double>(v[k]) - v[k + 1] : static_cast<double>(v[k + 1]) - v[k];
}

// The sums and counts of the strokes first .. last - 1 by direction.
struct StrokeSums {
  double expiration = 0.0;
  double inspiration = 0.0;
  int expirations = 0;
  int inspirations = 0;

  double ExpiratoryMean() const { return expirations > 0 ? expiration / expirations : 0.0; }
  double InspiratoryMean() const { return inspirations > 0 ? inspiration / inspirations : 0.0; }
};

StrokeSums SumStrokes(std::span<const float> v, std::size_t first, std::size_t last) {
  StrokeSums sums;
  for (std::size_t k = first; k < last && k + 1 < v.size(); ++k) {
    if (k % 2 == 0) {
      sums.expiration += Stroke(v, k);
      ++sums.expirations;
    } else {
      sums.inspiration += Stroke(v, k);
      ++sums.inspirations;
    }
  }
  return sums;
}

}  // namespace

StrokeCheck CheckSyringeStrokes(std::span<const float> v, int strokes, double syringeL, bool withCheck) {
  StrokeCheck result;
  const std::size_t n = static_cast<std::size_t>(std::max(strokes, 0));
  // `count` strokes need one record more.
  const auto available = [&](std::size_t count) { return n > 0 && count < v.size(); };
  if (!available(n)) {
    result.failure = StrokeFailure::TooFewStrokes;
    return result;
  }
  const StrokeSums sums = SumStrokes(v, 0, n);
  if (sums.expiration == 0.0 || sums.inspiration == 0.0) {
    result.failure = StrokeFailure::NoVolume;
    return result;
  }
  const double exp = sums.ExpiratoryMean();
  const double insp = sums.InspiratoryMean();
  if (DeviationPercent(exp, insp) > 20.0) {
    result.failure = StrokeFailure::Unbalanced;
    return result;
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (DeviationPercent(Stroke(v, k), k % 2 == 0 ? exp : insp) > 10.0) {
      result.failure = StrokeFailure::Uneven;
      return result;
    }
  }
  result.expiratoryFactor = exp / syringeL;
  result.inspiratoryFactor = insp / syringeL;
  if (DeviationPercent(result.expiratoryFactor, 1.0) > 40.0 || DeviationPercent(result.inspiratoryFactor, 1.0) > 40.0) {
    result.failure = StrokeFailure::FactorOutOfRange;
    return result;
  }
  if (!withCheck)
    return result;
  if (!available(2 * n)) {
    result.failure = StrokeFailure::TooFewStrokes;
    return result;
  }
  const StrokeSums check = SumStrokes(v, n, v.size());
  result.expiratoryCheckL = check.ExpiratoryMean();
  result.inspiratoryCheckL = check.InspiratoryMean();
  return result;
}

std::vector<std::size_t> PressureTurningPoints(std::span<const float> p) {
  constexpr std::size_t Capacity = 300;
  std::vector<std::size_t> turns;
  bool rising = true;
  int counter = 3;
  std::size_t candidate = 0;
  for (std::size_t i = 1; i < p.size() && turns.size() < Capacity; ++i) {
    if (p[i - 1] == p[i])
      continue;
    if (counter == 3)
      candidate = i - 1;
    const bool up = p[i] > p[i - 1];
    if (rising) {
      if (!up) {
        turns.push_back(candidate);
        rising = false;
      } else {
        counter = 3;
      }
    } else if (!up) {
      counter = 3;
    } else if (--counter < 0) {
      turns.push_back(candidate);
      rising = true;
      counter = 3;
    }
  }
  return turns;
}

double ExpectedBoxSwingPa(double pressureHpa, double calibrationVolumeL, double cabinL) {
  return cabinL > 0.0 ? pressureHpa * 100.0 * calibrationVolumeL / cabinL : 0.0;
}

CalibrationVerdict JudgeBoxCalibration(const CalibrationOutcome& o) {
  CalibrationVerdict v;
  v.inspiratoryFactor = o.currentInspiratory;
  v.expiratoryFactor = o.currentExpiratory;
  if (!o.keepFlowConstants) {
    v.strokes = o.strokes.failure;
    if (o.strokes.failure == StrokeFailure::None) {
      v.inspiratoryFactor = o.strokes.inspiratoryFactor;
      v.expiratoryFactor = o.strokes.expiratoryFactor;
    } else if (!o.skipFlowCalibration) {
      return v;
    }
  }
  if (o.pressureCalibrationFailed)
    v.warnings.push_back(464);
  if (o.boxPressureFactor < 0.5 || o.boxPressureFactor > 2.0)
    v.warnings.push_back(486);
  v.save = true;
  return v;
}

std::optional<BoxPressureCalibration> CalibrateBoxPressure(std::span<const float> p, double pressureHpa,
                                                           double calibrationVolumeL, double cabinL) {
  const std::vector<std::size_t> turns = PressureTurningPoints(p);
  if (turns.size() < 7)
    return std::nullopt;
  BoxPressureCalibration c;
  double sum = 0.0;
  for (std::size_t k = 0; k + 1 < turns.size(); ++k)
    sum += std::fabs(static_cast<double>(p[turns[k]]) - p[turns[k + 1]]);
  c.amplitudePa = sum / static_cast<double>(turns.size() - 1);
  c.expectedPa = ExpectedBoxSwingPa(pressureHpa, calibrationVolumeL, cabinL);
  c.factor = c.expectedPa != 0.0 ? c.amplitudePa / c.expectedPa : 0.0;
  return c;
}

}  // namespace plethysmography
