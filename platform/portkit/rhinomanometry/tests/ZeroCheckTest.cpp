#include "platform/portkit/rhinomanometry/ZeroCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rhinomanometry {
namespace {

// 100 samples at rest: a steady level with one sample strayed by `spike`.
std::vector<float> AtRest(float level, float spike = 0.0f) {
  std::vector<float> samples(100, level);
  samples[37] += spike;
  return samples;
}

TEST(ZeroCheck, LimitsOfBothFlowScales) {
  // The spirometric head's range is 18,000 counts: 20 % = 3600, 1 % = 180.
  // The other scale reads 2.5048 counts a unit over 1000: 20 % = 500.96,
  // 1 % = 25.048.
  EXPECT_FLOAT_EQ(FlowZeroLimits(false).offsetMlps, 3600.0f);
  EXPECT_FLOAT_EQ(FlowZeroLimits(false).noiseMlps, 180.0f);
  EXPECT_FLOAT_EQ(FlowZeroLimits(true).offsetMlps, 500.96f);
  EXPECT_FLOAT_EQ(FlowZeroLimits(true).noiseMlps, 25.048f);
}

TEST(ZeroCheck, VerdictsAtTheLimitsOfBothScales) {
  struct Case {
    std::string name;
    bool otherScale;
    std::vector<float> flow;
    std::vector<float> pressure;
    ZeroVerdict verdict;
  };
  // A spike of s on one of 100 samples moves the mean by s/100, so the
  // sample strays from the mean by 0.99·s.
  const std::vector<Case> cases{
      {"quiet, spirometric scale", false, AtRest(120.0f), AtRest(-20.0f), ZeroVerdict::Passed},
      {"offset just inside", false, AtRest(3599.0f), AtRest(0.0f), ZeroVerdict::Passed},
      {"offset at the limit", false, AtRest(3600.0f), AtRest(0.0f), ZeroVerdict::FlowOffset},
      {"negative offset", false, AtRest(-3700.0f), AtRest(0.0f), ZeroVerdict::FlowOffset},
      {"stray of 178.2", false, AtRest(0.0f, 180.0f), AtRest(0.0f), ZeroVerdict::Passed},
      {"stray of 181.2", false, AtRest(0.0f, 183.0f), AtRest(0.0f), ZeroVerdict::FlowUnsteady},
      {"offset passes on the spirometric scale only", true, AtRest(600.0f), AtRest(0.0f), ZeroVerdict::FlowOffset},
      {"offset inside the other scale", true, AtRest(500.0f), AtRest(0.0f), ZeroVerdict::Passed},
      {"stray of 24.75 on the other scale", true, AtRest(0.0f, 25.0f), AtRest(0.0f), ZeroVerdict::Passed},
      {"stray of 25.74 on the other scale", true, AtRest(0.0f, 26.0f), AtRest(0.0f), ZeroVerdict::FlowUnsteady},
      {"pressure just inside", false, AtRest(0.0f), AtRest(399.0f), ZeroVerdict::Passed},
      {"pressure at the limit", false, AtRest(0.0f), AtRest(-400.0f), ZeroVerdict::PressureOffset},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckZero(c.flow, c.pressure, c.otherScale).verdict, c.verdict);
  }
}

TEST(ZeroCheck, KeepsTheZerosComputedBeforeAFailure) {
  const ZeroCheck passed = CheckZero(AtRest(50.0f), AtRest(12.5f), false);
  EXPECT_FLOAT_EQ(passed.flowZeroMlps, 50.0f);
  EXPECT_FLOAT_EQ(passed.pressureZeroPa, 12.5f);

  // The flow fails first: its mean stands, the pressure is never taken.
  const ZeroCheck unsteady = CheckZero(AtRest(0.0f, 1000.0f), AtRest(12.5f), false);
  EXPECT_EQ(unsteady.verdict, ZeroVerdict::FlowUnsteady);
  EXPECT_FLOAT_EQ(unsteady.flowZeroMlps, 10.0f);
  EXPECT_FLOAT_EQ(unsteady.pressureZeroPa, 0.0f);

  const ZeroCheck pressure = CheckZero(AtRest(5.0f), AtRest(450.0f), false);
  EXPECT_EQ(pressure.verdict, ZeroVerdict::PressureOffset);
  EXPECT_FLOAT_EQ(pressure.pressureZeroPa, 450.0f);
}

}  // namespace
}  // namespace rhinomanometry
