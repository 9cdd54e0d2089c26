#include "tools/lungmodel/LungModel.h"
#include "tools/lungmodel/BoxModel.h"
#include "tools/lungmodel/RhinoModel.h"

#include "platform/portkit/diffusion/SingleBreath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace LungModel;

namespace {

// Volume of flows[from, to), L.
double Integrate(const std::vector<double>& flows, std::size_t from, std::size_t to) {
  return std::accumulate(flows.begin() + static_cast<std::ptrdiff_t>(from),
                         flows.begin() + static_cast<std::ptrdiff_t>(to), 0.0) *
         SampleSeconds;
}

// The blast starts after 0.5 s at rest, 1.5 s of inspiration and 0.5 s at TLC.
constexpr std::size_t BlastStart = 250;

TEST(LungModel, ForcedExpirationsHaveTheChosenFvcFev1AndPef) {
  struct Case {
    const char* who;
    double fvc, fev1, pef, rise;
  };
  const Case cases[] = {
      {"child", 1.5, 1.35, 3.0, 0.08},     {"adult", 4.5, 3.7, 9.0, 0.10},
      {"tall adult", 7.0, 5.6, 12.0, 0.12}, {"obstruction", 3.0, 1.5, 4.0, 0.15},
      {"slow blast", 4.0, 3.4, 6.0, 0.30},
  };
  for (const Case& c : cases) {
    TPatient p;
    p.FvcL = c.fvc;
    p.Fev1L = c.fev1;
    p.PefLps = c.pef;
    p.RiseTimeS = c.rise;
    ASSERT_FALSE(CheckForced(p)) << c.who;
    const std::vector<double> flows = ForcedManoeuvre(p);
    ASSERT_EQ(flows[BlastStart - 1], 0.0) << c.who << ": the blast starts here, not before";
    ASSERT_LT(flows[BlastStart], 0.0) << c.who;

    std::size_t end = BlastStart;
    while (end < flows.size() && flows[end] <= 0.0)
      ++end;
    EXPECT_NEAR(-Integrate(flows, BlastStart, end), c.fvc, 0.001) << c.who;
    EXPECT_NEAR(-Integrate(flows, BlastStart, BlastStart + 100), c.fev1, 0.001) << c.who;
    const double pef = -*std::min_element(flows.begin(), flows.end());
    EXPECT_NEAR(pef, c.pef, c.pef * 0.01) << c.who << ": sampled every 10 ms";
    EXPECT_NEAR(Integrate(flows, end, flows.size()), p.FivcL, 0.001) << c.who << ": the forced inspiration";
  }
}

TEST(LungModel, ImpossibleForcedManoeuvresAreRefused) {
  TPatient p;
  p.Fev1L = p.FvcL;
  EXPECT_TRUE(CheckForced(p));
  p.Fev1L = 0.5;  // barely more than the rise to PEF: no limb is that slow
  EXPECT_TRUE(CheckForced(p));
  p.Fev1L = 3.7;
  p.RiseTimeS = 0.0;
  EXPECT_TRUE(CheckForced(p));
}

TEST(LungModel, SlowMvvAndSyringeManoeuvresMoveTheChosenVolumes) {
  const TPatient p;
  // Slow VC: from RV to TLC is ERV + TV + IRV = 4.3 L.
  const std::vector<double> vc = SlowVcManoeuvre(p);
  double volume = 0.0, lowest = 0.0, highest = 0.0;
  for (const double flow : vc) {
    volume += flow * SampleSeconds;
    lowest = std::min(lowest, volume);
    highest = std::max(highest, volume);
  }
  EXPECT_NEAR(highest - lowest, 4.3, 0.001);
  EXPECT_NEAR(volume, 0.0, 1e-9) << "back at FRC";

  // MVV: 18 breaths of 1.8 L in 12 s are 162 L/min; sampling every 10 ms
  // misses the very top of breaths that last 66.7 samples.
  const std::vector<double> mvv = MvvManoeuvre(p);
  double inspired = 0.0;
  for (const double flow : mvv)
    inspired += std::max(flow, 0.0) * SampleSeconds;
  EXPECT_NEAR(inspired / 12.0 * 60.0, 162.0, 0.1);

  // Syringe: twenty strokes of 3 L, inspiration first.
  const std::vector<double> strokes = SyringeStrokes(p);
  std::vector<double> volumes;
  double stroke = 0.0;
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    stroke += strokes[i] * SampleSeconds;
    if (strokes[i] == 0.0 && std::fabs(stroke) > 1e-9) {
      volumes.push_back(stroke);
      stroke = 0.0;
    }
  }
  ASSERT_EQ(volumes.size(), 20u);
  for (std::size_t k = 0; k < volumes.size(); ++k)
    EXPECT_NEAR(volumes[k], k % 2 == 0 ? 3.0 : -3.0, 1e-9) << k;
}

