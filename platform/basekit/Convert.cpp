#include "platform/basekit/Convert.h"

#include <cmath>

float TConvert::inTOcm(float feet, float inches) {
  return static_cast<float>((feet * InchesPerFoot + inches) * CentimetresPerInch);
}

float TConvert::cmTOin(float centimetres) { return static_cast<float>(centimetres / CentimetresPerInch); }

float TConvert::lbTOkg(float pounds) { return static_cast<float>(pounds * KilogramsPerPound); }

float TConvert::kgTOlb(float kilograms) { return static_cast<float>(kilograms / KilogramsPerPound); }

float TConvert::HeightConvert(float feet, float inches, short direction) {
  if (direction == 0)
    return inTOcm(feet, inches);
  // The other direction splits a value; with a single value back, give inches.
  return cmTOin(feet);
}

void TConvert::HeightConvert(float centimetres, float& feet, float& inches, short direction) {
  if (direction == 0) {
    feet = 0.0f;
    inches = centimetres;
    return;
  }
  const double totalInches = centimetres / CentimetresPerInch;
  const double wholeFeet = std::floor(totalInches / InchesPerFoot);
  feet = static_cast<float>(wholeFeet);
  inches = static_cast<float>(totalInches - wholeFeet * InchesPerFoot);
}

float TConvert::WeightConvert(float weight, short direction) {
  return direction == 0 ? lbTOkg(weight) : kgTOlb(weight);
}

float TConvert::TemperatureConvert(float temperature, short direction) {
  return direction == 0 ? static_cast<float>((temperature - 32.0) * 5.0 / 9.0)
                        : static_cast<float>(temperature * 9.0 / 5.0 + 32.0);
}

float TConvert::PressureConvert(float pressure, short direction) {
  return direction == 0 ? static_cast<float>(pressure * HectopascalsPerPsi)
                        : static_cast<float>(pressure / HectopascalsPerPsi);
}

float TConvert::VolumeConvert(float volume, short direction) {
  return direction == 0 ? static_cast<float>(volume * LitresPerCubicFoot)
                        : static_cast<float>(volume / LitresPerCubicFoot);
}
