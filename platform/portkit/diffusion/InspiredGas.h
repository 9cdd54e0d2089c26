#pragma once

// The test gas comes dry from its cylinder at the room's temperature and
// pressure (ATPD); the inspired volume VI is reported at BTPS, like every
// other lung volume. Room air is converted with the room's humidity; the
// test gas has none.

namespace diffusion {

// The factor that takes a volume of dry gas at `temperatureC` and
// `pressureHpa` to body temperature and pressure, saturated:
// PB / (PB - PH2O,37) x 310.15 / (273.15 + T). Zero when the pressure is not
// above the water-vapour pressure at body temperature.
double DryGasToBtpsFactor(double temperatureC, double pressureHpa);

}  // namespace diffusion
