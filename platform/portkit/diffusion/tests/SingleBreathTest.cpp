#include "platform/portkit/diffusion/SingleBreath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace diffusion {
namespace {

// The worked example of docs/diffusion.md, computed by hand there:
// FA,He = 3.20 × 0.95 = 3.04 %, FA,CO = 0.1200 × 0.95 = 0.1140 %,
// VA = 3.67 × 4.80 / 3.04 = 5.795 L, FACO,0 = 0.300 × 3.04 / 4.80 = 0.190 %,
// DLCO = 5.795 × 273.15 / 310.15 / 760 × 6000 × ln(0.190 / 0.114) = 20.58,
// Tlco = 20.58 / 2.987 = 6.890, Klco = 6.890 / 5.795 = 1.189.
SingleBreathInput WorkedExample(double pressureHpa) {
  SingleBreathInput in;
  in.inspiredL = 4.00;
  in.deadSpaceL = 0.330;
  in.breathHoldS = 10.00;
  in.pressureHpa = pressureHpa;
  in.readings = {3.20, 0.1200};
  in.calibration = {1.0, 1.0, 0.95, 4.80, 0.300};
  return in;
}

TEST(SingleBreath, WorkedExampleAtAnyBarometricPressure) {
  // The water-vapour correction of VA,STPD cancels the one of the driving
  // pressure, so PB drops out of DLCO.
  for (const double hpa : {1013.25, 950.0, 800.0, 700.0}) {
    SCOPED_TRACE(hpa);
    SingleBreathResult r;
    ASSERT_EQ(CalculateSingleBreath(WorkedExample(hpa), r), Refusal::None);
    EXPECT_NEAR(r.alveolarHePercent, 3.04, 1e-9);
    EXPECT_NEAR(r.alveolarCoPercent, 0.114, 1e-9);
    EXPECT_NEAR(r.initialCoPercent, 0.190, 1e-9);
    EXPECT_NEAR(r.alveolarVolumeL, 5.795, 0.0005);
    EXPECT_NEAR(r.dlcoMlMinMmHg, 20.58, 0.005);
    EXPECT_NEAR(r.tlcoMmolMinKPa, 6.890, 0.0005);
    EXPECT_NEAR(r.kcoMmolMinKPaL, 1.189, 0.0005);
  }
}

TEST(SingleBreath, GasConstantsDivideTheReadings) {
  // An analyser that reads 10 % high on both gases, calibrated as such,
  // gives the same result as the exact one.
  SingleBreathInput in = WorkedExample(1013.25);
  in.readings = {3.52, 0.1320};
  in.calibration.heConstant = 1.1;
  in.calibration.coConstant = 1.1;
  SingleBreathResult r;
  ASSERT_EQ(CalculateSingleBreath(in, r), Refusal::None);
  EXPECT_NEAR(r.alveolarVolumeL, 5.795, 0.0005);
  EXPECT_NEAR(r.tlcoMmolMinKPa, 6.890, 0.0005);
}

TEST(SingleBreath, RefusesWhatWouldGiveAnInfiniteOrMeaninglessResult) {
  struct Case {
    std::string name;
    void (*spoil)(SingleBreathInput&);
    Refusal want;
  };
  const std::vector<Case> cases{
      {"inspired volume equal to the dead space", [](SingleBreathInput& in) { in.inspiredL = 0.330; },
       Refusal::TooLittleInspired},
      {"inspired volume below the dead space", [](SingleBreathInput& in) { in.inspiredL = 0.25; },
       Refusal::TooLittleInspired},
      {"no helium reading", [](SingleBreathInput& in) { in.readings.heliumPercent = 0.0; }, Refusal::NoGasReading},
      {"no CO reading", [](SingleBreathInput& in) { in.readings.coPercent = 0.0; }, Refusal::NoGasReading},
      {"alveolar CO equal to its initial value", [](SingleBreathInput& in) { in.readings.coPercent = 0.2; },
       Refusal::NoCoUptake},
      {"alveolar CO above its initial value", [](SingleBreathInput& in) { in.readings.coPercent = 0.25; },
       Refusal::NoCoUptake},
      {"no breath hold", [](SingleBreathInput& in) { in.breathHoldS = 0.0; }, Refusal::NoBreathHold},
      {"negative breath hold", [](SingleBreathInput& in) { in.breathHoldS = -0.5; }, Refusal::NoBreathHold},
      {"no helium in the test gas", [](SingleBreathInput& in) { in.calibration.inspiredHePercent = 0.0; },
       Refusal::BadSetting},
      {"no CO in the test gas", [](SingleBreathInput& in) { in.calibration.inspiredCoPercent = -0.3; },
       Refusal::BadSetting},
      {"helium constant 0", [](SingleBreathInput& in) { in.calibration.heConstant = 0.0; }, Refusal::BadSetting},
      {"CO constant 0", [](SingleBreathInput& in) { in.calibration.coConstant = 0.0; }, Refusal::BadSetting},
      {"CO2 correction 0", [](SingleBreathInput& in) { in.calibration.co2ExtractionCorrection = 0.0; },
       Refusal::BadSetting},
      {"pressure below the water-vapour pressure", [](SingleBreathInput& in) { in.pressureHpa = 60.0; },
       Refusal::BadPressure},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SingleBreathInput in = WorkedExample(1013.25);
    c.spoil(in);
    SingleBreathResult r;
    r.tlcoMmolMinKPa = 99.0;
    EXPECT_EQ(CalculateSingleBreath(in, r), c.want);
    EXPECT_EQ(r.tlcoMmolMinKPa, 0.0);
    EXPECT_EQ(r.alveolarVolumeL, 0.0);
  }
}

}  // namespace
}  // namespace diffusion
