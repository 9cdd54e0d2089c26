#include "measure/calibration/DiffCalibration.h"
#include "measure/calibration/PressureLines.h"

#include <gtest/gtest.h>

#include <limits>

namespace calibration {
namespace {

TEST(PressureLines, LossInWholePerCent) {
  struct Case {
    float start, end;
    short loss;
  };
  for (const Case c : {Case{1000, 0, 100}, Case{1000, 800, 20}, Case{1100, 880, 20}, Case{1000, 801, 19},
                       Case{1000, 1000, 0}, Case{0, 500, 100}, Case{-5, 500, 100}, Case{1200, 1250, -4}, Case{0.001f, 1000, -100}}) {
    SCOPED_TRACE(testing::Message() << c.start << " to " << c.end);
    EXPECT_EQ(CalculatePressureLoss(c.start, c.end), c.loss);
  }
}

TEST(PressureLines, PumpWordsOverOneSecond) {
  EXPECT_EQ(PumpTicks(200.0f), 12);
  EXPECT_EQ(PumpTicks(200.5f), 3);
  // At 12 pump ticks the pump runs for ticks 1 to 12 of every second.
  for (short m = 1; m <= 12; ++m) {
    EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, m, 12), 0xEB78) << m;
  }
  EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, 13, 12), 0xEB7A);
  EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, 49, 12), 0xEB7A);
  EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, 50, 12), 0xEB5A);
  EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, 99, 12), 0xEB5A);
  EXPECT_EQ(PumpWordAt(PressureLine::Fleisch, 0, 12), 0);
  EXPECT_EQ(PumpWordAt(PressureLine::Balloon, 3, 3), 0xEB69);
  EXPECT_EQ(PumpWordAt(PressureLine::Balloon, 4, 3), 0xEB6B);
  EXPECT_EQ(PumpWordAt(PressureLine::Balloon, 50, 3), 0xEB4B);
  EXPECT_EQ(WordsOf(PressureLine::Fleisch).reachedPa, 1100.0f);
  EXPECT_EQ(WordsOf(PressureLine::Balloon).reachedPa, 1000.0f);
}

TEST(DiffCalibration, LineFaultsInTheOrderTheOperatorMeetsThem) {
  const PressureLineState good{true, 19, false, 19, false};
  EXPECT_EQ(PressureLineFault(good), 0);
  PressureLineState s = good;
  s.pressureReached = false;
  s.fleischLossPercent = 50;
  EXPECT_EQ(PressureLineFault(s), 451);
  s = good;
  s.fleischLossPercent = 20;  // exactly 20 % fails
  s.bagOpenTimeout = true;
  EXPECT_EQ(PressureLineFault(s), 447);
  s = good;
  s.bagOpenTimeout = true;
  s.balloonLossPercent = 20;
  EXPECT_EQ(PressureLineFault(s), 452);
  s = good;
  s.balloonLossPercent = 20;
  s.bagCloseTimeout = true;
  EXPECT_EQ(PressureLineFault(s), 448);
  s = good;
  s.bagCloseTimeout = true;
  EXPECT_EQ(PressureLineFault(s), 453);
}

TEST(DiffCalibration, GasRatiosWithTheirLimitsIncluded) {
  struct Case {
    float co, he;  // measured, against 0.25 % CO and 4 % He in the bottle
    int text;
  };
  for (const Case c : {Case{0.25f, 4.0f, 0}, Case{0.35f, 4.0f, 0}, Case{0.15f, 4.0f, 0}, Case{0.3525f, 4.0f, 450},
                       Case{0.1475f, 4.0f, 450}, Case{0.25f, 5.0f, 0}, Case{0.25f, 3.0f, 0},
                       Case{0.25f, 5.0004f, 449}, Case{0.25f, 2.9996f, 449}, Case{0.4f, 6.0f, 450}}) {
    SCOPED_TRACE(testing::Message() << c.co << " " << c.he);
    const GasConstants g = GasRatios(c.co, c.he, 0.25f, 4.0f);
    EXPECT_EQ(g.textId, c.text);
    EXPECT_FLOAT_EQ(g.co, c.co / 0.25f);
    EXPECT_FLOAT_EQ(g.he, c.he / 4.0f);
  }
}

TEST(DiffCalibration, SettingsThatWouldDivideByZeroAreNamed) {
  EXPECT_EQ(BadDiffusionSetting(3.0f, 0.3f, 4.8f, 1.0f), "");
  EXPECT_EQ(BadDiffusionSetting(0.0f, 0.3f, 4.8f, 1.0f), "Pump");
  EXPECT_EQ(BadDiffusionSetting(3.0f, 0.3f, -4.8f, 1.0f), "OriginalHeConcentration");
  EXPECT_EQ(BadDiffusionSetting(3.0f, 0.0f, 4.8f, 1.0f), "OriginalCoConcentration");
  EXPECT_EQ(BadDiffusionSetting(3.0f, 0.3f, 4.8f, 0.0f), "CorrectionOfHeLSB");
  EXPECT_EQ(BadDiffusionSetting(3.0f, 0.3f, 4.8f, std::numeric_limits<float>::infinity()), "CorrectionOfHeLSB");
}

}  // namespace
}  // namespace calibration
