#include "platform/portkit/rhinomanometry/ShownValues.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace rhinomanometry {
namespace {

RHINO_PARAMS Row(std::size_t row, float right, float left, float both) {
  RHINO_PARAMS params;
  params.Flows[row] = {right, left, both};
  return params;
}

std::array<unsigned, 5> Only(std::size_t row) {
  std::array<unsigned, 5> flags{};
  flags[row] = 1;
  return flags;
}

TEST(ShownValues, PrintedAsInTheCLocale) {
  // A locale with a decimal comma must not reach the numbers.
  const char* const before = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(Fixed(0.455, 2), "0.46");  // 0.455 is stored as 0.45500000000000001554
  EXPECT_EQ(Fixed(2.5, 0), "2");       // an exact half goes to the even number
  EXPECT_EQ(Fixed(3.5, 0), "4");
  EXPECT_EQ(Fixed(50.0, 0, 3), " 50");
  EXPECT_EQ(Fixed(-12.5, 0, 5), "  -12");
  EXPECT_FLOAT_EQ(AsShown(0.45045045f, 2), 0.45f);
  if (before)
    std::setlocale(LC_NUMERIC, "C");
}

TEST(ShownValues, ChangesAgainstTheRightResult) {
  // Without a provocation the actual result against the previous one.
  EXPECT_FLOAT_EQ(ChangePercent(450.0f, 500.0f, false), -10.0f);
  // After one the provoked result against the base.
  EXPECT_FLOAT_EQ(ChangePercent(500.0f, 450.0f, true), -10.0f);
  EXPECT_FLOAT_EQ(ChangePercent(300.0f, 0.0f, false), 0.0f);  // no previous result
  EXPECT_FLOAT_EQ(ChangePercent(300.0f, 0.0f, true), -100.0f); // base, nothing after it yet
  EXPECT_FLOAT_EQ(ChangePercent(0.0f, 300.0f, true), 0.0f);    // a base of zeros
}

TEST(ShownValues, LinesOfTheChosenRows) {
  // Rows 75 and 150 Pa chosen: two flow lines, then two resistance lines.
  RHINO_PARAMS first;
  first.Flows[1] = {200.0f, 250.0f, 450.0f};
  first.Flows[3] = {333.0f, 300.4f, 633.0f};
  RHINO_PARAMS second;
  second.Flows[3] = {300.0f, 300.0f, 600.0f};
  const std::array<unsigned, 5> flags{0, 1, 0, 1, 0};
  const std::vector<RhinoLine> lines = RhinoLines(first, second, flags, false);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].Label(), "Flow [ 75]");
  EXPECT_EQ(lines[0].Unit(), "[mL/s]");
  EXPECT_EQ(lines[1].Label(), "Flow [150]");
  EXPECT_EQ(lines[2].Label(), "RES  [ 75]");
  EXPECT_EQ(lines[3].Label(), "RES  [150]");
  EXPECT_EQ(lines[3].Unit(), "[Pa/mL/s]");

  // Flow line at 150 Pa: 333 against 300 is +11 %; 300.4 shows as 300, so
  // the left nostril is unchanged: 0.
  EXPECT_FLOAT_EQ(lines[1].values[1], 300.0f);
  EXPECT_FLOAT_EQ(lines[1].changesPercent[0], 11.0f);
  EXPECT_FLOAT_EQ(lines[1].changesPercent[1], 0.0f);
  EXPECT_NEAR(lines[1].changesPercent[2], 5.5f, 1e-4f);  // 633 / 600

  // Resistance at 150 Pa: 150 / 333 = 0.45045 shows as 0.45, 150 / 300 =
  // 0.50; the change is that of the printed numbers, (0.45 - 0.5) / 0.5 =
  // -10 %, not the -9.91 % of the unrounded ones.
  EXPECT_FLOAT_EQ(lines[3].values[0], 0.45f);
  EXPECT_FLOAT_EQ(lines[3].values[3], 0.5f);
  EXPECT_NEAR(lines[3].changesPercent[0], -10.0f, 1e-4f);

  // No previous result at 75 Pa: every change is 0 (the divisor is 0).
  EXPECT_EQ(lines[0].changesPercent, (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
  EXPECT_FLOAT_EQ(lines[2].values[0], 0.38f);  // 75 / 200 = 0.375 exactly: the half goes to the even digit
}

TEST(ShownValues, AFlowThatRoundsToNothingHasNoResistance) {
  const std::vector<RhinoLine> lines = RhinoLines(Row(2, 0.4f, 0.6f, 1.0f), RHINO_PARAMS{}, Only(2), false);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_FLOAT_EQ(lines[0].values[0], 0.0f);
  EXPECT_FLOAT_EQ(lines[1].values[0], 0.0f);    // 0.4 shows as 0: no resistance
  EXPECT_FLOAT_EQ(lines[1].values[1], 100.0f);  // 0.6 shows as 1: 100 / 1
}

TEST(ShownValues, ProvokedBeforeItsMeasurementReadsMinusHundred) {
  const std::vector<RhinoLine> lines = RhinoLines(Row(3, 0.0f, 0.0f, 500.0f), RHINO_PARAMS{}, Only(3), true);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_FLOAT_EQ(lines[0].changesPercent[2], -100.0f);
  EXPECT_FLOAT_EQ(lines[0].changesPercent[0], 0.0f);  // a posterior result: no nostril values
  EXPECT_FLOAT_EQ(lines[1].changesPercent[2], -100.0f);
}

TEST(ShownValues, NoRowChosenNoLine) {
  EXPECT_TRUE(RhinoLines(Row(3, 1, 2, 3), Row(3, 1, 2, 3), std::array<unsigned, 5>{}, false).empty());
}

}  // namespace
}  // namespace rhinomanometry
