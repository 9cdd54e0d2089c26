#include "platform/portkit/diffusion/InspiredGas.h"

#include "platform/portkit/diffusion/SingleBreath.h"

namespace diffusion {

double DryGasToBtpsFactor(double temperatureC, double pressureHpa) {
  const double waterVapourHpa = WaterVapourMmHg / MmHgPerHpa;
  if (!(pressureHpa > waterVapourHpa) || !(temperatureC > -StandardTemperatureK))
    return 0.0;
  return pressureHpa / (pressureHpa - waterVapourHpa) * BodyTemperatureK / (StandardTemperatureK + temperatureC);
}

}  // namespace diffusion
