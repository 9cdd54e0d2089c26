#include "platform/portkit/plethysmography/ResistanceLoops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace plethysmography {
namespace {

// Loops already converted to alveolar pressure: breaths of 200 samples,
// flow A sin, Palv = k1 V' + k2 V'|V'|, one after another from sample 10.
struct ConvertedLoops {
  std::vector<float> flow, volume, box, mouth;
  std::vector<std::size_t> crossings;
  Marks marks;

  ConvertedLoops(std::initializer_list<double> peaks, double k1, double k2) {
    const std::size_t n = 10 + 200 * peaks.size() + 10;
    flow.assign(n, 0.0f);
    volume = box = mouth = flow;
    std::size_t at = 10;
    for (const double a : peaks) {
      crossings.push_back(at);
      for (std::size_t i = 0; i < 200; ++i) {
        const double f = a * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 200.0);
        flow[at + i] = static_cast<float>(f);
        box[at + i] = static_cast<float>(k1 * f + k2 * f * std::fabs(f));
      }
      at += 200;
    }
    crossings.push_back(at);
    marks = {9, at, at + 2, at + 5};
  }
  TrialSignals Signals() { return {flow, volume, box, mouth}; }
};

// The halves are measured from b0, the mean pressure of the loop's first
// sample (flow 0) and its first expiratory sample. Sampled 200 times a
// breath, that sample lies 1/200 breath past the reversal, at flow
// A sin(2π × 101/200) = -0.0314108 A: b0 = -0.0157054 × R × A, which shifts
// the halves by that much (the totals do not use b0).
constexpr double B0Share = 0.0157054;

TEST(ResistanceLoops, LinearResistanceByBothMethods) {
  // R = 0.25, A = 1: b0 = -0.00392635 kPa. Extreme points: Rin = 0.25 +
  // 0.00393 = 0.25393, Rex = 0.24607. After Matthys the halves are twice
  // the pressure at ±0.5 L/s from b0: 2 × (0.125 ± 0.00393) = 0.25785 and
  // 0.24215.
  ConvertedLoops l({1.0}, 0.25, 0.0);
  const double b0 = 0.25 * B0Share;
  const LoopSlopes extreme = FindBoxFlowTangent(l.Signals(), 10, 210, 0.0);
  EXPECT_NEAR(extreme.total, 0.25, 1e-5);
  EXPECT_NEAR(extreme.inspiration, 0.25 + b0, 1e-5);
  EXPECT_NEAR(extreme.expiration, 0.25 - b0, 1e-5);
  const LoopSlopes middle = FindMatthysTangent(l.Signals(), 10, 210, 0.0);
  EXPECT_NEAR(middle.total, 0.25, 1e-5);
  EXPECT_NEAR(middle.inspiration, 2.0 * (0.125 + b0), 1e-5);
  EXPECT_NEAR(middle.expiration, 2.0 * (0.125 - b0), 1e-5);
}

TEST(ResistanceLoops, RohrerResistanceDependsOnTheMethod) {
  // Palv = 0.15 V' + 0.1 V'|V'| with peaks of 1.2 L/s. From the extreme
  // points: (0.15 × 1.2 + 0.1 × 1.44) / 1.2 = 0.15 + 0.12 = 0.27. After
  // Matthys, at ±0.5 L/s: 0.15 + 0.1 × 0.5 = 0.20 (the pressure there is
  // read on the line between two samples, a little above the curve).
  ConvertedLoops l({1.2}, 0.15, 0.1);
  const LoopSlopes extreme = FindBoxFlowTangent(l.Signals(), 10, 210, 0.0);
  EXPECT_NEAR(extreme.total, 0.27, 0.0027);
  const LoopSlopes middle = FindMatthysTangent(l.Signals(), 10, 210, 0.0);
  EXPECT_NEAR(middle.total, 0.20, 0.002);
}

TEST(ResistanceLoops, SensorResistanceComesOffEveryExcursion) {
  // 0.25 at 1 L/s: 0.25 kPa each way; less 0.02 kPa: total (0.5 - 0.02) / 2
  // = 0.24, the inspiratory half (0.25 + b0 - 0.02) / 1 = 0.23393.
  ConvertedLoops l({1.0}, 0.25, 0.0);
  const LoopSlopes s = FindBoxFlowTangent(l.Signals(), 10, 210, 0.02);
  EXPECT_NEAR(s.total, 0.24, 1e-5);
  EXPECT_NEAR(s.inspiration, 0.25 + 0.25 * B0Share - 0.02, 1e-5);
}

TEST(ResistanceLoops, MatthysWithoutHalfALitrePerSecondIsNoLoop) {
  ConvertedLoops l({0.45}, 0.25, 0.0);
  const LoopSlopes s = FindMatthysTangent(l.Signals(), 10, 210, 0.0);
  EXPECT_EQ(s.total, 0.0);
  EXPECT_EQ(s.inspiration, 0.0);
  EXPECT_EQ(s.expiration, 0.0);
}

