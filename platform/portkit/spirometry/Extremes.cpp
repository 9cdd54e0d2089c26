#include "platform/portkit/spirometry/Extremes.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>

namespace spirometry {

void Extremes::Clear(std::int16_t startState) {
  points.fill(TurningPoint{});
  count = 1;
  searchState = startState == Rising ? Rising : Falling;
  runningVolumeL = 0.0f;
}

int Extremes::LastEntry() const { return std::clamp<int>(count, 0, Capacity - 1); }

void LocalMaxMin(Extremes& extremes, float flowLps, float volumeL, std::uint16_t index) {
  extremes.runningVolumeL = volumeL;
  const int last = extremes.LastEntry();
  extremes.count = static_cast<std::int16_t>(last);
  TurningPoint& running = extremes.points[static_cast<std::size_t>(last)];
  const TurningPoint sample{volumeL, flowLps, index};
  const bool falling = extremes.searchState != Extremes::Rising;

  // Equal volumes move the extreme on, so a flat top or bottom ends where
  // the curve leaves it.
  if (falling ? volumeL <= running.volumeL : volumeL >= running.volumeL) {
    running = sample;
    return;
  }
  const float comeBack = falling ? volumeL - running.volumeL : running.volumeL - volumeL;
  if (comeBack < TurnHysteresisL) {
    return;
  }
  // A full table keeps its last entry as the running extreme of its direction.
  if (last + 1 >= Extremes::Capacity) {
    return;
  }
  extremes.count = static_cast<std::int16_t>(last + 1);
  extremes.points[static_cast<std::size_t>(last + 1)] = sample;
  extremes.searchState = falling ? Extremes::Rising : Extremes::Falling;
}

}  // namespace spirometry
