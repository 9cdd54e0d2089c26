#include "platform/portkit/plethysmography/BoxEvaluation.h"
#include "platform/portkit/plethysmography/Smoothing.h"
#include "platform/portkit/plethysmography/tests/AnalyticTrial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace plethysmography {
namespace {

using testing::AnalyticBox;
using testing::AnalyticPatient;
using testing::AnalyticTrial;
using testing::MakeTrial;

// The box air of the analytic trials: 1013.25 hPa, 25 °C, 50 %, with
// W(37) = 6280 Pa and W(25) = 3169 Pa. Its BTPS artefact by hand:
// 6280 + 12 / 298 × 101325 - 0.5 × 3169 = 8775.7 Pa (AnalyticBox's).
BoxAir Air(double pressureHpa = 1013.25) { return {pressureHpa, 25.0, 50.0, 6280.0, 3169.0}; }

EvaluationSettings Settings(int adaptiveSteps, double share = 0.4) {
  EvaluationSettings s;
  s.cabinL = 890.0;
  s.weightKg = 0.0;
  s.artefactShare = share;
  s.adaptiveSteps = adaptiveSteps;
  s.volumes.ivcAfterEnd = true;
  return s;
}

struct Evaluated {
  AnalyticTrial trial;
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  TrialEvaluation ev;
};

Evaluated Evaluate(const AnalyticPatient& p, const EvaluationSettings& s, const AnalyticBox& box = {},
                   const BoxAir& air = Air()) {
  Evaluated e{MakeTrial(p, box), {}, {}};
  spirometry::Extremes extremes;
  IntegrateVolume(e.trial.Signals(), extremes);  // as the link found them while recording
  e.ev = EvaluateTrial(e.trial.Signals(), e.trial.marks, air, s, extremes, e.record);
  return e;
}

AnalyticPatient Patient() {
  AnalyticPatient p;
  p.frcL = 3.0;
  p.ervL = 1.2;
  p.ivcL = 4.5;
  return p;
}

TEST(BoxEvaluation, ThoracicGasVolumeOfPantingAgainstTheShutter) {
  // The chest of known volume pants ±1.5 kPa; its dry gas obeys Boyle's
  // law exactly, the box moves by PB × dV / Vc. TGV must come back within
  // 0.5 %, at sea level and at 900 hPa, with and without 80 mL between the
  // mouth and the shutter (compressed with the chest, taken off as offset).
  struct Case {
    double frc;
    double pressureHpa;
    double deadSpace;
  };
  const Case cases[] = {{2.0, 1013.25, 0.0}, {3.0, 1013.25, 0.0}, {5.0, 1013.25, 0.0},
                        {3.0, 900.0, 0.0},   {3.0, 1013.25, 0.08}, {6.5, 900.0, 0.08}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.frc << " L at " << c.pressureHpa << " hPa, " << c.deadSpace << " L");
    AnalyticPatient p = Patient();
    p.frcL = c.frc;
    p.ervL = std::min(1.2, c.frc - 0.5);
    p.deadSpaceL = c.deadSpace;
    AnalyticBox box;
    box.pressureHpa = c.pressureHpa;
    EvaluationSettings s = Settings(0);
    s.tgvOffsetL = c.deadSpace;
    const Evaluated e = Evaluate(p, s, box, Air(c.pressureHpa));
    ASSERT_EQ(e.ev.refusal, EvaluationRefusal::None);
    EXPECT_NEAR(e.record[TGV], c.frc, c.frc * 0.005);
  }
}

TEST(BoxEvaluation, LungVolumesFromTgv) {
  // TGV 3.0, ERV 1.2: RV 1.8; IVC 4.5: TLC 6.3, RV/TLC 28.57 %.
  const Evaluated e = Evaluate(Patient(), Settings(0));
  EXPECT_NEAR(e.record[RV], 1.8f, 0.015f);
  EXPECT_NEAR(e.record[TLC], 6.3f, 0.015f);
  EXPECT_NEAR(e.record[RV_TLC], 28.57f, 0.25f);
  // The volume curve reads absolute lung volume: its lowest point is RV.
  const auto lowest = std::min_element(e.trial.volumeL.begin(), e.trial.volumeL.end());
  EXPECT_NEAR(*lowest, e.record[RV], 1e-4);
}

