#include "special/provocation/ProvocationGraph.h"

#include <gtest/gtest.h>

// Its own namespace: the headless tests compile in batches, and this
// file's names meet the others' there.
namespace provocation_graph_tests {

using namespace ProvocationGraph;

namespace {

TProvStep Step(float dose, float change) {
  TProvStep step;
  step.Dose = dose;
  step.Changes = {change, 0.0f, 0.0f};
  return step;
}

}  // namespace

// 0.7 is the single-precision 0.699999988: a limit of -20 % lies at
// 364 + 20 x 0.699999988 = 377.99999976, cut toward zero to 377; -99 % at
// 364 + 69.2999988 = 433.2999988 -> 433, inside the axis (294 < y < 434);
// at zoom state 1 (factor 2) it is 364 + 138.6 = 502.6, beyond it.
TEST(ProvocationGraph, LimitLinesCutTowardZeroInsideTheAxis) {
  EXPECT_EQ(LimitY(-20, 0), 377);
  EXPECT_EQ(LimitY(-99, 0), 433);
  EXPECT_FALSE(LimitY(-99, 1).has_value());
  EXPECT_EQ(LimitY(20, 0), 350);      // 364 - 13.99999976 = 350.00000024
  EXPECT_FALSE(LimitY(100, 0).has_value());  // 294 itself is not inside
  EXPECT_EQ(LimitY(-20, 2), 433);     // 364 + 69.9999988 = 433.9999988
}

TEST(ProvocationGraph, YLabelsByZoom) {
  EXPECT_EQ(YLabels(0), (std::array<std::string, 5>{"+100[%]", "+50 ", "+0  ", "-50 ", "-100"}));
  EXPECT_EQ(YLabels(2), (std::array<std::string, 5>{"+20 [%]", "+10 ", "+0  ", "-10 ", "-20 "}));
}

TEST(ProvocationGraph, OneLineSitsOnTheYAxis) {
  const std::vector<TProvStep> steps{Step(0.0f, 0.0f)};
  EXPECT_EQ(XFactor(steps), 720);
  // A change of 0 is plotted as 1 %: 364 - 0.699999988 = 363.300000012.
  EXPECT_EQ(PointOf(steps, 0, 0, 0).X, 15.0);
  EXPECT_NEAR(PointOf(steps, 0, 0, 0).Y, 363.3, 1e-6);
  EXPECT_TRUE(Curve(steps, 0, 0).empty());
  EXPECT_EQ(MarkerX(steps, 0), 15.0);
}

TEST(ProvocationGraph, DosesSpreadAlongTheAxis) {
  // Last dose 0.70: 720 / 0.7 = 1028.57 -> 1028 pixels per unit.
  const std::vector<TProvStep> steps{Step(0.0f, 0.0f), Step(0.10f, -10.0f), Step(0.30f, -17.0f), Step(0.70f, -22.0f)};
  EXPECT_EQ(XFactor(steps), 1028);
  EXPECT_NEAR(PointOf(steps, 3, 0, 0).X, 15 + 0.7 * 1028, 1e-4);
  EXPECT_NEAR(PointOf(steps, 3, 0, 0).Y, 364 + 22 * 0.7, 1e-5);
  EXPECT_EQ(Curve(steps, 0, 0).size(), 3u);
  EXPECT_NEAR(MarkerX(steps, 2), 15 + 0.3 * 1028, 1e-4);
  // A dose of 0 is placed as if it were 1; a last dose of 0 gives 720.
  const std::vector<TProvStep> zero{Step(0.0f, 0.0f), Step(0.0f, -5.0f)};
  EXPECT_EQ(CalculateStepX(zero, 1), 1.0);
  EXPECT_EQ(XFactor(zero), 720);
  // A dose of 100 or more is read whole.
  const std::vector<TProvStep> wide{Step(0.0f, 0.0f), Step(120.0f, -5.0f)};
  EXPECT_EQ(CalculateStepX(wide, 1), 120.0);
  EXPECT_EQ(XFactor(wide), 6);
}

// Zoom state 2 (factor 5): -30 % lies at 364 + 30 x 0.7 x 5 = 469, below
// the area's bottom 456. From the baseline point (15, 360.5) to (735, 469)
// the segment meets 456 at x = 15 + 720 x (456 - 360.5) / (469 - 360.5)
// = 15 + 720 x 0.880184 = 648.73.
TEST(ProvocationGraph, ACurveBeyondTheAreaIsClippedAlongItself) {
  const std::vector<TProvStep> steps{Step(0.0f, 0.0f), Step(1.0f, -30.0f)};
  const std::vector<TSegment> curve = Curve(steps, 0, 2);
  ASSERT_EQ(curve.size(), 1u);
  EXPECT_NEAR(curve[0].To.Y, 456.0, 1e-9);
  EXPECT_NEAR(curve[0].To.X, 648.73, 0.01);
  EXPECT_NEAR(curve[0].From.Y, 360.5, 1e-5);

  // A vertical segment stays vertical; one wholly beyond is dropped.
  const auto vertical = ClipToBand({{100, 300}, {100, 500}}, 283, 456);
  ASSERT_TRUE(vertical.has_value());
  EXPECT_EQ(vertical->To, (TPoint{100, 456}));
  EXPECT_FALSE(ClipToBand({{10, 460}, {20, 500}}, 283, 456).has_value());
}

}  // namespace provocation_graph_tests
