#include "platform/portkit/rhinomanometry/SideAverage.h"

#include "platform/portkit/rhinomanometry/tests/Breaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rhinomanometry::testing {
namespace {

RhinoCurve CurveOf(std::vector<float>& flow, std::vector<float>& pressure) {
  return {flow, pressure, flow.size()};
}

TEST(SideAverage, TwoBinsSmoothedByHand) {
  // Inspiration: 10 mL/s at -1 Pa (bin 0-4 Pa), 30 mL/s at -13 and -15 Pa
  // (bin 12-16 Pa); the largest |pressure| is 15, so bins up to the one
  // centred on 14 count; the empty bins between leave nothing.
  // Means: bin 0 (10, -1), bin 1 (30, -14). With L = 1 each pass sets only
  // bin 0 = (bin 0 + bin 1) / 2, so after 15 passes
  //   flow 0 = 30 - 20 / 2^15 = 29.999390, pressure 0 = -14 + 13 / 2^15 = -13.999603.
  // The loop runs up and back: bin 0, bin 1, bin 0.
  std::vector<float> flow{10.0f, 30.0f, 30.0f, -50.0f};
  std::vector<float> pressure{-1.0f, -13.0f, -15.0f, 20.0f};
  const std::vector<RhinoPoint> loop = AverageSide(CurveOf(flow, pressure), PressureSide::Negative);
  ASSERT_EQ(loop.size(), 3u);
  EXPECT_NEAR(loop[0].flowMlps, 29.999390f, 1e-4f);
  EXPECT_NEAR(loop[0].pressurePa, -13.999603f, 1e-4f);
  EXPECT_FLOAT_EQ(loop[1].flowMlps, 30.0f);
  EXPECT_FLOAT_EQ(loop[1].pressurePa, -14.0f);
  EXPECT_FLOAT_EQ(loop[2].flowMlps, loop[0].flowMlps);
}

TEST(SideAverage, NoBinBelowThreePascal) {
  std::vector<float> flow{5.0f, 6.0f, 7.0f};
  std::vector<float> pressure{-1.0f, -2.0f, -2.9f};
  EXPECT_TRUE(AverageSide(CurveOf(flow, pressure), PressureSide::Negative).empty());
  std::vector<float> flow3{5.0f, 6.0f};
  std::vector<float> pressure3{-1.0f, -3.0f};
  EXPECT_EQ(AverageSide(CurveOf(flow3, pressure3), PressureSide::Negative).size(), 1u);
}

TEST(SideAverage, KeepsToTheWindowAndFitsTheOutputs) {
  // Pressures every 0.5 Pa from 0 to 1000: only 0 to 900 count, which fill
  // 225 bins; the top bin (centre 898) lies below 900, the next would be
  // centred on 902.
  std::vector<float> flow, pressure;
  for (int i = 0; i <= 2000; ++i) {
    pressure.push_back(0.5f * static_cast<float>(i));
    flow.push_back(-1.0f);
  }
  const std::vector<RhinoPoint> loop = AverageSide(CurveOf(flow, pressure), PressureSide::Positive);
  EXPECT_EQ(loop.size(), 449u);
  EXPECT_LE(loop.size(), SideOutputPoints);
  EXPECT_TRUE(AverageSide(CurveOf(flow, pressure), PressureSide::Negative).empty());
}

TEST(SideAverage, AveragedCurveIsBothLoopsAroundASeparator) {
  Recording r = Record({{200}, {200}}, SquareRootLaw(500.0), 6010);
  RhinoCurve curve = r.Curve();
  const std::vector<RhinoPoint> positive = AverageSide(curve, PressureSide::Positive);
  const std::vector<RhinoPoint> negative = AverageSide(curve, PressureSide::Negative);
  ASSERT_TRUE(AverageCurve(curve));
  ASSERT_EQ(curve.count, positive.size() + 1 + negative.size());
  EXPECT_EQ(r.flowMlps[positive.size()], 0.0f);
  EXPECT_EQ(r.pressurePa[positive.size()], 0.0f);
  EXPECT_GT(r.pressurePa[0], 0.0f);
  EXPECT_LT(r.pressurePa[curve.count - 1], 0.0f);
  // Each loop is symmetric about its highest bin.
  EXPECT_EQ(positive.size() % 2, 1u);
  EXPECT_EQ(r.flowMlps[0], r.flowMlps[positive.size() - 1]);
}

TEST(SideAverage, NoBreathLeavesOnlyTheSeparator) {
  std::vector<float> flow{1.0f, -1.0f, 0.5f};
  std::vector<float> pressure{0.5f, -0.5f, 1.0f};
  RhinoCurve curve = CurveOf(flow, pressure);
  EXPECT_FALSE(AverageCurve(curve));
  EXPECT_EQ(curve.count, 1u);
  EXPECT_EQ(flow[0], 0.0f);
  EXPECT_EQ(pressure[0], 0.0f);
}

}  // namespace
}  // namespace rhinomanometry::testing
