// The shutter parameters of curves whose resistance is known: a straight
// line and the Rohrer relation P = K1 V' + K2 V'².

#include "platform/portkit/shutter/ShutterParameters.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace shutter {
namespace {

// The pressure of a flow under a Rohrer resistance, opposite in sign.
FlowPressure Rohrer(double flowLps, double k1, double k2) {
  const double magnitude = k1 * std::fabs(flowLps) + k2 * flowLps * flowLps;
  return {flowLps, flowLps >= 0.0 ? -magnitude : magnitude};
}

std::vector<FlowPressure> Curve(const std::vector<double>& flows, double k1, double k2) {
  std::vector<FlowPressure> curve;
  for (const double f : flows)
    curve.push_back(Rohrer(f, k1, k2));
  return curve;
}

using Record = std::array<float, ParameterCount>;

TEST(ShutterParameters, ALinearResistance) {
  // 0.2 kPa·s/L both ways: Raw = Rin = Rex = 0.2, Gaw = 5.
  Record r{};
  ASSERT_TRUE(CalculateShutterParameters(Curve({-0.8, -0.6, -0.3, 0.3, 0.6, 0.8, -0.8}, 0.2, 0.0), 18, r));
  EXPECT_NEAR(r[Raw], 0.2f, 1e-6f);
  EXPECT_NEAR(r[Rin], 0.2f, 1e-6f);
  EXPECT_NEAR(r[Rex], 0.2f, 1e-6f);
  EXPECT_NEAR(r[Gaw], 5.0f, 1e-5f);
  EXPECT_EQ(r[Rfreq], 18.0f);
}

TEST(ShutterParameters, ARohrerResistance) {
  // K1 0.1, K2 0.05: at 0.5 L/s |P| = 0.05 + 0.0125 = 0.0625 kPa, so
  // Rin = Rex = 0.125 and Raw = (0.0625 + 0.0625) / 1 = 0.125, Gaw = 8.
  Record r{};
  ASSERT_TRUE(CalculateShutterParameters(Curve({-0.75, -0.5, -0.25, 0.25, 0.5, 0.75}, 0.1, 0.05), 20, r));
  EXPECT_NEAR(r[Raw], 0.125f, 1e-6f);
  EXPECT_NEAR(r[Rin], 0.125f, 1e-6f);
  EXPECT_NEAR(r[Rex], 0.125f, 1e-6f);
  EXPECT_NEAR(r[Gaw], 8.0f, 1e-4f);

  // Between 0.4 and 0.6 L/s the chord: 0.048 and 0.078 kPa, so 0.063 at
  // 0.5 and Rin = 0.126.
  ASSERT_TRUE(CalculateShutterParameters(Curve({-0.6, -0.4, 0.4, 0.6}, 0.1, 0.05), 20, r));
  EXPECT_NEAR(r[Rin], 0.126f, 1e-6f);
  EXPECT_NEAR(r[Raw], 0.126f, 1e-6f);
}

TEST(ShutterParameters, DifferentWaysInAndOut) {
  // Inspiration 0.3, expiration 0.1 kPa·s/L: P(+0.5) = -0.15, P(-0.5) =
  // 0.05; Raw = 0.2 / 1 L/s.
  std::vector<FlowPressure> curve{{0.4, -0.12}, {0.6, -0.18}, {-0.4, 0.04}, {-0.6, 0.06}};
  Record r{};
  ASSERT_TRUE(CalculateShutterParameters(curve, 20, r));
  EXPECT_NEAR(r[Rin], 0.3f, 1e-6f);
  EXPECT_NEAR(r[Rex], 0.1f, 1e-6f);
  EXPECT_NEAR(r[Raw], 0.2f, 1e-6f);
}

TEST(ShutterParameters, ABranchBelowHalfALitreASecondTakesItsSlope) {
  // 0.1, 0.2, 0.3 L/s on 0.2 kPa·s/L: the slope through the origin,
  // Σ f P / Σ f² = 0.2, gives P(0.5) = 0.1 kPa; the other branch reaches
  // 0.5 on 0.4 kPa·s/L. Raw = (0.1 + 0.2) / 1 = 0.3.
  std::vector<FlowPressure> curve{{0.1, -0.02}, {0.2, -0.04}, {0.3, -0.06}, {-0.5, 0.2}, {-0.7, 0.28}};
  Record r{};
  ASSERT_TRUE(CalculateShutterParameters(curve, 20, r));
  EXPECT_NEAR(r[Rin], 0.2f, 1e-6f);
  EXPECT_NEAR(r[Rex], 0.4f, 1e-6f);
  EXPECT_NEAR(r[Raw], 0.3f, 1e-6f);
}

TEST(ShutterParameters, NoResistanceLeavesGawUnwritten) {
  std::vector<FlowPressure> curve{{0.6, 0.0}, {-0.6, 0.0}};
  Record r{};
  r[Gaw] = 0.0f;
  ASSERT_TRUE(CalculateShutterParameters(curve, 20, r));
  EXPECT_EQ(r[Raw], 0.0f);
  EXPECT_EQ(r[Gaw], 0.0f);
}

TEST(ShutterParameters, AMissingBranchGivesNoResult) {
  std::vector<FlowPressure> inspirationOnly{{0.6, -0.12}, {0.3, -0.06}};
  Record r{};
  r.fill(7.0f);
  EXPECT_FALSE(CalculateShutterParameters(inspirationOnly, 20, r));
  EXPECT_EQ(r[Raw], 7.0f) << "untouched";
  EXPECT_FALSE(CalculateShutterParameters({}, 20, r));
}

}  // namespace
}  // namespace shutter
