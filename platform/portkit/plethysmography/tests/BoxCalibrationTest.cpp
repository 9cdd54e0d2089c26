#include "platform/portkit/plethysmography/BoxCalibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace plethysmography {
namespace {

TEST(BoxCalibration, DeviationInPercent) {
  EXPECT_NEAR(DeviationPercent(2.0, 2.4), 16.667, 1e-3);
  EXPECT_NEAR(DeviationPercent(2.6, 2.0), 23.077, 1e-3);
  EXPECT_EQ(DeviationPercent(0.0, 0.0), 0.0);
}

// A box pressure decaying with time constant tau towards `floor` Pa over
// 1500 samples.
std::vector<float> Leak(double tau, double floor) {
  std::vector<float> p(1500);
  for (std::size_t i = 0; i < p.size(); ++i)
    p[i] = static_cast<float>(floor + 20.0 * std::exp(-static_cast<double>(i) * 0.01 / tau));
  return p;
}

TEST(BoxCalibration, LeakTimeConstantOfAnExponentialDecay) {
  // p = floor + A e^(-t/tau): the differences over equal steps h shrink by
  // e^(-h/tau), so r = e^(h/tau) and h / ln r is tau whatever the floor.
  for (const double tau : {3.0, 5.0, 12.0}) {
    for (const double floor : {0.0, 1.5}) {
      SCOPED_TRACE(tau);
      EXPECT_NEAR(LeakTimeConstantS(Leak(tau, floor), 3), tau, tau * 0.01);
      EXPECT_NEAR(LeakTimeConstantS(Leak(tau, floor), 2), tau, tau * 0.01);
    }
  }
}

TEST(BoxCalibration, LeakWithoutADecayGivesZero) {
  std::vector<float> ramp(1500);
  for (std::size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = 20.0f - 0.01f * static_cast<float>(i);  // r = 1: ln r = 0
  EXPECT_EQ(LeakTimeConstantS(ramp, 3), 0.0);
  EXPECT_EQ(LeakTimeConstantS(std::vector<float>(1500, 7.0f), 3), 0.0);  // p1 = p0
  std::vector<float> rising = Leak(5.0, 0.0);
  rising[499] = 30.0f;  // the middle sample (n = 1499 / 3) above the first: r < 0
  EXPECT_EQ(LeakTimeConstantS(rising, 3), 0.0);
  EXPECT_EQ(LeakTimeConstantS(Leak(5.0, 0.0), 1), 0.0);
  EXPECT_EQ(LeakTimeConstantS(Leak(5.0, 0.0), 0), 0.0);
  EXPECT_EQ(LeakTimeConstantS(std::vector<float>(2, 1.0f), 3), 0.0);
}

// A stroke table: the first record at the start, then one per reversal,
// expiratory and inspiratory strokes in turn.
std::vector<float> Strokes(std::initializer_list<double> strokes) {
  std::vector<float> table{4.0f};
  bool expiration = true;
  for (const double s : strokes) {
    table.push_back(table.back() + static_cast<float>(expiration ? -s : s));
    expiration = !expiration;
  }
  return table;
}

TEST(BoxCalibration, SyringeStrokes) {
  struct Case {
    const char* name;
    std::vector<float> table;
    int strokes;
    double syringe;
    bool check;
    StrokeFailure failure;
  };
  const Case cases[] = {
      // Means 2.0 (exp) and 2.4 (insp): 16.7 %, passes.
      {"2.0 and 2.4", Strokes({2.0, 2.4, 2.0, 2.4}), 4, 2.0, false, StrokeFailure::None},
      // 2.0 and 2.6: 23.1 %, text 21.
      {"2.0 and 2.6", Strokes({2.0, 2.6, 2.0, 2.6}), 4, 2.0, false, StrokeFailure::Unbalanced},
      // Expiratory strokes 2.0 and 2.5, mean 2.25: 2.0 lies 11.1 % below, text 22.
      {"uneven", Strokes({2.0, 2.2, 2.5, 2.2}), 4, 2.0, false, StrokeFailure::Uneven},
      // Syringe 3 L, mean 1.7 L: factor 0.567, 43.3 % from 1, text 23.
      {"factor", Strokes({1.7, 1.7, 1.7, 1.7}), 4, 3.0, false, StrokeFailure::FactorOutOfRange},
      // Three strokes recorded, four asked for: text 20.
      {"short table", Strokes({3.0, 3.0, 3.0}), 4, 3.0, false, StrokeFailure::TooFewStrokes},
      // Four strokes, but the check series needs four more.
      {"no check series", Strokes({3.0, 3.0, 3.0, 3.0, 3.0}), 4, 3.0, true, StrokeFailure::TooFewStrokes},
      {"no volume", Strokes({0.0, 0.0, 0.0, 0.0}), 4, 3.0, false, StrokeFailure::NoVolume},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckSyringeStrokes(c.table, c.strokes, c.syringe, c.check).failure, c.failure);
  }
}

TEST(BoxCalibration, SyringeFactorsAndCheckSeries) {
  // Expiratory strokes 3.15 L, inspiratory 2.85 L of a 3 L syringe: the
  // factors are 1.05 and 0.95; the check series 3.0 and 3.0.
  const std::vector<float> table = Strokes({3.15, 2.85, 3.15, 2.85, 3.0, 3.0, 3.0, 3.0});
  const StrokeCheck c = CheckSyringeStrokes(table, 4, 3.0, true);
  ASSERT_EQ(c.failure, StrokeFailure::None);
  EXPECT_NEAR(c.expiratoryFactor, 1.05, 1e-5);
  EXPECT_NEAR(c.inspiratoryFactor, 0.95, 1e-5);
  EXPECT_NEAR(c.expiratoryCheckL, 3.0, 1e-5);
  EXPECT_NEAR(c.inspiratoryCheckL, 3.0, 1e-5);
}

// The pump's swing as the step-17 buffer holds it (8 - box pressure), a
// sine of period 1 s whose extremes fall on samples 25, 75, 125, ...
std::vector<float> PumpSwing(std::size_t samples, double peakToPeak) {
  std::vector<float> p(samples);
  for (std::size_t i = 0; i < samples; ++i)
    p[i] = static_cast<float>(8.0 + peakToPeak / 2.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 100.0));
  return p;
}

