// The calculations through TMeasureData: trials recorded into its buffers,
// evaluated in the measurement window's order, results read from its
// records and its trial order. The true values are worked out by hand from
// the closed forms of the test blasts (platform/portkit/spirometry/tests):
// a blast rises linearly from its hesitation flow to PEF over the rise time
// and then decays as PEF·exp(−t/τ).

#include "common/MeasureMode.h"
#include "platform/portkit/MeasureData.h"
#include "platform/portkit/spirometry/tests/IsoTolerances.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/tests/support/EvaluatingWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace spirometry::testing;

namespace {

constexpr std::size_t FVC = 0, FEV_1_0 = 2, FEV_1_0_IVC = 5, PEF = 7, FIVC = 14;

struct TBlastTruth {
  std::string Name;
  Blast Expiration;
  double FvcL;
  double Fev1L;
  double PefLps;
};

// Time zero t0 is where the tangent at the peak, V(T) + PEF·(t − T), meets
// the start level; the expiration ends where less than 25 mL was expired in
// the last second, PEF·τ·e^(−(t − T)/τ)·(e^(1/τ) − 1) = 0.025 L, at tE.
// Volumes count from full inspiration, the start of the blast (V = 0), so
// the volume expired before t0 is part of both: FVC = V(tE), FEV1 = V(t0 + 1).
const std::vector<TBlastTruth>& Blasts() {
  static const std::vector<TBlastTruth> blasts{
      // Rise 0.1 s to 9 L/s, τ 0.5 s: V(T) = 0.45 L, t0 = 0.1 − 0.45/9 = 0.05 s;
      // tE = 0.1 + 0.5·ln(4.5·(e² − 1)/0.025) = 3.6238 s;
      // FVC = 0.45 + 4.5·(1 − e^(−7.0475)) = 4.9461 L;
      // FEV1 = 0.45 + 4.5·(1 − e^(−1.9)) = 4.2769 L.
      {"adult", {0, 0, 0.1, 9.0, 0.5, 6}, 4.9461, 4.2769, 9.0},
      // 0.25 s hesitation at 0.8 L/s, rise 0.2 s to 8 L/s, τ 0.5 s: T = 0.45 s,
      // V(T) = 0.2 + 8.8·0.1 = 1.08 L, t0 = 0.45 − 1.08/8 = 0.315 s,
      // V(t0) = 0.2 + 0.8·0.065 + 7.2·0.065²/0.4 = 0.32805 L (the back-extrapolated volume);
      // tE = 0.45 + 0.5·ln(4·(e² − 1)/0.025) = 3.9149 s;
      // FVC = 1.08 + 4·(1 − e^(−6.9298)) = 5.0761 L;
      // FEV1 = 1.08 + 4·(1 − e^(−1.73)) = 4.3709 L
      // (timed from the first sample instead it would be 3.7485 L, and
      // without the volume before t0 4.0428 L).
      {"hesitant start", {0.25, 0.8, 0.2, 8.0, 0.5, 6}, 5.0761, 4.3709, 8.0},
      // Rise 0.08 s to 4 L/s, τ 0.45 s: V(T) = 0.16 L, t0 = 0.04 s;
      // tE = 0.08 + 0.45·ln(1.8·(e^(1/0.45) − 1)/0.025) = 2.9529 s;
      // FVC = 0.16 + 1.8·(1 − e^(−6.3842)) = 1.9570 L;
      // FEV1 = 0.16 + 1.8·(1 − e^(−2.1333)) = 1.7468 L.
      {"child", {0, 0, 0.08, 4.0, 0.45, 4}, 1.9570, 1.7468, 4.0},
      // Rise 0.07 s to 11 L/s, τ 0.5 s: V(T) = 0.385 L, t0 = 0.035 s;
      // tE = 0.07 + 0.5·ln(5.5·(e² − 1)/0.025) = 3.6941 s;
      // FVC = 0.385 + 5.5·(1 − e^(−7.2482)) = 5.8811 L;
      // FEV1 = 0.385 + 5.5·(1 − e^(−1.93)) = 5.0867 L.
      {"tall adult", {0, 0, 0.07, 11.0, 0.5, 7}, 5.8811, 5.0867, 11.0},
  };
  return blasts;
}

// A trial as the simulator and the demonstration file deliver it: quiet at
// the resting level, a slow inspiration to total lung capacity, a pause, the
// blast, a pause, a forced inspiration and quiet again. The acquisition
// keeps it from the first expiratory sample on.
std::vector<short> ForcedTrial(const Blast& expiration, double phase) {
  Waveform w(2.6);
  w.Pause(0.5).GlideTo(7.2, 1.5).Pause(0.5).Expire(expiration).Pause(0.3);
  w.Inspire({0, 0, 0.12, 7.0, 0.75, 5}).Pause(1.0);
  return Quantise(w.Sample(phase));
}

class MeasureDataCalculations : public ::testing::Test {
protected:
  void TearDown() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  TMeasureData Data{MEASURE_FVC, nullptr};
  TEvaluatingWindow Window{Data};
};

TEST_F(MeasureDataCalculations, ForcedTrialsGiveFvcFev1AndPefOfTheirBlastUnderEitherRule) {
  for (const TBlastTruth& blast : Blasts()) {
    for (const short rule : {0, 1}) {  // "ECCS", "ATS"
      SCOPED_TRACE(blast.Name + (rule == 0 ? ", ECCS" : ", ATS"));
      Window.BackExtrapolation = rule;
      Window.Record(MEASURE_FVC, 1, ForcedTrial(blast.Expiration, 0.37));
      ASSERT_TRUE(Window.CurveMove());
      const auto& record = Data.AktParams[MEASURE_FVC][1];
      EXPECT_NEAR(record[FVC], blast.FvcL, VolumeTolerance(blast.FvcL));
      EXPECT_NEAR(record[FEV_1_0], blast.Fev1L, VolumeTolerance(blast.Fev1L));
      EXPECT_NEAR(record[PEF], blast.PefLps, PeakFlowTolerance(blast.PefLps));

      // The first pass answered the first stored sample as the start, at the
      // top of the blast: after the base-line shift it lies the whole blast
      // above the deepest point.
      const double blastL = blast.Expiration.Volume(blast.Expiration.durationS);
      EXPECT_NEAR(Data.StartVolume, blastL, VolumeTolerance(blastL));
      // The later passes moved the start to time zero, before the peak and
      // the deepest point, before the end of the inspiration.
      EXPECT_GT(Window.Start, 0);
      EXPECT_LT(Window.Start, Window.Peak);
      EXPECT_LT(Window.Peak, Window.Second);
      EXPECT_LT(Window.Second, Window.Third);
      EXPECT_NEAR(Window.Peak * 0.01, blast.Expiration.PeakTimeS(), 0.015);
      EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{2, 0, 0}));
    }
  }
}

