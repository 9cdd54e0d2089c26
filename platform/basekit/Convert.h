#pragma once

// Unit conversions between the metric system ("m - kg - sec") and the
// imperial one ("foot - pound - sec", pressures in psi). Direction 0 converts an imperial
// value to metric, direction 1 a metric value to imperial. The factors are
// the exact ones of the international yard and pound agreement.

class TConvert {
public:
  static constexpr double CentimetresPerInch = 2.54;
  static constexpr double InchesPerFoot = 12.0;
  static constexpr double KilogramsPerPound = 0.45359237;
  static constexpr double LitresPerCubicFoot = 28.316846592;
  // Pound-force per square inch: 6894.757293 Pa (NIST SP 811). The
  // imperial barometric pressure of the BTPS panel is given in psi.
  static constexpr double HectopascalsPerPsi = 68.9475729;

  // Direction 0: feet and inches to centimetres.
  static float HeightConvert(float feet, float inches, short direction);
  // Direction 1: centimetres to whole feet and the remaining inches.
  static void HeightConvert(float centimetres, float& feet, float& inches, short direction);

  // Direction 0: pounds to kilograms; 1: kilograms to pounds.
  static float WeightConvert(float weight, short direction);
  // Direction 0: degrees Fahrenheit to Celsius; 1: Celsius to Fahrenheit.
  static float TemperatureConvert(float temperature, short direction);
  // Direction 0: psi to hectopascals; 1: hectopascals to psi.
  static float PressureConvert(float pressure, short direction);
  // Direction 0: cubic feet to litres; 1: litres to cubic feet.
  static float VolumeConvert(float volume, short direction);

  static float inTOcm(float feet, float inches);
  static float cmTOin(float centimetres);
  static float lbTOkg(float pounds);
  static float kgTOlb(float kilograms);
};
