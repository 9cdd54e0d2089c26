#include "platform/portkit/shutter/BreathingRate.h"

#include <gtest/gtest.h>

#include <vector>

namespace shutter {
namespace {

TEST(BreathingRate, ThreeHalfBreathsBeforeTheNewestReversal) {
  // Reversals at 0, 1, 2.5, 4 and 5.5 s: the three differences before the
  // newest are 1, 1.5 and 1.5 s, a mean half-breath of 4/3 s, so
  // 30 / (4/3) = 22.5, truncated 22 breaths a minute.
  const std::vector<double> five{0.0, 1.0, 2.5, 4.0, 5.5};
  EXPECT_EQ(BreathingRate(five), 22);
  // The newest reversal may still move: it does not count.
  const std::vector<double> moved{0.0, 1.0, 2.5, 4.0, 40.0};
  EXPECT_EQ(BreathingRate(moved), 22);
  // Quiet breathing at 15 a minute: a reversal every 2 s.
  const std::vector<double> quiet{10.0, 12.0, 14.0, 16.0, 18.0, 20.0, 22.0};
  EXPECT_EQ(BreathingRate(quiet), 15);
}

TEST(BreathingRate, TooFewReversalsOrNoTimeKeepTheValue) {
  const std::vector<double> three{0.0, 1.0, 2.0};
  const std::vector<double> four{0.0, 1.0, 2.0, 3.0};
  const std::vector<double> standing{3.0, 3.0, 3.0, 3.0, 3.0};
  EXPECT_FALSE(BreathingRate(three));
  EXPECT_FALSE(BreathingRate(four));
  EXPECT_FALSE(BreathingRate(standing));
  EXPECT_FALSE(BreathingRate({}));
}

}  // namespace
}  // namespace shutter
