// The evaluation of a finished trial on the core: the same smoothing,
// integration, base line and calculation order as the spirometry library's
// window pipeline, FVC values of a known blast within half the ISO 26782
// accuracy, and the small state changes around it.

#include "measure/tests/MeasureCoreFixture.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/spirometry/CurveSteps.h"
#include "platform/portkit/spirometry/tests/IsoTolerances.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <algorithm>

using namespace spirometry::testing;

namespace {

constexpr std::size_t FvcIndex = 0, Fev1Index = 2, PefIndex = 7, FivcIndex = 14;

class EvaluationTest : public MeasureCoreTest {
protected:
  // Puts stored samples into a trial slot as the acquisition leaves them:
  // flow, its running volume and the turning points found on the way.
  void Record(short mode, short slot, const std::vector<float>& flow) {
    Core.SetMeasureMode(mode);
    Core.TrialIndex = slot;
    ASSERT_TRUE(Core.AllocateSpiroBuffer(slot, mode, true));
    std::copy(flow.begin(), flow.end(), Core.Flow[static_cast<std::size_t>(slot)].begin());
    Core.SampleCount[static_cast<std::size_t>(mode)][static_cast<std::size_t>(slot)] = static_cast<short>(flow.size());
    spirometry::IntegrateWithExtremes(std::span<const float>(flow.data(), flow.size()),
                                      std::span<float>(Core.Volume[static_cast<std::size_t>(slot)]).first(flow.size()),
                                      Core.Extremes);
  }

  // Evaluates a slow trial on the core and through the pipeline, which
  // must agree to the last bit; answers the core's record.
  template <std::size_t N, typename Evaluate>
  std::array<float, N> Evaluated(short mode, const Waveform& waveform, Evaluate evaluate) {
    const std::vector<short> counts = Quantise(waveform.Sample(0.0));
    Record(mode, 0, StoredSamples(counts, mode));
    Core.CurveMove();
    RecordedTrial trial = Acquire(counts, mode);
    std::array<float, N> expected{};
    EXPECT_TRUE(evaluate(trial, expected, 5));
    std::array<float, N> got{};
    const std::span<const float> result = Result(mode, 0, N);
    std::copy(result.begin(), result.end(), got.begin());
    EXPECT_EQ(got, expected) << "mode " << mode;
    return got;
  }

  std::span<const float> Result(short kind, short slot, std::size_t n) const {
    return std::span<const float>(Core.AktParams[static_cast<std::size_t>(kind)][static_cast<std::size_t>(slot)].data(), n);
  }
};

Blast Expiration() { return {0, 0, 0.08, 9.0, 0.5, 6}; }
Blast Inspiration() { return {0, 0, 0.12, 6.0, 0.7, 4}; }

std::vector<short> FvcCounts() {
  Waveform w(3.0);
  w.Breathe(3, 0.5, 4.0).GlideTo(5.5, 2.0).Pause(0.4);
  w.Expire(Expiration()).Inspire(Inspiration());
  w.Breathe(2, 0.5, 3.8);
  return Quantise(w.Sample(0.0));
}

TEST_F(EvaluationTest, FvcTrialGivesThePipelinesRecordAndTheTrueValues) {
  const std::vector<short> counts = FvcCounts();
  Record(MEASURE_FVC, 1, StoredSamples(counts, MEASURE_FVC));
  Client.Answers = {0};  // no VC trial stored
  Core.CurveMove();

  RecordedTrial trial = Acquire(counts, MEASURE_FVC);
  const FvcEvaluation expected = EvaluateFvc(trial);
  ASSERT_TRUE(expected.found);
  const std::span<const float> got = Result(MEASURE_FVC, 1, FVC_PARAMETER_COUNT);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.record.begin()));
  EXPECT_TRUE(std::equal(trial.volumeL.begin(), trial.volumeL.end(), Core.Volume[1].begin()));

  // Against the closed form of the blast: volumes from full inspiration,
  // FEV1 one second after back-extrapolated time zero.
  const auto truth = TrueFvcRecord(Expiration(), Inspiration());
  EXPECT_NEAR(got[FvcIndex], truth[FvcIndex], VolumeTolerance(truth[FvcIndex]));
  EXPECT_NEAR(got[Fev1Index], truth[Fev1Index], VolumeTolerance(truth[Fev1Index]));
  EXPECT_NEAR(got[PefIndex], truth[PefIndex], PeakFlowTolerance(truth[PefIndex]));
  EXPECT_NEAR(got[FivcIndex], truth[FivcIndex], VolumeTolerance(truth[FivcIndex]));

  // The stored VC trial was asked for, the best trial chosen, the window dirty.
  EXPECT_EQ(Client.Sent.front(), (TSentMessage{WM_GET_STORED_TRIAL, MEASURE_VC, 0}));
  EXPECT_EQ(Core.TrialOrder[0], 2);
  EXPECT_TRUE(Core.Dirty);
}

