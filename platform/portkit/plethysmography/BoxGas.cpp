#include "platform/portkit/plethysmography/BoxGas.h"

namespace plethysmography {

double PressureEffectPa(const BoxAir& air) {
  const double t = air.temperatureC;
  return air.water37Pa + (37.0 - t) / (t + 273.0) * (100.0 * air.pressureHpa) -
         0.01 * air.humidityPercent * air.waterAmbientPa;
}

double CorrectedCabinVolumeL(double cabinL, double weightKg) { return cabinL - weightKg / 1.07; }

double DryGasFactor(double pressureHpa, double water37Pa) {
  const double pb = 100.0 * pressureHpa;
  return pb > water37Pa ? (pb - water37Pa) / pb : 0.0;
}

double ThoracicGasVolumeL(double slopeKPaPerPa, double correctedCabinL, double dryGasFactor, double offsetL) {
  if (slopeKPaPerPa == 0.0 || dryGasFactor == 0.0)
    return 0.0;
  return dryGasFactor * correctedCabinL / (slopeKPaPerPa * 1000.0) - offsetL;
}

}  // namespace plethysmography
