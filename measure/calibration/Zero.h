#pragma once

// The zero offsets of the flow channel (and of the mouth pressure in a
// shutter window) from the raw samples the link collects while the
// instrument rests, with the checks that reject a zero.

#include <span>

namespace calibration {

inline constexpr float FlowOffsetLimit = 3600.0f;     // raw counts, the mean must stay below
inline constexpr float FlowQuietLimit = 180.0f;       // every sample must stay closer than this to the mean
inline constexpr float PressureOffsetLimit = 400.0f;  // shutter window only

inline constexpr int ZeroOffsetText = 5;   // the offset is too large
inline constexpr int ZeroNoiseText = 6;    // the channel is not quiet
inline constexpr int ZeroRepeatText = 7;   // the line after either: what to do

struct ZeroReading {
  float flowOffset = 0.0f;
  float pressureOffset = 0.0f;
  int textId = 0;  // 0 accepted, else ZeroOffsetText or ZeroNoiseText
};

// Offsets are the sums × 0.01 (the means of 100 samples). A rejected zero
// keeps what was computed up to the check that failed. The pressure samples
// are read only when `shutter` is set.
ZeroReading CalculateZero(std::span<const float> flow, std::span<const float> pressure, bool shutter);

}  // namespace calibration
