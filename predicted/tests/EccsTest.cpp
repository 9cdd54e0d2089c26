// Expected values are worked by hand from the equations of the 1993 ECCS/ERS
// statement "Lung volumes and forced ventilatory flows" (Quanjer et al.,
// Eur Respir J 1993, Suppl. 16), height H in metres, age A in years:
//   women: FVC 4.43H - 0.026A - 2.89    FEV1 3.95H - 0.025A - 2.60
//          FEV1/VC % -0.19A + 89.10     PEF 5.50H - 0.030A - 1.11
//          FEF25-75 1.25H - 0.034A + 2.92   MEF50 2.45H - 0.025A + 1.16
//          TLC 6.60H - 5.79   RV 1.81H + 0.016A - 2.00   FRC 2.24H + 0.001A - 1.00
//          RV/TLC % 0.34A + 18.96
//   men:   FVC 5.76H - 0.026A - 4.34    FEV1 4.30H - 0.029A - 2.49
//          FEV1/VC % -0.18A + 87.21     PEF 6.14H - 0.043A + 0.15
//          FEF25-75 1.94H - 0.043A + 2.70   MEF50 3.79H - 0.031A - 0.35
//          TLC 7.99H - 7.08   RV 1.31H + 0.022A - 1.23   FRC 2.34H + 0.009A - 1.09
//          RV/TLC % 0.39A + 13.96   IVC 6.10H - 0.028A - 4.65
//          TLCO 11.11H - 0.066A - 6.03 mmol/min/kPa
// and for children from the equations that the two children's tables hold.

#include "predicted/Predicted.h"
#include "predicted/tests/PredictedTesting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace PredictedTesting;

