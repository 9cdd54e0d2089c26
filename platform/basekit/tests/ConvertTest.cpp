#include "platform/basekit/Convert.h"

#include <gtest/gtest.h>

namespace {

// Expected values are hand calculations with the exact definitions
// 1 in = 2.54 cm, 1 lb = 0.45359237 kg, 1 psi = 68.9475729 hPa (NIST SP 811).
TEST(Convert, HeightsAndWeightsAgainstHandValues) {
  EXPECT_FLOAT_EQ(TConvert::inTOcm(0, 70), 177.8f);
  EXPECT_FLOAT_EQ(TConvert::inTOcm(5, 10), 177.8f);
  EXPECT_FLOAT_EQ(TConvert::HeightConvert(6.0f, 0.0f, 0), 182.88f);
  EXPECT_FLOAT_EQ(TConvert::lbTOkg(150), 68.0388555f);
  EXPECT_FLOAT_EQ(TConvert::WeightConvert(150, 0), 68.0388555f);
  EXPECT_FLOAT_EQ(TConvert::WeightConvert(150, 1), 330.693393f);
  EXPECT_FLOAT_EQ(TConvert::kgTOlb(TConvert::lbTOkg(200)), 200.0f);

  float feet = 0, inches = 0;
  TConvert::HeightConvert(177.8f, feet, inches, 1);
  EXPECT_FLOAT_EQ(feet, 5.0f);
  EXPECT_NEAR(inches, 10.0f, 1e-4);
  TConvert::HeightConvert(250.0f, feet, inches, 1);  // 98.425 in
  EXPECT_FLOAT_EQ(feet, 8.0f);
  EXPECT_NEAR(inches, 2.4252, 1e-3);
}

TEST(Convert, TemperaturePressureAndVolume) {
  EXPECT_FLOAT_EQ(TConvert::TemperatureConvert(98.6f, 0), 37.0f);
  EXPECT_FLOAT_EQ(TConvert::TemperatureConvert(-40.0f, 1), -40.0f);
  EXPECT_FLOAT_EQ(TConvert::TemperatureConvert(20.0f, 1), 68.0f);
  // One standard atmosphere is 14.6959 psi and 1013.25 hPa.
  EXPECT_NEAR(TConvert::PressureConvert(14.6959f, 0), 1013.25, 0.01);
  EXPECT_NEAR(TConvert::PressureConvert(1013.25f, 1), 14.6959, 1e-4);
  EXPECT_NEAR(TConvert::PressureConvert(1.0f, 0), 68.9476, 1e-4);
  // The imperial limits 12 to 17 psi span 827 to 1172 hPa, the barometric
  // pressures a laboratory meets; read as inches of mercury they would be
  // 406 to 576 hPa and every real reading would fail.
  EXPECT_NEAR(TConvert::PressureConvert(12.0f, 0), 827.37, 0.01);
  EXPECT_NEAR(TConvert::PressureConvert(17.0f, 0), 1172.11, 0.01);
  EXPECT_NEAR(TConvert::VolumeConvert(1.0f, 0), 28.3168, 1e-4);
  EXPECT_NEAR(TConvert::VolumeConvert(28.316846592f, 1), 1.0, 1e-6);
}

}  // namespace
