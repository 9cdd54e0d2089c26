#include "measure/calibration/Syringe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calibration {
namespace {

// The turning points of a calibration volume curve that strokes out and in
// by the given volumes in turn. Starting from 0, an inspiration as large as
// the expiration before it comes back to exactly 0, so such pairs keep
// every stroke exact in single precision.
struct Table {
  std::vector<float> volumes;
  explicit Table(const std::vector<float>& strokes) {
    float level = 0.0f;
    volumes.push_back(level);
    for (std::size_t k = 0; k < strokes.size(); ++k) {
      level += k % 2 == 0 ? -strokes[k] : strokes[k];
      volumes.push_back(level);
    }
  }
  CalibrationRun Run(int n, bool interactive = true) const {
    const int strokes = static_cast<int>(volumes.size()) - 1;
    return {volumes, strokes, n, 3.0f, strokes, interactive};
  }
};

std::vector<float> Strokes(std::vector<float> first, const std::vector<float>& check) {
  first.insert(first.end(), check.begin(), check.end());
  return first;
}

const std::vector<float> TenOfThree(10, 3.0f);

TEST(SpiroCalibration, FiveExactStrokesEachWayGiveConstantsOfOne) {
  const CalibrationAnswer a = TestSpiroCalibration(Table(Strokes(TenOfThree, TenOfThree)).Run(10));
  EXPECT_TRUE(a.valid);
  EXPECT_EQ(a.textId, 0);
  EXPECT_FLOAT_EQ(a.inspiration, 1.0f);
  EXPECT_FLOAT_EQ(a.expiration, 1.0f);
  EXPECT_TRUE(a.checkFilled);
  EXPECT_FLOAT_EQ(a.checkInspirationL, 3.0f);
  EXPECT_FLOAT_EQ(a.checkExpirationL, 3.0f);
}

TEST(SpiroCalibration, FirstSeriesChecks) {
  struct Case {
    std::string name;
    std::vector<float> first;  // ten strokes, expiration first
    int text;
    bool cleared;
  };
  // Strokes of 2.7 and 3.3 L each way: the means are exactly 3.0 and the
  // 2.7-L strokes 10 % below them.
  std::vector<float> tenPercent = TenOfThree;
  tenPercent[0] = tenPercent[1] = 2.7f;
  tenPercent[2] = tenPercent[3] = 3.3f;
  std::vector<float> beyond = TenOfThree;
  beyond[0] = beyond[1] = 2.685f;  // 10.5 % below
  beyond[2] = beyond[3] = 3.315f;
  std::vector<float> apart(10, 3.0f);
  for (std::size_t k = 1; k < 10; k += 2) apart[k] = 2.0f;
  std::vector<float> empty = TenOfThree;
  empty[4] = 0.0f;
  std::vector<float> backwards = TenOfThree;
  backwards[5] = -3.0f;
  const std::vector<Case> cases{
      {"a stroke 10 % from its mean passes", tenPercent, 0, false},
      {"a stroke 10.5 % from its mean fails", beyond, StrokeApartText, false},
      {"inspirations 2/3 of the expirations", apart, StrokeMeansApartText, false},
      {"constants of 0.75", std::vector<float>(10, 2.25f), ConstantOffText, true},
      {"constants of 0.45", std::vector<float>(10, 1.35f), ConstantFarOffText, true},
      {"a stroke of no volume", empty, 0, true},
      {"a stroke the wrong way", backwards, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CalibrationAnswer a = TestSpiroCalibration(Table(Strokes(c.first, TenOfThree)).Run(10));
    EXPECT_EQ(a.valid, c.text == 0 && !c.cleared);
    EXPECT_EQ(a.textId, c.text);
    EXPECT_EQ(a.clearTrial, c.cleared);
  }
}

TEST(SpiroCalibration, TooFewStrokes) {
  // Fewer than N at all, or fewer than 2N at the end: text 20, nothing else.
  const CalibrationAnswer early = TestSpiroCalibration(Table(std::vector<float>(9, 3.0f)).Run(10));
  EXPECT_EQ(early.textId, TooFewStrokesText);
  EXPECT_FALSE(early.valid);
  const CalibrationAnswer late = TestSpiroCalibration(Table(std::vector<float>(19, 3.0f)).Run(10));
  EXPECT_EQ(late.textId, TooFewStrokesText);
  EXPECT_FALSE(late.checkFilled);
  // While recording, the first series alone decides, silently.
  const CalibrationAnswer silent = TestSpiroCalibration(Table(TenOfThree).Run(10, false));
  EXPECT_TRUE(silent.valid);
  EXPECT_FALSE(silent.checkFilled);
  const CalibrationAnswer silentFail = TestSpiroCalibration(Table(std::vector<float>(10, 1.35f)).Run(10, false));
  EXPECT_FALSE(silentFail.valid);
  EXPECT_EQ(silentFail.textId, 0);
}

TEST(SyringeCheck, EveryCheckStrokeWithinThreePerCentOfTheSyringe) {
  struct Case {
    std::string name;
    std::vector<float> check;
    int worstNumber;  // 0: passes
  };
  const std::vector<Case> cases{
      {"3.09 and 2.91 L at the borders", {3.09f, 3.09f, 2.91f, 2.91f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f}, 0},
      {"3.0901 L", {3.0f, 3.0f, 3.0901f, 3.0901f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f}, 3},
      {"2.9099 L", {3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 2.9099f, 2.9099f}, 9},
      {"the worst of two is named", {3.1f, 3.1f, 3.0f, 3.0f, 3.0f, 3.0f, 2.85f, 2.85f, 3.0f, 3.0f}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CalibrationAnswer a = TestSpiroCalibration(Table(Strokes(TenOfThree, c.check)).Run(10));
    EXPECT_EQ(a.valid, c.worstNumber == 0);
    ASSERT_EQ(a.worst.has_value(), c.worstNumber != 0);
    if (a.worst) {
      EXPECT_EQ(a.textId, CheckStrokeOffText);
      EXPECT_EQ(a.worst->number, c.worstNumber);
      EXPECT_FLOAT_EQ(a.worst->volumeL, c.check[static_cast<std::size_t>(c.worstNumber - 1)]);
    }
  }
  EXPECT_FALSE(WorstCheckStroke(std::vector<float>{3.09f, 2.91f}, 3.0f));
  // With a volume whose 3 % is exact, the border itself passes.
  EXPECT_FALSE(WorstCheckStroke(std::vector<float>{103.0f, 97.0f}, 100.0f));
  EXPECT_TRUE(WorstCheckStroke(std::vector<float>{103.00001f}, 100.0f));
  const auto worst = WorstCheckStroke(std::vector<float>{3.0f, 2.85f}, 3.0f);
  ASSERT_TRUE(worst);
  EXPECT_NEAR(worst->deviationPercent, -5.0f, 1e-4);
}

// A diffusion unit's series with N = 6: strokes 0 to 5 as the spirometer's,
// then an expiration, a gas-path inspiration, an expiration and a second
// gas-path inspiration, then the check series.
std::vector<float> DiffStrokes(float flow, float gas, const std::vector<float>& check) {
  std::vector<float> s(6, flow);
  for (const float v : {flow, gas, flow, gas}) s.push_back(v);
  s.insert(s.end(), check.begin(), check.end());
  return s;
}

TEST(DiffCalibration, GasPathStrokesAndTheWiderConstantLimit) {
  const std::vector<float> check(6, 3.0f);
  const CalibrationAnswer a = TestDiffCalibration(Table(DiffStrokes(3.0f, 2.7f, check)).Run(6));
  EXPECT_TRUE(a.valid);
  EXPECT_FLOAT_EQ(a.inspiration, 1.0f);
  EXPECT_FLOAT_EQ(a.expiration, 1.0f);
  EXPECT_FLOAT_EQ(a.gasPathL, 2.7f);
  EXPECT_FLOAT_EQ(a.inspirationWithGas, 0.9f);

  // Constants of 0.65 pass here (within 40 %); 0.55 fail with text 23.
  // Constants that far off are measured with the check strokes corrected.
  EXPECT_TRUE(TestDiffCalibration(Table(DiffStrokes(1.95f, 1.95f, check)).Run(6)).valid);
  const CalibrationAnswer far = TestDiffCalibration(Table(DiffStrokes(1.65f, 1.65f, check)).Run(6));
  EXPECT_EQ(far.textId, ConstantFarOffText);
  EXPECT_FALSE(far.clearTrial);

  // A gas-path stroke 20 % off the other.
  std::vector<float> uneven = DiffStrokes(3.0f, 2.7f, check);
  uneven[9] = 2.16f;
  EXPECT_EQ(TestDiffCalibration(Table(uneven).Run(6)).textId, StrokeApartText);

  // Too few strokes at the end: text 20 and the trial cleared.
  const CalibrationAnswer few = TestDiffCalibration(Table(DiffStrokes(3.0f, 2.7f, {3.0f})).Run(6));
  EXPECT_EQ(few.textId, TooFewStrokesText);
  EXPECT_TRUE(few.clearTrial);

  // The ±3 % check here too.
  std::vector<float> offCheck = check;
  offCheck[1] = 3.2f;
  const CalibrationAnswer off = TestDiffCalibration(Table(DiffStrokes(3.0f, 2.7f, offCheck)).Run(6));
  EXPECT_EQ(off.textId, CheckStrokeOffText);
  ASSERT_TRUE(off.worst);
  EXPECT_EQ(off.worst->number, 2);

  // No gas-path stroke at all.
  EXPECT_FALSE(TestDiffCalibration(Table(DiffStrokes(3.0f, 0.0f, check)).Run(6)).valid);
}

TEST(Deviation, OfTwoPositiveNumbers) {
  EXPECT_FLOAT_EQ(Deviation(3.0f, 3.0f), 0.0f);
  EXPECT_FLOAT_EQ(Deviation(2.0f, 4.0f), 50.0f);
  EXPECT_FLOAT_EQ(Deviation(4.0f, 2.0f), 50.0f);
}

}  // namespace
}  // namespace calibration
