#pragma once

// The breath-hold time of a single-breath manoeuvre by Jones and Meade:
// from 30 % of the inspiratory time (counted from time zero of the
// inspiration by back extrapolation to the time 90 % of the inspired
// volume is in) to the middle of the alveolar sample collection.

#include "platform/portkit/spirometry/TrialCurve.h"

#include <cstddef>
#include <optional>

namespace diffusion {

// Where the manoeuvre lies on the trial's curves, as sample indexes: the
// turn to the test gas, the start of the breath hold, and the first and
// last sample of the gas sample collection.
struct BreathMarks {
  std::size_t turn = 0;
  std::size_t holdStart = 0;
  std::size_t sampleStart = 0;
  std::size_t sampleEnd = 0;

  // The marks follow one another and lie on a curve of `samples` samples.
  bool FitOn(std::size_t samples) const {
    return turn < holdStart && holdStart <= sampleStart && sampleStart < sampleEnd && sampleEnd < samples;
  }
};

// Times in seconds from the first sample of the trial.
struct JonesMeade {
  double timeZeroS = 0.0;        // time zero of the inspiration
  double inspiratoryTimeS = 0.0; // time zero to 90 % of the inspired volume
  double startS = 0.0;           // time zero + 0.3 × inspiratory time
  double sampleMiddleS = 0.0;
  double breathHoldS = 0.0;      // sampleMiddleS - startS
};

// None when the marks do not fit the curve or the inspiration never rises.
std::optional<JonesMeade> JonesMeadeBreathHold(const spirometry::TrialCurve& curve, const BreathMarks& marks);

}  // namespace diffusion
