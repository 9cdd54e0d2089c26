#pragma once

// Small helpers shared by the equation sets.

#include "common/ParameterBlocks.h"
#include "predicted/Predicted.h"

#include <cstddef>

namespace Equations {

// Heights in metres against limits given to the centimetre, bounds
// included: a whole number of centimetres times 0.01 may miss a bound by a
// rounding step.
inline bool InsideHeight(float heightM, float minM, float maxM) {
  constexpr float Tolerance = 1e-4f;
  return heightM >= minM - Tolerance && heightM <= maxM + Tolerance;
}

inline bool InsideAge(short age, short minAge, short maxAge) { return age >= minAge && age <= maxAge; }

// A calculation reads the row its running counter names and moves the
// counter on; a counter past the table (only a caller's mistake) reads nothing.
inline bool TakeRow(short& counter, std::size_t& row) {
  if (counter < 0 || counter >= MAX_PARAMETER_COUNT)
    return false;
  row = static_cast<std::size_t>(counter);
  ++counter;
  return true;
}

inline bool ValidSex(short sex) { return sex == 0 || sex == 1; }

// Age and height inside a limits record, bounds included.
inline bool InsideLimits(const TPredictedLimits& limits, short age, float heightM) {
  return InsideAge(age, limits.MinAge, limits.MaxAge) && InsideHeight(heightM, limits.MinHeight, limits.MaxHeight);
}

}  // namespace Equations