TEST(BoxEvaluation, ResistanceFiguresOfALinearAirway) {
  // Palv = 0.25 V' through a 890 L box, with 40 % of the BTPS artefact,
  // converted with that share: Raw = Req = 0.25 kPa·s/L within 1 %. Rin
  // and Rex carry the half-sample bias of b0 at 100 samples a breath
  // (π / 200 = 1.6 %, see ResistanceLoopsTest): within 2 %. One breath of
  // 2 s: 30 /min. sRaw = 0.25 × 3.0 = 0.75, sGaw = 1.333.
  const Evaluated e = Evaluate(Patient(), Settings(0));
  ASSERT_EQ(e.ev.refusal, EvaluationRefusal::None);
  EXPECT_NEAR(e.record[Raw], 0.25f, 0.0025f);
  EXPECT_NEAR(e.record[Req], 0.25f, 0.0025f);
  EXPECT_NEAR(e.record[Rin], 0.25f, 0.005f);
  EXPECT_NEAR(e.record[Rex], 0.25f, 0.005f);
  EXPECT_NEAR(e.record[Rfreq], 30.0f, 1e-3f);
  EXPECT_NEAR(e.record[sRaw], 0.75f, 0.0075f * 1.5f);
  EXPECT_NEAR(e.record[sGaw], 1.0f / 0.75f, 0.02f);
  EXPECT_NEAR(e.record[Gaw], 4.0f, 0.04f);
  ASSERT_TRUE(e.ev.resistanceLoop);
  EXPECT_EQ(e.ev.loops.valid.size(), 4u);
}

TEST(BoxEvaluation, RohrerAirwayByBothMethods) {
  // Palv = 0.15 V' + 0.1 V'|V'| with a peak flow A = π × 0.6 / 2 = 0.94248
  // L/s. Extreme points: 0.15 + 0.1 × A = 0.24425. Matthys (at 0.5 L/s):
  // 0.15 + 0.05 = 0.20. Req = 0.15 + 0.1 × <|V'|³> / <V'²> = 0.15 + 0.1 × A
  // × 8 / (3π) = 0.15 + 0.08 = 0.23, whichever slope method.
  AnalyticPatient p = Patient();
  p.k1 = 0.15;
  p.k2 = 0.1;
  for (const bool matthys : {false, true}) {
    SCOPED_TRACE(matthys);
    EvaluationSettings s = Settings(0);
    s.loops.matthys = matthys;
    const Evaluated e = Evaluate(p, s);
    ASSERT_EQ(e.ev.refusal, EvaluationRefusal::None);
    const float raw = matthys ? 0.20f : 0.24425f;
    EXPECT_NEAR(e.record[Raw], raw, raw * 0.01f);
    EXPECT_NEAR(e.record[Req], 0.23f, 0.0023f);
  }
}

TEST(BoxEvaluation, SearchFindsTheArtefactShare) {
  // The loops close when the artefact's share is taken off: the search over
  // 50 steps must land within 0.05 of the share the box was built with, and
  // the resistance then within 1 %.
  for (const double share : {0.2, 0.4, 0.7}) {
    SCOPED_TRACE(share);
    AnalyticPatient p = Patient();
    p.artefactShare = share;
    const Evaluated e = Evaluate(p, Settings(50, 0.9));
    ASSERT_EQ(e.ev.refusal, EvaluationRefusal::None);
    ASSERT_TRUE(e.ev.searched);
    ASSERT_GE(e.ev.adaptive.size(), 4u);
    for (std::size_t j = 0; j < 4; ++j)
      EXPECT_NEAR(e.ev.adaptive[j].factor, share, 0.05) << "loop " << j;
    EXPECT_NEAR(e.record[Raw], 0.25f, 0.0025f);
  }
}

TEST(BoxEvaluation, DriftAndSmoothingLeaveTheResults) {
  // A drift of 0.5 Pa/s (15 Pa over the trial, far more than a breath's
  // swing) is removed breath by breath; three smoothing passes barely touch
  // breaths of 0.5 Hz and panting of 2 Hz.
  AnalyticPatient p = Patient();
  p.driftPaPerS = 0.5;
  for (const int passes : {0, 3}) {
    SCOPED_TRACE(passes);
    EvaluationSettings s = Settings(0);
    s.filterPasses = passes;
    const Evaluated e = Evaluate(p, s);
    ASSERT_EQ(e.ev.refusal, EvaluationRefusal::None);
    EXPECT_NEAR(e.record[TGV], 3.0f, 0.015f);
    EXPECT_NEAR(e.record[Raw], 0.25f, 0.0025f);
  }
}

TEST(BoxEvaluation, RefusalsClearTheRecord) {
  // RV = TGV - ERV = 1.0 - 1.2 < 0: text 493, nothing kept.
  AnalyticPatient p = Patient();
  p.frcL = 1.0;
  Evaluated e = Evaluate(p, Settings(0));
  EXPECT_EQ(e.ev.refusal, EvaluationRefusal::NoResidual);
  EXPECT_TRUE(std::all_of(e.record.begin(), e.record.end(), [](float v) { return v == 0.0f; }));

  AnalyticTrial t = MakeTrial(Patient(), {});
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  record.fill(9.0f);
  spirometry::Extremes extremes;
  Marks m = t.marks;
  m.tgvStart = 0;
  EXPECT_EQ(EvaluateTrial(t.Signals(), m, Air(), Settings(0), extremes, record).refusal,
            EvaluationRefusal::NoManoeuvre);
  EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](float v) { return v == 0.0f; }));
}

}  // namespace
}  // namespace plethysmography