namespace {

constexpr float EccsTolerance = 0.0005f;

struct TAdult {
  int Sex, Age, HeightCm;
  float Fvc, Fev1, Fev1Fvc, Pef, Fef2575, Mef50;
};

TEST(Eccs, AdultSpirometryAgainstTheStatement) {
  const TAdult adults[] = {
      // Woman 25 y, 1.65 m: FVC 7.3095 - 0.65 - 2.89 = 3.7695; FEV1 6.5175 - 0.625 - 2.60 = 3.2925;
      // FEV1/VC 89.10 - 4.75 = 84.35; PEF 9.075 - 0.75 - 1.11 = 7.215; FEF25-75 2.0625 - 0.85 + 2.92
      // = 4.1325; MEF50 4.0425 - 0.625 + 1.16 = 4.5775
      {0, 25, 165, 3.7695f, 3.2925f, 84.35f, 7.215f, 4.1325f, 4.5775f},
      // Woman 65 y, 1.60 m: FVC 7.088 - 1.69 - 2.89 = 2.508; FEV1 6.32 - 1.625 - 2.60 = 2.095;
      // FEV1/VC 89.10 - 12.35 = 76.75; PEF 8.80 - 1.95 - 1.11 = 5.74; FEF25-75 2.00 - 2.21 + 2.92 = 2.71;
      // MEF50 3.92 - 1.625 + 1.16 = 3.455
      {0, 65, 160, 2.508f, 2.095f, 76.75f, 5.74f, 2.71f, 3.455f},
      // Man 30 y, 1.80 m: FVC 10.368 - 0.78 - 4.34 = 5.248; FEV1 7.74 - 0.87 - 2.49 = 4.38;
      // FEV1/VC 87.21 - 5.40 = 81.81; PEF 11.052 - 1.29 + 0.15 = 9.912; FEF25-75 3.492 - 1.29 + 2.70
      // = 4.902; MEF50 6.822 - 0.93 - 0.35 = 5.542
      {1, 30, 180, 5.248f, 4.38f, 81.81f, 9.912f, 4.902f, 5.542f},
      // Man 68 y, 1.70 m: FVC 9.792 - 1.768 - 4.34 = 3.684; FEV1 7.31 - 1.972 - 2.49 = 2.848;
      // FEV1/VC 87.21 - 12.24 = 74.97; PEF 10.438 - 2.924 + 0.15 = 7.664; FEF25-75 3.298 - 2.924 + 2.70
      // = 3.074; MEF50 6.443 - 2.108 - 0.35 = 3.985
      {1, 68, 170, 3.684f, 2.848f, 74.97f, 7.664f, 3.074f, 3.985f},
      // Man 20 y, 1.75 m, computed as 25 y: FVC 10.08 - 0.65 - 4.34 = 5.09; FEV1 7.525 - 0.725 - 2.49
      // = 4.31; FEV1/VC 87.21 - 4.50 = 82.71; PEF 10.745 - 1.075 + 0.15 = 9.82; FEF25-75 3.395 - 1.075
      // + 2.70 = 5.02; MEF50 6.6325 - 0.775 - 0.35 = 5.5075
      {1, 20, 175, 5.09f, 4.31f, 82.71f, 9.82f, 5.02f, 5.5075f},
  };
  for (const short language : {short{1}, short{2}}) {
    const auto predicted = Make(PREDICTED_ECCS, language);
    for (const TAdult& a : adults) {
      const TBlock block = Compute(*predicted, MEASURE_FVC, Patient(a.Sex, a.Age, a.HeightCm, 70));
      SCOPED_TRACE(testing::Message() << "language " << language << " sex " << a.Sex << " age " << a.Age);
      EXPECT_NEAR(block.Predicted[FVC], a.Fvc, EccsTolerance);
      EXPECT_NEAR(block.Predicted[FEV1], a.Fev1, EccsTolerance);
      EXPECT_NEAR(block.Predicted[FEV1_FVC], a.Fev1Fvc, 0.005f);
      EXPECT_NEAR(block.Predicted[FEV1_IVC], a.Fev1Fvc, 0.005f);
      EXPECT_NEAR(block.Predicted[PEF], a.Pef, EccsTolerance);
      EXPECT_NEAR(block.Predicted[FEF2575], a.Fef2575, EccsTolerance);
      EXPECT_NEAR(block.Predicted[MEF50], a.Mef50, EccsTolerance);
      EXPECT_EQ(block.Predicted[FEV05], 0.0f);  // the statement gives no FEV0.5 equation
    }
  }
}

TEST(Eccs, AdultRsdsAreInTheParametersOwnUnits) {
  const auto predicted = Make(PREDICTED_ECCS);
  const TBlock woman = Compute(*predicted, MEASURE_FVC, Patient(0, 40, 165, 60));
  EXPECT_FLOAT_EQ(woman.Rsd[FVC], 0.43f);
  EXPECT_FLOAT_EQ(woman.Rsd[FEV1], 0.38f);
  EXPECT_FLOAT_EQ(woman.Rsd[FEV1_FVC], 6.5f);  // 0.65 x 10, in percent
  EXPECT_FLOAT_EQ(woman.Rsd[PEF], 0.9f);
  const TBlock man = Compute(*predicted, MEASURE_FVC, Patient(1, 40, 180, 80));
  EXPECT_FLOAT_EQ(man.Rsd[FVC], 0.61f);
  EXPECT_FLOAT_EQ(man.Rsd[FEV1_IVC], 7.1f);
  EXPECT_FLOAT_EQ(man.Rsd[MEF25], 0.78f);
  // A measured FVC 1.64 RSD below the prediction is graded low.
  EXPECT_STREQ(predicted->GetPredictedRSD(man.Predicted[FVC] - 1.64f * man.Rsd[FVC], man.Predicted[FVC], man.Rsd[FVC]),
               "  -");
}

// Man 30 y, 1.80 m: TLC 14.382 - 7.08 = 7.302; RV 2.358 + 0.66 - 1.23 = 1.788;
// RV/TLC 11.70 + 13.96 = 25.66 %; FRC 4.212 + 0.27 - 1.09 = 3.392; IVC 10.98 - 0.84 - 4.65 = 5.49;
// TLCO 19.998 - 1.98 - 6.03 = 11.988. Woman 65 y, 1.60 m: TLC 10.56 - 5.79 = 4.77;
// RV 2.896 + 1.04 - 2.00 = 1.936; RV/TLC 22.10 + 18.96 = 41.06 %; FRC 3.584 + 0.065 - 1.00 = 2.649.
TEST(Eccs, AdultLungVolumesAndTransferFactor) {
  const auto predicted = Make(PREDICTED_ECCS);
  const TBlock man = Compute(*predicted, MEASURE_DFC, Patient(1, 30, 180, 80));
  EXPECT_NEAR(man.Predicted[0], 7.302f, EccsTolerance);   // TLC
  EXPECT_NEAR(man.Predicted[1], 5.49f, EccsTolerance);    // IVC
  EXPECT_NEAR(man.Predicted[5], 1.788f, EccsTolerance);   // RV
  EXPECT_NEAR(man.Predicted[6], 25.66f, 0.005f);      // RV/TLC
  EXPECT_NEAR(man.Predicted[7], 3.392f, EccsTolerance);   // FRC
  EXPECT_NEAR(man.Predicted[9], 11.988f, 0.001f);     // Tlco
  EXPECT_FLOAT_EQ(man.Rsd[0], 0.7f);
  EXPECT_FLOAT_EQ(man.Rsd[6], 5.4f);
  EXPECT_FLOAT_EQ(man.Rsd[9], 1.41f);

  const TBlock plethy = Compute(*predicted, MEASURE_PLETHY, Patient(1, 30, 180, 80));
  EXPECT_NEAR(plethy.Predicted[0], 7.302f, EccsTolerance);  // TLC
  EXPECT_NEAR(plethy.Predicted[1], 3.392f, EccsTolerance);  // TGV: the FRC equation
  EXPECT_NEAR(plethy.Predicted[2], 1.788f, EccsTolerance);  // RV
  EXPECT_NEAR(plethy.Predicted[3], 25.66f, 0.005f);     // RV/TLC
  EXPECT_FLOAT_EQ(plethy.Predicted[4], 0.22f);          // Raw
  EXPECT_FLOAT_EQ(plethy.Predicted[14], 1.04f);         // sGaw
  EXPECT_NEAR(Compute(*predicted, MEASURE_SHUTTER, Patient(1, 30, 180, 80)).Predicted[0], 0.22f, 1e-6f);
  EXPECT_NEAR(Compute(*predicted, MEASURE_VC, Patient(1, 30, 180, 80)).Predicted[0], 5.49f, EccsTolerance);

  const TBlock woman = Compute(*predicted, MEASURE_DFC, Patient(0, 65, 160, 60));
  EXPECT_NEAR(woman.Predicted[0], 4.77f, EccsTolerance);
  EXPECT_NEAR(woman.Predicted[5], 1.936f, EccsTolerance);
  EXPECT_NEAR(woman.Predicted[6], 41.06f, 0.005f);
  EXPECT_NEAR(woman.Predicted[7], 2.649f, EccsTolerance);
  // No MVV equation in the set.
  EXPECT_EQ(Compute(*predicted, MEASURE_MVV, Patient(1, 30, 180, 80)).Predicted[0], 0.0f);
}

// Second table (languages other than 1), boy of 10 years, 140 cm:
// FVC = 0.038 x 140 + 0.049 x 10 - 3.73 = 5.32 + 0.49 - 3.73 = 2.08 L.
// A child of 5 years is outside its 6-17 group and is computed as an
// adult: FVC = 5.76 x 1.10 - 0.026 x 5 - 4.34 = 1.866 L.
TEST(Eccs, ChildrenOfTheSecondTable) {
  const auto predicted = Make(PREDICTED_ECCS, 2);
  const TBlock boy = Compute(*predicted, MEASURE_FVC, Patient(1, 10, 140, 32));
  EXPECT_NEAR(boy.Predicted[FVC], 2.08f, EccsTolerance);
  EXPECT_EQ(boy.Rsd[FVC], 0.0f);
  EXPECT_EQ(Compute(*predicted, MEASURE_DFC, Patient(1, 10, 140, 32)).Predicted[0], 0.0f);  // no children's TLC

  const PREDICTED_DATA five = Patient(1, 5, 110, 18);
  EXPECT_NEAR(Compute(*predicted, MEASURE_FVC, five).Predicted[FVC], 1.866f, EccsTolerance);
  EXPECT_FALSE(predicted->VerifyPredictedLimits(five));
}

// First table (language 1), children of 1 to 17 years: ln FVC = r0 ln H(cm) + r1.
// Girl of 10 years, 140 cm: FVC = exp(3.072 ln 140 - 14.559) = exp(0.62174) = 1.8621 L,
// RSD = FVC x (1 - exp(-0.135)) = 0.2352 L. Boy: exp(3.035 ln 140 - 14.301) = 2.0075 L,
// RSD = 2.0075 x (1 - exp(-0.136)) = 0.2553 L. FEV1/FVC is 9.09 x 10 = 90.9 % at any height.
TEST(Eccs, ChildrenOfTheFirstTable) {
  const auto predicted = Make(PREDICTED_ECCS, 1);
  const TBlock girl = Compute(*predicted, MEASURE_FVC, Patient(0, 10, 140, 32));
  EXPECT_NEAR(girl.Predicted[FVC], 1.8621f, EccsTolerance);
  EXPECT_NEAR(girl.Rsd[FVC], 0.2352f, EccsTolerance);
  const TBlock boy = Compute(*predicted, MEASURE_FVC, Patient(1, 10, 140, 32));
  EXPECT_NEAR(boy.Predicted[FVC], 2.0075f, EccsTolerance);
  EXPECT_NEAR(boy.Rsd[FVC], 0.2553f, EccsTolerance);

  for (const int heightCm : {90, 140, 190})
    for (const int sex : {0, 1}) {
      const TBlock child = Compute(*predicted, MEASURE_FVC, Patient(sex, 3, heightCm, 15));
      EXPECT_NEAR(child.Predicted[FEV1_FVC], 90.9f, 1e-4f) << heightCm;
      EXPECT_NEAR(child.Predicted[FEV1_IVC], 90.9f, 1e-4f) << heightCm;
      EXPECT_EQ(child.Rsd[FEV1_FVC], 0.0f);
      EXPECT_EQ(child.Predicted[FEV1], 0.0f);  // no children's FEV1 row: no value, no RSD
      EXPECT_EQ(child.Rsd[FEV1], 0.0f);
    }
  // The first table's children's FVC is not the second table's.
  EXPECT_NE(Compute(*Make(PREDICTED_ECCS, 2), MEASURE_FVC, Patient(1, 10, 140, 32)).Predicted[FVC],
            Compute(*Make(PREDICTED_ECCS, 1), MEASURE_FVC, Patient(1, 10, 140, 32)).Predicted[FVC]);
}

TEST(Eccs, AgeGroupsFollowTheLanguage) {
  const auto english = Make(PREDICTED_ECCS, 2);
  EXPECT_EQ(english->IndexAge(MEASURE_FVC, 0, 5, 0), 1);
  EXPECT_EQ(english->IndexAge(MEASURE_FVC, 0, 6, 0), 0);
  EXPECT_EQ(english->IndexAge(MEASURE_FVC, 0, 17, 0), 0);
  EXPECT_EQ(english->IndexAge(MEASURE_FVC, 0, 18, 0), 1);
  const auto first = Make(PREDICTED_ECCS, 1);
  EXPECT_EQ(first->IndexAge(MEASURE_FVC, 0, 1, 0), 0);
  EXPECT_EQ(first->IndexAge(MEASURE_FVC, 0, 17, 0), 0);
  EXPECT_EQ(first->IndexAge(MEASURE_FVC, 0, 18, 0), 1);
}

TEST(Eccs, LimitsByLanguageAgeAndSex) {
  struct TCase {
    short Language;
    int Sex, Age, HeightCm;
    bool Inside;
  };
  const TCase cases[] = {
      {2, 0, 18, 145, true},  {2, 0, 70, 180, true},  {2, 0, 71, 165, false}, {2, 0, 40, 144, false},
      {2, 0, 40, 181, false}, {2, 1, 40, 155, true},  {2, 1, 40, 195, true},  {2, 1, 40, 154, false},
      {2, 1, 40, 196, false}, {2, 1, 6, 110, true},   {2, 1, 17, 185, true},  {2, 1, 5, 110, false},
      {2, 1, 10, 186, false}, {1, 1, 1, 90, true},    {1, 0, 17, 200, true},  {1, 0, 10, 89, false},
      {1, 1, 10, 201, false}, {1, 1, 40, 196, false}, {1, 0, 70, 145, true},
  };
  for (const TCase& c : cases) {
    const auto predicted = Make(PREDICTED_ECCS, c.Language);
    EXPECT_EQ(predicted->VerifyPredictedLimits(Patient(c.Sex, c.Age, c.HeightCm, 40)), c.Inside)
        << "language " << c.Language << " sex " << c.Sex << " age " << c.Age << " height " << c.HeightCm;
  }

  const TPredictedLimits child = Make(PREDICTED_ECCS, 2)->GetPredictedLimits(0, 10);
  EXPECT_EQ(child.MinAge, 6);
  EXPECT_EQ(child.MaxAge, 17);
  EXPECT_FLOAT_EQ(child.MinHeight, 1.10f);
  EXPECT_FLOAT_EQ(child.MaxHeight, 1.85f);
  const TPredictedLimits firstChild = Make(PREDICTED_ECCS, 1)->GetPredictedLimits(1, 10);
  EXPECT_EQ(firstChild.MinAge, 1);
  EXPECT_FLOAT_EQ(firstChild.MinHeight, 0.90f);
  EXPECT_FLOAT_EQ(firstChild.MaxHeight, 2.00f);
  const TPredictedLimits man = Make(PREDICTED_ECCS, 2)->GetPredictedLimits(1, 40);
  EXPECT_EQ(man.MinAge, 18);
  EXPECT_EQ(man.MaxAge, 70);
  EXPECT_FLOAT_EQ(man.MinHeight, 1.55f);
  EXPECT_FLOAT_EQ(man.MaxHeight, 1.95f);
}

}  // namespace
