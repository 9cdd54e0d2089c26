#pragma once

// The gas laws of the body box: the pressure the inspired air adds as it
// warms to body temperature and takes up water (the BTPS artefact), the box
// volume left around the patient, the share of the alveolar gas that Boyle's
// law compresses (dry gas at PB - PH2O), and the thoracic gas volume from the
// slope of mouth against box pressure with the shutter closed.

namespace plethysmography {

// The air in the box and its water-vapour pressures, as the BTPS panel and
// the library's water-vapour table give them.
struct BoxAir {
  double pressureHpa = 1013.25;  // barometric
  double temperatureC = 20.0;
  double humidityPercent = 50.0;  // whole per cent
  double water37Pa = 6280.0;      // saturated at 37 °C
  double waterAmbientPa = 2337.0; // saturated at the whole degrees of temperatureC
};

// The pressure equivalent of warming and humidifying inspired air to BTPS,
// Pa: W(37) + (37 - T) / (T + 273) × 100 PB - RH / 100 × W(T).
double PressureEffectPa(const BoxAir& air);

// The box volume less the patient's body (1.07 kg per litre), L.
double CorrectedCabinVolumeL(double cabinL, double weightKg);

// (100 PB - W(37)) / (100 PB): the dry share of saturated alveolar gas,
// which alone is compressed by a change of alveolar pressure. 0 when the
// barometric pressure does not exceed the water-vapour pressure.
double DryGasFactor(double pressureHpa, double water37Pa);

// Thoracic gas volume, L, from the slope of the chosen panting loop (mouth
// kPa over box Pa): dryGas × Vc / (slope × 1000) - offset. 0 when the slope
// or the dry-gas factor is 0.
double ThoracicGasVolumeL(double slopeKPaPerPa, double correctedCabinL, double dryGasFactor, double offsetL);

}  // namespace plethysmography
