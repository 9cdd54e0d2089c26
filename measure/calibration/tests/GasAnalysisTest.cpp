#include "measure/calibration/GasAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace calibration {
namespace {

std::vector<float> Level(float counts) { return std::vector<float>(GasBufferSamples, counts); }

// An analyser approaching `end` counts with a time constant of tau samples.
std::vector<float> FirstOrderRise(float end, double tau) {
  std::vector<float> v(GasBufferSamples);
  for (std::size_t i = 0; i < v.size(); ++i) {
    v[i] = static_cast<float>(end * (1.0 - std::exp(-static_cast<double>(i) / tau)));
  }
  return v;
}

TEST(GasAnalysis, ExtrapolatedEndOfThreePoints) {
  EXPECT_FLOAT_EQ(ExtrapolatedEnd(1.0f, 2.0f, 2.0f), 2.0f);  // settled: x3, not 0
  EXPECT_FLOAT_EQ(ExtrapolatedEnd(1.0f, 2.0f, 3.0f), 0.0f);  // a straight line never ends
  EXPECT_FLOAT_EQ(ExtrapolatedEnd(1.0f, 2.0f, 4.0f), 0.0f);  // nor does a curve that speeds up
  // Halving steps: 0, 50, 75 → 100 (75 + 25² / 25).
  EXPECT_FLOAT_EQ(ExtrapolatedEnd(0.0f, 50.0f, 75.0f), 100.0f);
}

TEST(GasAnalysis, CoEndValueOfASettledCurveAndOfAFirstOrderRise) {
  GasAnalysisSettings settings;
  std::vector<float> co = Level(2000.0f);
  std::vector<float> he = Level(3000.0f);
  GasAnalysisResult r = MakeGasAnalysis(co, he, settings, 0);
  EXPECT_FLOAT_EQ(r.coPercent, 2000.0f * 0.00012207f);
  EXPECT_FLOAT_EQ(r.heliumPercent, 3000.0f * 0.001525785f);
  EXPECT_FLOAT_EQ(r.heliumEndPercent, r.heliumPercent);
  EXPECT_EQ(r.textId, 0);

  // The analyser is still rising at 80 s: the end value comes from the
  // curve's shape, within 0.1 % of where it would settle.
  for (const double tau : {1500.0, 2500.0}) {
    SCOPED_TRACE(tau);
    co = FirstOrderRise(2458.0f, tau);
    he = Level(3000.0f);
    settings.highResolution = true;
    r = MakeGasAnalysis(co, he, settings, 0);
    EXPECT_NEAR(r.coPercent, 2458.0 * 0.00024414, 0.001 * 2458.0 * 0.00024414);
  }
}

TEST(GasAnalysis, HeliumEndLevelAndTheWarningCounter) {
  GasAnalysisSettings settings;
  settings.endLimitPercent = 95;
  settings.warningLimit = 3;
  settings.heliumCorrection = 100.0f / 106.0f;

  // Helium that falls to 80 % of its peak in the last five seconds.
  std::vector<float> falling = Level(1000.0f);
  for (std::size_t i = 6000; i < falling.size(); ++i) falling[i] = 800.0f;
  struct Case {
    bool low;
    bool dfc;
    int counterBefore;
    int counterAfter;
    int text;
    bool failed;
  };
  for (const Case c : {Case{true, false, 0, 1, HeliumLowWarningText, false},
                       Case{true, true, 1, 2, HeliumLowWarningText, false},
                       Case{true, false, 2, 3, HeliumLowFailureText, true},
                       Case{false, false, 2, 2, 0, false},   // a calibration below M keeps the count
                       Case{false, false, 3, 0, 0, false},   // at M it starts again
                       Case{false, true, 2, 0, 0, false}}) { // a DFC always starts again
    SCOPED_TRACE(testing::Message() << c.low << c.dfc << c.counterBefore);
    settings.dfcMode = c.dfc;
    std::vector<float> co = Level(2000.0f);
    std::vector<float> he = c.low ? falling : Level(1000.0f);
    const GasAnalysisResult r = MakeGasAnalysis(co, he, settings, c.counterBefore);
    EXPECT_EQ(r.warningCounter, c.counterAfter);
    EXPECT_EQ(r.textId, c.text);
    EXPECT_EQ(r.failed, c.failed);
    EXPECT_NEAR(r.heliumPercent, 1000.0 * 100.0 / 106.0 * 0.001525785, 1e-5);
  }

  // No helium at all is a low end level.
  std::vector<float> co = Level(2000.0f);
  std::vector<float> none = Level(0.0f);
  EXPECT_EQ(MakeGasAnalysis(co, none, settings, 0).warningCounter, 1);
}

TEST(GasAnalysis, BuffersTooShortGiveNoAnalysis) {
  std::vector<float> shortBuffer(100, 1.0f);
  std::vector<float> he = Level(1.0f);
  EXPECT_TRUE(MakeGasAnalysis(shortBuffer, he, {}, 0).failed);
}

TEST(GasSequence, WashOutTimesAndTheSampleWindow) {
  const WashOutTimes t = WashOut(1000, 1000, 3);
  EXPECT_EQ(t.lowSpeedTicks, 2000);
  EXPECT_EQ(t.countDownTicks, 4500);
  EXPECT_EQ(WashOut(1001, 1000, 3).countDownTicks, 1501 + 3001);  // each half rounded toward zero

  SampleWindow w;
  ASSERT_TRUE(GasSamplingLimits(4.0f, 0.75f, 1.25f, 0.0f, w));  // R = 0.9375
  EXPECT_FLOAT_EQ(w.startL, 1.625f);                           // (4 - 0.75) / 2
  EXPECT_FLOAT_EQ(w.endL, 2.5625f);
  ASSERT_TRUE(GasSamplingLimits(4.0f, 0.75f, 1.25f, 0.5f, w));
  EXPECT_FLOAT_EQ(w.startL, 0.5f);
  EXPECT_FLOAT_EQ(w.endL, 1.4375f);
  EXPECT_FALSE(GasSamplingLimits(1.4375f, 0.75f, 1.25f, 0.5f, w));  // R + W equal to I
}

}  // namespace
}  // namespace calibration
