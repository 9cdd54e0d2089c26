#include "platform/basekit/Util.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

// The straight line through (1, 2), (2, 3), (3, 5) by hand: mean x 2,
// mean y 10/3, Sxx 2, Sxy 3, Syy 42/9, so slope 1.5, intercept 1/3 and
// R^2 = Sxy^2 / (Sxx Syy) = 9 / (2 * 42/9) = 27/28.
TEST(UtilCurveFit, StraightLineAgainstAHandCalculation) {
  const std::array<double, 6> data{1, 2, 3, 2, 3, 5};
  double a0 = 0, a1 = 0;
  TUtil::Alfa(data, a0, a1);
  EXPECT_NEAR(a1, 1.5, 1e-12);
  EXPECT_NEAR(a0, 1.0 / 3.0, 1e-12);
  EXPECT_NEAR(TUtil::Korrelacio(a1, data), 27.0 / 28.0, 1e-12);
}

// Three pressures at the group positions 7, 8 and 9, made from each model
// with known coefficients: every model finds its own A and B again and
// calls its fit perfect.
TEST(UtilCurveFit, EveryModelRecoversItsCoefficients) {
  struct TCase {
    int Model;
    double A, B;
    std::function<double(double, double, double)> Curve;
  };
  const TCase cases[] = {
      {1, 0.4, 0.05, [](double a, double b, double x) { return a + b * x; }},
      {2, 0.2, 0.15, [](double a, double b, double x) { return a * std::exp(b * x); }},
      {3, 0.1, 1.3, [](double a, double b, double x) { return a * std::pow(x, b); }},
      {4, 2.0, 3.0, [](double a, double b, double x) { return a * std::exp(-b / x); }},
      {5, 2.0, 0.3, [](double a, double b, double x) { return 1.0 / (a + b * x); }},
      {6, 0.5, 0.2, [](double a, double b, double x) { return a * x / (1 + b * x); }},
      {7, 0.1, 0.02, [](double a, double b, double x) { return x * (a + b * x); }},
      {8, 0.3, 0.01, [](double a, double b, double x) { return std::sqrt(a + b * x * x); }},
      {9, 1.2, -2.0, [](double a, double b, double x) { return a + b / x; }},
      {10, 0.7, 0.5, [](double a, double b, double x) { return a * std::log(b * x); }},
  };
  const std::array<double, 3> x{7, 8, 9};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Model);
    std::array<double, 3> y{};
    for (std::size_t i = 0; i < 3; ++i)
      y[i] = c.Curve(c.A, c.B, x[i]);
    std::array<double, 6> t{};
    ASSERT_TRUE(TUtil::Sgen(c.Model, x, y, t));
    double a0 = 0, a1 = 0, A = 0, B = 0;
    TUtil::Alfa(t, a0, a1);
    EXPECT_NEAR(TUtil::Korrelacio(a1, t), 1.0, 1e-9);
    ASSERT_TRUE(TUtil::Abgen(c.Model, a0, a1, A, B));
    EXPECT_NEAR(A, c.A, 1e-9 * std::max(1.0, std::abs(c.A)));
    EXPECT_NEAR(B, c.B, 1e-9 * std::max(1.0, std::abs(c.B)));
  }
}

TEST(UtilCurveFit, DataAModelCannotTakeNeverQualifies) {
  const std::array<double, 3> x{7, 8, 9};
  const std::array<double, 3> withZero{0.0, 1.0, 2.0};
  std::array<double, 6> t{};
  for (const int model : {2, 3, 4, 5, 6}) {
    SCOPED_TRACE(model);
    EXPECT_FALSE(TUtil::Sgen(model, x, withZero, t));  // log or reciprocal of 0
    double a0 = 0, a1 = 0;
    TUtil::Alfa(t, a0, a1);
    const double r = TUtil::Korrelacio(a1, t);
    EXPECT_FALSE(std::abs(r - 1) < 0.1);
  }
  EXPECT_FALSE(TUtil::Sgen(0, x, withZero, t));
  EXPECT_FALSE(TUtil::Sgen(11, x, withZero, t));
  EXPECT_FALSE(TUtil::Sgen(1, x, std::array<double, 2>{1, 2}, t));
  double A = 0, B = 0;
  EXPECT_FALSE(TUtil::Abgen(6, 1.0, 0.0, A, B));  // a flat line gives no 1/A
  EXPECT_FALSE(TUtil::Abgen(11, 1.0, 1.0, A, B));
}

TEST(UtilCurveFit, FlatDataFitsAFlatLine) {
  const std::array<double, 6> flat{7, 8, 9, 2, 2, 2};
  double a0 = 0, a1 = 0;
  TUtil::Alfa(flat, a0, a1);
  EXPECT_EQ(a1, 0.0);
  EXPECT_EQ(a0, 2.0);
  EXPECT_EQ(TUtil::Korrelacio(a1, flat), 1.0);
}

}  // namespace
