#pragma once

// Recordings of nasal breathing whose flows are known in closed form: the
// pressure of each breath is a sine (expiration first, positive), the flow
// follows it through a pressure-flow law with the opposite sign
// (inspiration: positive flow, negative pressure), 100 samples a second.

#include "platform/portkit/MeasureDataTypes.h"
#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <functional>
#include <vector>

namespace rhinomanometry::testing {

// |flow| in mL/s at |pressure| in Pa.
using FlowLaw = std::function<double(double pressurePa)>;

// flow = k·√|P|, with k chosen for the flow at 150 Pa.
FlowLaw SquareRootLaw(double flowAt150Mlps);
// Rohrer: P = k1·V + k2·V², solved for V.
FlowLaw RohrerLaw(double k1, double k2);

struct Breath {
  double peakPa;              // of the expiration, and of the inspiration unless set
  double periodS = 2.0;
  double inspirationPeakPa = 0.0;
};

struct Recording {
  std::vector<float> flowMlps;
  std::vector<float> pressurePa;
  // The phase table as the acquisition would leave it: entry 0 at sample 0,
  // entry k the last sample of phase k (odd k expirations, even k
  // inspirations).
  std::vector<TPhaseEntry> phases;
  std::size_t samples = 0;  // recorded; the buffers may be longer

  RhinoCurve Curve() { return {flowMlps, pressurePa, samples}; }
};

// The breaths one after another, in buffers of `bufferSamples` (the
// recording's own length when 0).
Recording Record(const std::vector<Breath>& breaths, const FlowLaw& law, std::size_t bufferSamples = 0);

}  // namespace rhinomanometry::testing
