#include "predicted/Predicted.h"
#include "predicted/tests/PredictedTesting.h"
#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace PredictedTesting;

namespace {

// A man of 40 years, 175 cm and 75 kg lies inside the limits of every set.
const PREDICTED_DATA Inside = Patient(1, 40, 175, 75);

TEST(PredictedGrading, ThresholdsAtOneAndAHalfTwoAndAHalfAndThreeAndAQuarterRsd) {
  const auto predicted = Make(PREDICTED_ECCS);
  const float p = 4.0f;
  const float s = 0.5f;
  struct TCase {
    float Measured;
    const char* Grade;
  };
  const TCase cases[] = {
      {p + 3.28f * s, "+++"}, {p + 2.46f * s, " ++"}, {p + 1.64f * s, "  +"}, {p + 1.63f * s, "   "},
      {p, "   "},             {p - 1.63f * s, "   "}, {p - 1.64f * s, "  -"}, {p - 2.46f * s, " --"},
      {p - 3.28f * s, "---"}, {p + 5.0f * s, "+++"},  {p - 5.0f * s, "---"},
  };
  for (const TCase& c : cases)
    EXPECT_STREQ(predicted->GetPredictedRSD(c.Measured, p, s), c.Grade) << "measured " << c.Measured;
}

TEST(PredictedGrading, BlankWithoutAPredictedValueAMeasuredValueAnRsdOrASet) {
  const auto predicted = Make(PREDICTED_ECCS);
  EXPECT_STREQ(predicted->GetPredictedRSD(9.0f, 0.0f, 0.5f), "   ");
  EXPECT_STREQ(predicted->GetPredictedRSD(0.0f, 4.0f, 0.5f), "   ");
  EXPECT_STREQ(predicted->GetPredictedRSD(9.0f, 4.0f, 0.0f), "   ");
  predicted->PredictedAlgorithm = PREDICTED_NONE;
  EXPECT_STREQ(predicted->GetPredictedRSD(9.0f, 4.0f, 0.5f), "   ");
}

TEST(PredictedEngine, SetNoneComputesNothingAndAcceptsEveryPatient) {
  const auto predicted = Make(PREDICTED_NONE);
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    const TBlock block = Compute(*predicted, kind, Inside);
    for (short i = 0; i < ParameterCount(kind); ++i) {
      EXPECT_EQ(block.Predicted[i], 0.0f) << "kind " << kind << " parameter " << i;
      EXPECT_EQ(block.Rsd[i], 0.0f) << "kind " << kind << " parameter " << i;
    }
    // The block's own length is written, nothing past it.
    if (ParameterCount(kind) < MAX_PARAMETER_COUNT) {
      EXPECT_EQ(block.Predicted[ParameterCount(kind)], -1.0f);
    }
  }
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 0, 0, 0)));
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(7, 200, 300, 400)));
  const TPredictedLimits limits = predicted->GetPredictedLimits(1, 40);
  EXPECT_EQ(limits.MinAge, 0);
  EXPECT_EQ(limits.MaxAge, 0);
  EXPECT_EQ(limits.MinWeight, 0);
  EXPECT_EQ(limits.MaxWeight, 0);
  EXPECT_EQ(limits.MinHeight, 0.0f);
  EXPECT_EQ(limits.MaxHeight, 0.0f);
}

TEST(PredictedEngine, UnstoredSetSevenComputesNothingButChecksTheCommonLimits) {
  const auto predicted = Make(PREDICTED_UNSTORED);
  const TBlock block = Compute(*predicted, MEASURE_FVC, Inside);
  EXPECT_EQ(block.Predicted[FVC], 0.0f);
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Inside));
  EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 200, 250, 150)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 251, 75)));
  EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, 151)));
  const TPredictedLimits limits = predicted->GetPredictedLimits(0, 40);
  EXPECT_EQ(limits.MinAge, 0);
  EXPECT_EQ(limits.MaxAge, 0);
  EXPECT_EQ(limits.MinWeight, 5);
  EXPECT_EQ(limits.MaxWeight, 150);
  EXPECT_FLOAT_EQ(limits.MinHeight, 0.5f);
  EXPECT_FLOAT_EQ(limits.MaxHeight, 2.5f);
}

