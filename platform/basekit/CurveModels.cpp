// The shutter test turns three pressures of a closure into one point by
// trying ten model curves in turn; each model is made linear by taking a
// logarithm or a reciprocal of x or y, fitted with a straight line, and
// its A and B read back from the line.

#include "platform/basekit/CurveModels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TLinearPoint {
  double X = NaN;
  double Y = NaN;
};

double Log(double v) { return v > 0 ? std::log(v) : NaN; }
double Reciprocal(double v) { return v != 0 ? 1.0 / v : NaN; }

TLinearPoint Linearise(int model, double x, double y) {
  switch (model) {
  case 1: return {x, y};
  case 2: return {x, Log(y)};
  case 3: return {Log(x), Log(y)};
  case 4: return {Reciprocal(x), Log(y)};
  case 5: return {x, Reciprocal(y)};
  case 6: return {Reciprocal(x), Reciprocal(y)};
  case 7: return {x, x != 0 ? y / x : NaN};
  case 8: return {x * x, y * y};
  case 9: return {Reciprocal(x), y};
  case 10: return {Log(x), y};
  default: return {};
  }
}

struct TSums {
  double Sxx = 0;
  double Sxy = 0;
  double Syy = 0;
  double MeanX = 0;
  double MeanY = 0;
};

TSums Sums(std::span<const double> data) {
  TSums s;
  const std::size_t n = data.size() / 2;
  if (n == 0)
    return {NaN, NaN, NaN, NaN, NaN};
  const auto xs = data.first(n);
  const auto ys = data.subspan(n, n);
  for (std::size_t i = 0; i < n; ++i) {
    s.MeanX += xs[i];
    s.MeanY += ys[i];
  }
  s.MeanX /= static_cast<double>(n);
  s.MeanY /= static_cast<double>(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double dx = xs[i] - s.MeanX;
    const double dy = ys[i] - s.MeanY;
    s.Sxx += dx * dx;
    s.Sxy += dx * dy;
    s.Syy += dy * dy;
  }
  return s;
}

}  // namespace

bool CurveModels::Sgen(int model, std::span<const double> x, std::span<const double> y, std::span<double> out) {
  const std::size_t n = x.size();
  std::fill(out.begin(), out.end(), NaN);
  if (y.size() != n || out.size() < 2 * n || model < 1 || model > ModelCount)
    return false;
  bool defined = true;
  for (std::size_t i = 0; i < n; ++i) {
    const TLinearPoint p = Linearise(model, x[i], y[i]);
    out[i] = p.X;
    out[n + i] = p.Y;
    defined = defined && std::isfinite(p.X) && std::isfinite(p.Y);
  }
  return defined;
}

void CurveModels::Alfa(std::span<const double> data, double& a0, double& a1) {
  const TSums s = Sums(data);
  if (!(s.Sxx > 0)) {
    a0 = a1 = NaN;
    return;
  }
  a1 = s.Sxy / s.Sxx;
  a0 = s.MeanY - a1 * s.MeanX;
}

double CurveModels::Korrelacio(double a1, std::span<const double> data) {
  const TSums s = Sums(data);
  if (!std::isfinite(a1) || !(s.Sxx > 0) || !std::isfinite(s.Syy))
    return NaN;
  // All ordinates equal: the flat line through them is exact.
  if (s.Syy == 0)
    return a1 == 0 ? 1.0 : NaN;
  return a1 * a1 * s.Sxx / s.Syy;
}

bool CurveModels::Abgen(int model, double a0, double a1, double& A, double& B) {
  A = B = NaN;
  switch (model) {
  case 1: case 5: case 7: case 8: case 9:
    A = a0;
    B = a1;
    break;
  case 2: case 3:
    A = std::exp(a0);
    B = a1;
    break;
  case 4:
    A = std::exp(a0);
    B = -a1;
    break;
  case 6:  // 1/y = (1/A)(1/x) + B/A
    if (a1 != 0) {
      A = 1.0 / a1;
      B = a0 / a1;
    }
    break;
  case 10:  // y = A ln B + A ln x
    if (a1 != 0) {
      A = a1;
      B = std::exp(a0 / a1);
    }
    break;
  default:
    break;
  }
  return std::isfinite(A) && std::isfinite(B);
}
