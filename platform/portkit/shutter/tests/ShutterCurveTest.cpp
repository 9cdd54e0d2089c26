// The final curve of a shutter test: bins, smoothing and the closing
// point, on branches worked by hand.

#include "platform/portkit/shutter/ShutterCurve.h"

#include <gtest/gtest.h>

#include <vector>

namespace shutter {
namespace {

// Points on a line of 0.2 kPa·s/L: the pressure is -0.2 x flow, and every
// mean and smoothing keeps it so.
Point OnLine(double flowLps, bool falling) { return {flowLps, -0.2 * flowLps, falling}; }

void ExpectFlows(std::span<const FlowPressure> actual, const std::vector<double>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(actual[i].flowLps, expected[i], 1e-12) << "point " << i;
}

// Ascending -0.9, -0.85, -0.6, -0.3, -0.25, -0.05: bins of 0.1 L/s from
// their first flow, the last pair left out: (-0.9, -0.85) -> -0.875;
// (-0.6); (-0.3, -0.25) -> -0.275.
TEST(ShutterCurve, BinsAreTenthsOfALitreASecondFromTheirFirstFlow) {
  std::vector<FlowPressure> ascending{{-0.9, 0.18}, {-0.85, 0.17}, {-0.6, 0.12},
                                      {-0.3, 0.06}, {-0.25, 0.05}, {-0.05, 0.01}};
  const std::size_t bins = BinBranch(ascending, true);
  ExpectFlows(std::span(ascending).first(bins), {-0.875, -0.6, -0.275});
  EXPECT_NEAR(ascending[0].pressureKpa, 0.175, 1e-12);

  // Descending 0.3, 0.05, 0.02: 0.3 alone, then 0.05 (0.02 is the last).
  std::vector<FlowPressure> descending{{0.3, -0.06}, {0.05, -0.01}, {0.02, -0.004}};
  ExpectFlows(std::span(descending).first(BinBranch(descending, false)), {0.3, 0.05});

  // Two points make one bin; one point or none, no bin.
  std::vector<FlowPressure> two{{-0.6, 0.12}, {-0.4, 0.08}};
  EXPECT_EQ(BinBranch(two, true), 1u);
  std::vector<FlowPressure> one{{-0.6, 0.12}};
  EXPECT_EQ(BinBranch(one, true), 0u);
  EXPECT_EQ(BinBranch({}, true), 0u);
}

// Three passes over -0.875, -0.6, -0.275, by hand:
//   1: -0.7375, (2(-0.6) - 0.7375 - 0.275) / 4 = -0.553125, (-0.275 - 0.553125) / 2 = -0.4140625
//   2: -0.6453125, -0.54140625, -0.477734375
//   3: -0.593359375, -0.5384765625, -0.50810546875
TEST(ShutterCurve, SmoothingThreePasses) {
  std::vector<FlowPressure> bins{{-0.875, 0.175}, {-0.6, 0.12}, {-0.275, 0.055}};
  SmoothBins(bins);
  ExpectFlows(bins, {-0.593359375, -0.5384765625, -0.50810546875});
  EXPECT_NEAR(bins[1].pressureKpa, 0.2 * 0.5384765625, 1e-12);
  // Two bins: 0.3, 0.05 -> (0.175, 0.1125), (0.14375, 0.128125), (0.1359375, 0.13203125).
  std::vector<FlowPressure> pair{{0.3, 0.0}, {0.05, 0.0}};
  SmoothBins(pair);
  ExpectFlows(pair, {0.1359375, 0.13203125});
  // One bin has nothing beside it: it stays.
  std::vector<FlowPressure> single{{0.3, -0.06}};
  SmoothBins(single);
  ExpectFlows(single, {0.3});
}

TEST(ShutterCurve, NoPointsNoCurve) { EXPECT_FALSE(BuildCurve({}, 1.0, 1.0)); }

// One point never enters a bin: the curve is the closing point alone, the
// falling branch's first slot, (0, 0) when that branch is empty.
TEST(ShutterCurve, OnePointIsTheClosingPointOrNothing) {
  const std::vector<Point> rising{OnLine(0.5, false)};
  const auto curve = BuildCurve(rising, 1.0, 1.0);
  ASSERT_TRUE(curve);
  ExpectFlows(curve->points, {0.0});
  EXPECT_EQ(curve->points[0].pressureKpa, 0.0);
  EXPECT_EQ(curve->risingEnd.flowLps, 0.5);

  const std::vector<Point> falling{OnLine(-0.5, true)};
  const auto closed = BuildCurve(falling, 1.0, 1.0);
  ASSERT_TRUE(closed);
  ExpectFlows(closed->points, {-0.5});
  EXPECT_NEAR(closed->points[0].pressureKpa, 0.1, 1e-12);
}

TEST(ShutterCurve, TwoPointsOfOneBranch) {
  // Sorted -0.6, -0.4: one bin (-0.6), not smoothed, the only bin is the
  // last and is not written; the curve closes on it.
  const std::vector<Point> points{OnLine(-0.4, true), OnLine(-0.6, true)};
  const auto curve = BuildCurve(points, 1.0, 1.0);
  ASSERT_TRUE(curve);
  ExpectFlows(curve->points, {-0.6});
  EXPECT_EQ(curve->fallingEnd.flowLps, -0.6);
  EXPECT_EQ(curve->risingEnd.flowLps, 0.0);
}

// The falling branch of the bins above, out of order, and a rising branch
// -0.05, 0.1, 0.25, 0.4 flagged falling=false but sorted descending:
// 0.4, 0.25, 0.1, -0.05 -> bins 0.4; 0.25; 0.1 (the last pair -0.05 out);
// three passes: (0.325, (0.5 + 0.325 + 0.1) / 4 = 0.23125, 0.165625),
// (0.278125, 0.2265625, 0.19609375), (0.25234375, 0.225390625,
// 0.2107421875).
// Written: falling bins but the last (-0.593359375, -0.5384765625), rising
// bins but the last (0.25234375, 0.225390625), then the first falling bin
// again. Flow x 1.1, pressure x 0.9.
TEST(ShutterCurve, ManyPointsMakeTheClosedCurve) {
  const std::vector<Point> points{OnLine(-0.3, true),   OnLine(0.25, false), OnLine(-0.9, true),
                                  OnLine(-0.05, false), OnLine(-0.6, true),  OnLine(0.4, false),
                                  OnLine(-0.25, true),  OnLine(0.1, false),  OnLine(-0.85, true),
                                  OnLine(-0.05, true)};
  const auto curve = BuildCurve(points, 1.1, 0.9);
  ASSERT_TRUE(curve);
  const std::vector<double> raw{-0.593359375, -0.5384765625, 0.25234375, 0.225390625, -0.593359375};
  std::vector<double> expected;
  for (const double f : raw)
    expected.push_back(f * 1.1);
  ExpectFlows(curve->points, expected);
  for (std::size_t i = 0; i < raw.size(); ++i)
    EXPECT_NEAR(curve->points[i].pressureKpa, -0.2 * raw[i] * 0.9, 1e-12);
  EXPECT_NEAR(curve->fallingEnd.flowLps, -0.593359375 * 1.1, 1e-12);
  EXPECT_NEAR(curve->risingEnd.flowLps, 0.25234375 * 1.1, 1e-12);
}

// A bin within 0.1 L/s of no flow is not part of the curve. Falling
// -0.05, 0.1, 0.25, 0.4 -> bins -0.05; 0.1; 0.25; three passes:
// (0.025, 0.11875, 0.184375), (0.071875, 0.1234375, 0.15390625),
// (0.09765625, 0.124609375, 0.1392578125). The first, 0.0977, is left out
// but still closes the curve.
TEST(ShutterCurve, BinsNearNoFlowAreLeftOut) {
  const std::vector<Point> points{OnLine(-0.05, true), OnLine(0.1, true), OnLine(0.25, true), OnLine(0.4, true)};
  const auto curve = BuildCurve(points, 1.0, 1.0);
  ASSERT_TRUE(curve);
  ExpectFlows(curve->points, {0.124609375, 0.09765625});
}

TEST(ShutterCurve, ACorrectionOfZeroOrLessReadsAsNone) {
  EXPECT_DOUBLE_EQ(CorrectionFactor(100), 1.0);
  EXPECT_DOUBLE_EQ(CorrectionFactor(95), 0.95);
  EXPECT_DOUBLE_EQ(CorrectionFactor(0), 1.0);
  EXPECT_DOUBLE_EQ(CorrectionFactor(-20), 1.0);
}

}  // namespace
}  // namespace shutter