TEST(BoxCalibration, TurningPointsOfThePumpSwing) {
  // Maxima are taken at the first falling step, minima after four rising
  // steps: 340 samples hold 25 .. 325 (seven), 300 samples six.
  EXPECT_EQ(PressureTurningPoints(PumpSwing(340, 10.0)),
            (std::vector<std::size_t>{25, 75, 125, 175, 225, 275, 325}));
  EXPECT_EQ(PressureTurningPoints(PumpSwing(300, 10.0)).size(), 6u);
}

TEST(BoxCalibration, BoxPressureFactorAgainstBoylesLaw) {
  // 150 mL pumped into 960 L at 1013.25 hPa: 100 × 1013.25 × 0.15 / 960 =
  // 15.832 Pa peak to peak. A box that swings so has factor 1; one that
  // swings 10 % more, 1.1.
  const std::optional<BoxPressureCalibration> c = CalibrateBoxPressure(PumpSwing(340, 15.832), 1013.25, 0.15, 960.0);
  ASSERT_TRUE(c);
  EXPECT_NEAR(c->expectedPa, 15.832, 1e-3);
  EXPECT_NEAR(c->amplitudePa, 15.832, 1e-3);
  EXPECT_NEAR(c->factor, 1.0, 1e-4);
  EXPECT_NEAR(CalibrateBoxPressure(PumpSwing(340, 17.415), 1013.25, 0.15, 960.0)->factor, 1.1, 1e-4);
  EXPECT_FALSE(CalibrateBoxPressure(PumpSwing(300, 15.832), 1013.25, 0.15, 960.0));
  EXPECT_FALSE(CalibrateBoxPressure({}, 1013.25, 0.15, 960.0));
}

TEST(BoxCalibration, WhatEndsACalibration) {
  StrokeCheck good;
  good.inspiratoryFactor = 0.97;
  good.expiratoryFactor = 1.02;
  StrokeCheck bad;
  bad.failure = StrokeFailure::Unbalanced;
  struct Case {
    const char* name;
    CalibrationOutcome outcome;
    bool save;
    double insp, exp;
    std::vector<int> warnings;
  };
  const Case cases[] = {
      {"strokes checked", {false, false, 1.1, 0.9, good, false, 1.0}, true, 0.97, 1.02, {}},
      {"strokes refused", {false, false, 1.1, 0.9, bad, false, 1.0}, false, 1.1, 0.9, {}},
      // Skipped strokes: a failed check keeps the factors in use (never
      // added to the strokes) and the box constants are still saved.
      {"skipped, refused", {true, false, 1.1, 0.9, bad, false, 1.0}, true, 1.1, 0.9, {}},
      {"skipped, checked", {true, false, 1.1, 0.9, good, false, 1.0}, true, 0.97, 1.02, {}},
      {"kept", {false, true, 1.1, 0.9, bad, false, 1.0}, true, 1.1, 0.9, {}},
      {"factor exactly 2", {false, false, 1.0, 1.0, good, false, 2.0}, true, 0.97, 1.02, {}},
      {"factor 0.49", {false, false, 1.0, 1.0, good, false, 0.49}, true, 0.97, 1.02, {486}},
      {"no pressure calibration", {false, false, 1.0, 1.0, good, true, 1.0}, true, 0.97, 1.02, {464}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CalibrationVerdict v = JudgeBoxCalibration(c.outcome);
    EXPECT_EQ(v.save, c.save);
    if (c.save) {
      EXPECT_DOUBLE_EQ(v.inspiratoryFactor, c.insp);
      EXPECT_DOUBLE_EQ(v.expiratoryFactor, c.exp);
    }
    EXPECT_EQ(v.warnings, c.warnings);
  }
}

}  // namespace
}  // namespace plethysmography
