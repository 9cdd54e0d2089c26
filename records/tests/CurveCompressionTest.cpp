// The stored form of a curve as the records write and read it, through the
// measurement core that owns it.
#include "measure/core/MeasureCore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CurveCompression, KeepsEveryFourthSampleAndCountsWholeGroups) {
  struct TCase {
    int Count;
    int Left;
  };
  for (const TCase& c : {TCase{10, 2}, TCase{3, 0}, TCase{8, 2}, TCase{0, 0}}) {
    std::vector<float> curve(12);
    for (int i = 0; i < 12; ++i)
      curve[static_cast<std::size_t>(i)] = float(i);
    int count = c.Count;
    TMeasureCore::CompressGrafikon(curve.data(), count);
    EXPECT_EQ(count, c.Left) << c.Count;
    for (int k = 0; k < c.Left; ++k)
      EXPECT_EQ(curve[static_cast<std::size_t>(k)], float(4 * k));
  }
}

// Stored 1..5: a zero in front, the stored samples at 4, 8, 12, 16, the
// cubic through (0,0), (4,1), (8,2), (12,3) before them, and a straight
// line from 4 to 5 at the end. The cubic through points on a line is the
// line: positions 1-3 are 0.25, 0.5, 0.75.
TEST(CurveCompression, ExpandsStoredSamplesByLagrange) {
  std::vector<float> curve(20);
  for (int i = 0; i < 5; ++i)
    curve[static_cast<std::size_t>(i)] = float(i + 1);
  int count = 5;
  TMeasureCore::DeCompressGrafikon(curve.data(), count, static_cast<int>(curve.size()));
  ASSERT_EQ(count, 20);
  const std::vector<float> expected{0,    0.25, 0.5,  0.75, 1,    1.25, 1.5,  1.75, 2,    2.25,
                                    2.5,  2.75, 3,    3.25, 3.5,  3.75, 4,    4.25, 4.5,  4.75};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_FLOAT_EQ(curve[i], expected[i]) << i;
}

// A constant 2 over 6 stored samples: the cubic through (0,0), (4,2), (8,2),
// (12,2) is 2 - (x-4)(x-8)(x-12)/192... at x = 1, 2, 3 by hand:
// L0(x) = -(x-4)(x-8)(x-12)/384 and the value is 2 (1 - L0(x)).
TEST(CurveCompression, ConstantCurveRisesFromTheLeadingZero) {
  std::vector<float> curve(24, 0.0f);
  for (int i = 0; i < 6; ++i)
    curve[static_cast<std::size_t>(i)] = 2.0f;
  int count = 6;
  TMeasureCore::DeCompressGrafikon(curve.data(), count, static_cast<int>(curve.size()));
  ASSERT_EQ(count, 24);
  EXPECT_EQ(curve[0], 0.0f);
  for (int x = 1; x <= 3; ++x) {
    const double l0 = -(x - 4.0) * (x - 8.0) * (x - 12.0) / 384.0;
    EXPECT_NEAR(curve[static_cast<std::size_t>(x)], 2.0 * (1.0 - l0), 1e-5) << x;
  }
  for (std::size_t i = 4; i < 24; ++i)
    EXPECT_NEAR(curve[i], 2.0f, 1e-5) << i;
}

TEST(CurveCompression, EmptyAndEqualAbscissae) {
  int count = 0;
  float untouched = 9.0f;
  TMeasureCore::DeCompressGrafikon(&untouched, count, 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(untouched, 9.0f);
  const float x[2] = {1.0f, 1.0f}, y[2] = {3.0f, 4.0f};
  float result = 7.0f;
  EXPECT_EQ(TMeasureCore::Lagrange(x, y, 2, 0.5f, &result), 1);
  EXPECT_EQ(result, 7.0f);
}

}  // namespace