TEST(PredictedEngine, NumbersOutsideTheSetsComputeNothing) {
  for (const short set : {short{-1}, short{8}, short{300}}) {
    const auto predicted = Make(set);
    const TBlock block = Compute(*predicted, MEASURE_FVC, Inside);
    EXPECT_EQ(block.Predicted[FVC], 0.0f) << "set " << set;
    EXPECT_TRUE(predicted->VerifyPredictedLimits(Inside)) << "set " << set;
    EXPECT_EQ(predicted->GetPredictedLimits(1, 40).MaxWeight, 0) << "set " << set;
  }
}

TEST(PredictedEngine, WeightOutsideFiveTo150KgFailsEverySet) {
  for (short set = PREDICTED_ECCS; set <= PREDICTED_FINNISH; ++set) {
    const auto predicted = Make(set);
    EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, 5))) << "set " << set;
    EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, 150))) << "set " << set;
    EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, 4))) << "set " << set;
    EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, 151))) << "set " << set;
    EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 175, -75))) << "set " << set;
    const TPredictedLimits limits = predicted->GetPredictedLimits(1, 40);
    EXPECT_EQ(limits.MinWeight, 5) << "set " << set;
    EXPECT_EQ(limits.MaxWeight, 150) << "set " << set;
  }
}

TEST(PredictedEngine, MissingDataOrAnUnknownSexGivesNoValuesAndFailsTheCheck) {
  const PREDICTED_DATA refused[] = {
      Patient(1, 0, 175, 75), Patient(1, 40, 0, 75), Patient(1, 40, 175, 0),  Patient(1, -40, 175, 75),
      Patient(1, 40, -175, 75), Patient(2, 40, 175, 75), Patient(-1, 40, 175, 75), Patient(1, 40000, 175, 75),
  };
  for (short set = PREDICTED_ECCS; set <= PREDICTED_FINNISH; ++set) {
    const auto predicted = Make(set);
    for (const PREDICTED_DATA& patient : refused) {
      const TBlock block = Compute(*predicted, MEASURE_FVC, patient);
      for (short i = 0; i < FVC_PARAMETER_COUNT; ++i) {
        EXPECT_EQ(block.Predicted[i], 0.0f) << "set " << set << " sex " << patient.Sex << " age " << patient.Age;
        EXPECT_EQ(block.Rsd[i], 0.0f);
      }
      EXPECT_FALSE(predicted->VerifyPredictedLimits(patient))
          << "set " << set << " sex " << patient.Sex << " age " << patient.Age;
    }
    // The height tables have rows for the two sexes only.
    EXPECT_EQ(predicted->GetPredictedLimits(2, 40).MaxWeight, 0) << "set " << set;
    EXPECT_EQ(predicted->GetPredictedLimits(-1, 40).MaxHeight, 0.0f) << "set " << set;
  }
}

// 70 in is 177.8 cm, used as 177 cm. ECCS, man of 40 years:
// FVC = 5.76 x 1.77 - 0.026 x 40 - 4.34 = 4.8152 L (at 178 cm it would be 4.8728 L).
TEST(PredictedEngine, ImperialHeightsAndWeightsAreConvertedAndTruncated) {
  const auto predicted = Make(PREDICTED_ECCS);
  const TBlock imperial = Compute(*predicted, MEASURE_FVC, Patient(1, 40, 70, 165, 1));
  const TBlock metric = Compute(*predicted, MEASURE_FVC, Patient(1, 40, 177, 74));
  EXPECT_NEAR(imperial.Predicted[FVC], 4.8152f, 0.0005f);
  EXPECT_EQ(imperial.Predicted[FVC], metric.Predicted[FVC]);
}

