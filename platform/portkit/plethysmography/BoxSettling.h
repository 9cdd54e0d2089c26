#pragma once

// Before a box test: the time the closed box needs to settle thermally, and
// the instrument's BTPS sensor words turned into temperature, barometric
// pressure and humidity.

#include <cstdint>

namespace plethysmography {

// Seconds the box settles after the door closed: (37 - T) × 2 + 30, with T
// the panel's temperature capped at 37 °C.
double ThermalWaitSeconds(double temperatureC);

struct SensorReading {
  double temperatureC = 0.0;
  double pressureHpa = 0.0;
  double humidityPercent = 0.0;

  // 0..50 °C, 0..2000 hPa, 0..100 %, bounds included.
  bool InRange() const;
};

// The three raw sensor words; `wideScale` is bit 0x10 of the instrument type
// (its sensors report on twice the step), and the barometer offset (hPa)
// applies to the other scale only.
SensorReading ConvertSensorWords(std::uint16_t temperature, std::uint16_t pressure, std::uint16_t humidity,
                                 bool wideScale, double barometerOffsetHpa);

}  // namespace plethysmography
