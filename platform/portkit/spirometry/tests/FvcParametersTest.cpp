#include "platform/portkit/spirometry/tests/IsoTolerances.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace spirometry::testing {
namespace {

// The times have no tolerance of their own in the standards: FET within half
// a tenth of a second, MTT (a volume-weighted time) within the volumes' 1.5 %.
constexpr double FetToleranceS = 0.05;
double MttTolerance(double t) { return 0.015 * t; }

struct FvcCase {
  std::string name;
  Waveform waveform;
  Blast expiration;  // the blast the record describes
  Blast inspiration;
  double phase;  // where the samples fall, in parts of a sample
};

FvcCase Case(std::string name, Blast expiration, Blast inspiration, double phase) {
  Waveform w(4.0);
  w.Expire(expiration).Inspire(inspiration).Pause(0.5);
  return {std::move(name), w, expiration, inspiration, phase};
}

// From a child (FVC 1.5 L) to a tall adult (FVC 7 L), fast and slow blasts,
// slow emptying, a hesitant start, an expiration longer than 15 s, and the
// blast found inside a longer trial.
std::vector<FvcCase> FvcCases() {
  std::vector<FvcCase> cases;
  //            hesitation s, L/s   rise   PEF   decay  length
  cases.push_back(Case("child, fast blast", {0, 0, 0.05, 3.2, 0.45, 4}, {0, 0, 0.10, 2.2, 0.60, 3}, 0.00));
  cases.push_back(Case("child, slow blast", {0, 0, 0.18, 2.4, 0.55, 5}, {0, 0, 0.15, 2.0, 0.65, 3.5}, 0.37));
  cases.push_back(Case("adolescent", {0, 0, 0.05, 6.0, 0.45, 5}, {0, 0, 0.10, 4.5, 0.55, 3.5}, 0.81));
  cases.push_back(Case("adult, very fast blast", {0, 0, 0.035, 10.5, 0.45, 6}, {0, 0, 0.10, 7.0, 0.65, 4}, 0.5));
  cases.push_back(Case("tall adult", {0, 0, 0.07, 13.0, 0.52, 7}, {0, 0, 0.12, 9.0, 0.72, 5}, 0.13));
  cases.push_back(Case("obstruction, slow emptying", {0, 0, 0.12, 1.5, 2.0, 12}, {0, 0, 0.15, 3.5, 0.8, 4}, 0.66));
  // Rise 0.3 s to 5 L/s: time zero 0.15 s, 0.1875 L expired before it.
  cases.push_back(Case("adult, slow-rising blast", {0, 0, 0.30, 5.0, 0.6, 6}, {0, 0, 0.12, 5.0, 0.7, 4}, 0.58));
  cases.push_back(Case("hesitation, large back-extrapolated volume", {0.25, 0.8, 0.2, 8.0, 0.5, 6},
                       {0, 0, 0.10, 6.0, 0.75, 5}, 0.29));
  cases.push_back(Case("expiration longer than 15 s", {0, 0, 0.10, 1.2, 4.0, 18}, {0, 0, 0.2, 3.0, 1.0, 4}, 0.93));
  {
    const Blast ex{0, 0, 0.10, 7.0, 0.5, 6};
    const Blast in{0, 0, 0.12, 5.0, 0.65, 4};
    Waveform w(3.0);
    w.Breathe(3, 0.5, 3.5).GlideTo(5.0, 2.0).Pause(0.4).Expire(ex).Inspire(in).Pause(0.5);
    cases.push_back({"adult after tidal breathing and a pause at the top", w, ex, in, 0.45});
  }
  {
    const Blast weak{0, 0, 0.15, 4.0, 0.6, 4};
    const Blast ex{0, 0, 0.08, 8.5, 0.5, 6};
    const Blast in{0, 0, 0.12, 6.0, 0.7, 4};
    Waveform w(4.0);
    w.Expire(weak).GlideTo(5.2, 2.5).Expire(ex).Inspire(in).Pause(0.5);
    cases.push_back({"the fuller of two blasts", w, ex, in, 0.21});
  }
  return cases;
}

void ExpectRecord(const std::array<float, FVC_PARAMETER_COUNT>& got, const std::array<double, 19>& want) {
  for (const std::size_t i : {FVC, FEV_0_5, FEV_1_0, FIVC, FIV_0_5, FIV_1_0}) {
    EXPECT_NEAR(got[i], want[i], VolumeTolerance(want[i])) << FvcParameterNames[i];
  }
  for (const std::size_t i : {PEF, PIF}) {
    EXPECT_NEAR(got[i], want[i], PeakFlowTolerance(want[i])) << FvcParameterNames[i];
  }
  for (const std::size_t i : {FEF_25_75, MEF_75, MEF_50, MEF_25, FIF_25_75}) {
    EXPECT_NEAR(got[i], want[i], FlowTolerance(want[i])) << FvcParameterNames[i];
  }
  const double ivc = std::max(want[FVC], want[FIVC]);
  EXPECT_NEAR(got[FEV_0_5_FVC], want[FEV_0_5_FVC], RatioTolerance(want[FEV_0_5_FVC], want[FEV_0_5], want[FVC]));
  EXPECT_NEAR(got[FEV_1_0_FVC], want[FEV_1_0_FVC], RatioTolerance(want[FEV_1_0_FVC], want[FEV_1_0], want[FVC]));
  EXPECT_NEAR(got[FEV_0_5_IVC], want[FEV_0_5_IVC], RatioTolerance(want[FEV_0_5_IVC], want[FEV_0_5], ivc));
  EXPECT_NEAR(got[FEV_1_0_IVC], want[FEV_1_0_IVC], RatioTolerance(want[FEV_1_0_IVC], want[FEV_1_0], ivc));
  EXPECT_NEAR(got[FET], want[FET], FetToleranceS) << "FET";
  EXPECT_NEAR(got[MTT], want[MTT], MttTolerance(want[MTT])) << "MTT";
}

TEST(FvcParameters, EveryParameterOfKnownWaveformsWithinHalfTheIsoTolerance) {
  for (const FvcCase& c : FvcCases()) {
    SCOPED_TRACE(c.name);
    RecordedTrial trial = Acquire(Quantise(c.waveform.Sample(c.phase)), MEASURE_FVC);
    const FvcEvaluation result = EvaluateFvc(trial);
    ASSERT_TRUE(result.found);
    ExpectRecord(result.record, TrueFvcRecord(c.expiration, c.inspiration));
    const double bev = TrueBackExtrapolatedVolume(c.expiration);
    EXPECT_NEAR(result.manoeuvre.backExtrapolatedVolumeL, bev, VolumeTolerance(bev));
  }
}

// One blast worked through by hand. Back extrapolation only sets the clock:
// FEV1 is the volume expired from full inspiration (the start of the blast)
// to one second after time zero, FVC all of it to the end of the expiration,
// so the volume expired before time zero belongs to both.
//
// The blast hesitates 0.2 s at 0.5 L/s, rises linearly over 0.1 s to its
// peak of 6 L/s at T = 0.3 s and decays as 6·e^(−(t − T)/0.5).
//   Volume at the peak: 0.5·0.2 + (0.5 + 6)/2·0.1 = 0.1 + 0.325 = 0.425 L.
//   Tangent at the peak: V(t) = 0.425 + 6·(t − 0.3); it meets the start
//   level 0 at t0 = 0.3 − 0.425/6 = 0.229167 s.
//   Volume expired before t0 (u = t0 − 0.2 = 0.029167 s into the rise):
//   0.1 + 0.5·u + (6 − 0.5)·u²/(2·0.1) = 0.1 + 0.014583 + 0.023394 = 0.137977 L.
//   FEV1 = V(t0 + 1) = 0.425 + 6·0.5·(1 − e^(−(1.229167 − 0.3)/0.5))
//        = 0.425 + 3·(1 − e^(−1.858333)) = 0.425 + 3·0.844068 = 2.957203 L.
//   End of the expiration, where the last second held 25 mL:
//   3·e^(−(tE − 0.3)/0.5)·(e² − 1) = 0.025, tE = 0.3 + 0.5·ln(766.687) = 3.621039 s.
//   FVC = V(tE) = 0.425 + 3·(1 − 0.025/(3·(e² − 1))) = 0.425 + 3 − 0.003913 = 3.421087 L
//   (the 4 mL that still follow before the blast stops at 6 s are past the
//   end of the forced expiration).
// Measured from time zero instead, FEV1 would read 2.819 L and FVC 3.283 L.
TEST(FvcParameters, VolumesCountFromFullInspirationOnABlastWorkedByHand) {
  const Blast blast{0.2, 0.5, 0.1, 6.0, 0.5, 6};
  constexpr double trueFev1 = 2.957203;
  constexpr double trueFvc = 3.421087;
  constexpr double trueBackExtrapolatedVolume = 0.137977;
  for (const double phase : {0.0, 0.25, 0.5, 0.75}) {
    SCOPED_TRACE(phase);
    Waveform w(4.0);
    w.Expire(blast).Inspire({0, 0, 0.12, 5.0, 0.7, 4}).Pause(0.5);
    for (const short rule : {Eccs, Ats}) {
      RecordedTrial trial = Acquire(Quantise(w.Sample(phase)), MEASURE_FVC);
      const FvcEvaluation result = EvaluateFvc(trial, {.backExtrapolation = rule});
      ASSERT_TRUE(result.found);
      EXPECT_NEAR(result.record[FEV_1_0], trueFev1, 0.003);
      EXPECT_NEAR(result.record[FVC], trueFvc, VolumeTolerance(trueFvc));
      EXPECT_NEAR(result.manoeuvre.backExtrapolatedVolumeL, trueBackExtrapolatedVolume, 0.003);
      EXPECT_NEAR((result.manoeuvre.timeZero + 0.5 + phase) * 0.01, 0.229167, 0.002);
    }
  }
}

// "ECCS" and "ATS" both time the blast from back extrapolation by the same
// construction: the window calls CalculateBackExtrapolation only for "ATS",
// and pass 1 does it itself for "ECCS". The records must be identical.
TEST(FvcParameters, BothBackExtrapolationRulesGiveTheSameRecord) {
  for (const FvcCase& c : FvcCases()) {
    SCOPED_TRACE(c.name);
    const std::vector<short> counts = Quantise(c.waveform.Sample(c.phase));
    RecordedTrial eccsTrial = Acquire(counts, MEASURE_FVC);
    RecordedTrial atsTrial = Acquire(counts, MEASURE_FVC);
    const FvcEvaluation eccs = EvaluateFvc(eccsTrial, {.backExtrapolation = Eccs});
    const FvcEvaluation ats = EvaluateFvc(atsTrial, {.backExtrapolation = Ats});
    ASSERT_TRUE(eccs.found);
    EXPECT_EQ(eccs.record, ats.record);
    EXPECT_EQ(eccs.manoeuvre.start, ats.manoeuvre.start);
    EXPECT_EQ(eccs.manoeuvre.backExtrapolatedVolumeL, ats.manoeuvre.backExtrapolatedVolumeL);
  }
}

TEST(FvcParameters, BackExtrapolationMovesTheStartToTimeZero) {
  // Hesitation 0.25 s at 0.8 L/s, then a 0.2 s rise to 8 L/s: the tangent
  // at the peak (0.45 s, 1.08 L) meets volume 0 at 0.45 - 1.08 / 8 = 0.315 s.
  // Sample k is taken at (k + 0.3) × 10 ms and closes the volume step that
  // ends half a sample later, so 0.315 s falls into the step of sample 31.
  constexpr double phase = 0.3;
  const FvcCase c = FvcCases()[7];
  RecordedTrial trial = Acquire(Quantise(c.waveform.Sample(phase)), MEASURE_FVC);
  const FvcEvaluation result = EvaluateFvc(trial);
  ASSERT_TRUE(result.found);
  EXPECT_NEAR((result.manoeuvre.timeZero + 0.5 + phase) * 0.01, 0.315, 0.002);
  EXPECT_EQ(result.manoeuvre.start, 31);
  EXPECT_EQ(result.manoeuvre.peakFlow, 45);  // 0.453 s, just past the peak
}

TEST(FvcParameters, LaterPassesNeedTheManoeuvreOfPassZero) {
  std::vector<float> flow(300, -2.0f);
  RecordedTrial trial = Replay(flow);
  std::array<float, FVC_PARAMETER_COUNT> record;
  record.fill(7.0f);
  FvcManoeuvre none;
  EXPECT_FALSE(CalculateFvcParams(trial.Curve(), trial.extremes, none, 1, record));
  EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](float v) { return v == 0.0f; }));
  record.fill(7.0f);
  EXPECT_FALSE(CalculateFvcParams(trial.Curve(), trial.extremes, none, 2, record));
  EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](float v) { return v == 0.0f; }));
}

