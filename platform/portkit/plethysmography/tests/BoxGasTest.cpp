#include "platform/portkit/plethysmography/BoxGas.h"

#include <gtest/gtest.h>

namespace plethysmography {
namespace {

TEST(BoxGas, PressureEffectOfWarmingAndWettingInspiredAir) {
  struct Case {
    BoxAir air;
    double expectedPa;
  };
  // By hand, with W(37) = 6280 Pa and W(25) = 3169 Pa, W(20) = 2339 Pa:
  //   25 °C, 50 %: 6280 + 12 / 298 × 101325 - 0.5 × 3169 = 6280 + 4080.2 - 1584.5 = 8775.7
  //   20 °C, 0 %:  6280 + 17 / 293 × 100000 = 6280 + 5802.0 = 12082.0
  //   37 °C, 40 %: the warming term vanishes: 6280 × (1 - 0.4) = 3768
  const Case cases[] = {
      {{1013.25, 25.0, 50.0, 6280.0, 3169.0}, 8775.7},
      {{1000.0, 20.0, 0.0, 6280.0, 2339.0}, 12082.0},
      {{1013.25, 37.0, 40.0, 6280.0, 6280.0}, 3768.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.air.temperatureC);
    EXPECT_NEAR(PressureEffectPa(c.air), c.expectedPa, 0.1);
  }
}

TEST(BoxGas, CabinLessThePatientsBody) {
  // 75 kg at 1.07 kg/L take 70.09 L of a 960 L box.
  EXPECT_NEAR(CorrectedCabinVolumeL(960.0, 75.0), 889.907, 0.001);
  EXPECT_DOUBLE_EQ(CorrectedCabinVolumeL(960.0, 0.0), 960.0);
}

TEST(BoxGas, DryShareOfSaturatedAlveolarGas) {
  // (101325 - 6280) / 101325 = 0.938021; no dry gas at or below 62.8 hPa.
  EXPECT_NEAR(DryGasFactor(1013.25, 6280.0), 0.938021, 1e-6);
  EXPECT_EQ(DryGasFactor(62.8, 6280.0), 0.0);
  EXPECT_EQ(DryGasFactor(0.0, 6280.0), 0.0);
}

TEST(BoxGas, ThoracicGasVolumeByBoylesLaw) {
  // A chest of 3 L panting ±1 kPa at 1013.25 hPa: its dry gas at
  // 101325 - 6280 = 95045 Pa changes by 2000 × 3 / 95045 = 0.0631280 L,
  // which moves a 890 L box by 101325 × 0.0631280 / 890 = 7.18700 Pa. The
  // slope 2 kPa / 7.18700 Pa = 0.278280 kPa/Pa must give back 3 L.
  EXPECT_NEAR(ThoracicGasVolumeL(2.0 / 7.18700, 890.0, DryGasFactor(1013.25, 6280.0), 0.0), 3.0, 0.0005);
  // The mouthpiece's gas is compressed with the chest; its volume comes off.
  EXPECT_NEAR(ThoracicGasVolumeL(2.0 / 7.18700, 890.0, DryGasFactor(1013.25, 6280.0), 0.08), 2.92, 0.0005);
  EXPECT_EQ(ThoracicGasVolumeL(0.0, 890.0, 0.94, 0.0), 0.0);
  EXPECT_EQ(ThoracicGasVolumeL(0.3, 890.0, 0.0, 0.0), 0.0);
}

}  // namespace
}  // namespace plethysmography
