// The measurement window's smoothing and integration, which the accuracy
// tests run the waveforms through, checked on hand-computed cases.

#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace spirometry::testing {
namespace {

TEST(WindowPipeline, FilterOfAnEmptyTrialTouchesNothing) {
  RecordedTrial trial;
  trial.extremes.Clear();
  trial.extremes.count = 5;
  Filter(trial, 5);
  EXPECT_TRUE(trial.flowLps.empty());
  EXPECT_TRUE(trial.volumeL.empty());
  EXPECT_EQ(trial.extremes.count, 5);
}

TEST(WindowPipeline, IntegrationAndSmoothingByHand) {
  // 1.0 L/s for 100 samples integrates to 1.0 L, with or without smoothing.
  for (const short passes : {0, 5}) {
    RecordedTrial trial = Replay(std::vector<float>(100, 1.0f));
    Filter(trial, passes);
    EXPECT_NEAR(trial.volumeL.back(), 1.0f, 1e-5f);
  }
  // Filter(0) integrates without smoothing.
  RecordedTrial trial = Replay({0.5f, -2.0f, 3.0f});
  Filter(trial, 0);
  EXPECT_EQ(trial.flowLps, (std::vector<float>{0.5f, -2.0f, 3.0f}));
  EXPECT_EQ(trial.volumeL, (std::vector<float>{0.005f, 0.005f + -0.02f, 0.005f + -0.02f + 0.03f}));
  // One pass in place, left to right: (0 + 4) / 2 = 2; (2·4 + 2 + 0) / 4 = 2.5;
  // (2·0 + 2.5 + 0) / 4 = 0.625; (0.625 + 0) / 2 = 0.3125.
  trial = Replay({0.0f, 4.0f, 0.0f, 0.0f});
  Filter(trial, 1);
  EXPECT_EQ(trial.flowLps, (std::vector<float>{2.0f, 2.5f, 0.625f, 0.3125f}));
  // A single sample is integrated but not smoothed.
  trial = Replay({3.0f});
  Filter(trial, 5);
  EXPECT_EQ(trial.flowLps, (std::vector<float>{3.0f}));
  EXPECT_FLOAT_EQ(trial.volumeL[0], 0.03f);
}

TEST(WindowPipeline, DoCurveMovePutsTheLowestExtremeAtZero) {
  RecordedTrial trial = Replay(std::vector<float>(50, -2.0f));  // down to -1.0 L
  DoCurveMove(trial);
  EXPECT_NEAR(trial.volumeL.back(), 0.0f, 1e-6f);
  EXPECT_NEAR(trial.volumeL.front(), 0.98f, 1e-5f);
  EXPECT_NEAR(trial.extremes.points[0].volumeL, 1.0f, 1e-5f);  // the start level
}

}  // namespace
}  // namespace spirometry::testing
