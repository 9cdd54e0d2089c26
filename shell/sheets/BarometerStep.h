#pragma once

// The barometer calibration run after the plethysmograph sheet is
// confirmed: the instrument's barometric pressure is read on a link of its
// own, and the offset the user entered (the true pressure, hPa) becomes the
// difference to the reading. A reading outside 800 to 1200 hPa, a port that
// does not answer or an instrument in demonstration gives offset 0.

#include <functional>
#include <string>

class TMessage;

namespace BarometerStep {

inline constexpr float LowestHpa = 800.0f;
inline constexpr float HighestHpa = 1200.0f;

// hPa of a raw pressure word on the hardware version's scale.
float PressureOf(unsigned short raw, short versionOfHardware);
bool InBounds(float pressureHpa);
// The offset for a reading: entered - p truncated; 0 outside the bounds.
int OffsetFor(int entered, float pressureHpa);

// Lets `ms` milliseconds pass with the events running.
using TWait = std::function<void(int ms)>;
// The whole step on [Hardware Plethysmograph]; answers the offset to write.
int Calibrate(const std::string& iniPath, TMessage* texts, int entered, const TWait& wait);

}  // namespace BarometerStep
