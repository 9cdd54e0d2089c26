// The limits in the warning are worked by hand: 5 kg is 11.02 lb, 150 kg
// is 330.69 lb; 50 cm is 19.685 in (1 ft 7.7 in), 250 cm is 98.425 in
// (8 ft 2.4 in), at 2.54 cm to the inch and 0.45359237 kg to the pound.

#include "measure/tests/MeasureCoreFixture.h"

#include "predicted/Predicted.h"

namespace {

class PredictedCheck : public MeasureCoreTest {
protected:
  PredictedCheck() : Predicted("", 0, 1.0f) {
    // A set whose limits are the general ones: 5 to 150 kg, 0.5 to 2.5 m.
    Predicted.PredictedAlgorithm = PREDICTED_KNUDSON;
    Core.SetPredicted(&Predicted);
  }

  PREDICTED_DATA Patient(int unit, int height, int weight) const {
    PREDICTED_DATA patient;
    patient.Age = 40;
    patient.Sex = 1;
    patient.Unit = unit;
    patient.Height = height;
    patient.Weight = weight;
    return patient;
  }

  TPredictedLimits Limits() const { return Predicted.GetPredictedLimits(1, 40); }

  TPredicted Predicted;
};

TEST_F(PredictedCheck, APatientInsideTheLimitsIsNotWarned) {
  Core.SetPredictedData(Patient(0, 175, 70));
  Core.VerifyPredictedData();
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PredictedCheck, MetricWarningShowsCentimetres) {
  Core.SetPredictedData(Patient(0, 175, 170));
  Core.VerifyPredictedData();
  ASSERT_EQ(Sink.Messages.size(), 1u);
  const TPredictedLimits limits = Limits();
  const std::string expected =
      Texts.LoadStringA(24) + "\n\t" +
      Texts.Format(25, {std::to_string(limits.MinAge), std::to_string(limits.MaxAge), "5", "150", "50", "250"});
  EXPECT_EQ(Sink.Messages[0].Text, expected);
  EXPECT_EQ(Sink.Messages[0].Caption, Texts.LoadStringA(1));
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Information);
  EXPECT_EQ(Core.PredictedData.Weight, 170);  // the patient is not changed
  Sink.Messages.clear();
}

TEST_F(PredictedCheck, ImperialWarningShowsPoundsFeetAndInches) {
  Core.SetPredictedData(Patient(1, 130, 160));  // 130 in is 3.30 m
  Core.VerifyPredictedData();
  ASSERT_EQ(Sink.Messages.size(), 1u);
  const TPredictedLimits limits = Limits();
  const std::string expected = Texts.LoadStringA(24) + "\n\t" +
                               Texts.Format(26, {std::to_string(limits.MinAge), std::to_string(limits.MaxAge), "11",
                                                 "330", "1", "7.7", "8", "2.4"});
  EXPECT_EQ(Sink.Messages[0].Text, expected);
  Sink.Messages.clear();
}

TEST_F(PredictedCheck, RhinomanometryTouchesNothing) {
  Core.SetMeasureMode(MEASURE_RHINO);
  Core.SetPredictedData(Patient(0, 175, 170));
  Core.VerifyPredictedData();
  Core.CalculatePredictedRSD();
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_EQ(Core.GetRefBuffer(MEASURE_FVC, 0)[0], 0.0f);
}

TEST_F(PredictedCheck, PredictedValuesOfEveryKindFromTheEquations) {
  Predicted.PredictedAlgorithm = PREDICTED_CRAPO_HSU;
  Core.SetPredictedData(Patient(0, 175, 70));
  Core.CalculatePredictedRSD();
  using TFill = void (TPredicted::*)(PREDICTED_DATA, float*, float*) const;
  const TFill fills[] = {&TPredicted::CalculateFvcPredicted,    &TPredicted::CalculateVcPredicted,
                         &TPredicted::CalculateMvvPredicted,    &TPredicted::CalculateDfcPredicted,
                         &TPredicted::CalculatePlethyPredicted, &TPredicted::CalculateShPredicted};
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    std::array<float, MAX_PARAMETER_COUNT> ref{};
    std::array<float, MAX_PARAMETER_COUNT> rsd{};
    (Predicted.*fills[kind])(Core.PredictedData, ref.data(), rsd.data());
    for (short i = 0; i < TMeasureCore::GetNumberOfParams(kind); ++i) {
      EXPECT_EQ(Core.GetRefBuffer(kind, 0)[i], ref[static_cast<std::size_t>(i)]);
      EXPECT_EQ(Core.GetRsdBuffer(kind)[i], rsd[static_cast<std::size_t>(i)]);
    }
  }
  EXPECT_NE(Core.GetRefBuffer(MEASURE_FVC, 0)[0], 0.0f);
}

}  // namespace
