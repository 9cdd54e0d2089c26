#pragma once

// The steps that turn a trial's recorded flow into the curves the
// calculations read: smoothing, integration into volume (feeding the
// turning points as it goes) and the shift of the volume to its base line.
// The measurement window runs them after every trial and on curves read
// back from storage.

#include "platform/portkit/spirometry/Extremes.h"

#include <cstdint>
#include <span>

namespace spirometry {

// Volume[i] = Flow[i] x 0.01 s + Volume[i - 1] (volume before the first
// sample 0), each sample handed on to feed(flow, volume, index) as it is
// integrated.
template <typename Feed>
void Integrate(std::span<const float> flowLps, std::span<float> volumeL, Feed&& feed) {
  float previous = 0.0f;
  for (std::size_t i = 0; i < flowLps.size() && i < volumeL.size(); ++i) {
    volumeL[i] = flowLps[i] * 0.01f + previous;
    previous = volumeL[i];
    feed(flowLps[i], volumeL[i], static_cast<std::uint16_t>(i));
  }
}

// Integrates into volume from a cleared extremes table, feeding every sample
// to LocalMaxMin.
void IntegrateWithExtremes(std::span<const float> flowLps, std::span<float> volumeL, Extremes& extremes);

// Smooths the flow `passes` times in place, left to right, each inner sample
// weighted 2:1:1 with its neighbours (the left one already smoothed in this
// pass), the two ends averaged with their one neighbour. A curve of fewer
// than two samples stays as it is.
void Smooth(std::span<float> flowLps, short passes);

// The lowest volume among the extremes.
float BaseLine(const Extremes& extremes);

// Subtracts `level` from the extremes' volumes.
void ShiftExtremes(Extremes& extremes, float level);

// Shifts the volume curve and the extremes so that the lowest extreme is 0.
void ShiftToBaseLine(std::span<float> volumeL, Extremes& extremes);

}  // namespace spirometry
