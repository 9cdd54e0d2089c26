// Austrian: expected values are worked by hand from the set's equations,
// height H in metres, age A in years, weight W in kg, Fi = H / W^(1/3):
//   girls 5-15:  FVC, FEV1 = exp(r0 sqrt H + r4 + r1 sqrt A + r3 Fi)
//                PEF, MEF = exp(r0 ln H + r4 + r1 ln A + r3 Fi)
//   boys 5-17:   FVC, FEV1 = exp(r0 H + r4 + r1 A sqrt W)
//                PEF, MEF = exp(r0 H + r4 + r1 A + r3 W)
//   older:       FVC, FEV1 = r0 H + r4 + r1 A H + r2 ln A
//                PEF, MEF = (r0 ln H + r4 + r1 A + r2 A^2)^2
//   FEV1/FVC %:  r0 H^2 + r4 + r1 ln A
// with the coefficients written beside each case.

#include "predicted/Predicted.h"
#include "predicted/tests/PredictedTesting.h"

#include <gtest/gtest.h>

using namespace PredictedTesting;

namespace {

constexpr float AustrianTolerance = 0.0005f;

struct TCase {
  const char* Who;
  int Sex, Age, HeightCm, WeightKg;
  float Fvc, Fev1, Pef, Ratio;
};

TEST(Austrian, SpirometryOfChildrenAndAdults) {
  const TCase cases[] = {
      // Girl 10 y, 1.40 m, 32 kg, Fi = 1.40 / 3.1748 = 0.44097:
      // FVC exp(4.1632 x 1.18322 - 3.842 + 0.1341 x 3.16228 - 1.614 x 0.44097) = exp(0.79630) = 2.2173;
      // FEV1 exp(3.9809 x 1.18322 - 3.877 + 0.1485 x 3.16228 - 1.322 x 0.44097) = exp(0.71990) = 2.0542;
      // PEF exp(1.793 x 0.33647 + 0.411 + 0.4251 x 2.30259 - 0.91 x 0.44097) = exp(1.59184) = 4.9128;
      // FEV1/FVC 92.33
      {"girl", 0, 10, 140, 32, 2.2173f, 2.0542f, 4.9128f, 92.33f},
      // Boy 12 y, 1.50 m, 40 kg: FVC exp(1.259 x 1.5 - 1.142 + 0.00407 x 12 x 6.32456) = exp(1.05539)
      // = 2.8731; FEV1 exp(1.221 x 1.5 - 1.178 + 0.003841 x 12 x 6.32456) = exp(0.94501) = 2.5728;
      // PEF exp(0.921 x 1.5 - 0.214 + 0.0467 x 12 + 0.002 x 40) = exp(1.80790) = 6.0976;
      // FEV1/FVC -1.191 x 2.25 + 101.99 - 3.962 x 2.48491 = 89.4650
      {"boy", 1, 12, 150, 40, 2.8731f, 2.5728f, 6.0976f, 89.4650f},
      // Woman 40 y, 1.65 m: FVC 10.956 - 10.815 - 0.0408 x 66 + 1.7293 x 3.68888 = 3.8274;
      // FEV1 8.5371 - 6.995 - 0.0314 x 66 + 1.0251 x 3.68888 = 3.2512;
      // PEF (1.838 x 0.50078 + 1.832 + 0.312 - 0.2752)^2 = 2.78924^2 = 7.7798;
      // FEV1/FVC -3.032 x 2.7225 + 118.993 - 6.9053 x 3.68888 = 85.2656
      {"woman", 0, 40, 165, 60, 3.8274f, 3.2512f, 7.7798f, 85.2656f},
      // Woman 75 y, 1.60 m: FVC 10.624 - 10.815 - 0.0408 x 120 + 1.7293 x 4.31749 = 2.3792;
      // FEV1 8.2784 - 6.995 - 0.0314 x 120 + 1.0251 x 4.31749 = 1.9413;
      // PEF (1.838 x 0.47000 + 1.832 + 0.585 - 0.9675)^2 = 2.31336^2 = 5.3517;
      // FEV1/FVC -3.032 x 2.56 + 118.993 - 6.9053 x 4.31749 = 81.4175
      {"old woman", 0, 75, 160, 65, 2.3792f, 1.9413f, 5.3517f, 81.4175f},
      // Man 30 y, 1.80 m: FVC 14.7096 - 11.606 - 0.0339 x 54 + 1.2869 x 3.40120 = 5.6500;
      // FEV1 11.1816 - 8.125 - 0.03 x 54 + 0.977 x 3.40120 = 4.7596;
      // PEF (2.311 x 0.58779 + 1.798 + 0.477 - 0.2232)^2 = 3.41020^2 = 11.6293;
      // FEV1/FVC -1.191 x 3.24 + 101.99 - 3.962 x 3.40120 = 84.6556
      {"man", 1, 30, 180, 80, 5.65f, 4.7596f, 11.6293f, 84.6556f},
      // Man 70 y, 1.72 m: FVC 14.0558 - 11.606 - 0.0339 x 120.4 + 1.2869 x 4.24850 = 3.8357;
      // FEV1 10.6846 - 8.125 - 0.03 x 120.4 + 0.977 x 4.24850 = 3.0984;
      // PEF (2.311 x 0.54232 + 1.798 + 1.113 - 1.2152)^2 = 2.94912^2 = 8.6973;
      // FEV1/FVC -1.191 x 2.9584 + 101.99 - 3.962 x 4.24850 = 81.6340
      {"old man", 1, 70, 172, 75, 3.8357f, 3.0984f, 8.6973f, 81.6340f},
  };
  const auto predicted = Make(PREDICTED_AUSTRIAN);
  for (const TCase& c : cases) {
    const TBlock block = Compute(*predicted, MEASURE_FVC, Patient(c.Sex, c.Age, c.HeightCm, c.WeightKg));
    SCOPED_TRACE(c.Who);
    EXPECT_NEAR(block.Predicted[FVC], c.Fvc, AustrianTolerance);
    EXPECT_NEAR(block.Predicted[FEV1], c.Fev1, AustrianTolerance);
    EXPECT_NEAR(block.Predicted[PEF], c.Pef, AustrianTolerance);
    EXPECT_NEAR(block.Predicted[FEV1_FVC], c.Ratio, 0.001f);
    EXPECT_NEAR(block.Predicted[FEV1_IVC], c.Ratio, 0.001f);
    // The slow VC uses the FVC equation.
    EXPECT_NEAR(Compute(*predicted, MEASURE_VC, Patient(c.Sex, c.Age, c.HeightCm, c.WeightKg)).Predicted[0], c.Fvc,
                AustrianTolerance);
  }
}

// Girl 10 y, 1.40 m, 32 kg: MEF50 exp(1.643 x 0.33647 + 0.256 + 0.3481 x 2.30259 - 1.089 x 0.44097)
// = exp(1.13015) = 3.0961. Woman 40 y, 1.65 m: MEF25 (0.938 x 0.50078 + 1.372 - 0.608 + 0.0576)^2
// = 1.29133^2 = 1.6675. Man 30 y, 1.80 m: MEF50 (1.29 x 0.58779 + 1.49 + 0.375 - 0.1962)^2
// = 2.42705^2 = 5.8906.
TEST(Austrian, MaximalExpiratoryFlows) {
  const auto predicted = Make(PREDICTED_AUSTRIAN);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(0, 10, 140, 32)).Predicted[MEF50], 3.0961f, AustrianTolerance);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(0, 40, 165, 60)).Predicted[MEF25], 1.6675f, AustrianTolerance);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(1, 30, 180, 80)).Predicted[MEF50], 5.8906f, AustrianTolerance);
}