TEST(LungModel, TheQuantizedFlowNeverDriftsFromTheVolume) {
  TFlowQuantizer quantizer;
  long total = 0;
  for (int i = 0; i < 100; ++i) {
    const int count = quantizer.Next(1.0);  // 1 L/s is 113.78 counts
    EXPECT_TRUE(count == 113 || count == 114) << count;
    total += count;
  }
  EXPECT_NEAR(total * FlowMlpsPerCount * SampleSeconds / 1000.0, 1.0, 0.5 * FlowMlpsPerCount * SampleSeconds / 1000.0);
}

// By hand: He 4.8 % × (4.3 − 0.33) / 5.6 = 3.40286 %. The uptake time of a
// 10-s hold: the 2-s half-cosine inspiration has time zero at
// 2 (1/2 − 1/π) = 0.36338 s and 90 % in at 2 acos(−0.8) / π = 1.59033 s, so
// uptake starts at 0.36338 + 0.3 × 1.22695 = 0.73147 s and lasts
// 1.26853 + 10 + 2 (half the 4-s expiration) = 13.26853 s. Tlco 8.0 is
// DLCO 23.896 mL/min/mmHg, a rate of 23.896 × 760 × 310.15 / (5600 ×
// 273.15) = 3.68232 /min; CO 0.3 % × 3.97 / 5.6 × e^(−3.68232 × 13.26853 / 60)
// = 0.21268 % × 0.44295 = 0.094204 %.
TEST(LungModel, AlveolarGasOfTheDiffusionBreath) {
  const TPatient p;
  EXPECT_DOUBLE_EQ(DiffusionInspiredL(p), 4.3);
  EXPECT_NEAR(DiffusionUptakeS(10.0), 13.26853, 0.00001);
  const TAlveolarGas gas = AlveolarGas(p, 4.3, DiffusionUptakeS(10.0));
  EXPECT_NEAR(gas.HePercent, 3.40286, 0.00001);
  EXPECT_NEAR(gas.CoPercent, 0.094204, 0.000002);
}

// The program's single-breath calculation, fed the model's breath, finds
// the patient the model was given, at any barometric pressure.
TEST(LungModel, TheDiffusionBreathGivesBackItsPatient) {
  TPatient p;
  p.AlveolarVolumeL = 4.1;
  p.TlcoMmolMinKPa = 5.5;
  for (const double hpa : {1013.0, 850.0}) {
    const TAlveolarGas gas = AlveolarGas(p, DiffusionInspiredL(p), DiffusionUptakeS(9.0));
    diffusion::SingleBreathInput in;
    in.inspiredL = DiffusionInspiredL(p);
    in.deadSpaceL = p.DeadSpaceL;
    in.breathHoldS = DiffusionUptakeS(9.0);
    in.pressureHpa = hpa;
    in.readings = {gas.HePercent, gas.CoPercent};
    in.calibration = {1.0, 1.0, 1.0, p.InspiredHePercent, p.InspiredCoPercent};
    diffusion::SingleBreathResult r;
    ASSERT_EQ(diffusion::CalculateSingleBreath(in, r), diffusion::Refusal::None);
    EXPECT_NEAR(r.alveolarVolumeL, 4.1, 1e-9);
    EXPECT_NEAR(r.tlcoMmolMinKPa, 5.5, 1e-9);
  }
}

