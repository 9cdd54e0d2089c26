#pragma once

// The turning points of a volume curve, found sample by sample while a trial
// is recorded or integrated again.
//
// Entries 0 .. count - 1 are turning points already passed: the level where
// the curve began and then every maximum and minimum in turn. Entry `count`
// is the running extreme of the current direction: the lowest volume since
// the last maximum while the volume falls (search state 1), the highest since
// the last minimum while it rises (search state 0). It becomes a turning point
// once the volume has come back by TurnHysteresisL, so maxima and minima
// alternate and the global extremes of the curve are always in the table.
// Clearing leaves entry 0 as the level before the first sample (volume 0),
// count 1 and search state 1: the trials start with an expiration. The
// latest turning point (entry count - 1) is what the live displays measure
// the current breath against.

#include <array>
#include <cstdint>

namespace spirometry {

struct TurningPoint {
  float volumeL = 0.0f;
  float flowLps = 0.0f;
  std::uint16_t index = 0;  // sample of the trial
};

struct Extremes {
  static constexpr std::int16_t Capacity = 201;
  static constexpr std::int16_t Falling = 1;
  static constexpr std::int16_t Rising = 0;

  std::array<TurningPoint, Capacity> points{};
  std::int16_t count = 1;
  std::int16_t searchState = Falling;
  float runningVolumeL = 0.0f;  // volume of the latest sample fed in

  // Empties the table; `searchState` is the direction the curve starts with.
  void Clear(std::int16_t startState = Falling);

  // The index of the running extreme: count, kept inside the table.
  int LastEntry() const;
};

// Feeds one sample of the curve into the table.
void LocalMaxMin(Extremes& extremes, float flowLps, float volumeL, std::uint16_t index);

}  // namespace spirometry