// The same girl of 1.60 m and 50 kg: at 15 years FVC = exp(4.1632 x 1.26491 - 3.842 + 0.1341 x 3.87298
// - 1.614 x 0.43434) = exp(1.24245) = 3.4642 L; at 16 years FVC = 10.624 - 10.815 - 0.0408 x 25.6
// + 1.7293 x 2.77259 = 3.5592 L. The same boy of 1.75 m and 65 kg: at 17 years
// FVC = exp(1.259 x 1.75 - 1.142 + 0.00407 x 17 x 8.06226) = exp(1.61907) = 5.0484 L;
// at 18 years FVC = 14.301 - 11.606 - 0.0339 x 31.5 + 1.2869 x 2.89037 = 5.3468 L.
TEST(Austrian, GroupsChangeAtSixteenForGirlsAndEighteenForBoys) {
  const auto predicted = Make(PREDICTED_AUSTRIAN);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(0, 15, 160, 50)).Predicted[FVC], 3.4642f, AustrianTolerance);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(0, 16, 160, 50)).Predicted[FVC], 3.5592f, AustrianTolerance);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(1, 17, 175, 65)).Predicted[FVC], 5.0484f, AustrianTolerance);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, Patient(1, 18, 175, 65)).Predicted[FVC], 5.3468f, AustrianTolerance);
  EXPECT_EQ(predicted->IndexAge(MEASURE_FVC, 0, 15, 0), 0);
  EXPECT_EQ(predicted->IndexAge(MEASURE_FVC, 0, 16, 0), 1);
  EXPECT_EQ(predicted->IndexAge(MEASURE_FVC, 1, 17, 0), 0);
  EXPECT_EQ(predicted->IndexAge(MEASURE_FVC, 1, 18, 0), 1);
  EXPECT_EQ(predicted->IndexAge(MEASURE_FVC, 1, 4, 0), 1);
}

