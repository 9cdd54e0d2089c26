#include "platform/portkit/spirometry/Extremes.h"

#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace spirometry::testing {
namespace {

std::vector<float> Volumes(const Extremes& extremes) {
  std::vector<float> volumes;
  for (int k = 0; k <= extremes.LastEntry(); ++k) {
    volumes.push_back(extremes.points[static_cast<std::size_t>(k)].volumeL);
  }
  return volumes;
}

// Feeds a volume curve given point by point (flow is its difference).
Extremes Feed(const std::vector<float>& volumes) {
  Extremes extremes;
  extremes.Clear();
  float previous = 0.0f;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    LocalMaxMin(extremes, (volumes[i] - previous) * 100.0f, volumes[i], static_cast<std::uint16_t>(i));
    previous = volumes[i];
  }
  return extremes;
}

TEST(Extremes, ClearingLeavesTheStartLevelAndAFallingSearch) {
  Extremes extremes = Feed({-1.0f, 1.0f, -2.0f});
  extremes.Clear();
  EXPECT_EQ(extremes.count, 1);
  EXPECT_EQ(extremes.searchState, Extremes::Falling);
  EXPECT_EQ(extremes.runningVolumeL, 0.0f);
  for (const TurningPoint& point : extremes.points) {
    EXPECT_EQ(point.volumeL, 0.0f);
    EXPECT_EQ(point.index, 0);
  }
  extremes.Clear(Extremes::Rising);
  EXPECT_EQ(extremes.searchState, Extremes::Rising);
}

TEST(Extremes, TurningPointsAlternateAndIgnoreSwingsBelowTheHysteresis) {
  // Down to -1.0, up to -0.5, a 30 mL wobble on the way down, down to -1.2,
  // up to 0.3 and still rising at the end.
  const Extremes extremes = Feed({-0.4f, -1.0f, -0.7f, -0.5f, -0.8f, -0.77f, -1.2f, -0.6f, 0.3f});
  EXPECT_EQ(Volumes(extremes), (std::vector<float>{0.0f, -1.0f, -0.5f, -1.2f, 0.3f}));
  EXPECT_EQ(extremes.count, 4);
  EXPECT_EQ(extremes.searchState, Extremes::Rising);
  EXPECT_EQ(extremes.points[1].index, 1);
  EXPECT_EQ(extremes.points[2].index, 3);
  EXPECT_EQ(extremes.points[3].index, 6);
  EXPECT_EQ(extremes.points[4].index, 8);
  EXPECT_EQ(extremes.runningVolumeL, 0.3f);
}

TEST(Extremes, ATrialThatOnlyRisesHasTheStartAsItsOnlyMinimum) {
  // 1.0 L/s for one second: the volume ends at 1.0 L, the running maximum.
  RecordedTrial trial = Replay(std::vector<float>(100, 1.0f));
  const Extremes& extremes = trial.extremes;
  EXPECT_EQ(extremes.count, 2);
  EXPECT_EQ(extremes.points[1].volumeL, 0.0f);
  EXPECT_NEAR(extremes.points[2].volumeL, 1.0f, 1e-5f);
  EXPECT_EQ(extremes.points[2].index, 99);
}

TEST(Extremes, AFullTableKeepsItsLastEntryFollowingItsDirection) {
  // 150 breaths of 1 L below level 0 make 300 turns; the table holds 201
  // entries, so entry 200 (a maximum) stays the running maximum to the end.
  Waveform w(0.0);
  w.Breathe(150, 1.0, 1.0).GlideTo(-3.0, 1.0);
  const std::vector<double> flow = w.Sample(0.5);
  const RecordedTrial trial = Replay(std::vector<float>(flow.begin(), flow.end()));
  const Extremes& extremes = trial.extremes;
  EXPECT_EQ(extremes.count, Extremes::Capacity - 1);
  EXPECT_EQ(extremes.searchState, Extremes::Rising);
  const TurningPoint& last = extremes.points[Extremes::Capacity - 1];
  EXPECT_NEAR(last.volumeL, 0.0f, 0.01f);
  EXPECT_NEAR(last.index, 14999, 2);  // the top of the last breath, at 150 s
}

}  // namespace
}  // namespace spirometry::testing
