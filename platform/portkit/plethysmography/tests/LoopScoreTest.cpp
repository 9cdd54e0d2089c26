#include "platform/portkit/plethysmography/LoopScore.h"

#include <gtest/gtest.h>

#include <vector>

namespace plethysmography {
namespace {

struct Samples {
  std::vector<float> flow, volume, box, mouth;
  explicit Samples(std::vector<float> f, std::vector<float> b) : flow(std::move(f)), box(std::move(b)) {
    volume.assign(flow.size(), 0.0f);
    mouth = volume;
  }
  TrialSignals Signals() { return {flow, volume, box, mouth}; }
};

TEST(LoopScore, PointsOfEqualHeightEnterOnce) {
  // Flow 0, -0.1, -0.1, -0.1, 0.2 L/s, the loop 0 .. 5: Y = -flow × 30 gives
  // 0, 3, 3, 3, -6 (truncated); the repeated 3s only move lastY.
  Samples s({0.0f, -0.1f, -0.1f, -0.1f, 0.2f, 0.0f}, {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.0f});
  LoopPointSource source;
  source.loop = {0, 5};
  LoopBranches b;
  for (std::size_t i = 0; i < 6; ++i)
    AddLoopPoint(b, s.Signals(), i, source);
  // X = box / 1 × 100.8: 10, 20, 30, 40 for samples 1 .. 4.
  EXPECT_EQ(b.rising, (std::vector<PlotPoint>{{10, 3}}));
  EXPECT_EQ(b.falling, (std::vector<PlotPoint>{{40, -6}}));
  EXPECT_EQ(b.lastY, -6);
}

TEST(LoopScore, LiveConversionWhileTheLoopIsRecorded) {
  // Before the resistance end exists every sample after the start counts,
  // converted on the fly: b = 2 Pa, Vc 900 L, lung 4 L, no volume change:
  // 0.001 × 0.94 × 2 × 900 / 4 = 0.423 kPa -> X = 42.
  Samples s({0.0f, 0.0f, 0.5f}, {0.0f, 0.0f, 2.0f});
  LoopPointSource source;
  source.resistanceStart = 1;
  source.live = LiveConversion{900.0, 4.0, 0.0, 0.0, 0.94};
  LoopBranches b;
  AddLoopPoint(b, s.Signals(), 1, source);
  AddLoopPoint(b, s.Signals(), 2, source);
  ASSERT_EQ(b.falling.size(), 1u);
  EXPECT_EQ(b.falling[0], (PlotPoint{42, -15}));
}

LoopBranches Branches(std::vector<PlotPoint> rising, std::vector<PlotPoint> falling) {
  LoopBranches b;
  b.rising = std::move(rising);
  b.falling = std::move(falling);
  return b;
}

TEST(LoopScore, AreaBetweenTheBranchesAndCrossings) {
  struct Case {
    const char* name;
    LoopBranches branches;
    std::int32_t area;
    int crossings;
  };
  const Case cases[] = {
      // Two parallel lines 4 apart over x -10 .. 10, moved to 0 .. 20:
      // columns 5 .. 15 add 11 × 4.
      {"parallel", Branches({{-10, 0}, {10, 20}}, {{-10, 4}, {10, 24}}), 44, 0},
      // The same line twice: a closed loop.
      {"closed", Branches({{-10, 0}, {10, 20}}, {{10, 20}, {-10, 0}}), 0, 0},
      // A branch rising along y = x to column 10 and jumping to 30, against
      // a flat one at 20 (columns 0 .. 30 after the move): below it by 15 ..
      // 10 over columns 5 .. 10, above it by 10 over 11 .. 25. Area 75 +
      // 150, one crossing between columns 10 and 11.
      {"crossing", Branches({{-10, 0}, {0, 10}, {1, 30}, {20, 30}}, {{-10, 20}, {20, 20}}), 225, 1},
      {"one branch empty", Branches({{0, 0}, {10, 10}}, {}), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LoopScore s = ScoreLoop(c.branches);
    EXPECT_EQ(s.area, c.area);
    EXPECT_EQ(s.crossings, c.crossings);
  }
}

TEST(LoopScore, BranchesHoldAThousandPoints) {
  std::vector<float> flow(2500), box(2500, 0.0f);
  for (std::size_t i = 0; i < flow.size(); ++i)
    flow[i] = (i % 2 == 0 ? 1.0f : -1.0f) * static_cast<float>(i) * 0.01f;
  Samples s(flow, box);
  LoopPointSource source;
  source.loop = {0, 2500};
  LoopBranches b;
  for (std::size_t i = 0; i < 2500; ++i)
    AddLoopPoint(b, s.Signals(), i, source);
  EXPECT_EQ(b.rising.size(), BranchCapacity);
  EXPECT_EQ(b.falling.size(), BranchCapacity);
}

TEST(LoopScore, LiveConversionBeforeATest) {
  // The TLC shown (6.1 L), else 40 % of the predicted 6.5 L (2.6 L), else
  // 3.5 L; each with 0.08 L of dead space. The artefact term: 8775.7 Pa ×
  // 0.45 = 3949.1 Pa.
  const AlveolarConversion c{889.9, 8775.7, 0.938};
  struct Case {
    double shown, predicted, lung;
  };
  for (const Case k : {Case{6.1, 6.5, 6.18}, Case{0.0, 6.5, 2.68}, Case{0.0, 0.0, 3.58}}) {
    const LiveConversion live = LiveConversionBeforeTest(k.shown, k.predicted, 0.08, c, 0.45);
    EXPECT_NEAR(live.lungVolumeL, k.lung, 1e-9);
    EXPECT_NEAR(live.pressureTermPa, 3949.07, 0.01);
    EXPECT_EQ(live.volumeZeroL, 0.0);
    EXPECT_EQ(live.correctedCabinL, 889.9);
    EXPECT_EQ(live.dryGasFactor, 0.938);
  }
}

}  // namespace
}  // namespace plethysmography
