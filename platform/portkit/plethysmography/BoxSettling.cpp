#include "platform/portkit/plethysmography/BoxSettling.h"

#include <algorithm>

namespace plethysmography {

double ThermalWaitSeconds(double temperatureC) { return (37.0 - std::min(temperatureC, 37.0)) * 2.0 + 30.0; }

bool SensorReading::InRange() const {
  return temperatureC >= 0.0 && temperatureC <= 50.0 && pressureHpa >= 0.0 && pressureHpa <= 2000.0 &&
         humidityPercent >= 0.0 && humidityPercent <= 100.0;
}

SensorReading ConvertSensorWords(std::uint16_t temperature, std::uint16_t pressure, std::uint16_t humidity,
                                 bool wideScale, double barometerOffsetHpa) {
  if (wideScale)
    return {temperature * 0.0244140625, pressure * 0.6103515625, humidity * 0.048828125};
  return {temperature * 0.01220703125, pressure * 0.3052503 + barometerOffsetHpa, humidity * 0.0244140625};
}

}  // namespace plethysmography