TEST_F(EvaluationTest, FvcWithFirstPassesAndBackExtrapolationMatchesThePipeline) {
  const std::vector<short> counts = FvcCounts();
  Core.FilterPasses = {2, 3};
  Core.BackExtrapolationRule = Ats;
  Record(MEASURE_FVC, 0, StoredSamples(counts, MEASURE_FVC));
  Core.CurveMove();
  RecordedTrial trial = Acquire(counts, MEASURE_FVC);
  const FvcEvaluation expected = EvaluateFvc(trial, {2, 3, Ats});
  const std::span<const float> got = Result(MEASURE_FVC, 0, FVC_PARAMETER_COUNT);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.record.begin()));
}

TEST_F(EvaluationTest, VcAndMvvTrialsGiveThePipelinesRecords) {
  Waveform vc(3.0);
  vc.Breathe(3, 0.5, 4.0).GlideTo(1.2, 4.0).GlideTo(5.6, 5.0).GlideTo(3.0, 4.0);
  const std::array<float, VC_PARAMETER_COUNT> vcGot = Evaluated<VC_PARAMETER_COUNT>(MEASURE_VC, vc, EvaluateVc);
  EXPECT_NEAR(vcGot[0], 4.4, VolumeTolerance(4.4));  // IVC: 5.6 - 1.2 L

  Waveform mvv(3.0);
  mvv.Breathe(15, 1.5, 1.0);
  Evaluated<MVV_PARAMETER_COUNT>(MEASURE_MVV, mvv, EvaluateMvv);
}

TEST_F(EvaluationTest, FilterIntegratesByHandAndLeavesAnEmptyTrialAlone) {
  Record(MEASURE_VC, 0, std::vector<float>(100, 1.0f));
  Core.Filter(0);
  EXPECT_NEAR(Core.Volume[0][99], 1.0f, 1e-5f);  // 1 L/s for one second
  EXPECT_NEAR(Core.Volume[0][0], 0.01f, 1e-7f);

  // Two samples, one pass: (a + b) / 2 at the first, then (a' + b) / 2.
  Record(MEASURE_VC, 1, {1.0f, 3.0f});
  Core.Filter(1);
  EXPECT_FLOAT_EQ(Core.Flow[1][0], 2.0f);
  EXPECT_FLOAT_EQ(Core.Flow[1][1], 2.5f);

  Record(MEASURE_VC, 2, {});
  const spirometry::Extremes before = Core.Extremes;
  Core.Volume[2][0] = 7.0f;
  Core.Filter(5);
  EXPECT_EQ(Core.Volume[2][0], 7.0f);
  EXPECT_EQ(Core.Extremes.count, before.count);
}

