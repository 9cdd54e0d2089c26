#include "measure/calibration/Zero.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calibration {
namespace {

std::vector<float> Constant(float value) { return std::vector<float>(100, value); }

// Half the samples at +a, half at -a: the mean is 0 and every sample lies a from it.
std::vector<float> Swing(float a) {
  std::vector<float> s(50, a);
  s.insert(s.end(), 50, -a);
  return s;
}

TEST(Zero, OffsetAndQuietnessAtTheirLimits) {
  struct Case {
    std::string name;
    std::vector<float> flow;
    int text;
    float offset;
  };
  const std::vector<Case> cases{
      {"at rest", Constant(0.0f), 0, 0.0f},
      {"a mean just below the offset limit", Constant(3599.0f), 0, 3599.0f},
      {"a mean of exactly the offset limit", Constant(3600.0f), ZeroOffsetText, 3600.0f},
      {"a negative mean at the limit", Constant(-3600.0f), ZeroOffsetText, -3600.0f},
      {"samples just under 180 from the mean", Swing(179.5f), 0, 0.0f},
      {"samples exactly 180 from the mean", Swing(180.0f), ZeroNoiseText, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ZeroReading z = CalculateZero(c.flow, Constant(0.0f), false);
    EXPECT_EQ(z.textId, c.text);
    EXPECT_FLOAT_EQ(z.flowOffset, c.offset);
  }
}

TEST(Zero, MouthPressureOnlyInAShutterWindow) {
  // The pressure channel is neither read nor checked in another window.
  EXPECT_EQ(CalculateZero(Constant(10.0f), Constant(400.0f), false).pressureOffset, 0.0f);
  EXPECT_EQ(CalculateZero(Constant(10.0f), Constant(400.0f), false).textId, 0);
  // In the shutter window 400 is rejected, 399 taken; its noise does not count.
  EXPECT_EQ(CalculateZero(Constant(10.0f), Constant(400.0f), true).textId, ZeroOffsetText);
  const ZeroReading ok = CalculateZero(Constant(10.0f), Swing(399.0f), true);
  EXPECT_EQ(ok.textId, 0);
  EXPECT_FLOAT_EQ(ok.pressureOffset, 0.0f);
  const ZeroReading taken = CalculateZero(Constant(10.0f), Constant(399.0f), true);
  EXPECT_FLOAT_EQ(taken.pressureOffset, 399.0f);
  // A rejected flow zero never gets to the pressure.
  EXPECT_EQ(CalculateZero(Constant(4000.0f), Constant(100.0f), true).pressureOffset, 0.0f);
}

}  // namespace
}  // namespace calibration