// The limits are in kg and metres: a stored 70 (in) is 177 cm, not 70 cm,
// and 331 lb (150.1 kg, used as 150) is inside while 333 lb (151.0 kg) is not.
TEST(PredictedEngine, ImperialPatientsAreCheckedInMetricUnits) {
  for (short set = PREDICTED_ECCS; set <= PREDICTED_FINNISH; ++set) {
    const auto predicted = Make(set);
    EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 40, 70, 165, 1))) << "set " << set;
    EXPECT_TRUE(predicted->VerifyPredictedLimits(Patient(1, 40, 70, 331, 1))) << "set " << set;
    EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 70, 333, 1))) << "set " << set;
    EXPECT_FALSE(predicted->VerifyPredictedLimits(Patient(1, 40, 70, 9, 1))) << "set " << set;  // 4.08 kg
  }
}

// ECCS man of 40 years, 175 cm: FVC = (5.76 x 1.75 - 0.026 x 40 - 4.34) x 0.85
// = 4.7000 x 0.85 = 3.9950 L; the RSD stays 0.61 L.
TEST(PredictedEngine, TheFactorScalesPredictedValuesButNotRsds) {
  const auto predicted = Make(PREDICTED_ECCS, 2, 0.85f);
  const TBlock block = Compute(*predicted, MEASURE_FVC, Inside);
  EXPECT_NEAR(block.Predicted[FVC], 3.9950f, 0.0005f);
  EXPECT_FLOAT_EQ(block.Rsd[FVC], 0.61f);
}

TEST(PredictedEngine, TheLanguageIsTheLastConstructedObjects) {
  const auto first = Make(PREDICTED_ECCS, 1);
  EXPECT_EQ(TPredicted::Language, 1);
  const auto second = Make(PREDICTED_ECCS, 4);
  EXPECT_EQ(TPredicted::Language, 4);
}

class PredictedIniTest : public ::testing::Test {
protected:
  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();

  short ReadSet() { return TPredicted(Ini.c_str(), 2, 1.0f).PredictedAlgorithm; }
  std::string Stored() { return TProfile("Predicted Algorithm", Ini).GetString("Algorithm", "missing"); }
};

TEST_F(PredictedIniTest, MissingFileReadsEccs) { EXPECT_EQ(ReadSet(), PREDICTED_ECCS); }

TEST_F(PredictedIniTest, TheChosenSetIsWrittenAndReadBack) {
  TPredicted predicted(Ini.c_str(), 2, 1.0f);
  predicted.PredictedAlgorithm = PREDICTED_CRAPO_HSU;
  predicted.WriteAlgorithmConstans();
  EXPECT_EQ(Stored(), "3");
  EXPECT_EQ(ReadSet(), PREDICTED_CRAPO_HSU);
}

TEST_F(PredictedIniTest, AnUnknownStoredNumberReadsAsNoneAndIsLeftInTheFile) {
  for (const char* value : {"9", "-1", "32767"}) {
    Folder.Write("Halvetra.ini", std::string("[Predicted Algorithm]\nAlgorithm=") + value + "\n");
    TPredicted predicted(Ini.c_str(), 2, 1.0f);
    EXPECT_EQ(predicted.PredictedAlgorithm, PREDICTED_NONE) << value;
    predicted.WriteAlgorithmConstans();
    EXPECT_EQ(Stored(), value);
    // Once the user picks a set, that set is stored.
    predicted.PredictedAlgorithm = PREDICTED_FINNISH;
    predicted.WriteAlgorithmConstans();
    EXPECT_EQ(Stored(), "5");
  }
}

TEST_F(PredictedIniTest, SevenIsReadButNeverWritten) {
  Folder.Write("Halvetra.ini", "[Predicted Algorithm]\nAlgorithm=7\n");
  EXPECT_EQ(ReadSet(), PREDICTED_UNSTORED);
  TPredicted predicted(Ini.c_str(), 2, 1.0f);
  predicted.PredictedAlgorithm = PREDICTED_AUSTRIAN;
  predicted.WriteAlgorithmConstans();
  predicted.PredictedAlgorithm = PREDICTED_UNSTORED;
  predicted.WriteAlgorithmConstans();
  EXPECT_EQ(Stored(), "4");
}

TEST_F(PredictedIniTest, TheIniNameIsCutAt254Characters) {
  const std::string longName(300, 'x');
  const TPredicted predicted(longName.c_str(), 2, 1.0f);
  EXPECT_EQ(predicted.GetIniName(), std::string(254, 'x'));
}

}  // namespace
