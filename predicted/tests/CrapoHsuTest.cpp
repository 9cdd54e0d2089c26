// Crapo-Hsu: expected FVC and FEV1 are worked by hand from the equations of
// Crapo, Morris and Gardner (Am Rev Respir Dis 1981;123:659) in their
// published inch form, Hin = height in cm / 2.54:
//   men:   FVC = 0.1524 Hin - 0.0214 A - 4.650   FEV1 = 0.1052 Hin - 0.0244 A - 2.190
//   women: FVC = 0.1247 Hin - 0.0216 A - 3.590   FEV1 = 0.0869 Hin - 0.0255 A - 1.578
// and FEV0.5, FEV1/FVC and FEF25-75 from the same paper in cm:
//   men:   FEV0.5 = 0.0327 H - 0.0152 A - 1.914   FEV1/FVC % = 110.49 - 0.13 H - 0.152 A
//          FEF25-75 = 0.0204 H - 0.038 A + 2.133
//   women: FEV0.5 = 0.0238 H - 0.0185 A - 0.809   FEV1/FVC % = 126.58 - 0.202 H - 0.252 A
//          FEF25-75 = 0.0154 H - 0.046 A + 2.683

#include "predicted/Predicted.h"
#include "predicted/tests/PredictedTesting.h"

#include <gtest/gtest.h>

using namespace PredictedTesting;

namespace {

TEST(CrapoHsu, SpirometryAgainstThePublishedEquations) {
  struct TCase {
    int Sex, Age, HeightCm;
    float Fvc, Fev1, Fev05, Ratio, Fef2575;
  };
  const TCase cases[] = {
      // Woman 25 y, 165 cm (64.961 in): FVC 8.1006 - 0.54 - 3.59 = 3.9706; FEV1 5.6451 - 0.6375 - 1.578
      // = 3.4296; FEV0.5 3.927 - 0.4625 - 0.809 = 2.6555; ratio 126.58 - 33.33 - 6.30 = 86.95;
      // FEF25-75 2.541 - 1.15 + 2.683 = 4.074
      {0, 25, 165, 3.9706f, 3.4296f, 2.6555f, 86.95f, 4.074f},
      // Woman 80 y, 160 cm (62.992 in): FVC 7.8551 - 1.728 - 3.59 = 2.5371; FEV1 5.4740 - 2.04 - 1.578
      // = 1.8560; FEV0.5 3.808 - 1.48 - 0.809 = 1.519; ratio 126.58 - 32.32 - 20.16 = 74.10;
      // FEF25-75 2.464 - 3.68 + 2.683 = 1.467
      {0, 80, 160, 2.5371f, 1.8560f, 1.519f, 74.1f, 1.467f},
      // Short woman 40 y, 150 cm (59.055 in): FVC 7.3642 - 0.864 - 3.59 = 2.9102; FEV1 5.1319 - 1.02
      // - 1.578 = 2.5339; FEV0.5 3.57 - 0.74 - 0.809 = 2.021; ratio 126.58 - 30.30 - 10.08 = 86.20;
      // FEF25-75 2.31 - 1.84 + 2.683 = 3.153
      {0, 40, 150, 2.9102f, 2.5339f, 2.021f, 86.2f, 3.153f},
      // Man 25 y, 180 cm (70.866 in): FVC 10.8 - 0.535 - 4.65 = 5.615; FEV1 7.4551 - 0.61 - 2.19
      // = 4.6551; FEV0.5 5.886 - 0.38 - 1.914 = 3.592; ratio 110.49 - 23.40 - 3.80 = 83.29;
      // FEF25-75 3.672 - 0.95 + 2.133 = 4.855
      {1, 25, 180, 5.615f, 4.6551f, 3.592f, 83.29f, 4.855f},
      // Man 80 y, 172 cm (67.717 in): FVC 10.32 - 1.712 - 4.65 = 3.958; FEV1 7.1238 - 1.952 - 2.19
      // = 2.9818; FEV0.5 5.6244 - 1.216 - 1.914 = 2.4944; ratio 110.49 - 22.36 - 12.16 = 75.97;
      // FEF25-75 3.5088 - 3.04 + 2.133 = 2.6018
      {1, 80, 172, 3.958f, 2.9818f, 2.4944f, 75.97f, 2.6018f},
      // Short man 40 y, 160 cm (62.992 in): FVC 9.6 - 0.856 - 4.65 = 4.094; FEV1 6.6268 - 0.976 - 2.19
      // = 3.4608; FEV0.5 5.232 - 0.608 - 1.914 = 2.71; ratio 110.49 - 20.80 - 6.08 = 83.61;
      // FEF25-75 3.264 - 1.52 + 2.133 = 3.877
      {1, 40, 160, 4.094f, 3.4608f, 2.71f, 83.61f, 3.877f},
  };
  const auto predicted = Make(PREDICTED_CRAPO_HSU);
  for (const TCase& c : cases) {
    const TBlock block = Compute(*predicted, MEASURE_FVC, Patient(c.Sex, c.Age, c.HeightCm, 60));
    SCOPED_TRACE(testing::Message() << "sex " << c.Sex << " age " << c.Age);
    // The cm coefficients are the inch ones rounded to four places: within 4 mL.
    EXPECT_NEAR(block.Predicted[FVC], c.Fvc, 0.004f);
    EXPECT_NEAR(block.Predicted[FEV1], c.Fev1, 0.004f);
    EXPECT_NEAR(block.Predicted[FEV05], c.Fev05, 0.0005f);
    EXPECT_NEAR(block.Predicted[FEV1_FVC], c.Ratio, 0.005f);
    EXPECT_NEAR(block.Predicted[FEF2575], c.Fef2575, 0.0005f);
    EXPECT_EQ(block.Predicted[PEF], 0.0f);
    EXPECT_EQ(block.Rsd[FVC], 0.0f);  // no RSD: never graded
  }
}

TEST(CrapoHsu, OnlyForcedExpirationIsDefined) {
  const auto predicted = Make(PREDICTED_CRAPO_HSU);
  const PREDICTED_DATA man = Patient(1, 40, 175, 75);
  for (short kind = MEASURE_VC; kind < TEST_KIND_COUNT; ++kind) {
    const TBlock block = Compute(*predicted, kind, man);
    for (short i = 0; i < ParameterCount(kind); ++i) {
      EXPECT_EQ(block.Predicted[i], 0.0f) << "kind " << kind << " parameter " << i;
      EXPECT_EQ(block.Rsd[i], 0.0f) << "kind " << kind << " parameter " << i;
    }
  }
}

TEST(CrapoHsu, AgeFifteenToNinetyOneThenTheHeightCheck) {
  const auto predicted = Make(PREDICTED_CRAPO_HSU);
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 15, 175, 75)));
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 91, 175, 75)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 14, 175, 75)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 92, 175, 75)));
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 40, 250, 75)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 251, 75)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 49, 75)));
  const TPredictedLimits limits = predicted->GetPredictedLimits(1, 40);
  EXPECT_EQ(limits.MinAge, 15);
  EXPECT_EQ(limits.MaxAge, 91);
  EXPECT_FLOAT_EQ(limits.MinHeight, 0.5f);
  EXPECT_FLOAT_EQ(limits.MaxHeight, 2.5f);
}

}  // namespace