// Three trials and a slow VC: the best trial by "FVC" + "FEV*1,0" first, and
// FEV1/IVC of the trial evaluated after the VC trial from that trial's IVC.
TEST_F(MeasureDataCalculations, TheBestTrialAndFev1PerIvcOfTheNamedVcTrial) {
  const std::vector<TBlastTruth>& blasts = Blasts();
  // Criteria by the values above: child 3.70, tall adult 10.97, adult 9.22.
  Window.Record(MEASURE_FVC, 0, ForcedTrial(blasts[2].Expiration, 0.1));
  ASSERT_TRUE(Window.CurveMove());
  EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{1, 0, 0}));
  Window.Record(MEASURE_FVC, 1, ForcedTrial(blasts[3].Expiration, 0.6));
  ASSERT_TRUE(Window.CurveMove());
  EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{2, 1, 0}));

  // Tidal breathing at 3.0 L, out to 1.2 L and in to 6.0 L: IVC 4.8 L.
  Waveform vc(3.0);
  vc.Breathe(4, 0.5, 4.0).GlideTo(1.2, 4.0).GlideTo(6.0, 5.0).GlideTo(2.5, 3.0).Pause(0.5);
  Window.Record(MEASURE_VC, 1, Quantise(vc.Sample(0.42)));
  ASSERT_TRUE(Window.CurveMove());
  EXPECT_NEAR(Data.AktParams[MEASURE_VC][1][0], 4.8, VolumeTolerance(4.8));
  EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{2, 0, 0}));

  Window.StoredVcTrial = 2;  // VC trial 2 lives in slot 1
  Window.Record(MEASURE_FVC, 2, ForcedTrial(blasts[0].Expiration, 0.85));
  ASSERT_TRUE(Window.CurveMove());
  EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{2, 3, 1}));
  // 100 · 4.2769 / 4.8 = 89.10 %.
  const auto& record = Data.AktParams[MEASURE_FVC][2];
  EXPECT_NEAR(record[FEV_1_0_IVC], 89.10, RatioTolerance(89.10, 4.2769, 4.8));

  // Without a VC trial the ratio falls back on the trial's own larger
  // capacity: FIVC of the 7 L/s inspiration (rise 0.12 s, τ 0.75 s, 5 s) is
  // 0.42 + 5.25·(1 − e^(−6.5067)) = 5.6622 L, above FVC 4.9461 L;
  // 100 · 4.2769 / 5.6622 = 75.53 %.
  Data.CalculateFEVperIVC(2, -1);
  EXPECT_NEAR(record[FIVC], 5.6622, VolumeTolerance(5.6622));
  EXPECT_NEAR(record[FEV_1_0_IVC], 75.53, RatioTolerance(75.53, 4.2769, 5.6622));
}

