#pragma once

// Small records of the test data: the date and time of a trial, a turning
// point of the volume curve and an entry of the breathing-phase table.

#include <cstdint>

// The date of a trial as the run-time library kept it.
struct TMeasureDate {
  std::int32_t Year = 0;
  std::uint8_t Day = 0;
  std::uint8_t Month = 0;
};

struct TMeasureTime {
  std::uint8_t Minute = 0;
  std::uint8_t Hour = 0;
  std::uint8_t Hundredths = 0;
  std::uint8_t Second = 0;
};

// A local maximum or minimum of the volume curve; maxima and minima
// alternate in the table.
struct TExtremePoint {
  float Volume = 0.0f;
  float Flow = 0.0f;
  std::uint16_t Index = 0;  // sample index
};

// One breathing phase: where it ended.
struct TPhaseEntry {
  float Time = 0.0f;  // seconds
  float Flow = 0.0f;
  std::uint16_t Index = 0;
};
