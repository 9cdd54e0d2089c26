#include "platform/portkit/plethysmography/TgvLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace plethysmography {
namespace {

// Panting segments of 50 samples: mouth = amplitude × sin, box = -mouth /
// slope (kPa per Pa), so each segment's slope is known; the crossing list
// bounds them after a resistance end at sample 10.
struct Panting {
  std::vector<float> flow, volume, box, mouth;
  std::vector<std::size_t> crossings{10};
  Marks marks;

  Panting(std::initializer_list<std::pair<double, double>> segments) {
    std::size_t at = 20;
    flow.assign(20 + 50 * segments.size() + 10, 0.0f);
    volume = box = mouth = flow;
    marks = {5, 10, 15, 0};
    for (const auto& [amplitude, slope] : segments) {
      crossings.push_back(at);
      for (std::size_t i = 0; i < 50; ++i) {
        const double m = amplitude * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 50.0);
        mouth[at + i] = static_cast<float>(m);
        box[at + i] = static_cast<float>(-m / slope);
      }
      at += 50;
    }
    crossings.push_back(at);
    marks.end = at;
  }
  TrialSignals Signals() { return {flow, volume, box, mouth}; }
};

TEST(TgvLoop, SlopeOfOneLoopFromItsExtremes) {
  Panting p{{1.5, 0.28}};
  EXPECT_NEAR(FindBoxMouthTangent(p.Signals(), 20, 70), 0.28, 1e-6);
}

TEST(TgvLoop, ExtremesWithinHalfAKilopascalGiveNoSlope) {
  Panting p{{0.5, 0.28}, {0.51, 0.28}};
  EXPECT_EQ(FindBoxMouthTangent(p.Signals(), 20, 70), 0.0);
  EXPECT_NEAR(FindBoxMouthTangent(p.Signals(), 70, 120), 0.28, 1e-6);
}

TEST(TgvLoop, ChoosesTheSlopeNearestTheMean) {
  struct Case {
    const char* name;
    Panting panting;
    std::size_t chosenBegin;
    double slope;
  };
  Case cases[] = {
      // Mean 0.30: 0.29 is nearest.
      {"nearest the mean", Panting{{1.5, 0.25}, {1.5, 0.29}, {1.5, 0.36}}, 70, 0.29},
      // Mean 0.30: 0.28 and 0.32 are equally near: the earlier wins.
      {"tie", Panting{{1.5, 0.28}, {1.5, 0.32}}, 20, 0.28},
      // The flat segment has no slope and stays out of the mean (0.30).
      {"flat segment", Panting{{0.3, 0.10}, {1.5, 0.30}}, 70, 0.30},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<TgvLoop> loop = CalculateBoxMouthTangent(c.panting.Signals(), c.panting.marks, c.panting.crossings);
    ASSERT_TRUE(loop);
    EXPECT_EQ(loop->bounds.begin, c.chosenBegin);
    EXPECT_EQ(loop->bounds.end, c.chosenBegin + 50);
    EXPECT_NEAR(loop->slopeKPaPerPa, c.slope, 1e-5);
    EXPECT_EQ(loop->firstBoxPa, c.panting.box[c.chosenBegin]);
  }
}

TEST(TgvLoop, NoLoopWhenNoSegmentHasASlope) {
  Panting p{{0.4, 0.28}, {0.2, 0.28}};
  EXPECT_FALSE(CalculateBoxMouthTangent(p.Signals(), p.marks, p.crossings));
}

TEST(TgvLoop, TheStraddlingPairIsNeverATgvLoop) {
  // A list that starts at the resistance end: the pair from it to the first
  // panting crossing still spans open-shutter breathing and is skipped.
  Panting p{{1.5, 0.30}, {1.5, 0.20}};
  std::fill(p.mouth.begin() + 10, p.mouth.begin() + 20, 2.0f);  // the closing shutter
  std::fill(p.box.begin() + 10, p.box.begin() + 20, 1.0f);
  const std::optional<TgvLoop> loop = CalculateBoxMouthTangent(p.Signals(), p.marks, p.crossings);
  ASSERT_TRUE(loop);
  EXPECT_GE(loop->bounds.begin, 20u);
}

}  // namespace
}  // namespace plethysmography