TEST_F(EvaluationTest, CalibrationOnlyShiftsTheBaseLine) {
  Core.SetMeasureMode(MEASURE_FVC);
  Core.SetMeasureMode(MEASURE_CALIBRATION);
  Core.TrialIndex = 0;
  Core.CalFlow.assign(TMeasureData::CurveBufferSamples, 0.0f);
  Core.CalVolume.assign(TMeasureData::CurveBufferSamples, 0.0f);
  // One litre out, then three in: the lowest point is -1 L.
  std::vector<float> flow(100, -1.0f);
  flow.insert(flow.end(), 300, 1.0f);
  std::copy(flow.begin(), flow.end(), Core.CalFlow.begin());
  Core.SampleCount[MEASURE_CALIBRATION][0] = static_cast<short>(flow.size());
  spirometry::IntegrateWithExtremes(flow, std::span<float>(Core.CalVolume).first(flow.size()), Core.Extremes);
  Core.CurveMove();
  EXPECT_NEAR(Core.CalVolume[99], 0.0f, 1e-4f);
  EXPECT_NEAR(Core.CalVolume[399], 3.0f, 1e-4f);
  EXPECT_NEAR(Core.CalibrationMaximum, 3.0f, 1e-4f);
  EXPECT_FALSE(Core.Dirty);
  EXPECT_TRUE(Client.Sent.empty());
}

TEST_F(EvaluationTest, DirtyFlagFollowsTheResultsOfEveryKind) {
  Core.SetMeasureMode(MEASURE_FVC);
  Core.TrialIndex = 0;
  Core.SetDirtyFlag();
  EXPECT_FALSE(Core.Dirty);
  Core.AktParams[MEASURE_MVV][0][0] = 0.009f;
  Core.SetDirtyFlag();
  EXPECT_FALSE(Core.Dirty);
  Core.AktParams[MEASURE_MVV][0][0] = 0.01f;
  Core.SetDirtyFlag();
  EXPECT_TRUE(Core.Dirty);
  // An empty actual trial beside a kept one of the same kind.
  Core.AktParams[MEASURE_MVV][0][0] = 0.0f;
  Core.AktParams[MEASURE_FVC][2][0] = 3.0f;
  Core.SetDirtyFlag();
  EXPECT_TRUE(Core.Dirty);
}

TEST_F(EvaluationTest, StoredCurveIsIntegratedAndShiftedToItsLowestTurn) {
  Core.SetMeasureMode(MEASURE_VC);
  ASSERT_TRUE(Core.AllocateSpiroBuffer(3, MEASURE_VC, true));
  // Out 2 L, in 5 L, out 1 L at 1 L/s.
  std::vector<float> flow(200, -1.0f);
  flow.insert(flow.end(), 500, 1.0f);
  flow.insert(flow.end(), 100, -1.0f);
  std::copy(flow.begin(), flow.end(), Core.Flow[3].begin());
  Core.ReIntegratedVolume(MEASURE_VC, 3, flow.size());
  EXPECT_NEAR(Core.Volume[3][199], 0.0f, 1e-4f);
  EXPECT_NEAR(Core.Volume[3][699], 5.0f, 1e-4f);
  EXPECT_NEAR(Core.Volume[3][799], 4.0f, 1e-4f);
}

TEST_F(EvaluationTest, MeasureDateAndToolBarRequest) {
  Core.SetMeasureMode(MEASURE_VC);
  Now = {2026, 3, 10, 0, 30, 5};
  Core.SetActualMeasureDate(2);
  unsigned short y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  Core.GetMeasureDate(MEASURE_VC, 2, &y, &mo, &d);
  Core.GetMeasureTime(MEASURE_VC, 2, &h, &mi, &s);
  EXPECT_EQ((std::array{y, mo, d, h, mi, s}), (std::array<unsigned short, 6>{2026, 3, 10, 0, 30, 5}));
  Core.ChangeCommandButton(3, 1);
  EXPECT_EQ(Client.Sent.back(), (TSentMessage{WM_CHANGE_COMMAND_BUTTON, 3, 1}));
}

}  // namespace
