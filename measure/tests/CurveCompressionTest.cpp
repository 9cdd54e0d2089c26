// Expected values are worked by hand from the interpolating polynomials:
// a cubic through (0,0), (4,c), (8,c), (12,c) is
// c - c (t-4)(t-8)(t-12) / ((0-4)(0-8)(0-12)), which at t = 1, 2, 3 is
// c x (1 - 231/384), c x (1 - 120/384), c x (1 - 45/384).

#include "measure/core/MeasureCore.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

namespace {

TEST(CurveCompression, KeepsEveryFourthSample) {
  std::array<float, 10> curve{};
  std::iota(curve.begin(), curve.end(), 0.0f);
  int count = 10;
  TMeasureCore::CompressGrafikon(curve.data(), count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(curve[0], 0.0f);
  EXPECT_EQ(curve[1], 4.0f);
  EXPECT_EQ(curve[2], 8.0f);  // copied, not counted

  std::array<float, 3> shortCurve{5.0f, 6.0f, 7.0f};
  count = 3;
  TMeasureCore::CompressGrafikon(shortCurve.data(), count);
  EXPECT_EQ(count, 0);
}

TEST(CurveCompression, ExpandsStoredSamplesAtTheirPositions) {
  std::vector<float> curve(20, -1.0f);
  const float stored[] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
  std::copy(std::begin(stored), std::end(stored), curve.begin());
  int count = 5;
  EXPECT_TRUE(TMeasureCore::DeCompressGrafikon(curve.data(), count, 20));
  ASSERT_EQ(count, 20);
  // The nodes 0, 1, 2, 3, 4 at 0, 4, 8, 12, 16 lie on a line, so the cubic
  // through the first four is that line; the last piece runs from 4 to 5.
  const float expected[20] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f, 2.25f,
                              2.5f, 2.75f, 3.0f, 3.25f, 3.5f, 3.75f, 4.0f, 4.25f, 4.5f, 4.75f};
  for (int i = 0; i < 20; ++i)
    EXPECT_FLOAT_EQ(curve[static_cast<std::size_t>(i)], expected[i]) << "position " << i;
}

TEST(CurveCompression, AConstantCurveRisesFromZeroAlongTheFirstCubic) {
  const float c = 2.0f;
  std::vector<float> curve(32, c);
  int count = 8;
  TMeasureCore::DeCompressGrafikon(curve.data(), count, 32);
  ASSERT_EQ(count, 32);
  EXPECT_EQ(curve[0], 0.0f);
  EXPECT_FLOAT_EQ(curve[1], c * (1.0f - 231.0f / 384.0f));  // 0.796875
  EXPECT_FLOAT_EQ(curve[2], c * (1.0f - 120.0f / 384.0f));  // 1.375
  EXPECT_FLOAT_EQ(curve[3], c * (1.0f - 45.0f / 384.0f));   // 1.765625
  for (std::size_t i = 4; i < 32; ++i)
    EXPECT_FLOAT_EQ(curve[i], c) << "position " << i;
}

TEST(CurveCompression, ACubicCurveIsReproducedExactly) {
  // A cubic is its own Lagrange interpolant: through nodes of
  // f(t) = 0.001 t^3 - 0.02 t^2 + t at t = 4, 8, ... the expansion gives
  // f at the positions between them.
  const auto f = [](double t) { return 0.001 * t * t * t - 0.02 * t * t + t; };
  std::vector<float> curve(48);
  for (int j = 0; j < 12; ++j)
    curve[static_cast<std::size_t>(j)] = static_cast<float>(f(4.0 * (j + 1)));
  int count = 12;
  TMeasureCore::DeCompressGrafikon(curve.data(), count, 48);
  ASSERT_EQ(count, 48);
  // Node 0 is f(0) = 0 too, so groups 0 to 7 all lie on f.
  for (int i = 1; i < 32; ++i)
    EXPECT_NEAR(curve[static_cast<std::size_t>(i)], f(i), 1e-3) << "position " << i;
}

TEST(CurveCompression, NothingToExpand) {
  float sentinel = 9.0f;
  int count = 0;
  EXPECT_TRUE(TMeasureCore::DeCompressGrafikon(&sentinel, count, 1));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(sentinel, 9.0f);
  count = -4;
  TMeasureCore::DeCompressGrafikon(&sentinel, count, 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(sentinel, 9.0f);
}

// A stored count larger than the buffer can take is cut to what fits; the
// guard samples after the buffer stay untouched.
TEST(CurveCompression, AnOversizedStoredCountIsCut) {
  constexpr int capacity = 6010;
  std::vector<float> memory(capacity + 64, 123.0f);
  for (int j = 0; j < 1600; ++j)
    memory[static_cast<std::size_t>(j)] = 1.0f;
  int count = 1600;  // would need 6,400 floats
  EXPECT_FALSE(TMeasureCore::DeCompressGrafikon(memory.data(), count, capacity));
  EXPECT_EQ(count, 6008);  // 1,502 samples fit
  for (std::size_t i = capacity; i < memory.size(); ++i)
    ASSERT_EQ(memory[i], 123.0f) << "written past the buffer at " << i;
  EXPECT_FLOAT_EQ(memory[6007], 1.0f);
}

TEST(CurveCompression, LagrangeRefusesEqualAbscissae) {
  const float x[] = {0.0f, 4.0f, 4.0f};
  const float y[] = {1.0f, 2.0f, 3.0f};
  float result = -7.0f;
  EXPECT_EQ(TMeasureCore::Lagrange(x, y, 3, 2.0f, &result), 1);
  EXPECT_EQ(result, -7.0f);
  const float x2[] = {0.0f, 4.0f};
  EXPECT_EQ(TMeasureCore::Lagrange(x2, y, 2, 1.0f, &result), 0);
  EXPECT_FLOAT_EQ(result, 1.25f);
}

TEST(CurveCompression, CompressedCurveRoundTripsAtTheStoredPositions) {
  std::vector<float> curve(6010);
  for (std::size_t i = 0; i < 6008; ++i)
    curve[i] = static_cast<float>(i) * 0.5f;
  int count = 6008;
  TMeasureCore::CompressGrafikon(curve.data(), count);
  ASSERT_EQ(count, 1502);
  EXPECT_TRUE(TMeasureCore::DeCompressGrafikon(curve.data(), count, 6010));
  ASSERT_EQ(count, 6008);
  // Stored sample j (the value at 4j) lands at 4(j + 1): the curve is one
  // stored step late, as curves in existing records are.
  EXPECT_EQ(curve[0], 0.0f);
  for (std::size_t j = 0; j + 1 < 1502; ++j)
    ASSERT_EQ(curve[4 * (j + 1)], 2.0f * static_cast<float>(j)) << "stored sample " << j;
}

}  // namespace