TEST(FvcParameters, FevPerIvcTakesTheSlowVcOrElseTheLargerForcedCapacity) {
  std::array<float, FVC_PARAMETER_COUNT> record{};
  record[FVC] = 4.0f;
  record[FEV_0_5] = 2.5f;
  record[FEV_1_0] = 3.2f;
  record[FIVC] = 4.2f;
  CalculateFEVperIVC(record, 5.0f);
  EXPECT_FLOAT_EQ(record[FEV_0_5_IVC], 50.0f);  // 2.5 / 5.0
  EXPECT_FLOAT_EQ(record[FEV_1_0_IVC], 64.0f);  // 3.2 / 5.0
  CalculateFEVperIVC(record, 0.0f);
  EXPECT_NEAR(record[FEV_1_0_IVC], 76.190476, 1e-4);  // 3.2 / 4.2
  record[FIVC] = 3.0f;
  CalculateFEVperIVC(record, -1.0f);
  EXPECT_FLOAT_EQ(record[FEV_1_0_IVC], 80.0f);  // 3.2 / 4.0

  std::array<float, FVC_PARAMETER_COUNT> empty{};
  CalculateFEVperIVC(empty, 5.0f);
  EXPECT_EQ(empty[FEV_1_0_IVC], 0.0f);
}

}  // namespace
}  // namespace spirometry::testing
