#include "platform/portkit/diffusion/DfcParameters.h"

#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace diffusion {
namespace {

using spirometry::testing::Blast;
using spirometry::testing::RecordedTrial;
using spirometry::testing::Replay;
using spirometry::testing::Waveform;

std::size_t DfcSampleAt(double seconds) { return static_cast<std::size_t>(seconds * 100.0 + 0.5) - 1; }

// A patient whose lungs are known: FRC 2.5 L above which 0.5 L tidal
// breaths ride, RV 1.2 L, the test gas inspired to TLC, a ten-second hold
// and the expiration with the sample. The patient's VA is TLC less the dead
// space; the analyser readings follow from VA and a true Tlco by the
// physics of the test (dilution of the helium, exponential uptake of CO).
struct Patient {
  Blast inspiration{.hesitationS = 0.0, .hesitationLps = 0.0, .riseS = 0.25, .peakLps = 5.0, .decayS = 0.5,
                    .durationS = 3.0};
  double rvL = 1.2;
  double frcL = 2.5;
  double deadSpaceL = 0.15;
  double tlco = 8.5;  // mmol/min/kPa
  double turnS = 0.0;
  RecordedTrial trial;
  DfcInput input;

  double InspiredL() const { return inspiration.Volume(inspiration.durationS); }
  double TlcL() const { return rvL + InspiredL(); }
  double VaL() const { return TlcL() - deadSpaceL; }

  Patient(double pressureHpa, double breathHoldS) {
    Waveform w(frcL + 0.5);
    w.Breathe(4, 0.5, 4.0).GlideTo(rvL, 4.0);
    turnS = w.NowS();
    w.Inspire(inspiration).Pause(10.0).GlideTo(2.4, 4.0).Pause(1.0);
    std::vector<float> flow;
    for (const double f : w.Sample(0.5)) {
      flow.push_back(static_cast<float>(f));
    }
    trial = Replay(flow);

    DfcManoeuvre& m = input.manoeuvre;
    m.marks = {DfcSampleAt(turnS), DfcSampleAt(turnS + inspiration.durationS), 0, 0};
    // Sample window centred so that the Jones-Meade time is breathHoldS.
    const double timeZeroS = turnS + inspiration.BackExtrapolatedTimeS();
    const double ninetyS = turnS + inspiration.TimeOfVolume(0.9 * InspiredL());
    const double middleS = timeZeroS + 0.3 * (ninetyS - timeZeroS) + breathHoldS;
    m.marks.sampleStart = DfcSampleAt(middleS - 0.25);
    m.marks.sampleEnd = DfcSampleAt(middleS + 0.25);
    m.turnVolumeL = trial.volumeL[m.marks.turn];
    m.holdVolumeL = trial.volumeL[m.marks.holdStart];
    m.discardL = 0.75;
    input.deadSpaceL = deadSpaceL;
    input.pressureHpa = pressureHpa;
    input.calibration = {1.02, 0.97, 0.95, 10.0, 0.28};

    // Alveolar fractions: helium diluted into VA, CO decaying by
    // DLCO·(PB - 47) / VA,STPD per minute of breath hold.
    const double faHe = 10.0 * (InspiredL() - deadSpaceL) / VaL();
    const double faCo0 = 0.28 * faHe / 10.0;
    const double pb = pressureHpa * 0.750061683;
    const double vaStpdMl = VaL() * 1000.0 * (pb - 47.0) / 760.0 * 273.15 / 310.15;
    const double dlco = tlco * 2.987;
    const double faCo = faCo0 * std::exp(-dlco * (pb - 47.0) / vaStpdMl * breathHoldS / 60.0);
    // The readings: through the gas constants, before the CO2 correction.
    input.readings = {faHe * 1.02 / 0.95, faCo * 0.97 / 0.95};
  }
};

TEST(DfcParameters, APatientOfKnownLungsAndTransferFactor) {
  for (const double hpa : {1013.0, 900.0}) {
    SCOPED_TRACE(hpa);
    Patient p(hpa, 9.5);
    std::array<float, DFC_PARAMETER_COUNT> record{};
    ASSERT_EQ(CalculateDfcParams(p.trial.Curve(), p.trial.extremes, p.input, record), Refusal::None);
    const double tlc = p.TlcL();
    EXPECT_NEAR(record[IVC], p.InspiredL(), 0.025);
    EXPECT_NEAR(record[TLC], tlc, 0.02 * tlc);
    EXPECT_NEAR(record[RV], p.rvL, 0.03);
    EXPECT_NEAR(record[RV_TLC], p.rvL / tlc * 100.0, 1.0);
    EXPECT_NEAR(record[TV], 0.5, 0.025);
    EXPECT_NEAR(record[ERV], p.frcL - p.rvL, 0.025);
    EXPECT_NEAR(record[IRV], tlc - (p.frcL + 0.5), 0.03);
    EXPECT_NEAR(record[FRC], p.frcL, 0.04);
    EXPECT_NEAR(record[FRC_TLC], p.frcL / tlc * 100.0, 1.5);
    EXPECT_NEAR(record[Tlco], p.tlco, 0.03 * p.tlco);
    EXPECT_NEAR(record[Klco], p.tlco / p.VaL(), 0.03 * p.tlco / p.VaL());
    EXPECT_NEAR(record[BHtime], 9.5, 0.1);
    EXPECT_FLOAT_EQ(record[WOV], 0.75f);
  }
}

TEST(DfcParameters, RefusalsLeaveTheRecordZero) {
  Patient p(1013.0, 9.5);
  std::array<float, DFC_PARAMETER_COUNT> record{};
  record.fill(7.0f);

  DfcInput noHold = p.input;
  noHold.manoeuvre.marks.sampleStart = noHold.manoeuvre.marks.holdStart - 1;
  EXPECT_EQ(CalculateDfcParams(p.trial.Curve(), p.trial.extremes, noHold, record), Refusal::NoManoeuvre);
  EXPECT_EQ(record, decltype(record){});

  record.fill(7.0f);
  DfcInput tooLittle = p.input;
  tooLittle.deadSpaceL = 10.0;
  EXPECT_EQ(CalculateDfcParams(p.trial.Curve(), p.trial.extremes, tooLittle, record), Refusal::TooLittleInspired);
  EXPECT_EQ(record, decltype(record){});

  record.fill(7.0f);
  DfcInput noReading = p.input;
  noReading.readings.coPercent = 0.0;
  EXPECT_EQ(CalculateDfcParams(p.trial.Curve(), p.trial.extremes, noReading, record), Refusal::NoGasReading);
  EXPECT_EQ(record, decltype(record){});
}

}  // namespace
}  // namespace diffusion