TEST_F(MeasureDataCalculations, MvvOfSinusoidalBreathing) {
  // 2 L breaths at 90 a minute for 15 s: 180 L/min over any whole 12 s.
  Waveform w(3.0);
  w.GlideTo(3.5, 0.5).Breathe(23, 2.0, 60.0 / 90.0).Pause(0.3);
  Window.Record(MEASURE_MVV, 0, Quantise(w.Sample(0.61)));
  ASSERT_TRUE(Window.CurveMove());
  EXPECT_NEAR(Data.AktParams[MEASURE_MVV][0][0], 180.0, 60.0 * FlowTolerance(3.0));
  EXPECT_NEAR(Data.AktParams[MEASURE_MVV][0][1], 90.0, 0.025 * 90.0);
  EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{1, 0, 0}));
}

// A trial without a manoeuvre, or one the counts and buffers do not
// describe, gives no result in any kind and is never chosen.
TEST_F(MeasureDataCalculations, NoResultWithoutAManoeuvreOrWithBuffersThatDoNotFit) {
  // An inspiration of 1.0 L/s (114 counts of 8.7890625 mL/s) for a second:
  // the acquisition stores nothing of it, and with every sample kept it
  // integrates to 1.0 L and still holds no manoeuvre.
  for (const short kind : {MEASURE_FVC, MEASURE_VC, MEASURE_MVV}) {
    SCOPED_TRACE(kind);
    Window.Record(kind, 0, std::vector<short>(100, 114));
    EXPECT_EQ(Data.SampleCount[kind][0], 0);
    Data.AktParams[kind][0].fill(3.0f);
    EXPECT_FALSE(Window.CurveMove());
    EXPECT_EQ(Data.AktParams[kind][0][0], 0.0f);
    EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{0, 0, 0}));

    Window.RecordFlows(kind, 0, std::vector<float>(100, 1.0f));
    EXPECT_NEAR(Data.Volume[0][99], 1.0, 1e-5);
    Data.AktParams[kind][0].fill(3.0f);
    EXPECT_FALSE(Window.CurveMove());
    EXPECT_EQ(Data.AktParams[kind][0][0], 0.0f);
    EXPECT_EQ(Data.TrialOrder, (std::array<short, 3>{0, 0, 0}));
  }

  // A count beyond buffers the window never allocated, and a trial index
  // outside the slots: nothing is read or written out of bounds.
  TMeasureData::MeasureMode = MEASURE_FVC;
  Data.Flow[2].assign(10, -3.0f);
  Data.Volume[2].clear();
  Data.SampleCount[MEASURE_FVC][2] = 6000;
  Data.SampleCount[MEASURE_VC][2] = -5;
  Data.SampleCount[MEASURE_MVV][2] = 6000;
  short start = 9, peak = 9, second = 9, third = 9;
  for (const short slot : {short{2}, short{-1}, short{4}}) {
    SCOPED_TRACE(slot);
    Data.TrialIndex = slot;
    EXPECT_FALSE(Data.CalculateFvcParams(start, peak, second, third, 0));
    EXPECT_FALSE(Data.CalculateBackExtrapolation(start, peak));
    EXPECT_FALSE(Data.CalculateFvcParams(start, peak, second, third, 1));
    EXPECT_EQ(start, 0);
    EXPECT_FALSE(Data.CalculateVcParams());
    EXPECT_FALSE(Data.CalculateMvvParams());
  }
  Data.CalculateFEVperIVC(7, 0);
  Data.CalculateFEVperIVC(-1, 9);
}

