// Finnish: expected values are worked by hand from the set's equations,
// value = 10 ^ (a A + b log10 A + c / H + d), A in years, H in metres,
// with the coefficients (a, b, c, d):
//   women: FVC (-0.00982, 0.6358, -1.4137, 0.832)   FEV1 (-0.0092, 0.4772, -1.3284, 0.9296)
//          FEV1/FVC % (0.00062, -0.1586, 0.0853, 2.0975)   PEF (-0.00677, 0.4017, -0.7422, 0.9661)
//          IVC (-0.01016, 0.6995, -1.4518, 0.7763)
//   men:   FVC (-0.00827, 0.586, -1.4468, 0.9461)   FEV1 (-0.00587, 0.2756, -1.1655, 1.098)
//          FEV1/FVC % (0.0024, -0.3104, 0.2813, 2.1519)   PEF (-0.00211, 0.1049, -0.6774, 1.3255)
//          IVC (-0.00833, 0.6309, -1.475, 0.9047)

#include "predicted/Predicted.h"
#include "predicted/tests/PredictedTesting.h"

#include <gtest/gtest.h>

using namespace PredictedTesting;

namespace {

// Woman of 30 years and 165 cm: FVC = 10^(-0.2946 + 0.6358 x 1.47712 - 1.4137 / 1.65 + 0.832)
// = 10^0.61977 = 4.1664 L; RSD 1000, so no grade.
TEST(Finnish, TheWorkedExample) {
  const auto predicted = Make(PREDICTED_FINNISH);
  const TBlock block = Compute(*predicted, MEASURE_FVC, Patient(0, 30, 165, 60));
  EXPECT_NEAR(block.Predicted[FVC], 4.1664f, 0.0005f);
  EXPECT_FLOAT_EQ(block.Rsd[FVC], 1000.0f);
  EXPECT_STREQ(predicted->GetPredictedRSD(2.0f, block.Predicted[FVC], block.Rsd[FVC]), "   ");
  EXPECT_STREQ(predicted->GetPredictedRSD(9.0f, block.Predicted[FVC], block.Rsd[FVC]), "   ");
}

TEST(Finnish, SpirometryOfYoungOldAndShortAdults) {
  struct TCase {
    int Sex, Age, HeightCm;
    float Fvc, Fev1, Ratio, Pef, Ivc;
  };
  const TCase cases[] = {
      // Woman 60 y, 1.60 m, e.g. FVC 10^(-0.5892 + 0.6358 x 1.77815 - 0.88356 + 0.832) = 10^0.48979
      {0, 60, 160, 3.0888f, 2.4882f, 80.5374f, 6.4611f, 3.1852f},
      // Short woman 40 y, 1.50 m: FVC 10^(-0.3928 + 0.6358 x 1.60206 - 0.94247 + 0.832) = 10^0.51532
      {0, 40, 150, 3.2758f, 2.7574f, 84.1550f, 6.9831f, 3.3318f},
      // Man 25 y, 1.80 m: FVC 10^(-0.20675 + 0.586 x 1.39794 - 0.80378 + 0.9461) = 10^0.75477
      {1, 25, 180, 5.6855f, 4.8868f, 85.9522f, 11.0423f, 5.7407f},
      // Man 64 y, 1.72 m: FVC 10^(-0.52928 + 0.586 x 1.80618 - 0.84116 + 0.9461) = 10^0.63408
      {1, 64, 172, 4.3060f, 3.4873f, 80.9857f, 9.6848f, 4.5034f},
      // Short man 40 y, 1.60 m: FVC 10^(-0.3308 + 0.586 x 1.60206 - 0.90425 + 0.9461) = 10^0.64986
      {1, 40, 160, 4.4654f, 3.7696f, 84.4176f, 9.6779f, 4.5747f},
  };
  const auto predicted = Make(PREDICTED_FINNISH);
  for (const TCase& c : cases) {
    const PREDICTED_DATA patient = Patient(c.Sex, c.Age, c.HeightCm, 70);
    const TBlock block = Compute(*predicted, MEASURE_FVC, patient);
    SCOPED_TRACE(testing::Message() << "sex " << c.Sex << " age " << c.Age);
    EXPECT_NEAR(block.Predicted[FVC], c.Fvc, 0.0005f);
    EXPECT_NEAR(block.Predicted[FEV1], c.Fev1, 0.0005f);
    EXPECT_NEAR(block.Predicted[FEV1_FVC], c.Ratio, 0.005f);
    EXPECT_NEAR(block.Predicted[PEF], c.Pef, 0.0005f);
    EXPECT_EQ(block.Predicted[FEV05], 0.0f);
    EXPECT_EQ(block.Predicted[MEF75], 0.0f);
    const TBlock vc = Compute(*predicted, MEASURE_VC, patient);
    EXPECT_NEAR(vc.Predicted[0], c.Ivc, 0.0005f);
    EXPECT_EQ(vc.Rsd[0], 0.0f);
  }
}

// Man 25 y, 1.80 m: MEF50 10^(-0.01025 - 0.3087 x 1.39794 - 0.08222 + 1.3415) = 6.5688;
// MEF25 10^(-0.19275 - 0.2819 x 1.39794 - 0.014 + 1.0597) = 2.8765;
// PIF 10^(-0.121 + 0.2715 x 1.39794 - 0.55361 + 1.2709) = 9.4587.
TEST(Finnish, FlowsAndPeakInspiratoryFlow) {
  const TBlock block = Compute(*Make(PREDICTED_FINNISH), MEASURE_FVC, Patient(1, 25, 180, 80));
  EXPECT_NEAR(block.Predicted[MEF50], 6.5688f, 0.0005f);
  EXPECT_NEAR(block.Predicted[MEF25], 2.8765f, 0.0005f);
  EXPECT_NEAR(block.Predicted[PIF], 9.4587f, 0.0005f);
}

TEST(Finnish, AdultsOfEighteenToSixtyFive) {
  struct TCase {
    int Sex, Age, HeightCm;
    bool Inside;
  };
  const TCase cases[] = {
      {0, 18, 145, true},  {0, 65, 180, true},  {0, 17, 165, false}, {0, 66, 165, false},
      {0, 40, 144, false}, {0, 40, 181, false}, {1, 40, 155, true},  {1, 40, 195, true},
      {1, 40, 154, false}, {1, 40, 196, false},
  };
  const auto predicted = Make(PREDICTED_FINNISH);
  for (const TCase& c : cases)
    EXPECT_EQ(predicted->VerifyPredictedLimits(Patient(c.Sex, c.Age, c.HeightCm, 60)), c.Inside)
        << "sex " << c.Sex << " age " << c.Age << " height " << c.HeightCm;
  const TPredictedLimits old = predicted->GetPredictedLimits(0, 80);
  EXPECT_EQ(old.MinAge, 18);
  EXPECT_EQ(old.MaxAge, 65);
  EXPECT_FLOAT_EQ(old.MinHeight, 1.45f);
  EXPECT_FLOAT_EQ(old.MaxHeight, 1.80f);
}

}  // namespace
