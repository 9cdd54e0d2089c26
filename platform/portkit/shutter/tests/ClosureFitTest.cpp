// One closure of the shutter to one point, on closures whose answer is
// known in closed form or worked by hand.

#include "platform/portkit/shutter/ClosureFit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace shutter {
namespace {

using Group = std::array<std::int16_t, GroupSize>;

// Each model's curve through three exact ordinates at x = 7, 8, 9: the fit
// of that model finds the curve again, and its value at a position before
// the group, where the closure happened, is the curve's own within 0.5 %.
TEST(ClosureFit, EachModelExtrapolatesItsOwnCurve) {
  struct Case {
    int model;
    double a, b, x0;
    std::function<double(double)> curve;
  };
  const Case cases[] = {
      {1, 100.0, 2.0, 0.0, [](double x) { return 100.0 + 2.0 * x; }},
      {2, 80.0, 0.05, 0.0, [](double x) { return 80.0 * std::exp(0.05 * x); }},
      {3, 60.0, 0.4, 1.0, [](double x) { return 60.0 * std::pow(x, 0.4); }},
      {4, 150.0, 2.0, 1.0, [](double x) { return 150.0 * std::exp(-2.0 / x); }},
      {5, 0.02, 0.0005, 0.0, [](double x) { return 1.0 / (0.02 + 0.0005 * x); }},
      {6, 40.0, 0.1, 1.0, [](double x) { return 40.0 * x / (1.0 + 0.1 * x); }},
      {7, 12.0, 0.5, 1.0, [](double x) { return x * (12.0 + 0.5 * x); }},
      {8, 9000.0, 50.0, 0.0, [](double x) { return std::sqrt(9000.0 + 50.0 * x * x); }},
      {9, 120.0, -60.0, 1.0, [](double x) { return 120.0 - 60.0 / x; }},
      {10, 50.0, 0.8, 2.0, [](double x) { return 50.0 * std::log(0.8 * x); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    const std::array<double, 3> y{c.curve(7.0), c.curve(8.0), c.curve(9.0)};
    const auto fit = FitModel(c.model, y);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->quality, 1.0, 1e-9);
    EXPECT_NEAR(fit->a, c.a, std::fabs(c.a) * 1e-6);
    EXPECT_NEAR(fit->b, c.b, std::fabs(c.b) * 1e-6);
    const double expected = c.curve(c.x0);
    EXPECT_NEAR(ModelValue(*fit, c.x0), expected, std::fabs(expected) * 0.005);
  }
}

// The models are tried in order and the first good fit is taken.
TEST(ClosureFit, TheFirstModelThatFitsIsTaken) {
  // A straight line: model 1 at once.
  EXPECT_EQ(FitClosure({114.0, 116.0, 118.0})->model, 1);
  // 1, 10, 100: the straight line has R² = 99² / (2 · 5994) = 0.818, too
  // poor; the logarithm of y is a straight line, so model 2.
  const auto exponential = FitClosure({1.0, 10.0, 100.0});
  ASSERT_TRUE(exponential);
  EXPECT_EQ(exponential->model, 2);
  EXPECT_NEAR(exponential->b, std::log(10.0), 1e-9);
  // Up and down again fits no model: the closure gives no point.
  EXPECT_FALSE(FitClosure({100.0, 200.0, 100.0}));
  // A flat plateau is a perfect flat line.
  EXPECT_EQ(FitClosure({50.0, 50.0, 50.0})->model, 1);
}

// Where a model's formula has no value the pressure is 0, never a NaN.
TEST(ClosureFit, GuardedModelsGiveZero) {
  struct Case {
    ModelFit fit;
    double x;
    double expected;
  };
  const Case cases[] = {
      {{5, 0.005, 0.0025, 1.0}, 2.0, 0.0},      // A + Bx = 0.01: not above 0.01
      {{5, 0.015, 0.0025, 1.0}, 2.0, 50.0},     // A + Bx = 0.02
      {{8, -100.0, 1.0, 1.0}, 3.0, 0.0},        // A + Bx² = -91
      {{8, 16.0, 1.0, 1.0}, 3.0, 5.0},          // sqrt(25)
      {{10, 50.0, 0.0, 1.0}, 2.0, 0.0},         // B = 0
      {{10, 50.0, -1.0, 1.0}, 2.0, 0.0},        // B < 0
      {{10, 50.0, 0.5, 1.0}, 2.0, 0.0},         // ln 1 = 0
      {{9, 120.0, -60.0, 1.0}, 0.0, 0.0},       // B / 0
      {{4, 150.0, 2.0, 1.0}, 0.0, 0.0},         // e^(-B/0)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fit.model);
    EXPECT_DOUBLE_EQ(ModelValue(c.fit, c.x), c.expected);
  }
}

TEST(ClosureFit, TheMomentOfClosureIsTheLastPressureBeforeTheRise) {
  // 2 while the air flows, then the alveolar pressure: the step from 2 to
  // 102 is the closure, position 0.
  EXPECT_EQ(ClosureMoment(Group{2, 102, 104, 106, 108, 110, 112, 114, 116, 118}), 0.0);
  // The step at positions 3 to 4 (50 to 100, 50 %).
  EXPECT_EQ(ClosureMoment(Group{40, 45, 48, 50, 100, 101, 102, 103, 104, 105}), 3.0);
  // A rise of exactly 20 % is no step; 21 % is.
  EXPECT_FALSE(ClosureMoment(Group{100, 100, 100, 100, 100, 100, 100, 100, 80, 100}));
  EXPECT_EQ(ClosureMoment(Group{100, 100, 100, 100, 100, 100, 100, 100, 79, 100}), 8.0);
  // No step anywhere in the group: no point.
  EXPECT_FALSE(ClosureMoment(Group{100, 102, 104, 106, 108, 110, 112, 114, 116, 118}));
  // A zero pressure where the search stops: no point.
  EXPECT_FALSE(ClosureMoment(Group{30, 28, 26, 24, 22, 20, 15, 10, 5, 0}));
  // Negative pressures (an expiration) count by their magnitude.
  EXPECT_EQ(ClosureMoment(Group{-2, -102, -104, -106, -108, -110, -112, -114, -116, -118}), 0.0);
}

TEST(ClosureFit, TheFlowIsTakenWhereItBreaksOff) {
  struct Case {
    const char* name;
    Group flows;
    std::size_t expected;
  };
  const Case cases[] = {
      {"the flow stops after the first sample", {57, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
      {"a steady flow never breaks", {50, 50, 50, 50, 50, 50, 50, 50, 50, 50}, 9},
      {"a gentle fall within 20 % a step", {50, 48, 46, 44, 42, 40, 38, 36, 34, 32}, 9},
      {"the magnitude turns", {50, 48, 46, 48, 50, 52, 54, 56, 58, 60}, 2},
      {"a steady flow, then nothing", {40, 40, 40, 40, 0, 0, 0, 0, 0, 0}, 3},
      {"a jump up of more than 20 %", {-10, -20, -30, -40, -50, -60, -70, -80, -90, -100}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FlowSample(c.flows), c.expected);
  }
}

// The whole closure, worked by hand. Flow 57 counts x 8.7890625 mL/s =
// 500.977 mL/s, inspiratory (positive); the pressure 2 while it flows,
// then 100 + 2k counts at positions k = 1 to 9. Model 1 through 114, 116,
// 118 is 100 + 2x; the closure is at position 0, where it reads 100
// counts = 244.140625 Pa. Positive flow: negative pressure.
TEST(ClosureFit, AClosureWorkedByHand) {
  const Group pressures{2, 102, 104, 106, 108, 110, 112, 114, 116, 118};
  const auto inspiration = ClosurePoint(Group{57, 0, 0, 0, 0, 0, 0, 0, 0, 0}, pressures, {});
  ASSERT_TRUE(inspiration);
  EXPECT_NEAR(inspiration->flowLps, 0.500977, 1e-6);
  EXPECT_NEAR(inspiration->pressureKpa, -0.244140625, 1e-9);
  EXPECT_FALSE(inspiration->falling) << "0 is below the first sample's 57";

  const auto expiration = ClosurePoint(Group{-57, 0, 0, 0, 0, 0, 0, 0, 0, 0}, pressures, {});
  ASSERT_TRUE(expiration);
  EXPECT_NEAR(expiration->flowLps, -0.500977, 1e-6);
  EXPECT_NEAR(expiration->pressureKpa, 0.244140625, 1e-9);
  EXPECT_TRUE(expiration->falling);

  // The zeros come off, and the calibration divides: inspiration by BTPS
  // 1.1 and its factor 0.9, expiration by its own 1.05. Flow zero 8.7890625
  // mL/s (one count) and pressure zero 44.140625 Pa: 56 counts and 200 Pa.
  Calibration calibration;
  calibration.flowZeroMlps = 8.7890625;
  calibration.pressureZeroPa = 44.140625;
  calibration.btpsFactor = 1.1;
  calibration.inspirationFactor = 0.9;
  calibration.expirationFactor = 1.05;
  const auto corrected = ClosurePoint(Group{57, 0, 0, 0, 0, 0, 0, 0, 0, 0}, pressures, calibration);
  ASSERT_TRUE(corrected);
  EXPECT_NEAR(corrected->flowLps, 0.4921875 / 1.1 / 0.9, 1e-9);
  EXPECT_NEAR(corrected->pressureKpa, -0.2, 1e-9);
  const auto corrected2 = ClosurePoint(Group{-55, 0, 0, 0, 0, 0, 0, 0, 0, 0}, pressures, calibration);
  ASSERT_TRUE(corrected2);
  EXPECT_NEAR(corrected2->flowLps, -0.4921875 / 1.05, 1e-9);
}

TEST(ClosureFit, ClosuresThatGiveNoPoint) {
  const Group flows{57, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  // No step of the pressure inside the group.
  EXPECT_FALSE(ClosurePoint(flows, Group{100, 102, 104, 106, 108, 110, 112, 114, 116, 118}, {}));
  // A zero pressure at the stop (the fit itself is a good straight line).
  EXPECT_FALSE(ClosurePoint(flows, Group{30, 28, 26, 24, 22, 20, 15, 10, 5, 0}, {}));
  // The last three pressures fit no model.
  EXPECT_FALSE(ClosurePoint(flows, Group{2, 102, 104, 106, 108, 110, 112, 100, 200, 100}, {}));
}

// A closure in no flow at all: the flow is 0 and its pressure negative.
TEST(ClosureFit, NoFlowGivesANegativePressure) {
  const auto point =
      ClosurePoint(Group{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Group{-2, -102, -104, -106, -108, -110, -112, -114, -116, -118}, {});
  ASSERT_TRUE(point);
  EXPECT_EQ(point->flowLps, 0.0);
  EXPECT_NEAR(point->pressureKpa, -0.244140625, 1e-9);
  EXPECT_TRUE(point->falling) << "0 is not above 0";
}

}  // namespace
}  // namespace shutter
