// The DFC branch of the evaluation on the core: a breath of known timing
// with the readings of the worked example in docs/diffusion.md, and the
// failures of the gas sequence that clear the trial with their text.

#include "measure/tests/MeasureCoreFixture.h"

#include "platform/portkit/spirometry/CurveSteps.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"

#include <algorithm>

using namespace spirometry::testing;

namespace {

constexpr std::size_t Tlc = 0, Ivc = 1, Rv = 5, Tlco = 9, Klco = 10, BHtime = 11;

short SampleAt(double seconds) { return static_cast<short>(seconds * 100.0 + 0.5) - 1; }

class DiffusionEvaluation : public MeasureCoreTest {
protected:
  DiffusionEvaluation() { Prepare(); }

  void Prepare() {
    Core.Gas.GasBufferFailure = false;
    Core.Gas.GasSamplingLimit = false;
    const Blast inspiration{0.0, 0.0, 0.25, 5.0, 0.5, 3.0};
    Waveform w(3.0);
    w.Breathe(3, 0.5, 4.0).GlideTo(1.5, 4.0);
    const double turnS = w.NowS();
    w.Inspire(inspiration).Pause(10.5).GlideTo(2.5, 4.0).Pause(1.0);
    std::vector<float> flow;
    for (const double f : w.Sample(0.5)) flow.push_back(static_cast<float>(f));

    Core.SetMeasureMode(MEASURE_DFC);
    Core.TrialIndex = 0;
    EXPECT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_DFC, true));
    std::copy(flow.begin(), flow.end(), Core.Flow[0].begin());
    Core.SampleCount[MEASURE_DFC][0] = static_cast<short>(flow.size());
    spirometry::IntegrateWithExtremes(flow, std::span<float>(Core.Volume[0]).first(flow.size()), Core.Extremes);

    // The breath of the worked example: 4.00 L inspired, 0.330 L dead
    // space, readings 3.20 % He and 0.1200 % CO, a breath hold of 10.00 s
    // by Jones and Meade (time zero 0.125 s into the blast by the tangent
    // at its 5 L/s peak; 90 % of the volume in at the blast's closed form).
    Core.GasTurnIndex = SampleAt(turnS);
    Core.GasHoldIndex = SampleAt(turnS + 3.0);
    Core.GasTurnVolume = Core.Volume[0][static_cast<std::size_t>(Core.GasTurnIndex)];
    Core.GasStartVolume = Core.GasTurnVolume + 4.00f;
    const double timeZeroS = turnS + inspiration.BackExtrapolatedTimeS();
    const double ninetyS = turnS + inspiration.TimeOfVolume(0.9 * inspiration.Volume(3.0));
    const double middleS = timeZeroS + 0.3 * (ninetyS - timeZeroS) + 10.00;
    Core.GasSampleStartIndex = SampleAt(middleS - 0.3);
    Core.GasSampleEndIndex = SampleAt(middleS + 0.3);
    Core.GasDiscardVolume = 0.75f;
    Core.MeasuredHe = 3.20f;
    Core.MeasuredCo = 0.1200f;
    Core.HeConstans = 1.0f;
    Core.CoConstans = 1.0f;
    Core.Diffusion.DeadSpaceL = 0.330f;
    Core.Diffusion.Co2ExtractionCorrection = 0.95f;
    Core.Diffusion.OriginalHeConcentration = 4.80f;
    Core.Diffusion.OriginalCoConcentration = 0.300f;
    Core.HasInstrument = true;
    Core.Gas.GasSampleTaken = true;
  }

  float Param(std::size_t i) const { return Core.AktParams[MEASURE_DFC][0][i]; }

  std::string TakeMessage() {
    if (Sink.Messages.empty()) return {};
    std::string text = Sink.Messages.front().Text;
    Sink.Messages.erase(Sink.Messages.begin());
    return text;
  }
};

TEST_F(DiffusionEvaluation, TheWorkedExampleThroughTheWindowsEvaluation) {
  Core.CurveMove();
  EXPECT_NEAR(Param(Ivc), 4.00, 1e-4);
  EXPECT_NEAR(Param(Tlc), 5.795 + 0.330, 0.001);
  EXPECT_NEAR(Param(Rv), 5.795 + 0.330 - 4.00, 0.001);
  EXPECT_NEAR(Param(BHtime), 10.00, 0.02);
  EXPECT_NEAR(Param(Tlco), 6.890, 6.890 * 0.003);
  EXPECT_NEAR(Param(Klco), 1.189, 1.189 * 0.003);
  // The volume curve is lifted so that its lowest point lies at RV.
  const auto n = static_cast<std::size_t>(Core.SampleCount[MEASURE_DFC][0]);
  const float lowest = *std::min_element(Core.Volume[0].begin(), Core.Volume[0].begin() + static_cast<long>(n));
  EXPECT_NEAR(lowest, Param(Rv), 0.01);
}

TEST_F(DiffusionEvaluation, FailuresClearTheTrialWithTheirText) {
  struct Case {
    const char* name;
    void (*spoil)(TMeasureCore&);
    int text;
  };
  const Case cases[] = {
      {"no gas buffers", [](TMeasureCore& c) { c.Gas.GasBufferFailure = true; }, 3},
      {"too little test gas for the sample", [](TMeasureCore& c) { c.Gas.GasSamplingLimit = true; }, 461},
      {"inspired volume within the dead space", [](TMeasureCore& c) { c.GasStartVolume = c.GasTurnVolume + 0.30f; },
       9213},
      {"no CO reading", [](TMeasureCore& c) { c.MeasuredCo = 0.0f; }, 9214},
      {"no CO uptake", [](TMeasureCore& c) { c.MeasuredCo = 0.2f; }, 9215},
      {"no sample window", [](TMeasureCore& c) { c.GasSampleEndIndex = c.GasSampleStartIndex; }, 9212},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare();
    c.spoil(Core);
    Core.CurveMove();
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(c.text));
    EXPECT_EQ(Param(Tlco), 0.0f);
    EXPECT_EQ(Param(Tlc), 0.0f);
  }
}

TEST_F(DiffusionEvaluation, PushedSettingsGiveTheGasPhaseLimits) {
  TDiffusionSettings s;
  s.FlowThresholdLps = 0.025f;  // "FlowTreshold" 25 mL/s
  s.GasInspirationMinVolumeL = 0.75f;
  s.WashOutTimeThreshold = 15;
  s.GasSampleTimeThreshold = 30;
  s.DeadSpaceL = 0.2f;
  Core.ApplyDiffusionSettings(s);
  EXPECT_FLOAT_EQ(Core.Gas.GasFlowLimit, 0.025f);
  EXPECT_FLOAT_EQ(Core.Gas.GasVolumeLimit, 0.75f);
  EXPECT_EQ(Core.Gas.BelowCountLimit, 15);
  EXPECT_EQ(Core.Gas.BetweenCountLimit, 30);
  EXPECT_FLOAT_EQ(Core.Diffusion.DeadSpaceL, 0.2f);
}

}  // namespace