// The body box: a patient of FRC 3.2 L (TPatient's TGV), 75 kg in a 960 L
// cabin (Vc = 960 - 75 / 1.07 = 889.907 L), 1013.25 hPa, 25 °C, 50 %.
// By hand with the Magnus formula: W(25) = 3161.7 Pa, W(37) = 6271.0 Pa.
TEST(BoxModel, PantingCompressesTheThoracicGasByBoylesLaw) {
  // +1 kPa at the mouth compresses 3.2 + 0.08 L of dry gas at
  // 101325 - 6271.0 = 95054 Pa by 1000 × 3.28 / 96054 = 0.034148 L; the
  // box loses 101325 × 0.034148 / 889.907 = 3.888 Pa.
  TPatient p;
  p.RawKpaSpL = 0.0;
  TBoxSettings s;
  s.ArtefactShare = 0.0;
  TBoxModel model(p, s);
  for (int i = 1; i < 25; ++i)
    model.Next(true);
  const TBoxModel::TSignals quarter = model.Next(true);  // a quarter of a 1-Hz pant
  EXPECT_EQ(quarter.FlowLps, 0.0);
  EXPECT_NEAR(quarter.MouthPa, 1000.0, 1e-6);
  EXPECT_NEAR(quarter.BoxPa, -3.888, 0.001);
  EXPECT_NEAR(model.ThoracicGasL(), 3.28, 1e-9);
}

TEST(BoxModel, TheBoxShowsItsShareOfTheInspiredAirsExpansion) {
  // Air of 25 °C and 50 % taken to 37 °C, saturated: the volume grows by
  // 310.15 / 298.15 × (101325 - 1580.9) / (101325 - 6271.0) = 1.091575, a
  // pressure of 101325 × 0.091575 = 9278.9 Pa. At the top of a 0.6 L
  // breath through no resistance, 40 % of it: 0.4 × 9278.9 × 0.6 / 889.907
  // = 2.5024 Pa.
  TPatient p;
  p.RawKpaSpL = 0.0;
  TBoxModel model(p, TBoxSettings{});
  EXPECT_NEAR(ArtefactPa(TBoxAir{}), 9278.9, 0.5);
  TBoxModel::TSignals top;
  for (int i = 0; i < 100; ++i)  // half a 2-s breath
    top = model.Next(false);
  EXPECT_NEAR(model.LungVolumeL(), 3.8, 1e-9);
  EXPECT_NEAR(top.BoxPa, 2.5024, 0.001);
}

TEST(BoxModel, FlowsAddUpToTheVolumesOfTheWholeTest) {
  // Quiet breaths of 0.6 L, the shutter, out to RV 1.6 L, in to TLC (RV +
  // FIVC 4.4 = 6.0 L) and back to FRC 3.2 L.
  TPatient p;
  TBoxSettings s;
  s.Ivc = true;
  TBoxModel model(p, s);
  double volume = p.TgvL, lowest = 10.0, highest = 0.0, largestInBreaths = 0.0;
  // 600 samples of breathing, 400 against the shutter, then 3 + 0.5 + 3 +
  // 0.5 + 3 s of manoeuvre back to FRC.
  for (int i = 0; i < 1990; ++i) {
    const bool closed = i >= 600 && i < 1000;
    const TBoxModel::TSignals sample = model.Next(closed);
    volume += sample.FlowLps * SampleSeconds;
    if (i < 600)
      largestInBreaths = std::max(largestInBreaths, volume);
    lowest = std::min(lowest, volume);
    highest = std::max(highest, volume);
    ASSERT_NEAR(volume, model.LungVolumeL(), 1e-9) << i;
  }
  EXPECT_NEAR(largestInBreaths, 3.8, 1e-9);
  EXPECT_NEAR(lowest, 1.6, 1e-9);
  EXPECT_NEAR(highest, 6.0, 1e-9);
  EXPECT_NEAR(volume, 3.2, 0.02);  // on the way back, a tenth of a second before FRC
}

TEST(BoxModel, ScriptedTrialMarksFollowTheSequencesRules) {
  const TScriptedBoxTrial t = ScriptedBoxTrial(TPatient{}, TBoxSettings{});
  ASSERT_GT(t.ResistanceStart, 0);
  // Four loops of 2 s after the start: the shutter closes 800 samples later.
  EXPECT_NEAR(t.TgvStart - t.ResistanceStart, 802, 2);
  EXPECT_GT(t.End, t.TgvStart + 400);  // five panting cycles of 1 s
  EXPECT_LT(t.End, t.TgvStart + 500);
  for (int i = t.TgvStart; i <= t.End; ++i)
    ASSERT_EQ(t.FlowLps[static_cast<std::size_t>(i)], 0.0) << i;
  EXPECT_NEAR(t.ThoracicGasL, 3.28, 0.002);
}