TEST(ResistanceLoops, AnInvalidEarlierLoopIsSkippedByTheNumbering) {
  // After Matthys the first breath (0.4 L/s) is no loop; the other three
  // are loops 0, 1, 2 at positions 1, 2, 3. Their slopes are equal, so the
  // earliest is chosen: loop 0, the segment at position 1.
  ConvertedLoops l({0.4, 1.0, 1.0, 1.0}, 0.25, 0.0);
  LoopSettings settings;
  settings.matthys = true;
  const ResistanceLoops loops = CalculateBoxFlowTangent(l.Signals(), l.marks, l.crossings, settings);
  ASSERT_EQ(loops.segments.size(), 4u);
  EXPECT_EQ(loops.valid, (std::vector<std::size_t>{1, 2, 3}));
  ASSERT_TRUE(loops.chosen);
  EXPECT_EQ(*loops.chosen, 0u);
  EXPECT_EQ(loops.Loop(0).bounds, (LoopBounds{210, 410}));
  EXPECT_EQ(loops.NumberOf(3), std::optional<std::size_t>(2));
  EXPECT_FALSE(loops.NumberOf(0));
}

TEST(ResistanceLoops, ChoiceNearestTheMeanOrLeastDrift) {
  // Slopes 0.20, 0.26, 0.30: mean 0.2533, nearest 0.26 (loop 1). With a
  // volume that drifts 0.3, 0.1 and 0.05 L over the loops, the least drift
  // is loop 2.
  ConvertedLoops l({1.0, 1.0, 1.0}, 0.25, 0.0);
  const double k[] = {0.20, 0.26, 0.30};
  const double drift[] = {0.3, 0.1, 0.05};
  for (std::size_t b = 0; b < 3; ++b) {
    for (std::size_t i = 0; i < 200; ++i) {
      const std::size_t j = 10 + 200 * b + i;
      l.box[j] = static_cast<float>(k[b] * l.flow[j]);
      l.volume[j] = static_cast<float>(drift[b] * static_cast<double>(i) / 199.0);
    }
  }
  LoopSettings settings;
  ResistanceLoops loops = CalculateBoxFlowTangent(l.Signals(), l.marks, l.crossings, settings);
  ASSERT_TRUE(loops.chosen);
  EXPECT_EQ(*loops.chosen, 1u);
  settings.choice = LoopChoice::LeastDrift;
  loops = CalculateBoxFlowTangent(l.Signals(), l.marks, l.crossings, settings);
  EXPECT_EQ(*loops.chosen, 2u);
}

TEST(ResistanceLoops, FiguresOfALoop) {
  // Raw 0.25, Rin 0.2, Rex 0.3 with TGV 3.2: Gaw 4, sRaw 0.8, sGaw 1.25,
  // Gin 5, sRin 0.64, sGin 1.5625, Gex 3.333, sRex 0.96, sGex 1.0417.
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  record[TGV] = 3.2f;
  CalculateRaw({0.25, 0.3, 0.2}, record);
  const std::pair<std::size_t, float> expected[] = {
      {Raw, 0.25f}, {Gaw, 4.0f}, {sRaw, 0.8f},  {sGaw, 1.25f},   {Rin, 0.2f},  {Gin, 5.0f},
      {sRin, 0.64f}, {sGin, 1.5625f}, {Rex, 0.3f}, {Gex, 3.33333f}, {sRex, 0.96f}, {sGex, 1.041667f}};
  for (const auto& [slot, value] : expected)
    EXPECT_NEAR(record[slot], value, 1e-4) << PlethyParameterNames[slot];

  // A zero resistance leaves its conductances unwritten.
  std::array<float, PLETHY_PARAMETER_COUNT> zero{};
  zero[TGV] = 3.0f;
  zero[Gaw] = 7.0f;
  CalculateRaw({}, zero);
  EXPECT_EQ(zero[Gaw], 7.0f);
  EXPECT_EQ(zero[sGaw], 0.0f);

  // Req over one breath of a linear 0.25 is 0.25; the breath of 2 s gives
  // 30 /min; W = 0.25 × A²T/2 × 1000 / T with A = 1: 125.
  ConvertedLoops l({1.0}, 0.25, 0.0);
  CalculateReq(l.Signals(), {10, 210}, record);
  CalculateRfreq({10, 210}, record);
  EXPECT_NEAR(record[Req], 0.25f, 1e-4);
  EXPECT_NEAR(record[Rfreq], 30.0f, 1e-4);
  EXPECT_NEAR(record[W], 125.0f, 0.01);
}

}  // namespace
}  // namespace plethysmography