// The lung volumes of a plethysmograph trial from its TGV, its volume curve
// and the marks the sequence set, into the trial's own record.
TEST_F(MeasureDataCalculations, PlethysmographLungVolumesOfTheActualTrial) {
  // 2.0 L above the lowest point at the shutter closure (sample 10), out to
  // 0.8 after it opened (sample 20), in to 4.8: with TGV 3.0, ERV 1.2 and
  // RV 1.8; the IVC after RV, 4.0, gives TLC 5.8 and RV/TLC 31.03 %.
  std::vector<float> volume(40, 2.0f);
  const float tail[] = {1.6f, 1.2f, 0.8f, 1.5f, 3.0f, 4.8f, 3.0f, 1.0f};
  std::copy(std::begin(tail), std::end(tail), volume.begin() + 22);
  Data.Volume[1] = volume;
  Data.Flow[1].assign(volume.size(), 0.0f);
  Data.SampleCount[MEASURE_PLETHY][1] = 40;
  Data.TrialIndex = 1;
  Data.ResistanceStartMark = 2;
  Data.ResistanceEndMark = 6;
  Data.TGVStartMark = 10;
  Data.EndMark = 20;
  Data.PlethyVolumes = {true, 0.0};
  auto& record = Data.AktParams[MEASURE_PLETHY][1];
  record[1] = 3.0f;  // TGV
  ASSERT_TRUE(Data.CalculatePlethyParams());
  EXPECT_NEAR(record[2], 1.8f, 1e-5);     // RV
  EXPECT_NEAR(record[0], 5.8f, 1e-5);     // TLC
  EXPECT_NEAR(record[3], 31.034f, 1e-3);  // RV/TLC
  EXPECT_EQ(Data.AktParams[MEASURE_PLETHY][0][2], 0.0f);

  // A count that leaves the end mark off the curve, or a slot outside the
  // four, writes nothing.
  record.fill(0.0f);
  record[1] = 3.0f;
  Data.SampleCount[MEASURE_PLETHY][1] = 20;
  EXPECT_FALSE(Data.CalculatePlethyParams());
  EXPECT_EQ(record[2], 0.0f);
  Data.TrialIndex = 4;
  EXPECT_FALSE(Data.CalculatePlethyParams());
}

}  // namespace

namespace {

// The shutter record from a final curve in the trial's flow and mouth
// pressure: on the Rohrer relation |P| = 0.1 |V'| + 0.05 V'² both ways,
// |P(±0.5)| = 0.0625 kPa, so Raw = Rin = Rex = 0.125 kPa·s/L, Gaw = 8.
TEST(MeasureDataShutter, TheShutterRecordFromTheFinalCurve) {
  TMeasureData data{MEASURE_SHUTTER, nullptr};
  data.TrialIndex = 1;
  const std::vector<float> flows{-0.75f, -0.5f, -0.25f, 0.25f, 0.5f, 0.75f, -0.75f};
  data.Flow[1].assign(6010, 0.0f);
  data.Third[1].assign(6010, 0.0f);
  for (std::size_t i = 0; i < flows.size(); ++i) {
    const float f = flows[i];
    const float magnitude = 0.1f * std::abs(f) + 0.05f * f * f;
    data.Flow[1][i] = f;
    data.Third[1][i] = f >= 0.0f ? -magnitude : magnitude;
  }
  data.SampleCount[MEASURE_SHUTTER][1] = static_cast<short>(flows.size());
  data.ShutterBreathingRate = 17;
  ASSERT_TRUE(data.CalculateShParams());
  const auto& r = data.AktParams[MEASURE_SHUTTER][1];
  EXPECT_NEAR(r[0], 0.125f, 1e-5f);
  EXPECT_NEAR(r[1], 0.125f, 1e-5f);
  EXPECT_NEAR(r[2], 0.125f, 1e-5f);
  EXPECT_NEAR(r[3], 8.0f, 1e-3f);
  EXPECT_EQ(r[4], 17.0f);

  // No curve: nothing written.
  data.SampleCount[MEASURE_SHUTTER][1] = 0;
  data.AktParams[MEASURE_SHUTTER][1].fill(0.0f);
  EXPECT_FALSE(data.CalculateShParams());
  EXPECT_EQ(data.AktParams[MEASURE_SHUTTER][1][0], 0.0f);
}

}  // namespace