TEST(LungModel, NasalFlowGrowsWithTheSquareRootOfThePressure) {
  const TRhinoTrial trial = RhinoTrial(TPatient{});
  // Half an inspiration of 1.6 s, then six breaths of 3.2 to 4 s: 20.4 s.
  ASSERT_EQ(trial.FlowMlps.size(), 160u + 2040u);
  for (std::size_t i = 0; i < trial.FlowMlps.size(); i += 37)
    EXPECT_NEAR(trial.FlowMlps[i], -std::copysign(400.0 * std::sqrt(std::fabs(trial.PressurePa[i]) / 150.0), trial.PressurePa[i]), 1e-9);
  EXPECT_LT(trial.PressurePa[10], 0.0) << "the test begins with an inspiration";
  EXPECT_GT(trial.FlowMlps[10], 0.0);
  EXPECT_GT(trial.PressurePa[170], 0.0) << "then the expiration the recording starts on";
  const auto [low, high] = std::minmax_element(trial.PressurePa.begin(), trial.PressurePa.end());
  EXPECT_NEAR(*high, 360.0, 0.5);
  EXPECT_NEAR(*low, -360.0, 0.5);
}

TEST(LungModel, RohrersNose) {
  // P = k1·V + k2·V² with the laminar part a third of 150 Pa at 500 mL/s:
  // k1 = 50/500 = 0.1, k2 = 100/500² = 0.0004. At 50 Pa
  // 0.0004·V² + 0.1·V - 50 = 0 gives V = (-0.1 + √(0.01 + 0.08)) / 0.0008 = 250;
  // at 300 Pa √(0.01 + 0.48) = 0.7 gives 750.
  const TNose nose{500.0, 1.0 / 3.0};
  EXPECT_NEAR(NasalFlowMlps(nose, -150.0), 500.0, 1e-9);
  EXPECT_NEAR(NasalFlowMlps(nose, -50.0), 250.0, 1e-9);
  EXPECT_NEAR(NasalFlowMlps(nose, 300.0), -750.0, 1e-9);
  EXPECT_NEAR(NasalFlowMlps(TNose{500.0, 0.0}, -37.5), 250.0, 1e-9);  // an orifice: √(37.5/150) = 0.5
  EXPECT_EQ(NasalFlowMlps(nose, 0.0), -0.0);
}

}  // namespace

namespace {

// Behind the closed shutter the mouth reads the alveolar pressure of the
// moment of closure, Rohrer's K1 V' + K2 V'|V'| opposite to the flow, and
// then rises by the patient's push. K1 0.1, K2 0.05 at 0.5 L/s: 50 + 12.5
// = 62.5 Pa, below the mouth for an inspiration; 1 kPa/s is 10 Pa a sample.
TEST(LungModel, TheShutterHeadReadsTheAlveolarPressureOfTheClosure) {
  LungModel::TPatient patient;
  patient.RawKpaSpL = 0.1;
  patient.RohrerKpaS2pL2 = 0.05;
  patient.ShutterRiseKpaS = 1.0;
  EXPECT_NEAR(LungModel::AlveolarPa(patient, 0.5), -62.5, 1e-9);
  EXPECT_NEAR(LungModel::AlveolarPa(patient, -0.5), 62.5, 1e-9);

  LungModel::TShutterHead head(patient);
  for (int i = 0; i < 30; ++i)
    ASSERT_FALSE(head.Next(0.5).MouthPa) << "open: no pressure";
  const auto closure = head.Next(0.3);
  EXPECT_EQ(closure.FlowLps, 0.5) << "the flow before the closure";
  EXPECT_EQ(closure.MouthPa, 0.0);
  for (int k = 1; k < 10; ++k) {
    const auto closed = head.Next(0.3);
    EXPECT_EQ(closed.FlowLps, 0.0);
    ASSERT_TRUE(closed.MouthPa);
    EXPECT_NEAR(*closed.MouthPa, -62.5 - 10.0 * k, 1e-9) << k;
  }
  EXPECT_FALSE(head.Next(0.3).MouthPa) << "open again";
}

}  // namespace
