#include "platform/portkit/diffusion/InspiredGas.h"

#include <gtest/gtest.h>

namespace {

// Dry test gas, ATPD -> BTPS: the gas gains body temperature and the water
// vapour of the lung (47 mmHg = 62.66 hPa at 37 degC), at the barometric
// pressure. By hand, 20 degC and 1050 hPa:
//   1050 / (1050 - 62.66) = 1.063464;  310.15 / 293.15 = 1.057991;
//   product 1.125136.
// Room air at 20 degC and 70 % is taken to BTPS by the window's room factor,
// 1 / 0.8973 = 1.114454: converted as room air, VI of the dry gas came out
// 1.125136 / 1.114454 = 1.0096 times too small, about 1 % low.
TEST(InspiredGas, DryGasAtRoomConditionsToBtps) {
  EXPECT_NEAR(diffusion::DryGasToBtpsFactor(20.0, 1050.0), 1.125136, 5e-6);
  // 37 degC and 1013.25 hPa: only the water vapour is added,
  // 1013.25 / (1013.25 - 62.66) = 1.065918.
  EXPECT_NEAR(diffusion::DryGasToBtpsFactor(37.0, 1013.25), 1.065918, 5e-6);
  EXPECT_NEAR(diffusion::DryGasToBtpsFactor(20.0, 1050.0) * 0.8973, 1.0096, 1e-4);
}

TEST(InspiredGas, NoFactorBelowTheWaterVapourPressure) {
  EXPECT_EQ(diffusion::DryGasToBtpsFactor(20.0, 60.0), 0.0);
  EXPECT_EQ(diffusion::DryGasToBtpsFactor(20.0, 0.0), 0.0);
}

}  // namespace
