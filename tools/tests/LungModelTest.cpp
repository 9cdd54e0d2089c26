#include "tools/lungmodel/LungModel.h"

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

TEST(LungModel, BoxPressureFollowsTheAlveolarPressureByBoylesLaw) {
  const TPatient p;  // Raw 0.15 kPa·s/L, TGV 3.2 L in an 890 L box
  const TPlethysmographTrial trial = PlethysmographTrial(p);
  ASSERT_LT(trial.ResistanceStart, trial.ShutterClosed);
  ASSERT_LT(trial.ShutterClosed, trial.ShutterOpened);
  const std::size_t breathing = static_cast<std::size_t>(trial.ResistanceStart) + 30;
  EXPECT_NEAR(trial.BoxPa[breathing], 150.0 * trial.FlowLps[breathing] * 3.2 / 890.0, 1e-9);
  EXPECT_EQ(trial.MouthPa[breathing], 0.0);
  const std::size_t panting = static_cast<std::size_t>(trial.ShutterClosed) + 25;  // a quarter of a 1 Hz pant
  EXPECT_EQ(trial.FlowLps[panting], 0.0);
  EXPECT_NEAR(trial.MouthPa[panting], 1000.0, 1e-6);
  EXPECT_NEAR(trial.BoxPa[panting], -1000.0 * 3.2 / 890.0, 1e-6);
}

TEST(LungModel, NasalFlowGrowsWithTheSquareRootOfThePressure) {
  const TRhinoTrial trial = RhinoTrial(TPatient{});
  ASSERT_EQ(trial.FlowMlps.size(), 1600u);
  for (std::size_t i = 0; i < trial.FlowMlps.size(); i += 37)
    EXPECT_NEAR(trial.FlowMlps[i], std::copysign(400.0 * std::sqrt(std::fabs(trial.PressurePa[i]) / 150.0), trial.PressurePa[i]), 1e-9);
  EXPECT_GT(trial.PressurePa[10], 0.0) << "the recording starts on the positive side";
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