TEST(Austrian, RsdsOfTheGroupAndSex) {
  const auto predicted = Make(PREDICTED_AUSTRIAN);
  const TBlock girl = Compute(*predicted, MEASURE_FVC, Patient(0, 10, 140, 32));
  EXPECT_FLOAT_EQ(girl.Rsd[FVC], 0.855f);
  EXPECT_FLOAT_EQ(girl.Rsd[FEV1_FVC], 4.85f);
  EXPECT_FLOAT_EQ(girl.Rsd[PEF], 0.737f);
  const TBlock man = Compute(*predicted, MEASURE_FVC, Patient(1, 30, 180, 80));
  EXPECT_FLOAT_EQ(man.Rsd[FVC], 0.594f);
  EXPECT_FLOAT_EQ(man.Rsd[MEF25], 0.396f);
  // No RSD for the ratio rows whose stored spread was no percentage.
  EXPECT_EQ(man.Rsd[FEV1_FVC], 0.0f);
  EXPECT_STREQ(predicted->GetPredictedRSD(84.0f, man.Predicted[FEV1_FVC], man.Rsd[FEV1_FVC]), "   ");
  // Parameters the set does not define.
  EXPECT_EQ(man.Predicted[FEV05], 0.0f);
  EXPECT_EQ(man.Predicted[FEF2575], 0.0f);
  EXPECT_EQ(Compute(*predicted, MEASURE_DFC, Patient(1, 30, 180, 80)).Predicted[0], 0.0f);
}

TEST(Austrian, LimitsByGroup) {
  struct TLimitCase {
    int Sex, Age, HeightCm;
    bool Inside;
  };
  const TLimitCase cases[] = {
      {0, 5, 110, true},   {0, 15, 182, true},  {0, 15, 183, false}, {0, 16, 140, true},  {0, 16, 139, false},
      {0, 90, 190, true},  {0, 91, 165, false}, {0, 4, 110, false},  {1, 17, 196, true},  {1, 17, 108, false},
      {1, 18, 144, true},  {1, 18, 143, false}, {1, 40, 200, true},  {1, 40, 201, false}, {1, 91, 175, false},
  };
  const auto predicted = Make(PREDICTED_AUSTRIAN);
  for (const TLimitCase& c : cases)
    EXPECT_EQ(predicted->VerifyPredictedLimits(Patient(c.Sex, c.Age, c.HeightCm, 40)), c.Inside)
        << "sex " << c.Sex << " age " << c.Age << " height " << c.HeightCm;

  const TPredictedLimits girl = predicted->GetPredictedLimits(0, 15);
  EXPECT_EQ(girl.MinAge, 5);
  EXPECT_EQ(girl.MaxAge, 15);
  EXPECT_FLOAT_EQ(girl.MinHeight, 1.10f);
  EXPECT_FLOAT_EQ(girl.MaxHeight, 1.82f);
  const TPredictedLimits man = predicted->GetPredictedLimits(1, 18);
  EXPECT_EQ(man.MinAge, 18);
  EXPECT_EQ(man.MaxAge, 90);
  EXPECT_FLOAT_EQ(man.MinHeight, 1.44f);
  EXPECT_FLOAT_EQ(man.MaxHeight, 2.00f);
}

}  // namespace
